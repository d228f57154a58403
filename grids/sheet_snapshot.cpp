#include "grids/sheet_snapshot.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

#include "grids/area_codec.h"
#include "grids/cell.h"
#include "grids/packed_cells.h"
#include "grids/row.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "grids/sheet_stream.h"
#include "grids/style.h"
#include "grids/styler.h"
#include "lists/int_slist.h"
#include "platform/exceptions.h"
#include "platform/stream.h"

namespace qv {

namespace {

// Every position a section can hold.
constexpr TRect Everything{0, 0, std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::max()};

void EmptySection(TQvSection& S) {
    // Ranges first: a range refers to its top-left cell.
    S.RemoveUnionsIn(Everything);
    S.FreeCells(Everything);
    S.Clear();  // the emptied rows
    for (TQvSectionTable t : {tbVertLines, tbHorzLines, tbBias1, tbBias2, tbFill, tbFrames}) S.Tables(t)->Clear();
}

}  // namespace

TQvSheetSnapshot TakeSnapshot(TQvSheet& Sheet) {
    TQvSheetSnapshot s;
    s.ColCount = Sheet.ColCount();
    s.RowCount = Sheet.RowCount();
    s.TitleCols = Sheet.TitleCols();
    s.TitleRows = Sheet.TitleRows();
    s.ColDefWidth = Sheet.ColDefWidth();
    s.RowDefHeight = Sheet.RowDefHeight();
    s.ColMaxWidth = Sheet.ColMaxWidth();
    s.RowMaxHeight = Sheet.RowMaxHeight();
    TMemoryStream m;
    WriteSheetPayload(Sheet, m);
    s.Data = m.TakeBytes();
    TMemoryStream marks;
    for (TQvSectionKind k : AllSectionKinds)
        // Packed cells carry neither a style nor a mark.
        Sheet.Sections(k)->ForAllCellObjects([&](TQvCell* C) {
            const TQvStyle* style = C->GetStyle();
            const bool error = C->HasState(psError);
            if (!style && !error) return;
            marks.WriteByte(static_cast<uint8_t>(k));
            marks.WriteInt32(C->Col());
            marks.WriteInt32(C->Row()->Index());
            marks.WriteByte(static_cast<uint8_t>((error ? 1 : 0) | (style ? 2 : 0)));
            if (style) marks.WriteString(style->Name());
        });
    s.Marks = marks.TakeBytes();
    return s;
}

void RestoreSnapshot(TQvSheet& Sheet, const TQvSheetSnapshot& S) {
    Sheet.BeginUpdate();
    struct TEnd {
        TQvSheet& Sheet;
        ~TEnd() { Sheet.EndUpdate(); }
    } end{Sheet};
    for (int k = 0; k < 4; ++k) EmptySection(*Sheet.Sections(static_cast<TQvSectionKind>(k)));
    // Counts of 0 drop every individual size.
    Sheet.SetColCount(0);
    Sheet.SetRowCount(0);
    Sheet.SetTitleCols(0);
    Sheet.SetTitleRows(0);
    Sheet.SetColDefWidth(S.ColDefWidth);
    Sheet.SetRowDefHeight(S.RowDefHeight);
    Sheet.SetColMaxWidth(S.ColMaxWidth);
    Sheet.SetRowMaxHeight(S.RowMaxHeight);
    Sheet.SetColCount(S.ColCount);
    Sheet.SetRowCount(S.RowCount);
    Sheet.SetTitleCols(S.TitleCols);
    Sheet.SetTitleRows(S.TitleRows);
    TMemoryStream m(S.Data);
    // The sheet's own bytes: no trial read first.
    ReadSheetData(Sheet, m);
    TMemoryStream marks(S.Marks);
    while (marks.Remaining() > 0) {
        const auto kind = static_cast<TQvSectionKind>(marks.ReadByte());
        const int32_t x = marks.ReadInt32(), y = marks.ReadInt32();
        const uint8_t flags = marks.ReadByte();
        const std::string name = flags & 2 ? marks.ReadString() : std::string();
        TQvCell* cell = Sheet.Sections(kind)->FindCell({x, y});
        if (!cell) continue;
        if (flags & 2) cell->SetStyle(Sheet.Styler() ? Sheet.Styler()->FindStyle(name) : nullptr);
        if (flags & 1) cell->IncludeState(psError);
    }
    Sheet.SetModified(true);
}

}  // namespace qv

