// TQvSheetSnapshot: everything a person can change in a sheet, taken as a
// value so that it can be put back exactly: the counts, default and maximum
// sizes and the sheet's data payload (base styles, individual sizes,
// sections). The styler, the background, the read-only flag and the event
// names are left out: no editing command changes them.
#pragma once

#include <cstdint>
#include <string>

namespace qv {

class TQvSheet;

struct TQvSheetSnapshot {
    int32_t ColCount = 0;
    int32_t RowCount = 0;
    int32_t TitleCols = 0;
    int32_t TitleRows = 0;
    int32_t ColDefWidth = 0;
    int32_t RowDefHeight = 0;
    int32_t ColMaxWidth = 0;
    int32_t RowMaxHeight = 0;
    std::string Data;

    // The memory the snapshot holds, in bytes.
    size_t Bytes() const { return sizeof(*this) + Data.capacity(); }
    friend bool operator==(const TQvSheetSnapshot&, const TQvSheetSnapshot&) = default;
};

// Reads the sheet; its Modified flag is left as it was.
TQvSheetSnapshot TakeSnapshot(TQvSheet& Sheet);
// Empties the sheet (cells, merged ranges, attribute tables, individual
// sizes) and puts S back, in one update block. The Modified flag is set.
void RestoreSnapshot(TQvSheet& Sheet, const TQvSheetSnapshot& S);

}  // namespace qv
