// Feeds arbitrary bytes to the range record reader, as a paste from the
// clipboard would. Whatever the bytes, the read either succeeds or raises one
// of the framework's errors without touching the target; a record that was
// read pastes into a sheet that stays consistent, and the landed range
// copies out again.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "exchange/range_record.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "platform/exceptions.h"
#include "platform/message_box.h"
#include "platform/stream.h"

using namespace qv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    DefaultMessageService().Clear();
    TQvSheet sheet;
    sheet.SetColCount(40);
    sheet.SetRowCount(40);
    sheet.SetCellValue(3, 3, TVariant(int32_t(1)));
    std::unique_ptr<TQvRangeData> range;
    try {
        range = TQvRangeData::FromBytes(std::string(reinterpret_cast<const char*>(data), size));
    } catch (const Exception&) {
        if (sheet.Sections(skClient)->FindCell({3, 3}) == nullptr) std::abort();
        return 0;
    }
    const TQvPasteResult r = range->Paste(sheet, skClient, {2, 2});
    if (sheet.UpdateCount() != 0) std::abort();
    std::string report = sheet.Sections(skClient)->CheckIntegrity();
    for (size_t at; (at = report.find('\n')) != std::string::npos; report.erase(0, at + 1))
        if (report.substr(0, at).find("mixed lines on") == std::string::npos) std::abort();
    if (!r.Area.IsEmpty()) RangeRecordBytes(sheet, skClient, r.Area);
    return 0;
}