// --- one area ----------------------------------------------------------------
//
// The data string holds, in this order:
//   cells: per cell 1 + zigzag(y - previous y), zigzag(x - previous x), the
//     class index, a flags byte (1 refused entry, 2 styled), the style
//     index when styled, then the record as SaveRecord writes it (its length
//     first); 0 ends the cells;
//   tables 0..5: per line holding entries in the area 1 + zigzag(line -
//     previous line), for frames the sub-list's default (zigzag), then runs of
//     equal stored values as 1 + (first key - end of the previous run), the
//     run's length - 1 and zigzag(value); 0 ends a line's runs, 0 the lines;
//   sizes, columns then rows: 1 + (index - previous index - 1) and
//     zigzag(stored offset) per individual size; 0 ends an axis.
// Every number is an unsigned LEB128 varint.

namespace qv {

using namespace area_codec;

void FreeCellAt(TQvSection& Section, TPoint At) {
    TQvRow* row = Section.Rows(At.Y);
    if (!row) return;
    if (row->Packed().Find(At.X) >= 0) {
        row->FreePacked(At.X, At.X);
    } else if (TObject* c = static_cast<const TObjectSList*>(row)->GetItem(At.X)) {
        // Out of the row first: the row never holds a departing cell.
        row->SetItem(At.X, nullptr);
        delete static_cast<TQvCell*>(c);
    }
}

void PlaceRecord(TQvSection& Section, TPoint At, TClass Cls, bool Error, TQvStyle* Style, bool Styled,
                 std::string_view Record) {
    // A plain cell goes back packed, as a load would have held it.
    if (!Error && !Styled && At.X >= 0 && (Section.Unions().empty() || !Section.FindUnionAt(At, true))) {
        int form = -1;
        uint16_t bits = 0;
        std::string_view body;
        TQvRow* row = nullptr;
        if (ParsePackedRecord(Cls, Record, form, bits, body) && (row = Section.NeedRow(At.Y)) != nullptr &&
            At.X <= row->MaxIndex()) {
            row->PutPacked(At.X, static_cast<uint8_t>(form), bits, body);
            return;
        }
    }
    // A cell standing there goes first: reading into it would keep what the
    // record leaves out.
    FreeCellAt(Section, At);
    TQvCell* cell = Section.NeedCellOfClass(At, Cls);
    if (!cell) return;  // the position lies outside this sheet's section
    TMemoryStream m{std::string(Record)};
    try {
        cell->ReadFromStream(m);
    } catch (const Exception&) {
        // The record's sound part stays, as a load keeps it.
    }
    if (Styled) cell->SetStyle(Style);
    if (Error) cell->IncludeState(psError);
}

void PlaceRecord(TQvSection& Section, TPoint At, TClass Cls, bool Error, TQvStyle* Style, bool Styled, TStream& Stream) {
    const int64_t start = Stream.Position();
    const int32_t length = Stream.ReadInt32();
    if (length < 4 || length - 4 > Stream.Remaining())
        throw EReadError("Invalid record length " + std::to_string(length) + " at offset " + std::to_string(start));
    std::string copy;
    std::string_view record;
    if (const auto* memory = dynamic_cast<const TMemoryStream*>(&Stream)) {
        record = std::string_view(memory->Memory() + start + 4, static_cast<size_t>(length) - 4);
    } else {
        copy = Stream.ReadBytes(length - 4);
        record = copy;
    }
    Stream.SetPosition(start + length);
    PlaceRecord(Section, At, Cls, Error, Style, Styled, record);
}

namespace {

template <typename T>
size_t IndexIn(std::vector<T>& List, const T& Item) {
    for (size_t i = 0; i < List.size(); ++i)
        if (List[i] == Item) return i;
    List.push_back(Item);
    return List.size() - 1;
}

}  // namespace

namespace {

// Takes what is written to it into a digest, keeping nothing else.
class TDigestStream : public TStream {
public:
    int64_t Read(void*, int64_t) override { return 0; }
    int64_t Write(const void* Buffer, int64_t Count) override {
        if (Count <= 0) return 0;
        FDigest.Add(Buffer, static_cast<size_t>(Count));
        FSize += Count;
        return Count;
    }
    int64_t Seek(int64_t, TSeekOrigin) override { return FSize; }
    int64_t Size() const override { return FSize; }
    void SetSize(int64_t) override {}
    uint64_t Value() const { return FDigest.Value(); }

private:
    TDigest FDigest;
    int64_t FSize = 0;
};

// About the bytes an area's record of section S takes for its cells, so
// that the record is written without growing its buffer again and again.
size_t CellBytesOf(const TQvSection& S, const TRect& A) {
    size_t n = 16;
    S.ForEachIn(A.Top, A.Bottom - 1, [&](int32_t, TObject* obj) {
        static_cast<TQvRow*>(obj)->ForEachStoredIn(A.Left, A.Right - 1, [&](int32_t, TObject* c, const TQvPackedCell* p) {
            n += c ? 64 : 10 + PackedRecordSize(*p);
        });
        return false;
    });
    return n;
}

}  // namespace

uint64_t TQvAreaSnapshot::DigestOf(TQvSheet& Sheet, TQvSectionKind Kind, const TRect& Area) {
    return TQvAreaSnapshot(Sheet, Kind, Area, nullptr, true).Digest();
}

TQvAreaSnapshot::TQvAreaSnapshot(TQvSheet& Sheet, TQvSectionKind Kind, const TRect& Area, const TQvCell* Without)
    : TQvAreaSnapshot(Sheet, Kind, Area, Without, false) {}

TQvAreaSnapshot::TQvAreaSnapshot(TQvSheet& Sheet, TQvSectionKind Kind, const TRect& Area, const TQvCell* Without,
                                 bool DigestOnly)
    : FSheet(&Sheet), FKind(Kind), FArea(Area), FModified(Sheet.Modified()), FDigestOnly(DigestOnly) {
    for (TQvAxis a : {axCols, axRows})
        for (TQvSizePart p : {spTitle, spClient}) FCounts[a][p] = Sheet.Count(a, p);
    if (FArea.IsEmpty()) return;
    TQvSection& sec = *Sheet.Sections(Kind);
    TMemoryStream memory;
    TDigestStream digest;
    TMemoryStream scratch;  // an object's record, for the digest
    TStream& m = DigestOnly ? static_cast<TStream&>(digest) : memory;
    if (!DigestOnly) memory.Reserve(static_cast<int64_t>(CellBytesOf(sec, FArea)));

    for (const TQvUnion* u : sec.UnionsMeeting(FArea)) FUnions.push_back(u->Rect());
    TPoint last{0, 0};
    const auto saveCell = [&](TPoint P, TQvCell* Cell) {
        if (Cell == Without) return;
        PutVar(m, 1 + Zig(int64_t(P.Y) - last.Y));
        PutVar(m, Zig(int64_t(P.X) - last.X));
        last = P;
        PutVar(m, IndexIn(FClasses, Cell->ClassType()));
        const TQvStyle* style = Cell->GetStyle();
        m.WriteByte(static_cast<uint8_t>((Cell->HasState(psError) ? 1 : 0) | (style ? 2 : 0)));
        if (style) PutVar(m, IndexIn(FStyles, style->Name()));
        if (!DigestOnly) {
            SaveRecord(*Cell, m);
            return;
        }
        scratch.Clear();
        SaveRecord(*Cell, scratch);
        m.WriteBuffer(scratch.Memory(), scratch.Size());
    };
    // Packed cells are read as they are: taking an area's record makes no
    // objects.
    sec.ForEachIn(FArea.Top, FArea.Bottom - 1, [&](int32_t y, TObject* obj) {
        static_cast<TQvRow*>(obj)->ForEachStoredIn(
            FArea.Left, FArea.Right - 1, [&](int32_t x, TObject* c, const TQvPackedCell* p) {
                if (c) {
                    saveCell({x, y}, static_cast<TQvCell*>(c));
                    return;
                }
                // One write per cell: the entry is put together here.
                char entry[96];
                size_t n = PutVar(entry, 1 + Zig(int64_t(y) - last.Y));
                n += PutVar(entry + n, Zig(int64_t(x) - last.X));
                last = {x, y};
                n += PutVar(entry + n, IndexIn(FClasses, PackedForm(p->Form).Class));
                entry[n++] = 0;  // a packed cell has neither a mark nor a style
                const auto length = static_cast<int32_t>(4 + PackedRecordSize(*p));
                std::memcpy(entry + n, &length, 4);
                n += 4;
                if (const size_t r = CopyPackedRecord(*p, entry + n, sizeof entry - n)) {
                    m.WriteBuffer(entry, static_cast<int64_t>(n + r));
                } else {
                    m.WriteBuffer(entry, static_cast<int64_t>(n));
                    WritePackedRecord(m, *p);
                }
            });
        return false;
    });
    // A write inside a range lands on the cell heading it, which may lie
    // outside the area.
    for (const TRect& r : FUnions)
        if (!FArea.Contains(r.TopLeft()))
            if (TQvCell* c = sec.FindCell(r.TopLeft())) saveCell(r.TopLeft(), c);
    PutVar(m, 0);

    for (int t = 0; t < TQvSection::TableCount; ++t) {
        int32_t lineFrom, lineTo, keyFrom, keyTo;
        TableSpan(t, FArea, lineFrom, lineTo, keyFrom, keyTo);
        int64_t lastLine = 0;
        sec.Tables(static_cast<TQvSectionTable>(t))->ForEachIn(lineFrom, lineTo, [&](int32_t line, TObject* obj) {
            const auto* list = static_cast<const TSList*>(obj);
            bool opened = false;
            int64_t end = 0;  // one past the previous run
            int32_t from = 0, to = -1, value = 0;
            const auto flush = [&] {
                if (to < from) return;
                if (!opened) {
                    PutVar(m, 1 + Zig(line - lastLine));
                    lastLine = line;
                    if (t == tbFrames) PutVar(m, Zig(static_cast<const TIntSList*>(list)->Default()));
                    opened = true;
                }
                PutVar(m, 1 + uint64_t(from - end));
                PutVar(m, uint64_t(to - from));
                PutVar(m, Zig(value));
                end = int64_t(to) + 1;
            };
            list->ForEachIn(keyFrom, keyTo, [&](int32_t k, int32_t raw) {
                if (to >= from && k == to + 1 && raw == value) {
                    ++to;
                } else {
                    flush();
                    from = to = k;
                    value = raw;
                }
                return false;
            });
            flush();
            if (opened) PutVar(m, 0);
            return false;
        });
        PutVar(m, 0);
    }

    for (TQvAxis a : {axCols, axRows}) {
        const TQvSizeList* list = Sheet.Sizes(a, PartOf(Kind, a));
        const int32_t from = a == axCols ? FArea.Left : FArea.Top, to = a == axCols ? FArea.Right : FArea.Bottom;
        int64_t prev = int64_t(from) - 1;
        list->ForEachIn(from, to - 1, [&](int32_t i, int32_t raw) {
            PutVar(m, 1 + uint64_t(i - prev - 1));
            PutVar(m, Zig(raw));
            prev = i;
            return false;
        });
        PutVar(m, 0);
    }
    if (DigestOnly) FDataDigest = digest.Value();
    else FData = memory.TakeBytes();
}

bool TQvAreaSnapshot::SameFrame(const TQvAreaSnapshot& Other) const {
    return FKind == Other.FKind && FUnions == Other.FUnions &&
           std::equal(&FCounts[0][0], &FCounts[0][0] + 4, &Other.FCounts[0][0]);
}

bool operator==(const TQvAreaSnapshot& A, const TQvAreaSnapshot& B) {
    return A.FArea == B.FArea && A.SameFrame(B) && A.FClasses == B.FClasses && A.FStyles == B.FStyles &&
           A.FData == B.FData;
}

uint64_t TQvAreaSnapshot::Digest() const {
    const int32_t frame[] = {static_cast<int32_t>(FKind), FArea.Left, FArea.Top, FArea.Right, FArea.Bottom,
                             FCounts[0][0], FCounts[0][1], FCounts[1][0], FCounts[1][1]};
    uint64_t h = area_codec::Digest(frame, sizeof frame, 1);
    h = area_codec::Digest(FUnions.data(), FUnions.size() * sizeof(TRect), h);
    h = area_codec::Digest(FClasses.data(), FClasses.size() * sizeof(TClass), h);
    for (const std::string& s : FStyles) h = area_codec::Digest(s.data(), s.size(), h);
    const uint64_t data = FDigestOnly ? FDataDigest : area_codec::Digest(FData.data(), FData.size(), 0);
    return area_codec::Digest(&data, sizeof data, h);
}

size_t TQvAreaSnapshot::Bytes() const {
    size_t n = sizeof(*this) + FUnions.capacity() * sizeof(TRect) + FClasses.capacity() * sizeof(TClass) +
               FStyles.capacity() * sizeof(std::string) + FData.capacity();
    for (const std::string& s : FStyles) n += s.capacity() > 15 ? s.capacity() : 0;
    return n;
}

void TQvAreaSnapshot::Restore() {
    RestoreTo(*FSheet);
    FSheet->SetModified(FModified);
}

void TQvAreaSnapshot::RestoreTo(TQvSheet& Sheet) const {
    Sheet.BeginUpdate();
    struct TEnd {
        TQvSheet& Sheet;
        ~TEnd() { Sheet.EndUpdate(); }
    } end{Sheet};
    TQvSection& sec = *Sheet.Sections(FKind);
    std::vector<std::pair<int32_t, int32_t>> sizes[2];  // index, stored offset
    if (!FArea.IsEmpty()) {
        // What the operation made goes first: changed ranges, then cells
        // (which frees their memory), then the table entries.
        const std::vector<TQvUnion*> now = sec.UnionsMeeting(FArea);
        bool sameUnions = now.size() == FUnions.size();
        for (size_t i = 0; sameUnions && i < now.size(); ++i) sameUnions = now[i]->Rect() == FUnions[i];
        if (!sameUnions) sec.DeleteUnions(now);
        sec.FreeCells(FArea);
        for (const TRect& r : FUnions) sec.FreeCells({r.Left, r.Top, r.Left + 1, r.Top + 1});
        // Read only now: a restore after running out of memory takes its
        // copy of the record from what the operation's cells gave back.
        TMemoryStream m(FData);

        // The cells.
        TQvStyler* styler = Sheet.Styler();
        TPoint at{0, 0};
        for (uint64_t dy = GetVar(m); dy != 0; dy = GetVar(m)) {
            at.Y = static_cast<int32_t>(at.Y + Unzig(dy - 1));
            at.X = static_cast<int32_t>(at.X + Unzig(GetVar(m)));
            const TClass cls = FClasses[GetVar(m)];
            const uint8_t flags = m.ReadByte();
            const std::string* style = flags & 2 ? &FStyles[GetVar(m)] : nullptr;
            PlaceRecord(sec, at, cls, flags & 1, style ? (styler ? styler->FindStyle(*style) : nullptr) : nullptr,
                        style != nullptr, m);
        }

        // The table entries, stored values as they were.
        for (int t = 0; t < TQvSection::TableCount; ++t) {
            int32_t lineFrom, lineTo, keyFrom, keyTo;
            TableSpan(t, FArea, lineFrom, lineTo, keyFrom, keyTo);
            TListSList* table = sec.Tables(static_cast<TQvSectionTable>(t));
            table->ForEachIn(lineFrom, lineTo, [&](int32_t, TObject* obj) {
                static_cast<TSList*>(obj)->ClearRange(keyFrom, keyTo);
                return false;
            });
            int64_t line = 0;
            for (uint64_t dl = GetVar(m); dl != 0; dl = GetVar(m)) {
                line += Unzig(dl - 1);
                ReadLineRuns(*table, t, static_cast<int32_t>(line), m);
            }
        }
        if (!sameUnions) {
            for (const TRect& r : FUnions) sec.AddUnion(r, nullptr);
            Sheet.MergeChanged(FKind);
        }
        for (TQvAxis a : {axCols, axRows}) {
            // Read now, written once the counts are back.
            int64_t i = int64_t(a == axCols ? FArea.Left : FArea.Top) - 1;
            for (uint64_t di = GetVar(m); di != 0; di = GetVar(m)) {
                i += int64_t(di);
                sizes[a].push_back({static_cast<int32_t>(i), static_cast<int32_t>(Unzig(GetVar(m)))});
            }
        }
    }

    for (TQvAxis a : {axCols, axRows}) {
        Sheet.SetTitleCount(a, FCounts[a][spTitle]);
        Sheet.SetAxisCount(a, FCounts[a][spClient]);
    }
    if (FArea.IsEmpty()) return;
    for (TQvAxis a : {axCols, axRows})
        PutSizes(Sheet, FKind, a, a == axCols ? FArea.Left : FArea.Top, a == axCols ? FArea.Right : FArea.Bottom,
                 sizes[a]);
}

}  // namespace qv
