#include "exchange/zip_guard.h"

#include "platform/exceptions.h"

namespace qv {

namespace {

constexpr uint32_t CentralSig = 0x02014b50;
constexpr uint32_t EndSig = 0x06054b50;
constexpr size_t CentralSize = 46;
constexpr size_t EndSize = 22;

uint32_t Get(std::string_view B, size_t At, int Bytes) {
    uint32_t v = 0;
    for (int i = Bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(B[At + i]);
    return v;
}

std::string Megabytes(uint64_t N) { return std::to_string((N + (1 << 20) - 1) >> 20) + " MB"; }

}  // namespace

void CheckZipPackage(std::string_view Zip, const std::string& Name) {
    auto fail = [&](const std::string& Why) { throw EReadError(Name + ": " + Why); };
    if (Zip.size() < EndSize) fail("not a spreadsheet file (too short for a zip package)");
    // The end record: the last signature within the comment's reach.
    size_t end = std::string_view::npos;
    for (size_t p = Zip.size() - EndSize + 1; p-- > 0 && Zip.size() - p <= EndSize + 0xFFFF;)
        if (Get(Zip, p, 4) == EndSig) {
            end = p;
            break;
        }
    if (end == std::string_view::npos)
        fail(Zip.substr(0, 2) == "PK" ? "the package is truncated (its directory is missing)"
                                      : "not a spreadsheet file (no zip package)");
    const uint32_t count = Get(Zip, end + 10, 2);
    const uint64_t dirSize = Get(Zip, end + 12, 4);
    const uint64_t dirAt = Get(Zip, end + 16, 4);
    if (count == 0xFFFF || dirAt == 0xFFFFFFFFu) fail("the package uses 64-bit sizes, which no sheet needs");
    if (dirAt + dirSize > end) fail("the package is truncated or damaged (its directory lies past its end)");
    uint64_t total = 0;
    size_t p = dirAt;
    for (uint32_t i = 0; i < count; ++i) {
        if (p + CentralSize > end || Get(Zip, p, 4) != CentralSig) fail("directory entry " + std::to_string(i + 1) + " is damaged");
        const size_t nameSize = Get(Zip, p + 28, 2);
        const size_t entrySize = CentralSize + nameSize + Get(Zip, p + 30, 2) + Get(Zip, p + 32, 2);
        if (p + entrySize > end) fail("directory entry " + std::to_string(i + 1) + " is damaged");
        const std::string member = EscapeBytes(Zip.substr(p + CentralSize, nameSize), 120);
        const uint64_t packed = Get(Zip, p + 20, 4);
        const uint64_t plain = Get(Zip, p + 24, 4);
        const uint64_t local = Get(Zip, p + 42, 4);
        if (plain == 0xFFFFFFFFu || packed == 0xFFFFFFFFu) fail("member " + member + " uses 64-bit sizes, which no sheet needs");
        if (local + packed > dirAt) fail("member " + member + " is truncated or lies past the package's data");
        if (plain > ZipMemberLimit)
            fail("member " + member + " would inflate to " + Megabytes(plain) + ", more than the " +
                 Megabytes(ZipMemberLimit) + " a member may take");
        total += plain;
        if (total > ZipTotalLimit)
            fail("the members would inflate to more than " + Megabytes(ZipTotalLimit) + " together");
        p += entrySize;
    }
}

}  // namespace qv
