#include "exchange/relation_targets.h"

#include <zlib.h>

#include <vector>

#include "exchange/zip_records.h"
#include "platform/exceptions.h"

namespace qv {

namespace {

using namespace zipr;

// A relationship part is small; one past this is not inflated.
constexpr size_t RelationsLimit = size_t(16) << 20;

void Append(std::string& B, int Bytes, uint32_t V) {
    B.append(size_t(Bytes), '\0');
    Put(B, B.size() - Bytes, Bytes, V);
}

bool EndsWith(const std::string& S, const char* E) {
    const size_t n = std::char_traits<char>::length(E);
    return S.size() >= n && S.compare(S.size() - n, n, E) == 0;
}

// The folder of the part a relationship member describes:
// "xl/_rels/workbook.xml.rels" describes "xl/workbook.xml", in "xl/".
std::string SourceFolder(const std::string& Member) {
    const size_t rels = Member.rfind("_rels/");
    return rels == std::string::npos ? std::string() : Member.substr(0, rels);
}

// Target, a path from the root without its leading '/', relative to Folder.
std::string Relative(const std::string& Folder, const std::string& Target) {
    size_t common = 0;  // length of the leading folders both share
    for (size_t i = 0; i < Folder.size() && i < Target.size() && Folder[i] == Target[i]; ++i)
        if (Folder[i] == '/') common = i + 1;
    std::string out;
    for (size_t i = common; i < Folder.size(); ++i)
        if (Folder[i] == '/') out += "../";
    return out + Target.substr(common);
}

std::string Rewrite(const std::string& Xml, const std::string& Folder, bool& Changed) {
    std::string out;
    size_t at = 0;
    for (;;) {
        const size_t t = Xml.find("Target=", at);
        if (t == std::string::npos || t + 8 >= Xml.size()) break;
        const char quote = Xml[t + 7];
        const size_t begin = t + 8;
        const size_t end = Xml.find(quote, begin);
        if ((quote != '"' && quote != '\'') || end == std::string::npos) break;
        out.append(Xml, at, begin - at);
        std::string target = Xml.substr(begin, end - begin);
        if (!target.empty() && target[0] == '/') {
            target = Relative(Folder, target.substr(1));
            Changed = true;
        }
        out += target;
        at = end;
    }
    out.append(Xml, at, std::string::npos);
    return out;
}

bool Inflate(std::string_view Packed, size_t Plain, std::string& Out) {
    Out.assign(Plain, '\0');
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return false;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(Packed.data()));
    z.avail_in = static_cast<uInt>(Packed.size());
    z.next_out = reinterpret_cast<Bytef*>(Out.data());
    z.avail_out = static_cast<uInt>(Out.size());
    const int rc = inflate(&z, Z_FINISH);
    inflateEnd(&z);
    return rc == Z_STREAM_END && z.avail_out == 0;
}

}  // namespace

bool MakeTargetsRelative(std::string_view Zip, const std::string& Name, std::string& Out) {
    const size_t end = FindEnd(Zip);  // CheckZipPackage found it
    const uint32_t count = Get(Zip, end + 10, 2);
    const size_t dirAt = Get(Zip, end + 16, 4);
    struct TMember {
        std::string Entry;  // the directory entry, without extra field and comment
        std::string_view Data;
        std::string NewData;
        bool Changed = false;
    };
    std::vector<TMember> members;
    bool any = false;
    size_t p = dirAt;
    for (uint32_t i = 0; i < count; ++i) {
        const size_t nameSize = Get(Zip, p + 28, 2);
        const size_t entrySize = CentralSize + nameSize + Get(Zip, p + 30, 2) + Get(Zip, p + 32, 2);
        TMember m;
        m.Entry = std::string(Zip.substr(p, CentralSize + nameSize));
        Put(m.Entry, 30, 2, 0);
        Put(m.Entry, 32, 2, 0);
        const std::string name = m.Entry.substr(CentralSize);
        const size_t local = Get(Zip, p + 42, 4);
        const size_t packed = Get(Zip, p + 20, 4), plain = Get(Zip, p + 24, 4);
        if (local + LocalSize > dirAt || Get(Zip, local, 4) != LocalSig)
            throw EReadError(Name + ": member " + EscapeBytes(name) + " is damaged");
        const size_t dataAt = local + LocalSize + Get(Zip, local + 26, 2) + Get(Zip, local + 28, 2);
        if (dataAt + packed > dirAt) throw EReadError(Name + ": member " + EscapeBytes(name) + " is truncated");
        m.Data = Zip.substr(dataAt, packed);
        const uint32_t method = Get(Zip, p + 10, 2);
        if (EndsWith(name, ".rels") && plain <= RelationsLimit && (method == 0 || method == Z_DEFLATED)) {
            std::string xml;
            if (method == 0)
                xml = std::string(m.Data);
            else if (!Inflate(m.Data, plain, xml))
                throw EReadError(Name + ": member " + EscapeBytes(name) + " cannot be inflated");
            m.NewData = Rewrite(xml, SourceFolder(name), m.Changed);
            any = any || m.Changed;
        }
        members.push_back(std::move(m));
        p += entrySize;
    }
    if (!any) return false;
    // Every member anew: a plain local header from its directory entry (no
    // data descriptor), then its data; rewritten parts are stored.
    std::string out, dir;
    for (TMember& m : members) {
        if (m.Changed) {
            const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(m.NewData.data()), static_cast<uInt>(m.NewData.size()));
            Put(m.Entry, 10, 2, 0);
            Put(m.Entry, 16, 4, static_cast<uint32_t>(crc));
            Put(m.Entry, 20, 4, static_cast<uint32_t>(m.NewData.size()));
            Put(m.Entry, 24, 4, static_cast<uint32_t>(m.NewData.size()));
            m.Data = m.NewData;
        }
        Put(m.Entry, 8, 2, Get(m.Entry, 8, 2) & ~8u);
        Put(m.Entry, 42, 4, static_cast<uint32_t>(out.size()));
        Append(out, 4, LocalSig);
        out.append(m.Entry, 6, 22);  // version needed .. uncompressed size
        Append(out, 2, Get(m.Entry, 28, 2));
        Append(out, 2, 0);
        out.append(m.Entry, CentralSize, std::string::npos);
        out.append(m.Data);
        dir += m.Entry;
    }
    const size_t newDirAt = out.size();
    out += dir;
    Append(out, 4, EndSig);
    Append(out, 2, 0);
    Append(out, 2, 0);
    Append(out, 2, static_cast<uint32_t>(members.size()));
    Append(out, 2, static_cast<uint32_t>(members.size()));
    Append(out, 4, static_cast<uint32_t>(dir.size()));
    Append(out, 4, static_cast<uint32_t>(newDirAt));
    Append(out, 2, 0);
    Out = std::move(out);
    return true;
}

}  // namespace qv
