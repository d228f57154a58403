// TQvPackedCells: the cells of one row that are held as their stored bytes
// instead of as objects.
//
// Most cells a file or an import brings are plain: a value of one of the
// simple classes and nothing of their own but perhaps an editor and number
// format (no font, hint, style or layout; everything else comes from the
// column, row and base style). Such a cell is fully described by its form
// (its class, and the editor and format part of its record, which many cells
// share: all the dates of an import) and the bytes its record holds after
// that, so a row keeps it as one 16-byte entry: the column, the form number,
// and up to eight bytes inline (longer bodies, texts for the most part, in a
// block of their own). The row makes the cell's object
// from those bytes the first time anything asks for it (TQvRow::Cells), and
// the object takes the entry's place for good.
//
// Invariants: entries are sorted by column, one per column at most; a column
// holds either a packed entry or an object in its row, never both; no entry
// lies inside a merged range. Columns are section-local.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/object.h"

namespace qv {

// A class whose plain cells may be packed, with the test of a record body
// (the bytes after the property set) that tells whether its object would
// write exactly those bytes back. Only bodies that pass are packed, so
// saving a packed cell gives the bytes its object would give.
struct TQvPackedForm {
    TClass Class = nullptr;
    bool (*IsCanonical)(std::string_view Body) = nullptr;
    // The property parts the cells of this form carry as their own (layout,
    // font, protection, editor and format), as the property set's bits and
    // the bytes the cell's record holds for them, written as the cell's
    // object writes them; none for the plain form.
    uint16_t Bits = 0;
    std::string Prefix;
};

// The property sets a packed cell's record may have: showing, a value set
// through the cell's setters (a mark without data of its own), and any of
// a layout, a font, a protection and an editor and format of its own (the
// form's part).
constexpr uint16_t PackedPropertyBits = 1u << 3;
constexpr uint16_t PackedValueBit = 1u << 9;
constexpr uint16_t PackedControlBit = 1u << 0;
constexpr uint16_t PackedLayoutBit = 1u << 1;
constexpr uint16_t PackedProtectBit = 1u << 2;
constexpr uint16_t PackedFontBit = 1u << 5;
constexpr uint16_t PackedFormBits = PackedControlBit | PackedLayoutBit | PackedProtectBit | PackedFontBit;
inline bool IsPackedPropertySet(uint16_t Bits) {
    return (Bits & ~(PackedValueBit | PackedFormBits)) == PackedPropertyBits;
}

// Registers Cls's plain packed form (once per class; cells/ does it for the
// simple classes when they are registered). Returns its form number.
uint8_t RegisterPackedForm(TClass Cls, bool (*IsCanonical)(std::string_view Body));
// The form of Cls's cells whose records hold the parts Bits (of
// PackedFormBits) as Prefix, made on first need; -1 when Cls has no packed
// form, when Prefix is not what an object would write for those parts, or
// when the 255 numbers are used up (the cells then stay objects).
int PackedFormOf(TClass Cls, uint16_t Bits = 0, std::string_view Prefix = {});
const TQvPackedForm& PackedForm(uint8_t Form);

// The parts of a form's prefix, each empty when the form does not carry it.
struct TQvFormParts {
    std::string_view Layout, Font, Protect, Control;
};
TQvFormParts SplitPackedForm(const TQvPackedForm& Form);
// The form of Form's class with Parts (empty ones absent); -1 as above.
int PackedFormWith(const TQvPackedForm& Form, const TQvFormParts& Parts);

class TStream;
struct TQvPackedCell;
// Reads a cell record of class Cls from its property set on (Record, as
// SaveRecord wrote it after the length) and tells whether it is one a
// packed entry can hold: Form, Bits and Body then describe it. The record
// must be the one Cls's object would write back byte for byte.
bool ParsePackedRecord(TClass Cls, std::string_view Record, int& Form, uint16_t& Bits, std::string_view& Body);
// The record of a packed cell from its property set on, and its length.
void WritePackedRecord(TStream& Stream, const TQvPackedCell& Cell);
size_t PackedRecordSize(const TQvPackedCell& Cell);
// The same record into Out when it fits in Room bytes: its size, else 0.
size_t CopyPackedRecord(const TQvPackedCell& Cell, char* Out, size_t Room);

struct TQvPackedCell {
    int32_t Col = 0;
    uint8_t Form = 0;
    uint8_t ValueSet = 0;  // the record's property set holds the value mark
    uint16_t Size = 0;  // body bytes: up to 8 in Short, otherwise in Long
    union {
        char Short[8];
        char* Long;
    };

    std::string_view Body() const { return {Size <= sizeof(Short) ? Short : Long, Size}; }
    uint16_t PropertyBits() const {
        return static_cast<uint16_t>((ValueSet ? PackedPropertyBits | PackedValueBit : PackedPropertyBits) |
                                     PackedForm(Form).Bits);
    }
};

static_assert(sizeof(TQvPackedCell) == 16, "a packed cell is 16 bytes");

// Entries whose cell became an object are marked gone in place rather than
// taken out, so that making one object of a long row costs a search, not a
// move of the rest; gone entries are dropped when they are half the slots
// or when they end the row.
class TQvPackedCells {
public:
    // The longest body an entry holds; longer records stay objects.
    static constexpr size_t MaxBody = UINT16_MAX;
    static constexpr uint8_t GoneForm = UINT8_MAX;

    TQvPackedCells() = default;
    ~TQvPackedCells() { Clear(); }
    TQvPackedCells(const TQvPackedCells&) = delete;
    TQvPackedCells& operator=(const TQvPackedCells&) = delete;

    bool Empty() const { return FCells.size() == FGone; }
    // Slots, gone ones included; Live tells them apart.
    size_t Slots() const { return FCells.size(); }
    bool Live(size_t I) const { return FCells[I].Form != GoneForm; }
    const TQvPackedCell& operator[](size_t I) const { return FCells[I]; }
    size_t Count() const { return FCells.size() - FGone; }
    // The highest column held, or -1 (the last slot is always live).
    int32_t LastCol() const { return FCells.empty() ? -1 : FCells.back().Col; }

    // The live entry at Col, or -1.
    int Find(int32_t Col) const;
    // The first slot at or after Col (Slots() when none).
    size_t LowerBound(int32_t Col) const;
    // Stores Body at Col, replacing an entry there. Appending in column
    // order costs nothing per entry beyond the copy.
    void Put(int32_t Col, uint8_t Form, bool ValueSet, std::string_view Body);
    // Gives the live entry in slot I form Form (of the same class).
    void SetForm(size_t I, uint8_t Form) { FCells[I].Form = Form; }
    // Frees the entries of the slots [First, Last).
    void Erase(size_t First, size_t Last);
    // Columns At and above move up by N.
    void InsertSpace(int32_t At, int32_t N);
    // The columns At .. At + N - 1 go; the ones above move down by N.
    void DeleteRange(int32_t At, int32_t N);
    void Clear();
    // Gives back the capacity a row's loading left over.
    // Safe in destructors: without the memory to move, the room stays.
    void Trim() noexcept {
        try {
            if (FCells.capacity() > FCells.size()) FCells.shrink_to_fit();
        } catch (...) {
        }
    }

private:
    static void Free(TQvPackedCell& C);
    // Drops gone slots at the end, and all of them once they are half.
    void Tidy();
    std::vector<TQvPackedCell> FCells;
    size_t FGone = 0;
};

}  // namespace qv
