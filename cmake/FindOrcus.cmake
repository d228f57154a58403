# Finds liborcus 0.17, the spreadsheet-file parser (Debian: liborcus-dev),
# and defines the imported target Orcus::Orcus: the import library and the
# parser library under it (its spreadsheet model library is not wanted).
# pkg-config, when present, supplies the search hints; the paths are found on
# this machine when a project is configured, never written into an installed
# package.
find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND)
  pkg_check_modules(PC_Orcus QUIET liborcus-0.17)
endif()
find_path(Orcus_INCLUDE_DIR orcus/orcus_xlsx.hpp HINTS ${PC_Orcus_INCLUDE_DIRS} PATH_SUFFIXES liborcus-0.17)
find_library(Orcus_LIBRARY orcus-0.17 HINTS ${PC_Orcus_LIBRARY_DIRS})
find_library(Orcus_PARSER_LIBRARY orcus-parser-0.17 HINTS ${PC_Orcus_LIBRARY_DIRS})
include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(Orcus REQUIRED_VARS Orcus_LIBRARY Orcus_PARSER_LIBRARY Orcus_INCLUDE_DIR)
if(Orcus_FOUND AND NOT TARGET Orcus::Orcus)
  add_library(Orcus::Parser UNKNOWN IMPORTED)
  set_target_properties(Orcus::Parser PROPERTIES IMPORTED_LOCATION "${Orcus_PARSER_LIBRARY}")
  add_library(Orcus::Orcus UNKNOWN IMPORTED)
  set_target_properties(Orcus::Orcus PROPERTIES IMPORTED_LOCATION "${Orcus_LIBRARY}"
                                                INTERFACE_INCLUDE_DIRECTORIES "${Orcus_INCLUDE_DIR}"
                                                INTERFACE_LINK_LIBRARIES Orcus::Parser)
endif()
mark_as_advanced(Orcus_INCLUDE_DIR Orcus_LIBRARY Orcus_PARSER_LIBRARY)
