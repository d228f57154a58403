#include "grids/area_change.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <unordered_map>

#include "grids/area_codec.h"
#include "grids/cell.h"
#include "grids/packed_cells.h"
#include "grids/row.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "grids/sheet_snapshot.h"
#include "grids/styler.h"
#include "platform/stream.h"

namespace qv {

using namespace area_codec;

namespace {

// A cell as an area's record holds it.
struct TCellView {
    int32_t Y, X;
    TClass Class;
    uint8_t Flags;
    const std::string* Style;
    std::string_view Record;  // without its length
};

bool Before(const TCellView& A, const TCellView& B) { return A.Y != B.Y ? A.Y < B.Y : A.X < B.X; }

// A table line as an area's record holds it: its entries, the frames
// default first, up to and with the 0 that ends them.
struct TLineView {
    int32_t Line;
    std::string_view Entries;
};

template <typename T>
uint32_t IndexOf(std::vector<T>& List, const T& Item) {
    for (size_t i = 0; i < List.size(); ++i)
        if (List[i] == Item) return static_cast<uint32_t>(i);
    List.push_back(Item);
    return static_cast<uint32_t>(List.size() - 1);
}

void SkipEntries(int T, TStream& S) {
    if (T == tbFrames) GetVar(S);
    for (uint64_t dk = GetVar(S); dk != 0; dk = GetVar(S)) {
        GetVar(S);
        GetVar(S);
    }
}

// The record of the cell the sheet holds at P (packed or an object), in
// Scratch; empty when there is none.
std::string_view CurrentRecord(TQvSection& Section, TPoint P, TMemoryStream& Scratch) {
    Scratch.Clear();
    const TQvRow* row = Section.Rows(P.Y);
    if (!row) return {};
    if (const int i = row->Packed().Find(P.X); i >= 0) {
        WritePackedRecord(Scratch, row->Packed()[static_cast<size_t>(i)]);
    } else if (TObject* obj = static_cast<const TObjectSList*>(row)->GetItem(P.X)) {
        static_cast<TQvCell*>(obj)->WriteToStream(Scratch);
    }
    return Scratch.Bytes();
}

}  // namespace

// --- taking the difference ----------------------------------------------------

namespace {

// Reads what an area's record holds, in its order: cells, lines, sizes.
class TRecordReader {
public:
    TRecordReader(const std::string& Data, const std::vector<TClass>& Classes, const std::vector<std::string>& Styles)
        : P(Data.data()), End(Data.data() + Data.size()), FClasses(&Classes), FStyles(&Styles) {}

    // The next cell, false after the last.
    bool NextCell(TCellView& C) {
        const uint64_t dy = GetVar(P, End);
        if (dy == 0) return false;
        FY += Unzig(dy - 1);
        FX += Unzig(GetVar(P, End));
        C = {static_cast<int32_t>(FY), static_cast<int32_t>(FX), (*FClasses)[GetVar(P, End)], 0, nullptr, {}};
        C.Flags = static_cast<uint8_t>(*P++);
        if (C.Flags & 2) C.Style = &(*FStyles)[GetVar(P, End)];
        int32_t length = 0;
        std::memcpy(&length, P, sizeof length);
        C.Record = std::string_view(P + 4, static_cast<size_t>(length) - 4);
        P += length;
        return true;
    }

    std::vector<TLineView> Lines(int T) {
        std::vector<TLineView> lines;
        int64_t line = 0;
        for (uint64_t dl = GetVar(P, End); dl != 0; dl = GetVar(P, End)) {
            line += Unzig(dl - 1);
            const char* from = P;
            if (T == tbFrames) GetVar(P, End);
            for (uint64_t dk = GetVar(P, End); dk != 0; dk = GetVar(P, End)) {
                GetVar(P, End);
                GetVar(P, End);
            }
            lines.push_back({static_cast<int32_t>(line), std::string_view(from, static_cast<size_t>(P - from))});
        }
        return lines;
    }

