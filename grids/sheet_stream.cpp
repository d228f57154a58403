#include "grids/sheet_stream.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "grids/base_style.h"
#include "grids/cell_batch.h"
#include "grids/manager.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "lists/int_slist.h"
#include "platform/exceptions.h"
#include "platform/message_box.h"
#include "platform/stream.h"

namespace qv {

namespace {

thread_local bool GTriedRead = false;


bool SectionPresent(const TQvSheet& Sheet, TQvSectionKind Kind) {
    switch (Kind) {
        case skColTitles: return Sheet.ColCount() > 0 && Sheet.TitleRows() > 0;
        case skRowTitles: return Sheet.RowCount() > 0 && Sheet.TitleCols() > 0;
        case skCorner: return Sheet.TitleCols() > 0 && Sheet.TitleRows() > 0;
        default: return Sheet.ColCount() > 0 && Sheet.RowCount() > 0;
    }
}

// Coordinates a stored section may use: what a sparse list can index.
bool ValidIndex(int32_t I) { return I >= 0 && I <= TSList().MaxIndex(); }

// What tidying the ranges of one section record may spend on spreading
// fills: a file that really holds a filled range holds its fill at every
// position already, so only repairs cost, and they may cost a small multiple
// of the payload.
int64_t FillBudget(const TStream& Stream) { return (int64_t(1) << 20) + 8 * Stream.Size(); }

const char* SectionName(uint8_t Kind) {
    switch (Kind) {
        case skColTitles: return " of the column titles";
        case skRowTitles: return " of the row titles";
        case skCorner: return " of the corner";
        default: return "";
    }
}

// Tables are read after the merged ranges, so a damaged or foreign payload
// could put lines inside a range or give its positions different fills. The
// inner lines are cleared and the top-left fill spread over each range, as a
// merge does. Outer edges stay as read, mixed or not: they are grid lines
// shared with neighbouring cells, whose own borders a file must give back.
// A fill that would cost more than the budget is dropped and refused.
void TidyRangesAfterTables(TQvSection& Section) {
    Section.TidyRanges();
    const std::string overspent = Section.Overspent();
    Section.SetFillBudget(-1);
    if (!overspent.empty()) throw EReadError("Invalid section record: " + overspent);
}

// A failed cell costs the person loading the file one message that says which
// cell it was and why; reading goes on.
void ReportCellLoadFailure(const TQvSection& Section, int32_t X, int32_t Y, const std::string& ClassName,
                           const std::string& Reason) {
    ShowMessageBox("Cannot load the cell at column " + std::to_string(X) + ", row " + std::to_string(Y) +
                       SectionName(Section.Kind()) + " (" + ClassName + "): " + EscapeBytes(Reason, 200),
                   "Error", miError, mbOK);
}

void ReadSectionParts(TQvSection& Section, TStream& Stream);

// Sizes read from a payload obey what the setters enforce: no size or
// default below 0 or above the axis maximum, one default for the title and
// the client entries of an axis (the client's), no size past the count.
void ClampReadSizes(TQvSheet& Sheet) {
    for (TQvAxis axis : {axCols, axRows}) {
        const int64_t max = Sheet.MaxSize(axis) >= 1 ? Sheet.MaxSize(axis) : INT32_MAX;
        const auto clamp = [&](int64_t V) { return static_cast<int32_t>(std::clamp<int64_t>(V, 0, max)); };
        const int32_t def = clamp(Sheet.Sizes(axis, spClient)->Default());
        for (TQvSizePart part : {spTitle, spClient}) {
            TQvSizeList* list = Sheet.Sizes(axis, part);
            bool changed = list->Default() != def;
            std::vector<std::pair<int32_t, int32_t>> sizes;
            list->ForEach([&](int32_t i, int32_t Stored) {
                const int64_t v = int64_t(Stored) + list->Default();
                if (i >= list->Count() || clamp(v) != v) changed = true;
                if (i < list->Count()) sizes.emplace_back(i, clamp(v));
                return false;
            });
            if (!changed) continue;
            list->SetDefault(def);
            for (const auto& [i, v] : sizes) list->SetValue(i, v);
        }
    }
}

}  // namespace

void SaveRecord(TQvPro& Object, TStream& Stream) {
    const int64_t start = Stream.Position();
    Stream.WriteInt32(0);
    Object.WriteToStream(Stream);
    const int64_t end = Stream.Position();
    Stream.SetPosition(start);
    Stream.WriteInt32(static_cast<int32_t>(end - start));
    Stream.SetPosition(end);
}

bool LoadRecord(TQvPro& Object, TStream& Stream) { return LoadRecord(Object, Stream, nullptr); }

bool LoadRecord(TQvPro& Object, TStream& Stream, std::string* Error) {
    const int64_t start = Stream.Position();
    const int32_t length = Stream.ReadInt32();
    if (length < 4 || length - 4 > Stream.Remaining())
        throw EReadError("Invalid record length " + std::to_string(length) + " at offset " + std::to_string(start));
    TStreamWindow record(Stream, length - 4);
    bool ok = true;
    try {
        Object.ReadFromStream(record);
    } catch (const Exception& e) {
        ok = false;
        if (Error) *Error = e.Message();
    }
    Stream.SetPosition(start + length);
    return ok;
}

void WriteSectionRecord(TQvSection& Section, TStream& Stream) {
    Section.DropEmptyLines();
    uint8_t flags = 0;
    if (!Section.Unions().empty()) flags |= sfUnions;
    for (const auto& t : TableOrder)
        if (!Section.Tables(t.Table)->IsEmpty()) flags |= t.Flag;
    // Rows whose cells were all released stay behind as empty rows; only a
    // row with a cell makes the block, so a reader builds the same section.
    if (Section.ForEach([](int32_t, TObject* Row) { return !static_cast<TQvRow*>(Row)->IsEmpty(); }))
        flags |= sfRows;
    Stream.WriteByte(flags);

    if (flags & sfUnions) {
        Stream.WriteInt32(static_cast<int32_t>(Section.Unions().size()));
        for (const auto& u : Section.Unions()) {
            const TRect& r = u->Rect();
            Stream.WriteInt32(r.Left);
            Stream.WriteInt32(r.Top);
            Stream.WriteInt32(r.Right);
            Stream.WriteInt32(r.Bottom);
        }
    }
    if (flags & sfRows) {
        // A packed cell goes out in one write: its column, class and record
        // length, then the record its object would write.
        std::vector<int32_t> classIds;  // by packed form
        char cell[96];
        Section.ForEach([&](int32_t y, TObject* obj) {
            auto* row = static_cast<TQvRow*>(obj);
            if (row->IsEmpty()) return false;
            Stream.WriteInt32(y);
            // Packed cells write the record their object would write.
            row->ForEachStored([&](int32_t x, TObject* c, const TQvPackedCell* p) {
                if (c) {
                    auto* object = static_cast<TQvCell*>(c);
                    Stream.WriteInt32(x);
                    Stream.WriteInt32(TQvManager::ClassId(object->ClassType()));
                    SaveRecord(*object, Stream);
                    return;
                }
                if (p->Form >= classIds.size()) classIds.resize(p->Form + 1u, -1);
                int32_t& id = classIds[p->Form];
                if (id < 0) id = TQvManager::ClassId(PackedForm(p->Form).Class);
                if (const size_t n = CopyPackedRecord(*p, cell + 12, sizeof cell - 12)) {
                    const int32_t head[3] = {x, id, static_cast<int32_t>(4 + n)};
                    std::memcpy(cell, head, sizeof head);
                    Stream.WriteBuffer(cell, static_cast<int64_t>(12 + n));
                    return;
                }
                Stream.WriteInt32(x);
                Stream.WriteInt32(id);
                Stream.WriteInt32(static_cast<int32_t>(4 + PackedRecordSize(*p)));
                WritePackedRecord(Stream, *p);
            });
            Stream.WriteInt32(-1);
            return false;
        });
        Stream.WriteInt32(-1);
    }
    for (const auto& t : TableOrder)
        if (flags & t.Flag) Section.Tables(t.Table)->SaveItems(Stream);
}

TQvTriedRead::TQvTriedRead() : FOuter(GTriedRead) { GTriedRead = true; }

TQvTriedRead::~TQvTriedRead() { GTriedRead = FOuter; }

void ReadSectionRecord(TQvSection& Section, TStream& Stream) {
    Section.SetFillBudget(GTriedRead ? -1 : FillBudget(Stream));
    try {
        ReadSectionParts(Section, Stream);
    } catch (...) {
        Section.SetFillBudget(-1);
        throw;
    }
}

namespace {

// A plain cell's record (see ParsePackedRecord) is kept packed in its row;
// anything else, or a position in a merged range, is left to the object
// path, with the stream where it was. Row is the packed row of the current
// stored row, made on its first plain cell; Packed lists the rows given
// packed cells.
bool ReadPlainCell(TQvSection& Section, TStream& Stream, int32_t X, int32_t Y, TClass Cls, std::string& Record,
                   TQvRow*& Row, std::vector<TQvRow*>& Packed) {
    if (!Cls || PackedFormOf(Cls) < 0 || Stream.Remaining() < 6) return false;
    const int64_t start = Stream.Position();
    const int32_t length = Stream.ReadInt32();
    const auto back = [&] {
        Stream.SetPosition(start);
        return false;
    };
    if (length < 6 || length - 4 > Stream.Remaining() || size_t(length) - 6 > TQvPackedCells::MaxBody + 64) return back();
    Record.resize(static_cast<size_t>(length) - 4);
    Stream.ReadBuffer(Record.data(), static_cast<int64_t>(Record.size()));
    int form = -1;
    uint16_t bits = 0;
    std::string_view body;
    if (!ParsePackedRecord(Cls, Record, form, bits, body)) return back();
    if (!Section.Unions().empty() && Section.FindUnionAt({X, Y}, true)) return back();
    if (!Row) Row = Section.NeedRow(Y);
    // A cell object already there reads the record into itself and keeps
    // what the record leaves out (a hint, a style), as a load that merges
    // into a sheet does. Packed cells are appended in column order only:
    // a record out of order (never written so) takes the object path, so
    // that no file makes the row move its entries again and again.
    if (!Row || static_cast<const TObjectSList*>(Row)->GetItem(X) || X <= Row->Packed().LastCol()) return back();
    if (Row->Packed().Empty()) Packed.push_back(Row);
    Row->PutPacked(X, static_cast<uint8_t>(form), bits, body);
    return true;
}

void ReadSectionParts(TQvSection& Section, TStream& Stream) {
    const uint8_t flags = Stream.ReadByte();
    if (flags & sfUnions) {
        const int32_t n = Stream.ReadInt32();
        if (n < 0 || n > Stream.Remaining() / 16)
            throw EReadError("Invalid merged range count " + std::to_string(n));
        for (int32_t i = 0; i < n; ++i) {
            TRect r;
            r.Left = Stream.ReadInt32();
            r.Top = Stream.ReadInt32();
            r.Right = Stream.ReadInt32();
            r.Bottom = Stream.ReadInt32();
            if (!ValidIndex(r.Left) || !ValidIndex(r.Top) || !ValidIndex(r.Right) || !ValidIndex(r.Bottom) ||
                r.IsEmpty())
                throw EReadError("Invalid merged range (" + std::to_string(r.Left) + ", " + std::to_string(r.Top) +
                                 ", " + std::to_string(r.Right) + ", " + std::to_string(r.Bottom) + ")");
            Section.AddUnion(r, nullptr);
        }
    }
    if (flags & sfRows) {
        TQvCellBatch batch(Section);
        std::string body;
        std::vector<TQvRow*> packedRows;  // rows given packed cells, to trim at the end
        std::pair<int32_t, TClass> knownClasses[8] = {};
        for (int32_t y = Stream.ReadInt32(); y != -1; y = Stream.ReadInt32()) {
            if (!ValidIndex(y)) throw EReadError("Invalid row index " + std::to_string(y));
            TQvRow* packedRow = nullptr;
            for (int32_t x = Stream.ReadInt32(); x != -1; x = Stream.ReadInt32()) {
                if (!ValidIndex(x)) throw EReadError("Invalid column index " + std::to_string(x));
                const int32_t id = Stream.ReadInt32();
                // The few classes of a sheet, found once each.
                auto& known = knownClasses[static_cast<uint32_t>(id) & 7];
                if (known.first != id || !known.second) known = {id, QvManager().ClassById(id)};
                const TClass cls = known.second;
                if (ReadPlainCell(Section, Stream, x, y, cls, body, packedRow, packedRows)) continue;
                if (!cls || !cls->Factory) {
                    // No class to read it with: skip the record by its length.
                    const int32_t length = Stream.ReadInt32();
                    if (length < 4 || length - 4 > Stream.Remaining())
                        throw EReadError("Invalid record length " + std::to_string(length));
                    Stream.Seek(length - 4, soCurrent);
                    ReportCellLoadFailure(Section, x, y, "class id " + std::to_string(id),
                                          "no cell class has this id");
                    continue;
                }
                TQvCell* cell = batch.Add({x, y}, cls);
                std::string error = "the position lies outside the sheet";
                if (!cell || !LoadRecord(*cell, Stream, &error))
                    ReportCellLoadFailure(Section, x, y, cls->Name, error);
            }
        }
        for (TQvRow* r : packedRows) r->TrimPacked();
    }
    try {
        for (const auto& t : TableOrder)
            if (flags & t.Flag)
                Section.Tables(t.Table)->LoadItems(
                    Stream, t.Table == tbFrames ? TIntSList::StaticClass() : TSList::StaticClass());
    } catch (...) {
        TidyRangesAfterTables(Section);
        throw;
    }
    TidyRangesAfterTables(Section);
}

}  // namespace

int64_t EstimatePayloadSize(const TQvSheet& Sheet) {
    int64_t n = 4096;
    for (TQvSectionKind kind : AllSectionKinds) {
        if (!SectionPresent(Sheet, kind)) continue;
        Sheet.Sections(kind)->ForEach([&](int32_t, TObject* R) {
            n += 8;
            static_cast<const TQvRow*>(R)->ForEachStored([&](int32_t, TObject*, const TQvPackedCell* P) {
                n += P ? static_cast<int64_t>(12 + PackedRecordSize(*P)) : 48;
            });
            return false;
        });
    }
    return n;
}

void WriteSheetData(TQvSheet& Sheet, TStream& Stream) {
    WriteSheetPayload(Sheet, Stream);
    Sheet.SetModified(false);
}

void WriteSheetPayload(TQvSheet& Sheet, TStream& Stream) {
    SaveRecord(*Sheet.BaseClientStyle(), Stream);
    SaveRecord(*Sheet.BaseTitleStyle(), Stream);
    const TQvSizeList* lists[4] = {Sheet.Sizes(axCols, spTitle), Sheet.Sizes(axRows, spTitle),
                                   Sheet.Sizes(axCols, spClient), Sheet.Sizes(axRows, spClient)};
    uint8_t flags = 0;
    for (int i = 0; i < 4; ++i)
        if (!lists[i]->IsEmpty()) flags |= static_cast<uint8_t>(1u << i);
    Stream.WriteByte(flags);
    for (int i = 0; i < 4; ++i)
        if (flags & (1u << i)) lists[i]->SaveToStream(Stream);
    for (TQvSectionKind kind : AllSectionKinds)
        if (SectionPresent(Sheet, kind)) WriteSectionRecord(*Sheet.Sections(kind), Stream);
}

void ReadSheetData(TQvSheet& Sheet, TStream& Stream) {
    // Whatever happens, the views re-read sizes and layout (a failed read
    // may have changed counts already) and the update block closes.
    struct UpdateBlock {
        TQvSheet& S;
        explicit UpdateBlock(TQvSheet& Sheet) : S(Sheet) { S.BeginUpdate(); }
        ~UpdateBlock() {
            for (int i = 0; i < S.ViewCount(); ++i) S.Views(i)->ReadLayout();
            S.EndUpdate();
        }
    };
    {
        UpdateBlock block(Sheet);
        LoadRecord(*Sheet.BaseClientStyle(), Stream);  // a failure is ignored
        LoadRecord(*Sheet.BaseTitleStyle(), Stream);
        TQvSizeList* lists[4] = {Sheet.Sizes(axCols, spTitle), Sheet.Sizes(axRows, spTitle),
                                 Sheet.Sizes(axCols, spClient), Sheet.Sizes(axRows, spClient)};
        const uint8_t flags = Stream.ReadByte();
        static const char* const names[4] = {"title columns", "title rows", "columns", "rows"};
        for (int i = 0; i < 4; ++i) {
            if (!(flags & (1u << i))) continue;
            lists[i]->LoadFromStream(Stream);
            // The sizes carry their own count: one past the last index a
            // sheet can hold is damage, not a sheet.
            if (lists[i]->Count() > TQvSheet::MaxCount())
                throw EReadError("The sizes of " + std::to_string(lists[i]->Count()) + " " + names[i] +
                                 " exceed the " + std::to_string(TQvSheet::MaxCount()) + " a sheet can hold");
        }
        if (flags & 15) ClampReadSizes(Sheet);
        for (TQvSectionKind kind : AllSectionKinds)
            if (SectionPresent(Sheet, kind)) ReadSectionRecord(*Sheet.Sections(kind), Stream);
    }
    Sheet.SetModified(false);
}

}  // namespace qv
