#include "grids/pro_range.h"

#include <cstring>
#include <unordered_map>
#include <vector>

#include "grids/base_style.h"
#include "grids/cell.h"
#include "grids/packed_cells.h"
#include "grids/pro.h"
#include "grids/section.h"
#include "platform/font.h"
#include "platform/stream.h"

namespace qv {

QV_ABSTRACT_CLASS_IMPL(TQvProRange, TQvProCell)

TQvProRange::TQvProRange(TObject* Owner) : TQvProCell(Owner), FOldFont(std::make_unique<TFont>()) {
    IncludeState(psAlwaysNotify);
}

TQvProRange::~TQvProRange() = default;

void TQvProRange::Assign(const TPersistent* Source) {
    TQvProCell::Assign(Source);
    TakeSnapshots();
}

void TQvProRange::TakeSnapshots() {
    FOldFont->Assign(Font());
    FOldLayout = Layout();
    FOldControl = Control();
}

TQvCell* TQvProRange::TopLeftCell() const {
    TQvSection* s = Section();
    return s ? s->FindCell(TopLeft()) : nullptr;
}

TQvStyle* TQvProRange::GetStyle() const {
    TQvCell* c = TopLeftCell();
    return c ? c->GetStyle() : nullptr;
}

void TQvProRange::SetStyle(TQvStyle* S) {
    TQvSection* s = Section();
    if (!s) return;
    if (S != GetStyle()) s->NeedCell(TopLeft())->SetStyle(S);
    Changed(piStyle);
}

TClass TQvProRange::GetCellClass() const {
    TQvSection* s = Section();
    return s ? s->CellClassAt(TopLeft()) : nullptr;
}

void TQvProRange::SetCellClass(TClass Cls) {
    if (HasState(psSilent)) return;
    if (TQvSection* s = Section()) s->SetCellClassAt(TopLeft(), Cls);
    Changed(piControl);
}

TVariant TQvProRange::GetValue() {
    TQvCell* c = TopLeftCell();
    return c ? c->GetValue() : TVariant();
}

void TQvProRange::SetValue(const TVariant& V) {
    ApplyValue([&V](TQvCell* Cell) { Cell->SetValue(V); });
}

void TQvProRange::SetAsInteger(int32_t V) {
    ApplyValue([V](TQvCell* Cell) { Cell->SetAsInteger(V); });
}

TObject* TQvProRange::AsObject() {
    TQvCell* c = TopLeftCell();
    return c ? c->AsObject() : nullptr;
}

void TQvProRange::ApplyValue(const std::function<void(TQvCell*)>& Write) {
    if (HasState(psSilent)) return;
    TQvSection* s = Section();
    if (!s) return;
    TQvCell* first = s->NeedCell(TopLeft());
    Write(first);
    // Each cell takes the value itself: copying the top-left cell's value
    // would turn an integer meant as a pick list's line into its item list.
    struct Reset {
        const std::function<void(TQvCell*)>*& Writer;
        ~Reset() { Writer = nullptr; }
    } reset{FValueWriter};
    FValueWriter = &Write;
    Changed(piValue);
}

template <typename F>
void TQvProRange::ForEachCellCreating(F&& Fn, bool SkipPacked) {
    TQvSection* s = Section();
    if (!SkipPacked) {
        s->ForEachCell(GetRect(), true, [&](TQvCell* Cell, bool&) {
            Cell->IncludeState(psInvalidated);
            Fn(Cell);
        });
        return;
    }
    const TRect r = GetRect();
    // Rows whose positions in the rectangle all hold packed cells have
    // nothing left to do; rows past the last stored one are walked.
    const auto allPacked = [&](const TQvRow* Row) {
        if (!Row || !s->Unions().empty()) return false;
        const TQvPackedCells& p = Row->Packed();
        const size_t first = p.LowerBound(r.Left), last = p.LowerBound(r.Right);
        if (last - first != size_t(r.Right - r.Left)) return false;
        for (size_t i = first; i < last; ++i)
            if (!p.Live(i)) return false;
        return true;
    };
    for (int32_t y = r.Top; y < r.Bottom; ++y) {
        const TQvRow* row = s->Rows(y);
        if (allPacked(row)) continue;
        s->ForEachPosition({r.Left, y, r.Right, y + 1}, [&](TPoint P, bool&) {
            if (row && row->Packed().Find(P.X) >= 0) return;
            if (TQvCell* c = s->NeedCell(P)) {
                c->IncludeState(psInvalidated);
                Fn(c);
            }
        });
    }
}

namespace {

// The part of the property set that placing copies into a packed cell
// from its supplier, the section's base style.
TQvPro* PackedSupplier(TQvSection* Section) { return Section->BaseStyle(); }

std::string FontPart(const TFont& F) {
    TMemoryStream m;
    WriteFontRecord(m, F);
    return m.Bytes();
}

}  // namespace

void TQvProRange::Changed(int Id) {
    if (HasState(psSilent)) return;
    TQvSection* s = Section();
    if (!s) return;
    const TRect r = GetRect();
    s->Invalidate(r, false);
    switch (Id) {
        case piControl: ApplyControl(); break;
        case piLayout: ApplyLayout(); break;
        case piFont: ApplyFont(); break;
        case piColor: break;  // the fill was written into the tables by SetLine
        case piHint:
            s->ForEachCell(r, false, [](TQvCell* Cell, bool&) {
                Cell->IncludeState(psInvalidated);
                Cell->SetHint(std::string());
            });
            break;
        case piValue:
            if (FValueWriter) {
                TQvCell* first = TopLeftCell();
                ForEachCellCreating([&](TQvCell* Cell) {
                    if (Cell != first) (*FValueWriter)(Cell);
                });
                break;
            }
            [[fallthrough]];
        default:
            ForEachCellCreating([&](TQvCell* Cell) { Cell->AssignProperty(this, Id); });
    }
}

void TQvProRange::ApplyControl() {
    const TQvControl now = Control();
    const bool editorChanged = now.EditorIndex != FOldControl.EditorIndex;
    const bool formatChanged = now.Format != FOldControl.Format;
    TQvSection* s = Section();
    const TClass cls = GetCellClass();
    s->ForEachPosition(GetRect(), [&](TPoint P, bool&) { s->SetCellClassAt(P, cls); });
    if (editorChanged || formatChanged) {
        ForEachCellCreating([&](TQvCell* Cell) {
            if (editorChanged) Cell->SetEditorIndex(now.EditorIndex);
            if (formatChanged) Cell->SetFormat(now.Format);
        });
    }
    FOldControl = Control();
}

void TQvProRange::ApplyLayout() {
    const TQvLayout now = Layout();
    const TQvLayout old = FOldLayout;
    const auto apply = [&](TQvLayout l) {
        if (now.HAlign != old.HAlign) l.HAlign = now.HAlign;
        if (now.VAlign != old.VAlign) l.VAlign = now.VAlign;
        if (now.Indent != old.Indent) l.Indent = now.Indent;
        if (now.WrapMode != old.WrapMode) l.WrapMode = now.WrapMode;
        return l;
    };
    // Packed cells take a form with the new layout in place, as the setter
    // would assign it: only where it differs from the one they show.
    TQvSection* s = Section();
    TQvPro* supplier = PackedSupplier(s);
    s->ReformPacked(GetRect(), [&](uint8_t Form) {
        const TQvPackedForm& f = PackedForm(Form);
        TQvFormParts parts = SplitPackedForm(f);
        uint32_t raw = supplier ? supplier->Layout().Pack() : TQvLayout().Pack();
        if (!parts.Layout.empty()) std::memcpy(&raw, parts.Layout.data(), sizeof raw);
        const TQvLayout shown = TQvLayout::Unpack(raw);
        const TQvLayout after = apply(shown);
        if (after == shown) return int(Form);
        const uint32_t packed = after.Pack();
        parts.Layout = std::string_view(reinterpret_cast<const char*>(&packed), sizeof packed);
        return PackedFormWith(f, parts);
    });
    ForEachCellCreating([&](TQvCell* Cell) { Cell->SetLayout(apply(Cell->Layout())); }, true);
    FOldLayout = Layout();
}

void TQvProRange::ApplyFont() {
    const TFont& now = *Font();
    const TFont& old = *FOldFont;
    const bool name = now.Name() != old.Name();
    const bool color = now.Color() != old.Color();
    const bool charset = now.Charset() != old.Charset();
    const bool size = now.Size() != old.Size();
    const TFontStyle flags[] = {fsBold, fsItalic, fsUnderline, fsStrikeOut};
    // Only the attributes the range changed are written; the rest of each
    // cell's font stays its own.
    const auto apply = [&](TFont& F) {
        if (name) F.SetName(now.Name());
        if (color) F.SetColor(now.Color());
        if (charset) F.SetCharset(now.Charset());
        if (size) F.SetSize(now.Size());
        TFontStyles st = F.Style();
        for (TFontStyle flag : flags) {
            if (now.Style().Contains(flag) == old.Style().Contains(flag)) continue;
            if (now.Style().Contains(flag)) st.Include(flag);
            else st.Exclude(flag);
        }
        F.SetStyle(st);
    };
    // Cells that show the same font before get the same font after, held
    // once: making a column of a million cells bold makes one font. A cell
    // with a font of its own alone is changed in place, as a font a caller
    // may hold stays that cell's font.
    static const TFont defaultFont;
    // Packed cells take a form with the new font in place.
    TQvSection* s = Section();
    TQvPro* supplier = PackedSupplier(s);
    s->ReformPacked(GetRect(), [&](uint8_t Form) {
        const TQvPackedForm& f = PackedForm(Form);
        TQvFormParts parts = SplitPackedForm(f);
        TFont shown;
        if (!parts.Font.empty()) {
            TMemoryStream m{std::string(parts.Font)};
            ReadFontRecord(m, shown);
        } else if (const TFont* inherited = supplier ? supplier->ShownFont() : nullptr) {
            shown.Assign(inherited);
        } else {
            shown.Assign(&defaultFont);
        }
        TFont after;
        after.Assign(&shown);
        apply(after);
        if (after.Equals(shown)) return int(Form);
        const std::string part = FontPart(after);
        parts.Font = part;
        return PackedFormWith(f, parts);
    });
    std::unordered_map<const TFont*, TQvSharedFont> made;
    // The fonts the map is keyed by stay alive while it is, so that no key
    // can come to stand for another font at a reused address.
    std::vector<TQvSharedFont> keys;
    const TFont* lastShown = nullptr;
    const TQvSharedFont* lastAfter = nullptr;
    ForEachCellCreating([&](TQvCell* Cell) {
        if (Cell->HasFont() && !Cell->FontShared()) {
            apply(*Cell->Font());
            return;
        }
        const TFont* shown = Cell->ShownFont();
        if (!shown) shown = &defaultFont;
        if (shown != lastShown) {
            TQvSharedFont& after = made[shown];
            if (!after) {
                if (Cell->HasFont()) keys.push_back(Cell->HeldFont());
                TQvSharedFont f = TQvSharedFont::Make(shown);
                apply(*f.Own());
                after = std::move(f);
            }
            lastShown = shown;
            lastAfter = &after;
        }
        if (!(*lastAfter)->Equals(*shown)) Cell->ShareFont(*lastAfter);
    }, true);
    FOldFont->Assign(&now);
}

bool TQvProRange::Merge() {
    if (IsSingle()) return false;
    Section()->Merge(GetRect());
    return true;
}

bool TQvProRange::MergeLines() {
    const TRect r = GetRect();
    for (int32_t y = r.Top; y < r.Bottom; ++y) Section()->Merge({r.Left, y, r.Right, y + 1});
    return true;
}

bool TQvProRange::Clear() {
    Section()->FreeCells(GetRect());
    return true;
}

}  // namespace qv
