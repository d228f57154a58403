// Feeds arbitrary bytes to the spreadsheet-file import (.xlsx and .ods,
// told apart by their content). The first byte picks the sheet (bits 0-1);
// with bit 2 set, cell-making fails after a few cells (bits 3-6), as when
// memory runs out. With bit 7 set the rest is no package but its members,
// each a name and a content ended by a zero byte, which are packed here
// (stored, with their checksums): mutations then reach the XML itself,
// not only the package around it. Whatever the bytes, the import either loads
// sections that hold together or raises a read error that leaves the sheet
// exactly as it was.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include <zlib.h>

#include "exchange/spreadsheet_import.h"
#include "grids/cell_batch.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "grids/sheet_snapshot.h"
#include "platform/exceptions.h"

using namespace qv;

namespace {

void Put(std::string& B, int Bytes, uint32_t V) {
    for (int i = 0; i < Bytes; ++i) B += static_cast<char>((V >> (8 * i)) & 0xFF);
}

// A zip package of stored members from "name\0content\0name\0content\0...".
std::string PackMembers(std::string_view Plain) {
    std::string out, dir;
    uint32_t count = 0;
    size_t at = 0;
    while (at < Plain.size() && count < 64) {
        const size_t nameEnd = std::min(Plain.find('\0', at), Plain.size());
        const std::string_view name = Plain.substr(at, nameEnd - at);
        const size_t dataAt = std::min(nameEnd + 1, Plain.size());
        const size_t dataEnd = std::min(Plain.find('\0', dataAt), Plain.size());
        const std::string_view data = Plain.substr(dataAt, dataEnd - dataAt);
        at = dataEnd + 1;
        const uint32_t crc = static_cast<uint32_t>(
            crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
        const uint32_t local = static_cast<uint32_t>(out.size());
        Put(out, 4, 0x04034b50);
        for (uint32_t v : {20u, 0u, 0u}) Put(out, 2, v);
        Put(out, 4, 0);
        Put(out, 4, crc);
        Put(out, 4, static_cast<uint32_t>(data.size()));
        Put(out, 4, static_cast<uint32_t>(data.size()));
        Put(out, 2, static_cast<uint32_t>(name.size()));
        Put(out, 2, 0);
        out.append(name);
        out.append(data);
        Put(dir, 4, 0x02014b50);
        for (uint32_t v : {20u, 20u, 0u, 0u}) Put(dir, 2, v);
        Put(dir, 4, 0);
        Put(dir, 4, crc);
        Put(dir, 4, static_cast<uint32_t>(data.size()));
        Put(dir, 4, static_cast<uint32_t>(data.size()));
        Put(dir, 2, static_cast<uint32_t>(name.size()));
        for (int k = 0; k < 4; ++k) Put(dir, 2, 0);
        Put(dir, 4, 0);
        Put(dir, 4, local);
        dir.append(name);
        ++count;
    }
    const uint32_t dirAt = static_cast<uint32_t>(out.size());
    out += dir;
    Put(out, 4, 0x06054b50);
    Put(out, 2, 0);
    Put(out, 2, 0);
    Put(out, 2, count);
    Put(out, 2, count);
    Put(out, 4, static_cast<uint32_t>(dir.size()));
    Put(out, 4, dirAt);
    Put(out, 2, 0);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size < 1) return 0;
    TSpreadsheetImportOptions o;
    o.SheetIndex = Data[0] & 3;
    std::string_view bytes(reinterpret_cast<const char*>(Data + 1), Size - 1);
    std::string packed;
    if (Data[0] & 128) {
        packed = PackMembers(bytes);
        bytes = packed;
    }

    TQvSheet sheet;
    sheet.SetCellValue(0, 0, TVariant(std::string("before")));
    sheet.Sections(skClient)->Merge({1, 1, 3, 3});
    const TQvSheetSnapshot before = TakeSnapshot(sheet);
    if (Data[0] & 4) TQvCellBatch::FailAfter = (Data[0] >> 3) & 15;
    try {
        ImportSpreadsheet(sheet, bytes, "fuzz input", o);
    } catch (const EReadError&) {
        TQvCellBatch::FailAfter = -1;
        if (!(TakeSnapshot(sheet) == before)) std::abort();
        return 0;
    }
    TQvCellBatch::FailAfter = -1;
    for (TQvSectionKind k : AllSectionKinds)
        if (!sheet.Sections(k)->CheckIntegrity().empty()) std::abort();
    return 0;
}
