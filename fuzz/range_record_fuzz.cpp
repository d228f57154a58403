// Feeds arbitrary bytes to what a paste reads from the clipboard. The first
// byte picks the form: 0 a range record, 1 tab-separated text, 2 an HTML
// table. Whatever the bytes, a range record either reads or raises one of
// the framework's errors without touching the target; whatever was read
// pastes into a sheet that stays consistent, and the landed range copies
// out again in every form.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "exchange/range_record.h"
#include "exchange/text_table.h"
#include "grids/cell_batch.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "grids/sheet_snapshot.h"
#include "platform/exceptions.h"
#include "platform/message_box.h"
#include "platform/stream.h"

using namespace qv;

namespace {

void Check(TQvSheet& Sheet, const TQvPasteResult& R) {
    if (Sheet.UpdateCount() != 0) std::abort();
    if (!Sheet.Sections(skClient)->CheckIntegrity().empty()) std::abort();
    if (R.Area.IsEmpty()) return;
    RangeRecordBytes(Sheet, skClient, R.Area);
    RangeToTabText(Sheet, skClient, R.Area);
    RangeToHtml(Sheet, skClient, R.Area);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    DefaultMessageService().Clear();
    TQvSheet sheet;
    sheet.SetColCount(40);
    sheet.SetRowCount(40);
    sheet.SetCellValue(3, 3, TVariant(int32_t(1)));
    sheet.Sections(skClient)->Merge({5, 5, 7, 8});
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0]) {
        case 1:
            Check(sheet, PasteTextTable(ParseTabText(bytes), sheet, skClient, {2, 2}));
            return 0;
        case 2:
            Check(sheet, PasteTextTable(ParseHtmlTable(bytes), sheet, skClient, {2, 2}));
            return 0;
        default:
            break;
    }
    std::unique_ptr<TQvRangeData> range;
    try {
        range = TQvRangeData::FromBytes(bytes);
    } catch (const Exception&) {
        if (sheet.Sections(skClient)->FindCell({3, 3}) == nullptr) std::abort();
        return 0;
    }
    // From a first byte of 128 on, making a cell fails after a few (as when
    // memory runs out): the sheet must come back exactly as it was.
    if (data[0] >= 128) {
        const TQvSheetSnapshot before = TakeSnapshot(sheet);
        TQvCellBatch::FailAfter = data[0] & 63;
        try {
            range->Paste(sheet, skClient, {2, 2});
        } catch (const EQvGridError&) {
            if (!(TakeSnapshot(sheet) == before)) std::abort();
        }
        TQvCellBatch::FailAfter = -1;
        return 0;
    }
    Check(sheet, range->Paste(sheet, skClient, {2, 2}));
    return 0;
}
