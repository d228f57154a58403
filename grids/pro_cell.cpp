#include "grids/pro_cell.h"

#include <algorithm>
#include <cstring>

#include "grids/section.h"
#include "grids/sheet.h"

namespace qv {

QV_ABSTRACT_CLASS_IMPL(TQvProCell, TQvValue)

namespace {

// The ranges and the selection are defined above this layer; a source is
// recognised as a range by its class chain, so that this layer needs no
// knowledge of the range class itself.
bool IsRangeClass(TClass Cls) {
    for (TClass c = Cls; c; c = c->Parent)
        if (std::strcmp(c->Name, "TQvProRange") == 0) return true;
    return false;
}

}  // namespace

TQvLine TQvProCell::GetLine(int Index, bool& IsAssigned) const {
    IsAssigned = false;
    const TQvSection* s = Section();
    if (!s) return 0;
    const TRect r = GetRect();
    bool uniform = false;
    TQvLine v = 0;
    switch (Index) {
        case liLeft: v = s->GetLine(tbVertLines, r.Left, r.Top, r.Bottom - 1, uniform); break;
        case liTop: v = s->GetLine(tbHorzLines, r.Top, r.Left, r.Right - 1, uniform); break;
        case liRight: v = s->GetLine(tbVertLines, r.Right, r.Top, r.Bottom - 1, uniform); break;
        case liBottom: v = s->GetLine(tbHorzLines, r.Bottom, r.Left, r.Right - 1, uniform); break;
        // Diagonals, like the fill, are read at the top-left cell.
        case liBias1: v = s->GetLine(tbBias1, r.Top, r.Left, r.Left, uniform); break;
        case liBias2: v = s->GetLine(tbBias2, r.Top, r.Left, r.Left, uniform); break;
        case liHInternal:
        case liVInternal: {
            // Inner lines are defined only when every one of them is uniform
            // and all are equal; the value reported is the largest met.
            const bool horz = Index == liHInternal;
            const int32_t from = horz ? r.Top : r.Left;
            const int32_t to = horz ? r.Bottom : r.Right;
            if (to - from <= 1) return 0;
            TQvLine result = 0;
            bool assigned = true;
            for (int32_t k = from + 1; k < to; ++k) {
                bool u = false;
                const TQvLine line = horz ? s->GetLine(tbHorzLines, k, r.Left, r.Right - 1, u)
                                          : s->GetLine(tbVertLines, k, r.Top, r.Bottom - 1, u);
                const bool differs = k > from + 1 && line != v;
                result = std::max(result, line);
                v = line;
                if (!u || differs) {
                    assigned = false;
                    break;
                }
            }
            IsAssigned = assigned;
            return result;
        }
        case liFillColor: v = s->GetLine(tbFill, r.Top, r.Left, r.Left, uniform); break;
        case liFrameStyle: return static_cast<TQvLine>(s->AreaValue(r.Left, r.Top)) & 0x7F;
        default: return 0;
    }
    IsAssigned = uniform;
    return v;
}

void TQvProCell::SetLine(int Index, TQvLine Value) {
    // Silent keeps a loading selection from writing what it reads over its
    // rectangle; a property being inherited from a style is written.
    if (HasState(psSilent) && !Inheriting()) return;
    TQvSection* s = Section();
    if (!s) return;
    const TRect r = GetRect();
    if (r.IsEmpty()) return;
    // A write over many rows, or a fill a huge range takes whole, is refused
    // before anything changes.
    switch (Index) {
        case liLeft:
        case liTop:
        case liRight:
        case liBottom: break;  // one line of the rectangle's width or height
        case liBias1: s->CheckAreaWrite(tbBias1, r, Value); break;
        case liBias2: s->CheckAreaWrite(tbBias2, r, Value); break;
        case liFillColor: s->CheckAreaWrite(tbFill, r, Value); break;
        case liHInternal: s->CheckAreaWrite(tbHorzLines, r, Value); break;
        case liVInternal: s->CheckAreaWrite(tbVertLines, r, Value); break;
        default: s->CheckAreaWrite(tbFrames, r, Value & 0x7F); break;
    }
    bool changed = false;
    auto write = [&](TQvSectionTable Table, int32_t Line, int32_t From, int32_t To) {
        if (!changed) {
            bool uniform = false;
            const TQvLine old = s->GetLine(Table, Line, From, To, uniform);
            changed = !uniform || old != (Table == tbFrames ? (Value & 0x7F) : Value);
        }
        if (Table == tbFrames)
            s->SetAreaValue(Line, From, To, static_cast<uint8_t>(Value & 0x7F));
        else
            s->SetLine(Table, Line, From, To, Value);
    };
    switch (Index) {
        case liLeft: write(tbVertLines, r.Left, r.Top, r.Bottom - 1); break;
        case liTop: write(tbHorzLines, r.Top, r.Left, r.Right - 1); break;
        case liRight: write(tbVertLines, r.Right, r.Top, r.Bottom - 1); break;
        case liBottom: write(tbHorzLines, r.Bottom, r.Left, r.Right - 1); break;
        case liBias1:
        case liBias2:
        case liFillColor: {
            const TQvSectionTable table = Index == liBias1 ? tbBias1 : Index == liBias2 ? tbBias2 : tbFill;
            for (int32_t y = r.Top; y < r.Bottom; ++y) write(table, y, r.Left, r.Right - 1);
            break;
        }
        case liHInternal:
            for (int32_t y = r.Top + 1; y < r.Bottom; ++y) write(tbHorzLines, y, r.Left, r.Right - 1);
            break;
        case liVInternal:
            for (int32_t x = r.Left + 1; x < r.Right; ++x) write(tbVertLines, x, r.Top, r.Bottom - 1);
            break;
        default:
            for (int32_t y = r.Top; y < r.Bottom; ++y) write(tbFrames, y, r.Left, r.Right - 1);
            break;
    }
    s->NormaliseUnionsIn(r);
    s->Invalidate(r, Index >= liLeft && Index <= liBottom);
    // A changed line is a changed cell, though the tables repaint it
    // themselves rather than through Changed.
    if (changed)
        if (TQvSheet* sheet = s->Sheet()) sheet->SetModified(true);
}

void TQvProCell::Assign(const TPersistent* Source) {
    if (const TQvProCell* src = dynamic_cast<const TQvProCell*>(Source); src && IsRangeClass(src->ClassType()))
        SetRect(src->GetRect());
    TQvPro::Assign(Source);
}

std::string TQvProCell::GetNamePath() const {
    const TRect r = GetRect();
    if (IsSingle()) return "Cell [" + std::to_string(r.Left) + ", " + std::to_string(r.Top) + "]";
    return "Cells [" + std::to_string(r.Left) + ", " + std::to_string(r.Top) + " : " + std::to_string(r.Right - 1) +
           ", " + std::to_string(r.Bottom - 1) + "]";
}

TQvSheet* TQvProCell::Sheet() const {
    const TQvSection* s = Section();
    return s ? s->Sheet() : nullptr;
}

TQvSectionKind TQvProCell::Kind() const {
    const TQvSection* s = Section();
    return s ? s->Kind() : skClient;
}

bool TQvProCell::IsSingle() const {
    const TRect r = GetRect();
    if (r.Width() == 1 && r.Height() == 1) return true;
    const TQvSection* s = Section();
    return s && s->HasUnion(r);
}

bool TQvProCell::HasUnions() const {
    const TQvSection* s = Section();
    return s && s->FindIntersecting(GetRect(), nullptr) != nullptr;
}

void TQvProCell::Split() {
    if (TQvSection* s = Section()) s->RemoveUnionsIn(GetRect());
}

}  // namespace qv
