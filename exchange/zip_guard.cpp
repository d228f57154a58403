#include "exchange/zip_guard.h"

#include <zlib.h>

#include <cctype>
#include <cstring>
#include <memory>
#include <vector>

#include "exchange/zip_records.h"
#include "platform/exceptions.h"

namespace qv {

namespace {

using namespace zipr;


// Follows XML text far enough to tell whether it ends outside markup: in
// character data, not inside a tag, a quoted value, a comment, a CDATA
// section, a processing instruction or a document type declaration.
class TXmlEnd {
public:
    void Feed(const unsigned char* P, size_t N) {
        for (size_t i = 0; i < N; ++i) Step(P[i]);
    }
    bool Closed() const { return FState == sText; }

private:
    enum { sText, sOpen, sTag, sQuote, sComment, sCData, sPi, sDecl, sDeclQuote } FState = sText;
    void Step(unsigned char C) {
        FRecent = (FRecent << 8) | C;
        switch (FState) {
            case sText:
                if (C == '<') {
                    FState = sOpen;
                    FOpened = 0;
                }
                break;
            case sOpen:
                // What follows '<' tells the construct: "!--", "![CDATA[", "?", "!", else a tag.
                ++FOpened;
                if (FOpened == 1 && C == '?') FState = sPi;
                else if (FOpened == 1 && C != '!') Tag(C);
                else if (FOpened == 3 && (FRecent & 0xFFFFFF) == (uint32_t('!') << 16 | '-' << 8 | '-')) FState = sComment;
                else if (FOpened == 8 && (FRecent & 0xFFFFFFFFFFFFull) == 0x43444154415bull) FState = sCData;  // "CDATA["
                else if (FOpened >= 2 && (FOpened > 8 || !std::strchr("-[CDAT", C))) {
                    FState = sDecl;
                    FDepth = 0;
                    Decl(C);
                }
                break;
            case sTag:
                if (C == '"' || C == '\'') {
                    FQuote = C;
                    FState = sQuote;
                } else if (C == '>') {
                    FState = sText;
                }
                break;
            case sQuote:
                if (C == FQuote) FState = sTag;
                break;
            case sComment:
                if ((FRecent & 0xFFFFFF) == (uint32_t('-') << 16 | '-' << 8 | '>')) FState = sText;
                break;
            case sCData:
                if ((FRecent & 0xFFFFFF) == (uint32_t(']') << 16 | ']' << 8 | '>')) FState = sText;
                break;
            case sPi:
                if ((FRecent & 0xFFFF) == (uint32_t('?') << 8 | '>')) FState = sText;
                break;
            case sDecl: Decl(C); break;
            case sDeclQuote:
                if (C == FQuote) FState = sDecl;
                break;
        }
    }
    void Tag(unsigned char C) {
        FState = sTag;
        if (C == '>') FState = sText;
        if (C == '"' || C == '\'') {
            FQuote = C;
            FState = sQuote;
        }
    }
    // A declaration ends at the '>' outside its brackets (the internal
    // subset of a document type) and outside quotes.
    void Decl(unsigned char C) {
        if (C == '"' || C == '\'') {
            FQuote = C;
            FState = sDeclQuote;
        } else if (C == '[') {
            ++FDepth;
        } else if (C == ']') {
            if (FDepth > 0) --FDepth;
        } else if (C == '>' && FDepth == 0) {
            FState = sText;
        }
    }
    uint64_t FRecent = 0;
    int FOpened = 0;
    int FDepth = 0;
    unsigned char FQuote = 0;
};

bool IsXmlName(const std::string& Name) {
    auto ends = [&](const char* E) {
        const size_t n = std::strlen(E);
        if (Name.size() < n) return false;
        for (size_t i = 0; i < n; ++i)
            if (std::tolower(static_cast<unsigned char>(Name[Name.size() - n + i])) != E[i]) return false;
        return true;
    };
    return ends(".xml") || ends(".rels") || ends(".vml");
}

// Inflates one member a piece at a time: its size, checksum and, for XML,
// its end.
void CheckMember(std::string_view Data, uint32_t Method, uint64_t Plain, uint32_t Crc, bool Xml,
                 const std::string& Member, const std::string& Name, const std::vector<std::string>* Words,
                 TZipMemberFacts* Facts) {
    auto fail = [&](const std::string& Why) { throw EReadError(Name + ": member " + Member + " " + Why); };
    TXmlEnd end;
    std::string tail;
    uLong crc = crc32(0, nullptr, 0);
    uint64_t got = 0;
    auto take = [&](const unsigned char* P, size_t N) {
        got += N;
        if (got > Plain) fail("inflates past the " + std::to_string(Plain) + " bytes it declares");
        crc = crc32(crc, P, static_cast<uInt>(N));
        if (Xml) end.Feed(P, N);
        if (!Facts) return;
        const std::string_view piece(reinterpret_cast<const char*>(P), N);
        if (Facts->Prefix.size() < TZipFacts::PrefixSize)
            Facts->Prefix.append(piece.substr(0, TZipFacts::PrefixSize - Facts->Prefix.size()));
        // A word may start in the piece before: its last bytes are kept.
        tail.append(piece);
        for (size_t w = 0; w < Words->size(); ++w)
            if (!Facts->Holds[w] && tail.find((*Words)[w]) != std::string::npos) Facts->Holds[w] = true;
        if (tail.size() > 64) tail.erase(0, tail.size() - 64);
    };
    if (Method == 0) {
        if (Data.size() != Plain) fail("is damaged (its stored size is wrong)");
        for (size_t at = 0; at < Data.size(); at += 1 << 20)
            take(reinterpret_cast<const unsigned char*>(Data.data()) + at, std::min<size_t>(1 << 20, Data.size() - at));
    } else if (Method == Z_DEFLATED) {
        z_stream z{};
        if (inflateInit2(&z, -MAX_WBITS) != Z_OK) throw std::bad_alloc();
        std::unique_ptr<z_stream, int (*)(z_stream*)> guard(&z, inflateEnd);
        std::vector<unsigned char> out(1 << 16);
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(Data.data()));
        z.avail_in = static_cast<uInt>(Data.size());
        int rc = Z_OK;
        while (rc == Z_OK) {
            z.next_out = out.data();
            z.avail_out = static_cast<uInt>(out.size());
            rc = inflate(&z, Z_NO_FLUSH);
            if (rc != Z_OK && rc != Z_STREAM_END) fail("is damaged (its data does not inflate)");
            take(out.data(), out.size() - z.avail_out);
            if (rc == Z_OK && z.avail_in == 0 && z.avail_out != 0) fail("is truncated");
        }
    } else {
        fail("is packed in a way spreadsheet files do not use (method " + std::to_string(Method) + ")");
    }
    if (got != Plain) fail("is truncated (" + std::to_string(got) + " of " + std::to_string(Plain) + " bytes)");
    if (static_cast<uint32_t>(crc) != Crc) fail("is damaged (its checksum does not match)");
    if (Xml && !end.Closed()) fail("is damaged (its XML stops inside its markup)");
}

std::string Megabytes(uint64_t N) { return std::to_string((N + (1 << 20) - 1) >> 20) + " MB"; }

}  // namespace

