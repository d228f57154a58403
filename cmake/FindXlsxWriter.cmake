# Finds libxlsxwriter, the spreadsheet-file writer (Debian: libxlsxwriter-dev),
# and defines the imported target XlsxWriter::XlsxWriter. pkg-config, when
# present, supplies the search hints; the paths are found on this machine
# when a project is configured, never written into an installed package.
find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND)
  pkg_check_modules(PC_XlsxWriter QUIET xlsxwriter)
endif()
find_path(XlsxWriter_INCLUDE_DIR xlsxwriter.h HINTS ${PC_XlsxWriter_INCLUDE_DIRS})
find_library(XlsxWriter_LIBRARY xlsxwriter HINTS ${PC_XlsxWriter_LIBRARY_DIRS})
include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(XlsxWriter REQUIRED_VARS XlsxWriter_LIBRARY XlsxWriter_INCLUDE_DIR)
if(XlsxWriter_FOUND AND NOT TARGET XlsxWriter::XlsxWriter)
  add_library(XlsxWriter::XlsxWriter UNKNOWN IMPORTED)
  set_target_properties(XlsxWriter::XlsxWriter PROPERTIES IMPORTED_LOCATION "${XlsxWriter_LIBRARY}"
                                                          INTERFACE_INCLUDE_DIRECTORIES "${XlsxWriter_INCLUDE_DIR}")
endif()
mark_as_advanced(XlsxWriter_INCLUDE_DIR XlsxWriter_LIBRARY)
