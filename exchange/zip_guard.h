// A look at a zip package's directory before a parser inflates it: the
// parser reads each member whole into memory, so a package whose members
// claim more than any sheet needs (a zip bomb) is refused here, by the sizes
// its directory declares, before a byte is inflated. A member that inflates
// past its declared size is cut there by the parser, so the declared sizes
// bound what reading costs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

// The most one member, and all members together, may inflate to.
constexpr uint64_t ZipMemberLimit = uint64_t(512) << 20;
constexpr uint64_t ZipTotalLimit = uint64_t(1) << 30;

// Raises EReadError naming Name and the fault: no directory (not a package,
// or a truncated one), a damaged entry, a 64-bit package, a member or a sum
// past the limits.
void CheckZipPackage(std::string_view Bytes, const std::string& Name);

}  // namespace qv
