// TQvCell: the base class of every stored cell. A cell belongs to one row of
// one section, knows its column, and is a property set and a value for its
// own one-cell rectangle (or the merged range it heads). What it does not own
// is resolved through its named style and its section's base style.
//
// Cells are created by their section (TQvSection::NeedCell and friends)
// through TQvCell::CreateAt, never with new directly: placing a cell calls
// virtual operations (CreateData, InheritProperty) that must reach the typed
// class, which C++ does not allow from a constructor. For the same reason a
// typed class frees its own data in its destructor.
#pragma once

#include "grids/pro_cell.h"
#include "platform/small_memory.h"

namespace qv {

class TQvRow;
class TQvUnion;

// A cell class reference: the descriptor of a TQvCell descendant.
using TQvCellClass = TClass;

class TQvCell : public TQvProCell {
    QV_CLASS(TQvCell)
public:
    // Creates a cell of class Cls at local point Coord of Section: at the
    // top-left of a merged range containing Coord (becoming its cell),
    // creating the row if needed; copies Control, Layout, Protect and Showing
    // from its supplier and requests its repaint. Cls must be a registered,
    // creatable cell class.
    static TQvCell* CreateAt(TQvCellClass Cls, TQvSection* Section, TPoint Coord);
    ~TQvCell() override;

    // A virtual destructor makes delete pass the size of the object's own
    // class, whichever cell class it is.
    static void* operator new(size_t Size) { return AllocateSmallObject(Size); }
    static void operator delete(void* P, size_t Size) noexcept { FreeSmallObject(P, Size); }

    TQvRow* Row() const;
    int32_t Col() const { return FCol; }

    TQvStyle* GetStyle() const override { return RareParts() ? RareParts()->Style : nullptr; }
    // Raises EQvGridError "Cannot use Style from disconnected Styler!" for a
    // style of another styler than the sheet's.
    void SetStyle(TQvStyle* S) override;
    TClass GetCellClass() const override { return ClassType(); }
    // A cell cannot change its class; the section replaces the cell instead.
    void SetCellClass(TClass) override {}
    void Changed(int Id) override;
    void AssignProperty(const TQvPro* Source, int Id) override;
    TQvPro* FindSource(int Id) override;
    void ReadFromStream(TStream& Stream) override;
    void WriteToStream(TStream& Stream) override;

    TQvSection* Section() const override;
    TRect GetRect() const override;
    // Merges through the cell: a non-empty R is moved to start at the cell
    // and becomes the rectangle of the range the cell heads (created when
    // needed); an empty R deletes that range.
    void SetRect(const TRect& R) override;

    std::string Hint() const { return RareParts() ? RareParts()->Hint.str() : std::string(); }
    void SetHint(const std::string& S);

    // Hooks the grid calls.
    virtual std::string GetHint() const { return Hint(); }
    virtual void Click() {}
    virtual void DblClick() {}
    // Every typed key other than Enter on the current cell; a handler that
    // consumes the key sets it to 0.
    virtual void KeyPress(char32_t& Key) { (void)Key; }

protected:
    TQvCell() : TQvProCell(nullptr) {}
    // Picture and pick-list cells create their data object here.
    virtual void CreateData() {}

private:
    friend class TQvRow;
    friend class TQvSection;
    friend class TQvCellBatch;
    void Place(TQvSection* Section, TPoint Coord);

    // What placing copies into a cell from its supplier: format, editor
    // index, layout, protection and visibility. Alike for all cells of one
    // class in one section while the base style stays as it is.
    struct TPlacedProps {
        TCompactString Format;
        int32_t EditorIndex = 0;
        uint32_t Layout = 0;
        uint8_t State = 0;  // psProtected and psHidden
    };
    TPlacedProps PlacedProps() const;
    // Place for a new cell at an empty position of Row outside any merged
    // range, with the properties placing would copy already known; requests
    // no repaint (the caller repaints the whole area once).
    void PlaceAs(TQvRow* Row, int32_t Col, const TPlacedProps& Props);
    // Places a cell made from a packed entry: what placing copies is copied,
    // but nothing repaints, as the cell shows what the entry showed.
    void PlaceQuietly(TQvRow* Row, int32_t Col);

    // In the four bytes the property set leaves free; the style and the hint
    // are among the rare parts.
    int32_t FCol = 0;
};

}  // namespace qv
