// TQvSheetSnapshot: everything a person can change in a sheet, taken as a
// value so that it can be put back exactly: the counts, default and maximum
// sizes and the sheet's data payload (base styles, individual sizes,
// sections). The styler, the background, the read-only flag and the event
// names are left out: no editing command changes them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "grids/types.h"
#include "platform/geometry.h"
#include "platform/object.h"

namespace qv {

class TQvSheet;
class TQvStyle;

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

// What an import or a paste into one area of one section can change, taken
// before it writes, so that a failure (out of memory included) can put the
// sheet back as it was: the four counts, the Modified flag, the individual
// sizes of the area's columns and rows, the cells of the area and the
// top-left cells of the merged ranges that meet it, those ranges, and the
// line, fill and frame entries of the area (the grid lines on its outline
// included). It costs what the area holds, never the rest of the sheet.
class TQvAreaSnapshot {
public:
    TQvAreaSnapshot(TQvSheet& Sheet, TQvSectionKind Kind, const TRect& Area);
    // Puts everything listed above back, in one update block. Whatever the
    // operation made inside the area goes first, which also gives back the
    // memory it took.
    void Restore();

private:
    struct TCell {
        TPoint At;
        TClass Class;
        TQvStyle* Style;
        size_t End;  // where its record ends in FRecords
    };
    struct TRun {
        int32_t Table;
        int32_t Line;
        int32_t From;
        int32_t To;
        int32_t Value;
    };
    struct TSize {
        int32_t Index;
        int32_t Raw;  // offset from the default, as the list stores it
    };
    void SaveCell(TPoint P);

    TQvSheet& FSheet;
    TQvSectionKind FKind;
    TRect FArea;
    int32_t FCounts[2][2];
    bool FModified;
    std::vector<TCell> FCells;
    std::string FRecords;
    std::vector<TRect> FUnions;  // in creation order
    std::vector<TRun> FRuns;
    std::vector<TSize> FSizes[2];  // per axis, of the part the section uses
};

}  // namespace qv
