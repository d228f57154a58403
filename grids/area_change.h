// TQvAreaChange: what one command changed in one area of a section, kept
// as the difference of the area's records before and after it (two
// TQvAreaSnapshot values with the same frame: counts and merged ranges). It
// holds only what differs, with both versions, so that it can be applied
// either way while the sheet holds the other side:
//   - a cell that changed: its position and its kind of change, from a table
//     of kinds (class, mark, style, and the bytes where the two records
//     differ, both versions); the bytes the records share are taken from the
//     cell as the sheet holds it when the change is applied. Making a column
//     bold is one kind for all its cells of one form, so a cell costs its
//     position and a kind number, a few bytes;
//   - a table line that changed: its line and a kind of change (both
//     versions of its entries in the area), shared by the lines changed
//     alike;
//   - the individual sizes, both versions, only when they changed.
// A digest of each side's record tells whether the area still holds that
// side, so that a change made outside the undo steps is noticed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "grids/types.h"
#include "platform/geometry.h"
#include "platform/object.h"

namespace qv {

class TQvAreaSnapshot;
class TQvSheet;

class TQvAreaChange {
public:
    // Before and After: the records of one area, taken around a command
    // that kept its frame (Before.SameFrame(After)).
    TQvAreaChange(const TQvAreaSnapshot& Before, const TQvAreaSnapshot& After);

    TQvSectionKind Kind() const { return FKind; }
    const TRect& Area() const { return FArea; }
    // Whether Sheet's area holds side After (true) or Before (false).
    bool Holds(TQvSheet& Sheet, bool After) const;
    // Puts side After (true) or Before (false) into Sheet, which holds the
    // other side, in one update block.
    void Apply(TQvSheet& Sheet, bool After) const;
    // The memory the change holds, in bytes.
    size_t Bytes() const;

private:
    // One side of a cell's change.
    struct TSide {
        bool Present = false;
        uint32_t Class = 0;  // index into FClasses
        uint8_t Flags = 0;  // 1 refused entry, 2 styled
        uint32_t Style = 0;  // index into FStyles when styled
    };
    // A kind of cell change: the sides, and the records as the bytes they
    // share in front (Common), then each side's own middle; what follows
    // the middles is the same in both.
    struct TKind {
        TSide Side[2];
        uint32_t Common = 0;
        std::string Middle[2];
    };
    void ApplyCells(TQvSheet& Sheet, bool After) const;
    void ApplyLines(TQvSheet& Sheet, bool After) const;
    void ApplySizes(TQvSheet& Sheet, bool After) const;

    TQvSectionKind FKind;
    TRect FArea;
    uint64_t FDigest[2] = {0, 0};
    std::vector<TClass> FClasses;
    std::vector<std::string> FStyles;
    std::vector<TKind> FKinds;
    // Per changed cell: 1 + zigzag(y - previous y), zigzag(x - previous x),
    // the kind number + 1, or 0 and the kind itself; 0 ends the cells.
    std::string FCells;
    // Kinds of line change: each side's entries (0 for none, or 1 and the
    // entries as an area's record holds them).
    std::vector<std::string> FLineKinds;
    // Per table, per changed line: the line - the previous one (from -1),
    // the kind number + 1, or 0, the length and the kind itself; 0 ends the
    // table's lines.
    std::string FLines;
    // Both sides' sizes as an area's record holds them; empty when equal.
    std::string FSizes[2];
};

}  // namespace qv
