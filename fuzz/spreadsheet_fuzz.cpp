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

#include <algorithm>
#include <vector>

#include "exchange/spreadsheet_import.h"
#include "tests/exchange/hostile_spreadsheets.h"
#include "grids/cell_batch.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "grids/sheet_snapshot.h"
#include "platform/exceptions.h"
#include "tests/exchange/hostile_spreadsheets.h"

using namespace qv;

namespace {

// A zip package of stored members from "name\0content\0name\0content\0...".
std::string PackMembers(std::string_view Plain) {
    std::vector<test::TZipMember> members;
    size_t at = 0;
    while (at < Plain.size() && members.size() < 64) {
        const size_t nameEnd = std::min(Plain.find('\0', at), Plain.size());
        const size_t dataAt = std::min(nameEnd + 1, Plain.size());
        const size_t dataEnd = std::min(Plain.find('\0', dataAt), Plain.size());
        test::TZipMember m;
        m.Name = std::string(Plain.substr(at, nameEnd - at));
        m.Packed = std::string(Plain.substr(dataAt, dataEnd - dataAt));
        m.Plain = m.Packed.size();
        m.Crc = static_cast<uint32_t>(crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(m.Packed.data()),
                                            static_cast<uInt>(m.Packed.size())));
        m.Stored = true;
        members.push_back(std::move(m));
        at = dataEnd + 1;
    }
    return test::Zip(members);
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