    std::string_view Rest() const { return {P, static_cast<size_t>(End - P)}; }

private:
    const char* P;
    const char* End;
    const std::vector<TClass>* FClasses;
    const std::vector<std::string>* FStyles;
    int64_t FY = 0, FX = 0;
};

// Cells read again whole and sorted, for the rare record out of row order.
class TSortedCells {
public:
    explicit TSortedCells(TRecordReader& R) {
        for (TCellView c; R.NextCell(c);) FCells.push_back(c);
        std::stable_sort(FCells.begin(), FCells.end(), Before);
    }
    bool NextCell(TCellView& C) {
        if (FNext == FCells.size()) return false;
        C = FCells[FNext++];
        return true;
    }

private:
    std::vector<TCellView> FCells;
    size_t FNext = 0;
};

}  // namespace

TQvAreaChange::TQvAreaChange(const TQvAreaSnapshot& Before, const TQvAreaSnapshot& After)
    : FKind(Before.FKind), FArea(Before.FArea) {
    FDigest[0] = Before.Digest();
    FDigest[1] = After.Digest();
    TRecordReader rb(Before.FData, Before.FClasses, Before.FStyles), ra(After.FData, After.FClasses, After.FStyles);

    // The cells.
    {
        std::unordered_map<std::string, uint32_t> known;
        std::string key;
        TPoint last{0, 0};
        const auto side = [&](const TCellView* C) {
            TSide s;
            if (!C) return s;
            s.Present = true;
            s.Class = IndexOf(FClasses, C->Class);
            s.Flags = C->Flags;
            if (C->Style) s.Style = IndexOf(FStyles, *C->Style);
            return s;
        };
        const auto encode = [](std::string& Out, const TKind& K) {
            for (const TSide& s : K.Side) {
                Out.push_back(static_cast<char>((s.Present ? 1 : 0) | (s.Flags << 1)));
                PutVar(Out, s.Class);
                PutVar(Out, s.Style);
            }
            PutVar(Out, K.Common);
            for (const std::string& m : K.Middle) {
                PutVar(Out, m.size());
                Out += m;
            }
        };
        const auto emit = [&](const TCellView* B, const TCellView* A) {
            const TCellView& at = B ? *B : *A;
            TKind k;
            k.Side[0] = side(B);
            k.Side[1] = side(A);
            if (B && A) {
                const std::string_view r0 = B->Record, r1 = A->Record;
                const size_t most = std::min(r0.size(), r1.size());
                size_t a = 0;
                while (a < most && r0[a] == r1[a]) ++a;
                size_t z = 0;
                while (z < most - a && r0[r0.size() - 1 - z] == r1[r1.size() - 1 - z]) ++z;
                k.Common = static_cast<uint32_t>(a);
                k.Middle[0] = r0.substr(a, r0.size() - a - z);
                k.Middle[1] = r1.substr(a, r1.size() - a - z);
            } else {
                k.Middle[B ? 0 : 1] = (B ? B : A)->Record;
            }
            PutVar(FCells, 1 + Zig(int64_t(at.Y) - last.Y));
            PutVar(FCells, Zig(int64_t(at.X) - last.X));
            last = {at.X, at.Y};
            key.clear();
            encode(key, k);
            if (auto it = known.find(key); it != known.end()) {
                PutVar(FCells, it->second + 1);
                return;
            }
            // Changes of a cell's own bytes (new values) are kept with the
            // cell; the table holds the kinds many cells share.
            if (FKinds.size() < 65536 && key.size() <= 512) {
                known.emplace(key, static_cast<uint32_t>(FKinds.size()));
                FKinds.push_back(std::move(k));
                PutVar(FCells, FKinds.size());
                return;
            }
            PutVar(FCells, 0);
            FCells += key;
        };
        // Both records list their cells in row order, but for the cells
        // heading ranges that reach into the area from outside, which come
        // last: a merge that meets a cell out of order starts again over
        // the cells sorted.
        const auto merge = [&](auto& B, auto& A) {
            TCellView b, a;
            bool hasB = B.NextCell(b), hasA = A.NextCell(a);
            while (hasB || hasA) {
                const TCellView was = hasB && (!hasA || !qv::Before(a, b)) ? b : a;
                if (!hasA || (hasB && qv::Before(b, a))) {
                    emit(&b, nullptr);
                    hasB = B.NextCell(b);
                } else if (!hasB || qv::Before(a, b)) {
                    emit(nullptr, &a);
                    hasA = A.NextCell(a);
                } else {
                    const bool same = b.Class == a.Class && b.Flags == a.Flags && b.Record == a.Record &&
                                      (!b.Style || *b.Style == *a.Style);
                    if (!same) emit(&b, &a);
                    hasB = B.NextCell(b);
                    hasA = A.NextCell(a);
                }
                if ((hasB && !qv::Before(was, b)) || (hasA && !qv::Before(was, a))) return false;
            }
            return true;
        };
        TRecordReader sb = rb, sa = ra;
        if (merge(sb, sa)) {
            rb = sb;
            ra = sa;
        } else {
            FCells.clear();
            FKinds.clear();
            known.clear();
            last = {0, 0};
            TSortedCells cb(rb), ca(ra);
            merge(cb, ca);
        }
        PutVar(FCells, 0);
    }

    // The table lines: per table the changed lines in order, each as the
    // step from the previous one and a kind of change; a fill or a border
    // down a column is one kind for all its rows.
    {
        std::unordered_map<std::string, uint32_t> known;
        std::string key;
        for (int t = 0; t < TQvSection::TableCount; ++t) {
            const std::vector<TLineView> lb = rb.Lines(t), la = ra.Lines(t);
            int64_t last = -1;
            const auto put = [&](int32_t Line, const TLineView* B, const TLineView* A) {
                PutVar(FLines, static_cast<uint64_t>(Line - last));
                last = Line;
                key.clear();
                for (const TLineView* v : {B, A}) {
                    key.push_back(v ? 1 : 0);
                    if (v) key += v->Entries;
                }
                if (auto it = known.find(key); it != known.end()) {
                    PutVar(FLines, it->second + 1);
                    return;
                }
                if (FLineKinds.size() < 65536 && key.size() <= 512) {
                    known.emplace(key, static_cast<uint32_t>(FLineKinds.size()));
                    FLineKinds.push_back(key);
                    PutVar(FLines, FLineKinds.size());
                    return;
                }
                PutVar(FLines, 0);
                PutVar(FLines, key.size());
                FLines += key;
            };
            size_t i = 0, j = 0;
            while (i < lb.size() || j < la.size()) {
                if (j == la.size() || (i < lb.size() && lb[i].Line < la[j].Line)) {
                    put(lb[i].Line, &lb[i], nullptr);
                    ++i;
                } else if (i == lb.size() || la[j].Line < lb[i].Line) {
                    put(la[j].Line, nullptr, &la[j]);
                    ++j;
                } else {
                    if (lb[i].Entries != la[j].Entries) put(lb[i].Line, &lb[i], &la[j]);
                    ++i;
                    ++j;
                }
            }
            PutVar(FLines, 0);
        }
    }

    // The sizes.
    if (rb.Rest() != ra.Rest()) {
        FSizes[0] = rb.Rest();
        FSizes[1] = ra.Rest();
    }
    FCells.shrink_to_fit();
    FLines.shrink_to_fit();
}

size_t TQvAreaChange::Bytes() const {
    size_t n = sizeof(*this) + FClasses.capacity() * sizeof(TClass) + FStyles.capacity() * sizeof(std::string) +
               FKinds.capacity() * sizeof(TKind) + FLineKinds.capacity() * sizeof(std::string) + FCells.capacity() +
               FLines.capacity() + FSizes[0].capacity() +
               FSizes[1].capacity();
    for (const std::string& s : FStyles) n += s.capacity() > 15 ? s.capacity() : 0;
    for (const TKind& k : FKinds)
        for (const std::string& m : k.Middle) n += m.capacity() > 15 ? m.capacity() : 0;
    for (const std::string& k : FLineKinds) n += k.capacity() > 15 ? k.capacity() : 0;
    return n;
}

// --- applying it --------------------------------------------------------------

bool TQvAreaChange::Holds(TQvSheet& Sheet, bool After) const {
    return TQvAreaSnapshot::DigestOf(Sheet, FKind, FArea) == FDigest[After ? 1 : 0];
}

void TQvAreaChange::Apply(TQvSheet& Sheet, bool After) const {
    Sheet.BeginUpdate();
    struct TEnd {
        TQvSheet& Sheet;
        ~TEnd() { Sheet.EndUpdate(); }
    } end{Sheet};
    ApplyCells(Sheet, After);
    ApplyLines(Sheet, After);
    ApplySizes(Sheet, After);
    // Packed cells and table entries put back repaint nothing themselves.
    Sheet.Sections(FKind)->Invalidate(FArea, false);
}

void TQvAreaChange::ApplyCells(TQvSheet& Sheet, bool After) const {
    TQvSection& sec = *Sheet.Sections(FKind);
    TQvStyler* styler = Sheet.Styler();
    const int to = After ? 1 : 0, from = 1 - to;
    const char* p = FCells.data();
    const char* end = p + FCells.size();
    TMemoryStream scratch;
    std::string record;
    TKind inlined;
    int64_t y = 0, x = 0;
    for (uint64_t dy = GetVar(p, end); dy != 0; dy = GetVar(p, end)) {
        y += Unzig(dy - 1);
        x += Unzig(GetVar(p, end));
        const TPoint at{static_cast<int32_t>(x), static_cast<int32_t>(y)};
        const uint64_t number = GetVar(p, end);
        const TKind* k = number ? &FKinds[number - 1] : &inlined;
        if (!number) {
            for (TSide& s : inlined.Side) {
                const auto flags = static_cast<uint8_t>(*p++);
                s.Present = flags & 1;
                s.Flags = static_cast<uint8_t>(flags >> 1);
                s.Class = static_cast<uint32_t>(GetVar(p, end));
                s.Style = static_cast<uint32_t>(GetVar(p, end));
            }
            inlined.Common = static_cast<uint32_t>(GetVar(p, end));
            for (std::string& m : inlined.Middle) {
                const auto n = static_cast<size_t>(GetVar(p, end));
                m.assign(p, n);
                p += n;
            }
        }
        const TSide& target = k->Side[to];
        // The target's record: the bytes the two share come from the cell
        // the sheet holds now, its own middle from the change.
        record.clear();
        if (target.Present) {
            if (k->Side[from].Present) {
                const std::string_view now = CurrentRecord(sec, at, scratch);
                const size_t tail = k->Common + k->Middle[from].size();
                record.append(now.substr(0, std::min<size_t>(k->Common, now.size())));
                record += k->Middle[to];
                if (tail <= now.size()) record.append(now.substr(tail));
            } else {
                record = k->Middle[to];
            }
        }
        if (!target.Present) {
            FreeCellAt(sec, at);
            continue;
        }
        const bool styled = target.Flags & 2;
        TQvStyle* style = styled && styler ? styler->FindStyle(FStyles[target.Style]) : nullptr;
        PlaceRecord(sec, at, FClasses[target.Class], target.Flags & 1, style, styled, record);
    }
}

void TQvAreaChange::ApplyLines(TQvSheet& Sheet, bool After) const {
    TQvSection& sec = *Sheet.Sections(FKind);
    const char* p = FLines.data();
    const char* end = p + FLines.size();
    TMemoryStream kind;
    for (int t = 0; t < TQvSection::TableCount && p < end; ++t) {
        int32_t lineFrom, lineTo, keyFrom, keyTo;
        TableSpan(t, FArea, lineFrom, lineTo, keyFrom, keyTo);
        TListSList* table = sec.Tables(static_cast<TQvSectionTable>(t));
        int64_t line = -1;
        for (uint64_t dl = GetVar(p, end); dl != 0; dl = GetVar(p, end)) {
            line += int64_t(dl);
            const uint64_t number = GetVar(p, end);
            kind.Clear();
            if (number) {
                const std::string& k = FLineKinds[number - 1];
                kind.WriteBuffer(k.data(), static_cast<int64_t>(k.size()));
            } else {
                const auto n = static_cast<int64_t>(GetVar(p, end));
                kind.WriteBuffer(p, n);
                p += n;
            }
            kind.SetPosition(0);
            for (int side = 0; side < 2; ++side) {
                const bool present = kind.ReadByte() != 0;
                if (side != (After ? 1 : 0)) {
                    if (present) SkipEntries(t, kind);
                    continue;
                }
                const auto at = static_cast<int32_t>(line);
                if (TSList* list = table->List(at)) list->ClearRange(keyFrom, keyTo);
                if (present) ReadLineRuns(*table, t, at, kind);
            }
        }
    }
}

void TQvAreaChange::ApplySizes(TQvSheet& Sheet, bool After) const {
    const std::string& sizes = FSizes[After ? 1 : 0];
    if (sizes.empty()) return;
    TMemoryStream m(sizes);
    for (TQvAxis a : {axCols, axRows}) {
        const int32_t from = a == axCols ? FArea.Left : FArea.Top, to = a == axCols ? FArea.Right : FArea.Bottom;
        std::vector<std::pair<int32_t, int32_t>> list;
        int64_t i = int64_t(from) - 1;
        for (uint64_t di = GetVar(m); di != 0; di = GetVar(m)) {
            i += int64_t(di);
            list.push_back({static_cast<int32_t>(i), static_cast<int32_t>(Unzig(GetVar(m)))});
        }
        PutSizes(Sheet, FKind, a, from, to, list);
    }
}

}  // namespace qv