void CheckZipPackage(std::string_view Zip, const std::string& Name, TZipFacts* Facts) {
    auto fail = [&](const std::string& Why) { throw EReadError(Name + ": " + Why); };
    if (Zip.size() < EndSize) fail("not a spreadsheet file (too short for a zip package)");
    const size_t end = FindEnd(Zip);
    if (end == std::string_view::npos)
        fail(Zip.substr(0, 2) == "PK" ? "the package is truncated (its directory is missing)"
                                      : "not a spreadsheet file (no zip package)");
    const uint32_t count = Get(Zip, end + 10, 2);
    const uint64_t dirSize = Get(Zip, end + 12, 4);
    const uint64_t dirAt = Get(Zip, end + 16, 4);
    if (count == 0xFFFF || dirAt == 0xFFFFFFFFu) fail("the package uses 64-bit sizes, which no sheet needs");
    if (dirAt + dirSize > end) fail("the package is truncated or damaged (its directory lies past its end)");
    uint64_t total = 0;
    struct TMember {
        std::string Name, Shown;
        std::string_view Data;
        uint32_t Method;
        uint64_t Plain;
        uint32_t Crc;
    };
    std::vector<TMember> members;
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
        if (local + LocalSize > dirAt || Get(Zip, local, 4) != LocalSig) fail("member " + member + " is damaged");
        const uint64_t dataAt = local + LocalSize + Get(Zip, local + 26, 2) + Get(Zip, local + 28, 2);
        if (dataAt + packed > dirAt) fail("member " + member + " is truncated or lies past the package's data");
        members.push_back({std::string(Zip.substr(p + CentralSize, nameSize)), member, Zip.substr(dataAt, packed),
                           Get(Zip, p + 10, 2), plain, Get(Zip, p + 16, 4)});
        p += entrySize;
    }
    // Only once every declared size has passed is anything inflated.
    for (const TMember& m : members) {
        const bool xml = IsXmlName(m.Name);
        TZipMemberFacts* facts = nullptr;
        if (Facts && xml) {
            Facts->Members.push_back({m.Name, {}, std::vector<bool>(Facts->Words.size(), false)});
            facts = &Facts->Members.back();
        }
        CheckMember(m.Data, m.Method, m.Plain, m.Crc, xml, m.Shown, Name, Facts ? &Facts->Words : nullptr, facts);
    }
}

}  // namespace qv
