// A rectangle of one section of a sheet as bytes, in the sheet's own record
// format, so that a copy between two grids (or two programs) keeps
// everything: cell classes, formats, values, hints, fonts and the other
// per-cell properties, borders, fills and frames, style names, the merged
// ranges inside the rectangle and the individual column widths and row
// heights.
//
// Layout: the signature "QVRG", a version (i32, 1), the section kind (u8),
// the width W and height H (i32), W column sizes and H row sizes (i32 each,
// -1 where the column or row has no individual size), a section record
// (the same as in the sheet's data) whose coordinates start at (0, 0), then
// the style names: a count, and per styled cell its column, row and name.
//
// Restoring reads and checks the whole record before it touches the target:
// a damaged record raises EReadError and changes nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "grids/types.h"
#include "platform/object.h"
#include "platform/geometry.h"

namespace qv {

class TQvSection;
class TQvSheet;
class TStream;

// What a paste did. Area is the section-local rectangle written (empty when
// the target had no room at all); CutCols and CutRows count the columns and
// rows of the source that lay past the end of the sheet and were dropped;
// Skipped counts the protected positions left as they were.
struct TQvPasteResult {
    TRect Area;
    int32_t CutCols = 0;
    int32_t CutRows = 0;
    int64_t Skipped = 0;
    bool WasCut() const { return CutCols > 0 || CutRows > 0; }
    // An empty string when the whole source landed; otherwise one sentence
    // saying what was dropped, for a status line.
    std::string Message() const;
};

// The part (title or client) of each axis that a section's columns and
// rows belong to.
TQvSizePart ColPartOf(TQvSectionKind Kind);
TQvSizePart RowPartOf(TQvSectionKind Kind);

// A position refuses a paste when the cell showing it (or, without one, the
// section's base style) is protected.
bool IsPasteProtected(const TQvSection& Section, TPoint P);

// The protected positions of an area of a section, taken before a paste
// changes anything. Costs the cells in the area and the rows of the merged
// ranges meeting it, not its size; a lookup is a binary search.
class TQvPasteGuard {
public:
    TQvPasteGuard(const TQvSection& Section, const TRect& Area);
    // P is section-local, inside the area.
    bool Protected(TPoint P) const;
    // The number of protected positions in the area.
    int64_t Count() const { return FCount; }

private:
    // A run of positions of one row whose protection is not the base's.
    struct TSpan {
        int32_t Y;
        int32_t Left;
        int32_t Right;  // exclusive
    };
    bool FBase = false;
    int64_t FCount = 0;
    std::vector<TSpan> FSpans;  // by row, then column; never overlapping
};

// The most positions a range record may span (columns times rows): a copy
// of more is refused, and so is a record that claims more.
constexpr int64_t RangeRecordMaxCells = int64_t(1) << 25;

// The rectangle R (section-local, right and bottom exclusive) of section
// Kind of Sheet as a range record. Raises EQvGridError for an empty
// rectangle or one outside the section's index space.
void WriteRangeRecord(TQvSheet& Sheet, TQvSectionKind Kind, const TRect& R, TStream& Stream);
std::string RangeRecordBytes(TQvSheet& Sheet, TQvSectionKind Kind, const TRect& R);

// A parsed range record, ready to be pasted any number of times.
class TQvRangeData {
public:
    // Reads one record from Stream. Raises EReadError naming the fault on
    // anything that is not a whole, consistent record, and when it needs
    // more memory than there is.
    static std::unique_ptr<TQvRangeData> Read(TStream& Stream);
    static std::unique_ptr<TQvRangeData> FromBytes(const std::string& Bytes);
    ~TQvRangeData();

    int32_t Width() const { return FWidth; }
    int32_t Height() const { return FHeight; }
    TQvSectionKind SourceKind() const { return FKind; }
    // The cells and tables, in a sheet of exactly Width x Height client
    // cells with no titles.
    TQvSheet& Cells() const { return *FCells; }

    // Writes the range into section Kind of Target with its top-left at
    // local point At: cut at the end of the section, protected positions
    // skipped, styles looked up by name in the target's styler (a missing
    // name gives no style). Merged ranges of the target that meet the area
    // are removed unless their cell is protected; outer border lines are
    // added where the source has them and never removed, since they are
    // shared with the neighbouring cells. Individual sizes are applied
    // through the sheet's SetSize when ApplySizes is set. All or nothing: on
    // any failure (out of memory raises EQvGridError saying so) the area,
    // the ranges that met it and its sizes are put back. The time taken
    // follows the area and the ranges that meet it, not the whole sheet.
    TQvPasteResult Paste(TQvSheet& Target, TQvSectionKind Kind, TPoint At, bool ApplySizes = true) const;

private:
    TQvRangeData();
    static std::unique_ptr<TQvRangeData> ReadRecord(TStream& Stream);

    std::unique_ptr<TQvSheet> FCells;
    int32_t FWidth = 0;
    int32_t FHeight = 0;
    TQvSectionKind FKind = skClient;
    std::vector<int32_t> FColSizes;  // -1: no individual size
    std::vector<int32_t> FRowSizes;
    struct TStyleName {
        int32_t X;
        int32_t Y;
        std::string Name;
    };
    std::vector<TStyleName> FStyles;
    // Each cell's record, as read and checked: pasting loads the cells
    // straight from it.
    struct TCellRecord {
        int32_t X;
        int32_t Y;
        TClass Class;
        int64_t Offset;  // into FBytes
    };
    std::vector<TCellRecord> FCellRecords;
    std::string FBytes;
};

// The message of a paste of Cells cells that ran out of memory and was
// undone.
std::string PasteOutOfMemory(size_t Cells);

// Parses Bytes and pastes them; Bytes are checked whole first.
TQvPasteResult PasteRangeRecord(const std::string& Bytes, TQvSheet& Target, TQvSectionKind Kind, TPoint At,
                                bool ApplySizes = true);

}  // namespace qv
