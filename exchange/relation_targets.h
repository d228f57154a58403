// Relationship targets written from the package's root ("/xl/worksheets/
// sheet1.xml", as some writers give them) made relative to the part that
// names them ("worksheets/sheet1.xml"), which is all the spreadsheet parser
// follows. The package's directory must have passed CheckZipPackage.
#pragma once

#include <string>
#include <string_view>

namespace qv {

// True, with Out holding the package rebuilt, when some relationship part
// had a target from the root; false, with Out untouched, when none had.
// Raises EReadError naming Name when a relationship part cannot be inflated.
bool MakeTargetsRelative(std::string_view Zip, const std::string& Name, std::string& Out);

}  // namespace qv
