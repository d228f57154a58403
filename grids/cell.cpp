#include "grids/cell.h"
#include "grids/union.h"

#include "grids/base_style.h"
#include "grids/row.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "grids/style.h"
#include "platform/exceptions.h"
#include "platform/stream.h"

#include <string>

namespace qv {

QV_CLASS_IMPL(TQvCell, TQvProCell)

TQvCell* TQvCell::CreateAt(TQvCellClass Cls, TQvSection* Section, TPoint Coord) {
    if (!Cls || !Section) throw EQvGridError("Cannot create a cell without a cell class and a section");
    TObject* obj = Cls->Create();
    TQvCell* cell = dynamic_cast<TQvCell*>(obj);
    if (!cell) {
        delete obj;
        throw EQvGridError(std::string("Class ") + Cls->Name + " cannot be created as a cell");
    }
    // A cell already stored where the new one goes is released first, so no
    // cell is ever dropped from its row without being freed.
    const TQvUnion* u = Section->FindUnionAt(Coord, true);
    const TPoint target = u ? u->TopLeft() : Coord;
    TQvRow* row = Section->NeedRow(target.Y);
    if (!row || target.X < 0 || target.X > row->MaxIndex()) {
        delete cell;
        throw EQvGridError("Cannot create a cell at (" + std::to_string(Coord.X) + ", " +
                           std::to_string(Coord.Y) + "): outside the section");
    }
    if (TQvCell* old = row->Cells(target.X)) delete old;  // takes itself out of the row
    cell->Place(Section, Coord);
    return cell;
}

void TQvCell::Place(TQvSection* Section, TPoint Coord) {
    // A merged range is represented by the cell at its top-left.
    if (TQvUnion* u = Section->FindUnionAt(Coord, true)) {
        Coord = u->TopLeft();
        u->SetCell(this);
    }
    TQvRow* row = Section->NeedRow(Coord.Y);
    FOwner = row;
    FCol = Coord.X;
    row->SetItem(Coord.X, this);
    CreateData();
    // Protection, visibility, format and layout are read straight from the
    // cell while painting and editing, so they are copied now (silently).
    for (int id = piControl; id <= piShowing; ++id) InheritProperty(id);
    IncludeState(psTextDirty);
    if (!HasState(psInvalidated)) {
        IncludeState(psInvalidated);
        Section->Invalidate(GetRect(), false);
    }
}

void TQvCell::PlaceQuietly(TQvRow* Row, int32_t Col) {
    Row->TObjectSList::SetItem(Col, this);
    FOwner = Row;
    FCol = Col;
    CreateData();
    // What Place inherits, copied without the setters: they would report a
    // change to the sheet. Properties the record set stay as read.
    const auto source = [&](int Id) -> const TQvPro* {
        if (FAssigned.Has(Id)) return nullptr;
        const TQvPro* s = FindSource(Id);
        return s == this ? nullptr : s;
    };
    if (const TQvPro* s = source(piControl); s && s->GetCellClass() == ClassType()) {
        FEditorIndex = s->EditorIndex();
        FFormat = s->FormatText();
    }
    if (const TQvPro* s = source(piLayout)) FLayout = s->Layout().Pack();
    if (const TQvPro* s = source(piProtect)) {
        if (s->Protected()) IncludeState(psProtected);
        else ExcludeState(psProtected);
    }
    if (const TQvPro* s = source(piShowing)) {
        if (s->Showing()) ExcludeState(psHidden);
        else IncludeState(psHidden);
    }
    IncludeState(psTextDirty);
}

TQvCell::TPlacedProps TQvCell::PlacedProps() const {
    return {FFormat, FEditorIndex, FLayout, static_cast<uint8_t>(FState & (psProtected | psHidden))};
}

void TQvCell::PlaceAs(TQvRow* Row, int32_t Col, const TPlacedProps& Props) {
    FOwner = Row;
    FCol = Col;
    Row->SetItem(Col, this);
    CreateData();
    FFormat = Props.Format;
    FEditorIndex = Props.EditorIndex;
    FLayout = Props.Layout;
    FState |= Props.State | psTextDirty | psInvalidated;
}

TQvCell::~TQvCell() {
    TQvRow* row = Row();
    TQvSection* section = row ? row->Section() : nullptr;
    if (!section) return;  // never placed
    if (HasState(psEditing))
        if (TQvSheet* sheet = section->Sheet()) sheet->CellReleased(this, true);
    // The style is dropped without notification: the sheet may itself be
    // going away, and a departing cell has nothing left to repaint for it.
    if (FRare) FRare->Style = nullptr;
    const TRect r = GetRect();
    if (row->Index() >= 0) {
        // The object list only: a departing cell makes no packed cell an object.
        if (row->TObjectSList::GetItem(FCol) == this) row->TObjectSList::SetItem(FCol, nullptr);
        section->Invalidate(r, false);
    }
    if (TQvUnion* u = section->FindUnionOfCell(this)) u->SetCell(nullptr);
}

TQvRow* TQvCell::Row() const { return static_cast<TQvRow*>(FOwner); }

TQvSection* TQvCell::Section() const {
    const TQvRow* row = Row();
    return row ? row->Section() : nullptr;
}

void TQvCell::SetStyle(TQvStyle* S) {
    if (S) {
        const TQvSheet* sheet = Sheet();
        if (S->Styler() != (sheet ? sheet->Styler() : nullptr))
            throw EQvGridError("Cannot use Style from disconnected Styler!");
    }
    if (S == GetStyle()) return;
    Rare().Style = S;
    Changed(piStyle);
}

void TQvCell::Changed(int Id) {
    TQvProCell::Changed(Id);
    TQvSection* section = Section();
    if (!section) return;
    TQvSheet* sheet = section->Sheet();
    // Lines repaint themselves when the section's tables are written.
    if (Id != piColor && Id != piBorder) {
        if (!HasState(psInvalidated)) {
            IncludeState(psInvalidated);
            section->Invalidate(GetRect(), false);
        }
        if ((Id == piControl || Id == piLayout || Id == piFont) && HasState(psEditing) && !HasState(psSilent) && sheet)
            sheet->CellReleased(this);
    }
    if (sheet) sheet->SetModified(true);
}

void TQvCell::AssignProperty(const TQvPro* Source, int Id) {
    if (Id == piHint) {
        if (const TQvCell* src = dynamic_cast<const TQvCell*>(Source)) SetHint(src->Hint());
        return;
    }
    TQvProCell::AssignProperty(Source, Id);
}

TQvPro* TQvCell::FindSource(int Id) {
    if (TQvPro* p = TQvProCell::FindSource(Id)) return p;
    const TQvSection* section = Section();
    return section ? section->BaseStyle() : nullptr;
}

void TQvCell::WriteToStream(TStream& Stream) {
    // Bit 3 of the stored set carries the value of Showing and bit 10
    // announces a hint. A hidden cell writes bit 3 clear even when Showing
    // is one of its own properties, or it would read back visible.
    if (Showing()) FAssigned.Include(piShowing);
    const bool hint = FRare && !FRare->Hint.empty();
    if (hint) FAssigned.Include(piHint);
    const TQvProps own = FAssigned;
    if (!Showing()) FAssigned.Exclude(piShowing);
    try {
        TQvProCell::WriteToStream(Stream);
    } catch (...) {
        FAssigned = own;
        throw;
    }
    FAssigned = own;
    if (own.Has(piHint)) Stream.WriteString(hint ? FRare->Hint.str() : std::string());
}

void TQvCell::ReadFromStream(TStream& Stream) {
    TQvProCell::ReadFromStream(Stream);
    const TQvProps read = FAssigned;
    SetShowing(read.Has(piShowing));
    if (read.Has(piHint)) SetHint(Stream.ReadString());
}

TRect TQvCell::GetRect() const {
    const TQvSection* section = Section();
    if (section)
        if (const TQvUnion* u = section->FindUnionOfCell(this)) return u->Rect();
    const int32_t y = Row() ? Row()->Index() : 0;
    return {FCol, y, FCol + 1, y + 1};
}

void TQvCell::SetRect(const TRect& R) {
    TQvSection* section = Section();
    if (!section) return;
    TQvUnion* u = section->FindUnionOfCell(this);
    const int32_t y = Row()->Index();
    // One position is no merge: it ends the range the cell heads, as an
    // empty rectangle does.
    if (R.IsEmpty() || (R.Width() == 1 && R.Height() == 1)) {
        if (u) section->DeleteUnion(u);
        return;
    }
    const TRect moved = R.Offset(FCol - R.Left, y - R.Top);
    if (u) u->SetRect(moved);
    else section->AddUnion(moved, this);
}

void TQvCell::SetHint(const std::string& S) {
    if ((FRare ? FRare->Hint.view() : std::string_view()) == S) return;
    Rare().Hint = TCompactString(S);
    Changed(piHint);
}

}  // namespace qv
