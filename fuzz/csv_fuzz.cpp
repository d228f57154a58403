// Feeds arbitrary bytes to the CSV reader. The first byte picks the
// separator and quote character; the rest is the text. Whatever the bytes,
// the import either succeeds or raises a read error that leaves the sheet
// untouched; a sheet that was read exports raw values that read back into
// the same text again. With bit 4 of the first byte set, making a cell
// fails after a few (as when memory runs out), and the sheet must come back
// exactly as it was.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "exchange/csv_export.h"
#include "exchange/csv_import.h"
#include "grids/cell_batch.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "grids/sheet_snapshot.h"
#include "platform/exceptions.h"
#include "platform/stream.h"

using namespace qv;

namespace {

std::string ExportRaw(TQvSheet& S, const TCsvOptions& O) {
    TCsvOptions raw = O;
    raw.RawValues = true;
    TMemoryStream m;
    ExportCsv(S, m, raw);
    return m.Bytes();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size < 1) return 0;
    static const char separators[] = {',', ';', '\t', '|'};
    static const char quotes[] = {'"', '\''};
    TCsvOptions o;
    o.Separator = separators[Data[0] & 3];
    o.Quote = quotes[(Data[0] >> 2) & 1];
    o.DetectTypes = (Data[0] & 8) == 0;
    const std::string text(reinterpret_cast<const char*>(Data + 1), Size - 1);

    TQvSheet sheet;
    sheet.SetCellValue(0, 0, TVariant(std::string("before")));
    const TQvSheetSnapshot before = TakeSnapshot(sheet);
    TMemoryStream in(text);
    if (Data[0] & 16) TQvCellBatch::FailAfter = Data[0] >> 5;
    try {
        ImportCsv(sheet, in, o);
    } catch (const EReadError&) {
        TQvCellBatch::FailAfter = -1;
        // Refused input, or a failure while writing, changes nothing.
        if (!(TakeSnapshot(sheet) == before)) std::abort();
        return 0;
    }
    TQvCellBatch::FailAfter = -1;
    const std::string once = ExportRaw(sheet, o);
    TQvSheet again;
    TMemoryStream back(once);
    ImportCsv(again, back, o);
    if (ExportRaw(again, o) != once) std::abort();
    return 0;
}
