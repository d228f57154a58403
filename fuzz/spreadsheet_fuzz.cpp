// Feeds arbitrary bytes to the spreadsheet-file import (.xlsx and .ods,
// told apart by their content). The first byte picks the sheet (bits 0-1)
// and, with bit 2 set, makes cell-making fail after a few cells (bits 3-7),
// as when memory runs out. Whatever the bytes, the import either loads
// sections that hold together or raises a read error that leaves the sheet
// exactly as it was.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "exchange/spreadsheet_import.h"
#include "grids/cell_batch.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "grids/sheet_snapshot.h"
#include "platform/exceptions.h"

using namespace qv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size < 1) return 0;
    TSpreadsheetImportOptions o;
    o.SheetIndex = Data[0] & 3;
    const std::string_view bytes(reinterpret_cast<const char*>(Data + 1), Size - 1);

    TQvSheet sheet;
    sheet.SetCellValue(0, 0, TVariant(std::string("before")));
    sheet.Sections(skClient)->Merge({1, 1, 3, 3});
    const TQvSheetSnapshot before = TakeSnapshot(sheet);
    if (Data[0] & 4) TQvCellBatch::FailAfter = Data[0] >> 3;
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
