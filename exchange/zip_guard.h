// A look at a zip package before the spreadsheet parser reads it. The parser
// reads each member whole into memory and trusts what it finds, so:
// - a package whose members claim more than any sheet needs (a zip bomb) is
//   refused by the sizes its directory declares, before a byte is inflated;
// - every member is then inflated once, a piece at a time, and must give
//   exactly its declared size and checksum (a member that inflates past its
//   size is stopped there), so the declared sizes bound what reading costs;
// - every XML member must end outside markup: the parser reads past the end
//   of a member that stops inside a tag, a quoted value, a comment or a
//   declaration.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// What the one inflating pass notes of each XML member, so that later
// readers need not inflate it again to look: its first bytes, and which of
// the words asked for it holds.
struct TZipMemberFacts {
    std::string Name;
    std::string Prefix;  // up to PrefixSize bytes
    std::vector<bool> Holds;  // one per word asked for
};
struct TZipFacts {
    static constexpr size_t PrefixSize = 64 << 10;
    std::vector<std::string> Words;
    std::vector<TZipMemberFacts> Members;
    const TZipMemberFacts* Find(const std::string& Name) const {
        for (const TZipMemberFacts& m : Members)
            if (m.Name == Name) return &m;
        return nullptr;
    }
};

// The most one member, and all members together, may inflate to.
constexpr uint64_t ZipMemberLimit = uint64_t(512) << 20;
constexpr uint64_t ZipTotalLimit = uint64_t(1) << 30;

// Raises EReadError naming Name and the fault: no directory (not a package,
// or a truncated one), a damaged entry or member, a 64-bit package, a member
// or a sum past the limits, an XML member cut inside its markup.
void CheckZipPackage(std::string_view Bytes, const std::string& Name, TZipFacts* Facts = nullptr);

}  // namespace qv
