#include "exchange/range_record.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <new>
#include <utility>

#include "grids/base_style.h"
#include "grids/cell_batch.h"
#include "grids/manager.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "grids/sheet_snapshot.h"
#include "grids/sheet_stream.h"
#include "grids/style.h"
#include "grids/styler.h"
#include "lists/int_slist.h"
#include "platform/exceptions.h"
#include "platform/stream.h"

namespace qv {

namespace {

constexpr char Signature[4] = {'Q', 'V', 'R', 'G'};
constexpr int32_t Version = 1;


[[noreturn]] void Bad(const std::string& What) { throw EReadError("Invalid range record: " + What); }

std::string At(int32_t X, int32_t Y) { return "column " + std::to_string(X) + ", row " + std::to_string(Y); }

// A scratch sheet of W x H client cells and no titles.
std::unique_ptr<TQvSheet> ScratchSheet(int32_t W, int32_t H) {
    auto s = std::make_unique<TQvSheet>();
    s->SetTitleCols(0);
    s->SetTitleRows(0);
    s->SetColCount(W);
    s->SetRowCount(H);
    return s;
}

// The lines and keys of table T that belong to a W x H rectangle: vertical
// lines 0..W over rows, horizontal lines 0..H over columns, the others one
// line per row over columns.
void TableExtent(int T, int32_t W, int32_t H, int32_t& Lines, int32_t& Keys) {
    if (T == tbVertLines) {
        Lines = W + 1;
        Keys = H;
    } else if (T == tbHorzLines) {
        Lines = H + 1;
        Keys = W;
    } else {
        Lines = H;
        Keys = W;
    }
}

// The cells, merged ranges and table entries of a W x H record, read in
// full and checked; anything off raises.
// Each cell read calls Found with its position, class and the stream
// position of its record.
void ReadCells(TQvSection& Section, TStream& Stream, int32_t W, int32_t H,
               const std::function<void(int32_t X, int32_t Y, TClass Cls, int64_t At)>& Found) {
    const uint8_t flags = Stream.ReadByte();
    if (flags & sfUnions) {
        const int32_t n = Stream.ReadInt32();
        if (n < 0 || n > Stream.Remaining() / 16) Bad("merged range count " + std::to_string(n));
        for (int32_t i = 0; i < n; ++i) {
            TRect r;
            r.Left = Stream.ReadInt32();
            r.Top = Stream.ReadInt32();
            r.Right = Stream.ReadInt32();
            r.Bottom = Stream.ReadInt32();
            if (r.Left < 0 || r.Top < 0 || r.Right > W || r.Bottom > H || r.IsEmpty() ||
                (r.Width() == 1 && r.Height() == 1) || Section.FindIntersecting(r, nullptr))
                Bad("merged range (" + std::to_string(r.Left) + ", " + std::to_string(r.Top) + ", " +
                    std::to_string(r.Right) + ", " + std::to_string(r.Bottom) + ")");
            Section.AddUnion(r, nullptr);
        }
    }
    if (flags & sfRows) {
        TQvCellBatch batch(Section);
        int32_t lastY = -1;
        for (int32_t y = Stream.ReadInt32(); y != -1; y = Stream.ReadInt32()) {
            if (y <= lastY || y >= H) Bad("row " + std::to_string(y));
            lastY = y;
            int32_t lastX = -1;
            for (int32_t x = Stream.ReadInt32(); x != -1; x = Stream.ReadInt32()) {
                if (x <= lastX || x >= W) Bad("column " + std::to_string(x) + " in row " + std::to_string(y));
                lastX = x;
                if (Section.FindUnionAt({x, y}, false)) Bad("a cell inside a merged range at " + At(x, y));
                const int32_t id = Stream.ReadInt32();
                const TClass cls = QvManager().ClassById(id);
                if (!cls || !cls->Factory) Bad("no cell class has the id " + std::to_string(id) + " (" + At(x, y) + ")");
                TQvCell* cell = batch.Add({x, y}, cls);
                std::string error;
                if (!cell) Bad("no cell at " + At(x, y));
                Found(x, y, cls, Stream.Position());
                if (!LoadRecord(*cell, Stream, &error))
                    Bad("the cell at " + At(x, y) + " (" + cls->Name + "): " + EscapeBytes(error, 200));
            }
        }
    }
    Section.SetFillBudget((int64_t(1) << 20) + 8 * Stream.Size());
    for (const auto& t : TableOrder)
        if (flags & t.Flag)
            Section.Tables(t.Table)->LoadItems(Stream,
                                              t.Table == tbFrames ? TIntSList::StaticClass() : TSList::StaticClass());
    Section.TidyRanges();
    const std::string overspent = Section.Overspent();
    Section.SetFillBudget(-1);
    if (!overspent.empty()) Bad(overspent);
}

// Closes an update block whatever happens.
struct TUpdateBlock {
    TQvSheet& S;
    explicit TUpdateBlock(TQvSheet& Sheet) : S(Sheet) { S.BeginUpdate(); }
    ~TUpdateBlock() { S.EndUpdate(); }
};

// Writes Value(k) for keys [0, N) of one line of a table, from key Base on,
// in runs of equal value; keys where Skip(k) holds are left as they are.
template <typename V, typename S>
void WriteLine(TQvSection& Section, TQvSectionTable Table, int32_t Line, int32_t Base, int32_t N, V&& Value, S&& Skip) {
    for (int32_t k = 0; k < N;) {
        if (Skip(k)) {
            ++k;
            continue;
        }
        const TQvLine v = Value(k);
        int32_t e = k + 1;
        while (e < N && !Skip(e) && Value(e) == v) ++e;
        Section.SetLine(Table, Line, Base + k, Base + e - 1, v);
        k = e;
    }
}

}  // namespace

std::string PasteOutOfMemory(size_t Cells) {
    return "Not enough memory to paste " + std::to_string(Cells) + (Cells == 1 ? " cell" : " cells") +
           "; the sheet is unchanged";
}

std::string TQvPasteResult::Message() const {
    std::string s;
    const auto plural = [](int64_t N, const char* One) {
        return std::to_string(N) + " " + One + (N == 1 ? "" : "s");
    };
    if (WasCut()) {
        s = "The paste was cut at the end of the sheet: ";
        if (CutCols > 0) s += plural(CutCols, "column");
        if (CutCols > 0 && CutRows > 0) s += " and ";
        if (CutRows > 0) s += plural(CutRows, "row");
        s += CutCols + CutRows == 1 ? " was" : " were";
        s += " left out.";
    }
    if (Skipped > 0) {
        if (!s.empty()) s += " ";
        s += plural(Skipped, "protected cell") + (Skipped == 1 ? " was" : " were") + " left as they were.";
    }
    return s;
}

TQvSizePart ColPartOf(TQvSectionKind Kind) { return Kind == skClient || Kind == skColTitles ? spClient : spTitle; }
TQvSizePart RowPartOf(TQvSectionKind Kind) { return Kind == skClient || Kind == skRowTitles ? spClient : spTitle; }

bool IsPasteProtected(const TQvSection& Section, TPoint P) {
    const TQvPro* source = Section.FindCell(P);
    if (!source) source = Section.BaseStyle();
    return source && source->Protected();
}

TQvPasteGuard::TQvPasteGuard(const TQvSection& Section, const TRect& Area) {
    FBase = Section.BaseStyle() && Section.BaseStyle()->Protected();
    int64_t differing = 0;  // positions whose protection is not the base's
    // A range decides for all its positions, the cells under it included.
    for (const TQvUnion* u : Section.UnionsMeeting(Area)) {
        const TRect r = u->Rect().Intersected(Area);
        if ((u->Cell() ? u->Cell()->Protected() : FBase) == FBase) continue;
        differing += int64_t(r.Width()) * r.Height();
        for (int32_t y = r.Top; y < r.Bottom; ++y) FSpans.push_back({y, r.Left, r.Right});
    }
    Section.ForEachIn(Area.Top, Area.Bottom - 1, [&](int32_t y, TObject* obj) {
        static_cast<TQvRow*>(obj)->ForEachIn(Area.Left, Area.Right - 1, [&](int32_t x, TObject* c) {
            if (static_cast<TQvCell*>(c)->Protected() == FBase || Section.FindUnionAt({x, y}, true)) return false;
            FSpans.push_back({y, x, x + 1});
            ++differing;
            return false;
        });
        return false;
    });
    std::sort(FSpans.begin(), FSpans.end(),
              [](const TSpan& A, const TSpan& B) { return A.Y != B.Y ? A.Y < B.Y : A.Left < B.Left; });
    FCount = FBase ? int64_t(Area.Width()) * Area.Height() - differing : differing;
}

bool TQvPasteGuard::Protected(TPoint P) const {
    // The last span starting at or before P.
    auto it = std::upper_bound(FSpans.begin(), FSpans.end(), P, [](TPoint Q, const TSpan& S) {
        return Q.Y != S.Y ? Q.Y < S.Y : Q.X < S.Left;
    });
    if (it == FSpans.begin()) return FBase;
    --it;
    return it->Y == P.Y && P.X < it->Right ? !FBase : FBase;
}

// --- writing ----------------------------------------------------------------

void WriteRangeRecord(TQvSheet& Sheet, TQvSectionKind Kind, const TRect& R, TStream& Stream) {
    if (Kind > skClient) throw EQvGridError("Invalid section kind " + std::to_string(int(Kind)));
    TQvSection& source = *Sheet.Sections(Kind);
    TQvSizeList* colSizes = Sheet.Sizes(axCols, ColPartOf(Kind));
    TQvSizeList* rowSizes = Sheet.Sizes(axRows, RowPartOf(Kind));
    const TRect r = R.Intersected({0, 0, colSizes->Count(), rowSizes->Count()});
    if (r.IsEmpty())
        throw EQvGridError("Cannot copy the cells (" + std::to_string(R.Left) + ", " + std::to_string(R.Top) + ", " +
                           std::to_string(R.Right) + ", " + std::to_string(R.Bottom) + "): no cell of the sheet");
    const int32_t w = r.Width(), h = r.Height();
    if (int64_t(w) * h > RangeRecordMaxCells)
        throw EQvGridError("Cannot copy " + std::to_string(w) + " x " + std::to_string(h) +
                           " cells at once: a copy holds at most " + std::to_string(RangeRecordMaxCells) + " cells");
    auto scratch = ScratchSheet(w, h);
    TQvSection& copy = *scratch->Sections(skClient);

    for (const auto& u : source.Unions())
        if (r.Contains(u->Rect())) copy.AddUnion(u->Rect().Offset(-r.Left, -r.Top), nullptr);
    for (TQvSectionTable t : {tbVertLines, tbHorzLines, tbBias1, tbBias2, tbFill}) {
        int32_t lines, keys;
        TableExtent(t, w, h, lines, keys);
        const int32_t lineBase = t == tbVertLines ? r.Left : r.Top;
        const int32_t keyBase = t == tbVertLines ? r.Top : r.Left;
        source.Tables(t)->ForEachIn(lineBase, lineBase + lines - 1, [&](int32_t line, TObject* obj) {
            static_cast<TSList*>(obj)->ForEachIn(keyBase, keyBase + keys - 1, [&](int32_t k, int32_t v) {
                copy.SetLine(t, line - lineBase, k - keyBase, k - keyBase, static_cast<TQvLine>(v));
                return false;
            });
            return false;
        });
    }
    source.Tables(tbFrames)->ForEachIn(r.Top, r.Bottom - 1, [&](int32_t y, TObject*) {
        for (int32_t x = r.Left; x < r.Right; ++x)
            copy.SetAreaValue(y - r.Top, x - r.Left, x - r.Left, static_cast<uint8_t>(source.AreaValue(x, y)));
        return false;
    });

    Stream.WriteBuffer(Signature, 4);
    Stream.WriteInt32(Version);
    Stream.WriteByte(Kind);
    Stream.WriteInt32(w);
    Stream.WriteInt32(h);
    for (int32_t x = r.Left; x < r.Right; ++x) Stream.WriteInt32(colSizes->GetItem(x) ? colSizes->Size(x) : -1);
    for (int32_t y = r.Top; y < r.Bottom; ++y) Stream.WriteInt32(rowSizes->GetItem(y) ? rowSizes->Size(y) : -1);
    // The section record of the rectangle: the merged ranges and tables
    // from the copy made above, the cells straight from the sheet.
    bool cells = false;
    source.ForEachIn(r.Top, r.Bottom - 1, [&](int32_t, TObject* obj) {
        cells = static_cast<TQvRow*>(obj)->ForEachIn(r.Left, r.Right - 1, [](int32_t, TObject*) { return true; });
        return cells;
    });
    uint8_t flags = cells ? sfRows : 0;
    if (!copy.Unions().empty()) flags |= sfUnions;
    for (const auto& t : TableOrder)
        if (!copy.Tables(t.Table)->IsEmpty()) flags |= t.Flag;
    Stream.WriteByte(flags);
    if (flags & sfUnions) {
        Stream.WriteInt32(static_cast<int32_t>(copy.Unions().size()));
        for (const auto& u : copy.Unions()) {
            Stream.WriteInt32(u->Rect().Left);
            Stream.WriteInt32(u->Rect().Top);
            Stream.WriteInt32(u->Rect().Right);
            Stream.WriteInt32(u->Rect().Bottom);
        }
    }
    struct TStyled {
        int32_t X, Y;
        std::string Name;
    };
    std::vector<TStyled> styles;
    if (flags & sfRows) {
        source.ForEachIn(r.Top, r.Bottom - 1, [&](int32_t y, TObject* obj) {
            bool open = false;
            static_cast<TQvRow*>(obj)->ForEachIn(r.Left, r.Right - 1, [&](int32_t x, TObject* c) {
                auto* cell = static_cast<TQvCell*>(c);
                if (!open) Stream.WriteInt32(y - r.Top);
                open = true;
                Stream.WriteInt32(x - r.Left);
                Stream.WriteInt32(TQvManager::ClassId(cell->ClassType()));
                SaveRecord(*cell, Stream);
                if (const TQvStyle* s = cell->GetStyle()) styles.push_back({x - r.Left, y - r.Top, s->Name()});
                return false;
            });
            if (open) Stream.WriteInt32(-1);
            return false;
        });
        Stream.WriteInt32(-1);
    }
    for (const auto& t : TableOrder)
        if (flags & t.Flag) copy.Tables(t.Table)->SaveItems(Stream);
    Stream.WriteInt32(static_cast<int32_t>(styles.size()));
    for (const auto& s : styles) {
        Stream.WriteInt32(s.X);
        Stream.WriteInt32(s.Y);
        Stream.WriteString(s.Name);
    }
}

std::string RangeRecordBytes(TQvSheet& Sheet, TQvSectionKind Kind, const TRect& R) {
    TMemoryStream m;
    WriteRangeRecord(Sheet, Kind, R, m);
    return m.Bytes();
}

// --- reading ----------------------------------------------------------------

TQvRangeData::TQvRangeData() = default;
TQvRangeData::~TQvRangeData() = default;

std::unique_ptr<TQvRangeData> TQvRangeData::FromBytes(const std::string& Bytes) {
    TMemoryStream m(Bytes);
    return Read(m);
}

std::unique_ptr<TQvRangeData> TQvRangeData::Read(TStream& Stream) {
    const int64_t start = Stream.Position();
    try {
        return ReadRecord(Stream);
    } catch (const std::bad_alloc&) {
        // What was read is freed by now.
        throw EReadError("Not enough memory to read a range record of " +
                         std::to_string(Stream.Size() - start) + " bytes");
    }
}

std::unique_ptr<TQvRangeData> TQvRangeData::ReadRecord(TStream& Stream) {
    const int64_t start = Stream.Position();
    char sig[4] = {};
    if (Stream.Read(sig, 4) != 4 || std::memcmp(sig, Signature, 4) != 0) Bad("no range record signature");
    const int32_t version = Stream.ReadInt32();
    if (version != Version) Bad("version " + std::to_string(version) + " is not known");
    std::unique_ptr<TQvRangeData> d(new TQvRangeData());
    const uint8_t kind = Stream.ReadByte();
    if (kind > skClient) Bad("section kind " + std::to_string(kind));
    d->FKind = static_cast<TQvSectionKind>(kind);
    d->FWidth = Stream.ReadInt32();
    d->FHeight = Stream.ReadInt32();
    // Every column and row has its size in the record, which bounds both.
    if (d->FWidth < 1 || d->FHeight < 1 || d->FWidth > TQvSheet::MaxCount() || d->FHeight > TQvSheet::MaxCount() || int64_t(d->FWidth) + d->FHeight > Stream.Remaining() / 4 ||
        int64_t(d->FWidth) * d->FHeight > RangeRecordMaxCells)
        Bad("size " + std::to_string(d->FWidth) + " x " + std::to_string(d->FHeight));
    const auto readSizes = [&](std::vector<int32_t>& Sizes, int32_t N) {
        Sizes.resize(N);
        for (int32_t& s : Sizes) {
            s = Stream.ReadInt32();
            if (s < -1) Bad("size " + std::to_string(s));
        }
    };
    readSizes(d->FColSizes, d->FWidth);
    readSizes(d->FRowSizes, d->FHeight);
    d->FCells = ScratchSheet(d->FWidth, d->FHeight);
    ReadCells(*d->FCells->Sections(skClient), Stream, d->FWidth, d->FHeight,
              [&](int32_t X, int32_t Y, TClass Cls, int64_t At) {
                  d->FCellRecords.push_back({X, Y, Cls, At - start});
              });
    const int32_t n = Stream.ReadInt32();
    if (n < 0 || n > Stream.Remaining() / 12) Bad("style name count " + std::to_string(n));
    for (int32_t i = 0; i < n; ++i) {
        TStyleName s;
        s.X = Stream.ReadInt32();
        s.Y = Stream.ReadInt32();
        s.Name = Stream.ReadString();
        if (!d->FCells->Sections(skClient)->FindCell({s.X, s.Y}) || s.X >= d->FWidth || s.Y >= d->FHeight)
            Bad("a style name for " + At(s.X, s.Y) + ", where there is no cell");
        d->FStyles.push_back(std::move(s));
    }
    const int64_t end = Stream.Position();
    Stream.SetPosition(start);
    d->FBytes = Stream.ReadBytes(end - start);
    return d;
}

// --- pasting ----------------------------------------------------------------

TQvPasteResult TQvRangeData::Paste(TQvSheet& Target, TQvSectionKind Kind, TPoint To, bool ApplySizes) const {
    if (Kind > skClient) throw EQvGridError("Invalid section kind " + std::to_string(int(Kind)));
    TQvPasteResult res;
    TQvSection& sec = *Target.Sections(Kind);
    const int32_t cols = Target.Count(axCols, ColPartOf(Kind)), rows = Target.Count(axRows, RowPartOf(Kind));
    const int32_t w = To.X < 0 ? 0 : std::clamp(cols - To.X, 0, FWidth);
    const int32_t h = To.Y < 0 ? 0 : std::clamp(rows - To.Y, 0, FHeight);
    res.CutCols = FWidth - w;
    res.CutRows = FHeight - h;
    if (w == 0 || h == 0) return res;
    const TRect area{To.X, To.Y, To.X + w, To.Y + h};
    res.Area = area;

    // Which positions refuse the paste, decided before anything changes.
    // Both are taken before anything changes; without the memory for them
    // nothing changes at all.
    std::unique_ptr<const TQvPasteGuard> guardOf;
    std::unique_ptr<TQvAreaSnapshot> before;
    try {
        guardOf = std::make_unique<const TQvPasteGuard>(sec, area);
        before = std::make_unique<TQvAreaSnapshot>(Target, Kind, area);
    } catch (const std::bad_alloc&) {
        throw EQvGridError(PasteOutOfMemory(FCellRecords.size()));
    }
    const TQvPasteGuard& guard = *guardOf;
    const auto isProt = [&](int32_t X, int32_t Y) { return guard.Protected({To.X + X, To.Y + Y}); };
    res.Skipped = guard.Count();
    const bool baseProtected = sec.BaseStyle() && sec.BaseStyle()->Protected();

    const auto write = [&]() {
        TUpdateBlock block(Target);
        bool unionsChanged = false;
        // Ranges of the target that meet the area give way, unless protected.
        std::vector<TQvUnion*> doomed;
        for (const auto& u : sec.Unions())
            if (u->Rect().Intersects(area) && !(u->Cell() ? u->Cell()->Protected() : baseProtected))
                doomed.push_back(u.get());
        sec.DeleteUnions(doomed);
        unionsChanged = !doomed.empty();

        // Cells: the area is emptied where it may be written, then filled.
        if (res.Skipped == 0) {
            sec.FreeCells(area);
        } else if (res.Skipped < int64_t(w) * h) {
            for (int32_t y = 0; y < h; ++y)
                for (int32_t x = 0; x < w;) {
                    if (isProt(x, y)) {
                        ++x;
                        continue;
                    }
                    int32_t e = x + 1;
                    while (e < w && !isProt(e, y)) ++e;
                    sec.FreeCells({To.X + x, To.Y + y, To.X + e, To.Y + y + 1});
                    x = e;
                }
        }
        TQvSection& src = *FCells->Sections(skClient);
        TMemoryStream records(FBytes);
        {
            TQvCellBatch batch(sec);
            for (const TCellRecord& c : FCellRecords) {
                if (c.X >= w || c.Y >= h || isProt(c.X, c.Y)) continue;
                if (TQvCell* made = batch.Add({To.X + c.X, To.Y + c.Y}, c.Class)) {
                    records.SetPosition(c.Offset);
                    LoadRecord(*made, records);  // it loaded once already, into a cell as new
                }
            }
        }
        if (TQvStyler* styler = Target.Styler())
            for (const TStyleName& s : FStyles) {
                if (s.X >= w || s.Y >= h || isProt(s.X, s.Y)) continue;
                TQvCell* cell = sec.FindCell({To.X + s.X, To.Y + s.Y});
                if (TQvStyle* style = styler->FindStyle(s.Name); cell && style) cell->SetStyle(style);
            }

        // Lines, fills and frames.
        for (TQvSectionTable t : {tbVertLines, tbHorzLines, tbBias1, tbBias2, tbFill}) {
            int32_t lines, keys;
            TableExtent(t, w, h, lines, keys);
            for (int32_t line = 0; line < lines; ++line) {
                const TSList* from = src.Tables(t)->List(line);
                // Grid lines of the area: the source's line, and the area's cells
                // on both sides of it (those inside) decide.
                const bool gridLine = t == tbVertLines || t == tbHorzLines;
                const int32_t targetLine = (t == tbVertLines ? To.X : To.Y) + line;
                const bool outer = gridLine && (line == 0 || line == lines - 1);
                if (!from && (outer || !sec.Tables(t)->List(targetLine))) continue;
                const auto value = [&](int32_t k) { return from ? static_cast<TQvLine>(from->GetItem(k)) : 0u; };
                const auto skip = [&](int32_t k) {
                    if (outer && value(k) == 0) return true;
                    if (t == tbVertLines) return (line > 0 && isProt(line - 1, k)) || (line < w && isProt(line, k));
                    if (t == tbHorzLines) return (line > 0 && isProt(k, line - 1)) || (line < h && isProt(k, line));
                    return isProt(k, line);
                };
                WriteLine(sec, t, targetLine, t == tbVertLines ? To.Y : To.X, keys, value, skip);
            }
        }
        const uint8_t baseFrame = sec.BaseStyle() ? sec.BaseStyle()->Frame() : 0;
        for (int32_t y = 0; y < h; ++y) {
            const bool has = src.Tables(tbFrames)->List(y) != nullptr;
            if (!has && !sec.Tables(tbFrames)->List(To.Y + y)) continue;
            WriteLine(
                sec, tbFrames, To.Y + y, To.X, w,
                [&](int32_t k) { return has ? static_cast<TQvLine>(src.AreaValue(k, y)) : TQvLine(baseFrame); },
                [&](int32_t k) { return isProt(k, y); });
        }

        // The source's merged ranges, as far as they land whole on free positions.
        for (const auto& u : src.Unions()) {
            const TRect r = u->Rect().Offset(To.X, To.Y).Intersected(area);
            if (r.IsEmpty() || (r.Width() == 1 && r.Height() == 1)) continue;
            bool free = true;
            for (int32_t y = r.Top; y < r.Bottom && free; ++y)
                for (int32_t x = r.Left; x < r.Right && free; ++x) free = !isProt(x - To.X, y - To.Y);
            if (!free) continue;
            sec.AddUnion(r, nullptr);
            unionsChanged = true;
        }

        if (ApplySizes) {
            const auto apply = [&](TQvAxis Axis, TQvSizePart Part, const std::vector<int32_t>& Sizes, int32_t From,
                                   int32_t N) {
                for (int32_t i = 0; i < N; ++i) {
                    if (Sizes[i] < 0) continue;
                    const int32_t entry = From + i;
                    Target.SetSize(Part == spClient ? entry : -1 - entry, Axis, Sizes[i]);
                }
            };
            apply(axCols, ColPartOf(Kind), FColSizes, To.X, w);
            apply(axRows, RowPartOf(Kind), FRowSizes, To.Y, h);
        }
        if (unionsChanged) Target.MergeChanged(Kind);
        Target.SetModified(true);
    };
    try {
        write();
    } catch (const std::bad_alloc&) {
        before->Restore();
        throw EQvGridError(PasteOutOfMemory(FCellRecords.size()));
    } catch (...) {
        before->Restore();
        throw;
    }
    return res;
}

TQvPasteResult PasteRangeRecord(const std::string& Bytes, TQvSheet& Target, TQvSectionKind Kind, TPoint At,
                                bool ApplySizes) {
    return TQvRangeData::FromBytes(Bytes)->Paste(Target, Kind, At, ApplySizes);
}

}  // namespace qv
