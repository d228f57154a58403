// TQvSheetSnapshot: everything a person can change in a sheet, taken as a
// value so that it can be put back exactly: the counts, default and maximum
// sizes, the sheet's data payload (base styles, individual sizes,
// sections), and what the payload leaves out of the cells: the style each
// uses (by name) and the mark of a refused entry. The styler, the
// background, the read-only flag and the event names are left out: no
// editing command changes them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "grids/types.h"
#include "platform/geometry.h"
#include "platform/object.h"

namespace qv {

class TQvCell;
class TQvSection;
class TQvSheet;
class TQvStyle;
class TStream;

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
    // Per cell with a style or a mark: section, column, row, flags (1 mark,
    // 2 styled), the style's name when styled.
    std::string Marks;

    // The memory the snapshot holds, in bytes.
    size_t Bytes() const { return sizeof(*this) + Data.capacity() + Marks.capacity(); }
    friend bool operator==(const TQvSheetSnapshot&, const TQvSheetSnapshot&) = default;
};

// Reads the sheet; its Modified flag is left as it was.
TQvSheetSnapshot TakeSnapshot(TQvSheet& Sheet);
// Empties the sheet (cells, merged ranges, attribute tables, individual
// sizes) and puts S back, in one update block. The Modified flag is set.
void RestoreSnapshot(TQvSheet& Sheet, const TQvSheetSnapshot& S);

// Releases the cell stored at At, packed or an object, if any.
void FreeCellAt(TQvSection& Section, TPoint At);
// Puts the cell record at Stream's position (its length first, as
// SaveRecord writes it) at At, with the mark of a refused entry when Error
// and Style when Styled, over whatever stands there; the stream ends after
// the record. A plain record (no mark, no style, outside merged ranges)
// goes in packed. Nothing is placed outside the section's index space.
void PlaceRecord(TQvSection& Section, TPoint At, TClass Cls, bool Error, TQvStyle* Style, bool Styled, TStream& Stream);
// The same for a record held as bytes (without its length).
void PlaceRecord(TQvSection& Section, TPoint At, TClass Cls, bool Error, TQvStyle* Style, bool Styled,
                 std::string_view Record);

// What one area of one section holds, taken as a value that can be put
// back: the four counts, the Modified flag, the individual sizes of the
// area's columns and rows, the cells of the area and the top-left cells of
// the merged ranges that meet it (class, record, style by name and the mark
// of a refused entry), those ranges, and the line, fill and frame entries of
// the area (the grid lines on its outline included). It costs what the area
// holds, never the rest of the sheet: the cells and entries are kept in one
// byte string, a cell in about the bytes the sheet stream writes for it.
//
// An import or a paste takes one before it writes, so that a failure (out of
// memory included) puts the area back; an undo step takes one before and one
// after a command that writes only inside the area.
class TQvAreaSnapshot {
public:
    // Without: a cell of the area taken as not there (one just made for
    // the operation).
    TQvAreaSnapshot(TQvSheet& Sheet, TQvSectionKind Kind, const TRect& Area, const TQvCell* Without = nullptr);
    // Puts everything listed above back into the sheet it was taken from,
    // Modified included, in one update block. Whatever the operation made
    // inside the area goes first, which also gives back the memory it took.
    void Restore();
    // The same for Sheet (the sheet it was taken from, or a copy of it),
    // leaving its Modified flag as the writes set it. Merged ranges that are
    // still as taken stay untouched, so their order of creation (which the
    // sheet stream keeps) survives; changed ones are made anew.
    void RestoreTo(TQvSheet& Sheet) const;

    TQvSectionKind Kind() const { return FKind; }
    const TRect& Area() const { return FArea; }
    // The counts and the merged ranges meeting the area are the same in both.
    bool SameFrame(const TQvAreaSnapshot& Other) const;
    // The memory the snapshot holds, in bytes.
    size_t Bytes() const;
    // Gives back the room taking it left over, for a snapshot kept long.
    void Compact() { FData.shrink_to_fit(); }
    // The same area holding the same things (the Modified flag aside).
    friend bool operator==(const TQvAreaSnapshot& A, const TQvAreaSnapshot& B);
    // A digest of everything operator== compares.
    uint64_t Digest() const;
    // The digest of the area's record as it would be taken now, without
    // keeping the record.
    static uint64_t DigestOf(TQvSheet& Sheet, TQvSectionKind Kind, const TRect& Area);
    bool Modified() const { return FModified; }

private:
    friend class TQvAreaChange;
    TQvAreaSnapshot(TQvSheet& Sheet, TQvSectionKind Kind, const TRect& Area, const TQvCell* Without, bool DigestOnly);
    TQvSheet* FSheet;
    TQvSectionKind FKind;
    TRect FArea;
    int32_t FCounts[2][2];
    bool FModified;
    std::vector<TRect> FUnions;  // in creation order
    // The cells' classes and style names, in the order first met; the data
    // refers to them by index.
    std::vector<TClass> FClasses;
    std::vector<std::string> FStyles;
    // The cells, then the table entries, then the sizes (see the .cpp);
    // only their digest when the snapshot is taken for that alone.
    std::string FData;
    bool FDigestOnly = false;
    uint64_t FDataDigest = 0;
};

}  // namespace qv
