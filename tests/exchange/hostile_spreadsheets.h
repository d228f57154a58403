// Spreadsheet files from strangers, packed by hand: each breaks one rule of
// the format the way a damaged or malicious file would.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace qv::test {

struct TZipMember {
    std::string Name;
    std::string Packed;     // raw deflate data (or the stored bytes)
    uint64_t Plain = 0;     // the size the directory declares
    uint32_t Crc = 0;
    bool Stored = false;
};

// Deflates Pieces one after another, Repeat times (a bomb needs no buffer
// of its inflated size).
inline TZipMember Deflated(const std::string& Name, const std::vector<std::string>& Pieces, int Repeat = 1) {
    TZipMember m;
    m.Name = Name;
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(1 << 16, '\0');
    uLong crc = crc32(0, nullptr, 0);
    auto feed = [&](const std::string& Data, int Flush) {
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(Data.data()));
        z.avail_in = static_cast<uInt>(Data.size());
        crc = crc32(crc, reinterpret_cast<const Bytef*>(Data.data()), static_cast<uInt>(Data.size()));
        m.Plain += Data.size();
        do {
            z.next_out = reinterpret_cast<Bytef*>(out.data());
            z.avail_out = static_cast<uInt>(out.size());
            deflate(&z, Flush);
            m.Packed.append(out.data(), out.size() - z.avail_out);
        } while (z.avail_out == 0);
    };
    for (size_t i = 0; i < Pieces.size(); ++i)
        for (int r = 0; r < (i == 1 ? Repeat : 1); ++r) feed(Pieces[i], Z_NO_FLUSH);
    feed(std::string(), Z_FINISH);
    deflateEnd(&z);
    m.Crc = static_cast<uint32_t>(crc);
    return m;
}

inline std::string Zip(const std::vector<TZipMember>& Members) {
    std::string out, dir;
    auto put = [](std::string& B, int Bytes, uint64_t V) {
        for (int i = 0; i < Bytes; ++i) B += static_cast<char>((V >> (8 * i)) & 0xFF);
    };
    for (const TZipMember& m : Members) {
        const uint64_t at = out.size();
        const int method = m.Stored ? 0 : 8;
        put(out, 4, 0x04034b50);
        put(out, 2, 20);
        put(out, 2, 0);
        put(out, 2, method);
        put(out, 4, 0);
        put(out, 4, m.Crc);
        put(out, 4, m.Packed.size());
        put(out, 4, m.Plain);
        put(out, 2, m.Name.size());
        put(out, 2, 0);
        out += m.Name + m.Packed;
        put(dir, 4, 0x02014b50);
        put(dir, 2, 20);
        put(dir, 2, 20);
        put(dir, 2, 0);
        put(dir, 2, method);
        put(dir, 4, 0);
        put(dir, 4, m.Crc);
        put(dir, 4, m.Packed.size());
        put(dir, 4, m.Plain);
        put(dir, 2, m.Name.size());
        put(dir, 2, 0);
        put(dir, 2, 0);
        put(dir, 2, 0);
        put(dir, 2, 0);
        put(dir, 4, 0);
        put(dir, 4, at);
        dir += m.Name;
    }
    const uint64_t dirAt = out.size();
    out += dir;
    put(out, 4, 0x06054b50);
    put(out, 2, 0);
    put(out, 2, 0);
    put(out, 2, Members.size());
    put(out, 2, Members.size());
    put(out, 4, dir.size());
    put(out, 4, dirAt);
    put(out, 2, 0);
    return out;
}

// The members of a workbook of one sheet around SheetXml's sheet data.
inline std::vector<TZipMember> Workbook(const std::string& SheetData, const std::string& Strings = "",
                                        const std::string& Styles = "") {
    const std::string ns = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
    const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    std::vector<TZipMember> m;
    m.push_back(Deflated("[Content_Types].xml",
                         {"<?xml version=\"1.0\"?><Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                          "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                          "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                          "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
                          "<Override PartName=\"/xl/worksheets/sheet1.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
                          "<Override PartName=\"/xl/sharedStrings.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/>"
                          "<Override PartName=\"/xl/styles.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>"
                          "</Types>"}));
    m.push_back(Deflated("_rels/.rels", {"<?xml version=\"1.0\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                                         "<Relationship Id=\"rId1\" Type=\"" + rel + "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"}));
    m.push_back(Deflated("xl/workbook.xml", {"<?xml version=\"1.0\"?><workbook " + ns + " xmlns:r=\"" + rel +
                                             "\"><sheets><sheet name=\"S\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"}));
    m.push_back(Deflated("xl/_rels/workbook.xml.rels",
                         {"<?xml version=\"1.0\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                          "<Relationship Id=\"rId1\" Type=\"" + rel + "/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
                          "<Relationship Id=\"rId2\" Type=\"" + rel + "/sharedStrings\" Target=\"sharedStrings.xml\"/>"
                          "<Relationship Id=\"rId3\" Type=\"" + rel + "/styles\" Target=\"styles.xml\"/></Relationships>"}));
    m.push_back(Deflated("xl/sharedStrings.xml", {"<?xml version=\"1.0\"?><sst " + ns + ">" + Strings + "</sst>"}));
    m.push_back(Deflated("xl/styles.xml", {"<?xml version=\"1.0\"?><styleSheet " + ns + ">" + Styles + "</styleSheet>"}));
    m.push_back(Deflated("xl/worksheets/sheet1.xml", {"<?xml version=\"1.0\"?><worksheet " + ns + ">" + SheetData + "</worksheet>"}));
    return m;
}

inline std::string WorkbookFile(const std::string& SheetData, const std::string& Strings = "",
                                const std::string& Styles = "") {
    return Zip(Workbook(SheetData, Strings, Styles));
}

// The sheet member inflates to about Megabytes of blanks inside its data.
// Declared tells the truth about it, or claims a kilobyte.
inline std::string ZipBomb(int Megabytes, bool Declared) {
    std::vector<TZipMember> m = Workbook("");
    m.back() = Deflated("xl/worksheets/sheet1.xml",
                        {"<?xml version=\"1.0\"?><worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>",
                         std::string(1 << 20, ' '), "</sheetData></worksheet>"},
                        Megabytes);
    if (!Declared) m.back().Plain = 1024;
    return Zip(m);
}

// Entities that expand to each other ten times over: a billion "lol"s.
inline std::string EntityBomb() {
    std::string dtd = "<!DOCTYPE sst [<!ENTITY lol0 \"lol\">";
    for (int i = 1; i < 10; ++i) {
        dtd += "<!ENTITY lol" + std::to_string(i) + " \"";
        for (int k = 0; k < 10; ++k) dtd += "&lol" + std::to_string(i - 1) + ";";
        dtd += "\">";
    }
    dtd += "]>";
    std::vector<TZipMember> m = Workbook("<sheetData><row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row></sheetData>");
    m[4] = Deflated("xl/sharedStrings.xml",
                    {"<?xml version=\"1.0\"?>" + dtd +
                     "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><si><t>&lol9;</t></si></sst>"});
    return Zip(m);
}

}  // namespace qv::test
