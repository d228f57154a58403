// Sheets longer than a list's first page class reaches: ten million rows.
#include <gtest/gtest.h>

#include <chrono>

#include "grids/row.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "grids/size_list.h"
#include "lists/list_slist.h"
#include "platform/stream.h"
#include "grids/hostile_inputs.h"

namespace qv {
namespace {

constexpr int32_t Rows = 10'000'000;
constexpr int32_t LastRow = Rows - 1;
const TQvLine Thin = PackLine(1, clRed);

std::string Data(TQvSheet& S) {
    TMemoryStream m;
    S.WriteData(m);
    return m.Bytes();
}

std::string Text(const TQvSheet& S, int32_t X, int32_t Y) {
    TQvCell* c = S.FindCell(X, Y);
    return c ? c->AsString() : "";
}

// The highest page class of every list under a sheet: sizes, the row lists
// of the sections, the rows' cell lists and the attribute tables.
int HighestPageClass(const TQvSheet& S) {
    int most = 0;
    for (TQvAxis a : {axCols, axRows})
        for (TQvSizePart p : {spTitle, spClient}) most = std::max<int>(most, S.Sizes(a, p)->PageClass());
    for (TQvSectionKind k : AllSectionKinds) {
        const TQvSection* s = S.Sections(k);
        most = std::max<int>(most, s->PageClass());
        s->ForEach([&](int32_t, TObject* R) { return most = std::max<int>(most, static_cast<TQvRow*>(R)->PageClass()), false; });
        for (int t = 0; t < TQvSection::TableCount; ++t) {
            const TListSList* table = s->Tables(TQvSectionTable(t));
            most = std::max<int>(most, table->PageClass());
            table->ForEach([&](int32_t, TObject* L) { return most = std::max<int>(most, static_cast<TSList*>(L)->PageClass()), false; });
        }
    }
    return most;
}

// Cells, sizes, lines, a fill, a frame and a merged range at the far end of
// a ten-million-row sheet, and one of each near its start.
void MakeLongSheet(TQvSheet& S) {
    S.SetRowCount(Rows);
    S.SetCellValue(0, 0, TVariant(std::string("first")));
    S.SetCellValue(2, LastRow, TVariant(std::string("last")));
    S.SetCellValue(-1, LastRow, TVariant(std::string("title")));
    S.SetSize(axRows, 2'000'000, 18);
    S.SetSize(axRows, LastRow, 20);
    TQvSection* c = S.Sections(skClient);
    c->SetLine(tbHorzLines, LastRow, 0, 3, Thin);
    c->SetLine(tbVertLines, 1, LastRow - 5, LastRow, Thin);
    c->SetLine(tbFill, LastRow - 1, 0, 2, 0xFF);
    c->SetAreaValue(LastRow, 0, 1, 2);
    c->Merge({0, LastRow - 3, 2, LastRow - 1});
}

TEST(LongSheet, TenMillionRowsHoldShiftAndRoundTripWhatTheyHold) {
    const auto start = std::chrono::steady_clock::now();
    TQvSheet s;
    MakeLongSheet(s);
    EXPECT_EQ(Text(s, 2, LastRow), "last");
    EXPECT_EQ(Text(s, -1, LastRow), "title");
    EXPECT_EQ(s.GetSize(axRows, LastRow), 20);
    EXPECT_EQ(HighestPageClass(s), 1);
    const TQvSizeList* heights = s.Sizes(axRows, spClient);
    EXPECT_EQ(heights->Offset(Rows), 15 * Rows + 3 + 5);
    int32_t pos = heights->Offset(LastRow) + 19;
    EXPECT_EQ(heights->IndexAt(pos), LastRow);
    const std::string saved = Data(s);
    // The sheet costs what it holds, not its length.
    EXPECT_LT(saved.size(), 20000u);

    // Rows inserted and removed above the far end carry everything along.
    s.InsertRows(5, 3);
    EXPECT_EQ(s.RowCount(), Rows + 3);
    EXPECT_EQ(Text(s, 2, LastRow + 3), "last");
    EXPECT_EQ(Text(s, -1, LastRow + 3), "title");
    EXPECT_EQ(s.GetSize(axRows, LastRow + 3), 20);
    EXPECT_EQ(s.GetSize(axRows, 2'000'003), 18);
    bool uniform;
    EXPECT_EQ(s.Sections(skClient)->GetLine(tbHorzLines, LastRow + 3, 0, 3, uniform), Thin);
    EXPECT_EQ(s.Sections(skClient)->FindUnionAt({1, LastRow + 1}, true)->Rect(), (TRect{0, LastRow, 2, LastRow + 2}));
    s.RemoveRows(5, 3);
    EXPECT_EQ(Text(s, 2, LastRow), "last");
    EXPECT_EQ(heights->Offset(Rows), 15 * Rows + 3 + 5);
    EXPECT_EQ(s.Sections(skClient)->FindUnionAt({1, LastRow - 2}, true)->Rect(), (TRect{0, LastRow - 3, 2, LastRow - 1}));
    s.RemoveRows(LastRow - 10, 5);
    EXPECT_EQ(Text(s, 2, LastRow - 5), "last");
    s.InsertRows(LastRow - 10, 5);
    EXPECT_EQ(Text(s, 2, LastRow), "last");

    // Saved and loaded, byte for byte.
    TQvSheet loaded;
    TMemoryStream in(saved);
    loaded.ReadData(in);
    EXPECT_EQ(loaded.RowCount(), Rows);
    EXPECT_EQ(Text(loaded, 2, LastRow), "last");
    EXPECT_EQ(loaded.Sizes(axRows, spClient)->Offset(Rows), 15 * Rows + 3 + 5);
    EXPECT_TRUE(Data(loaded) == saved);
    for (TQvSectionKind k : AllSectionKinds) EXPECT_EQ(loaded.Sections(k)->CheckIntegrity(), "") << int(k);

    // Up to the last row a sheet holds.
    loaded.SetRowCount(TQvSheet::MaxCount());
    loaded.SetCellValue(0, TQvSheet::MaxCount() - 1, TVariant(7));
    EXPECT_EQ(loaded.CellValue(0, TQvSheet::MaxCount() - 1).AsInteger(), 7);
    EXPECT_THROW(loaded.InsertRows(0, 1), EQvGridError);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

// Lists that never pass the first class's last index keep it, so the bytes
// such a sheet saves are the ones earlier builds wrote and read.
TEST(LongSheet, SheetsWithinTheFirstPageClassSaveTheBytesTheyAlwaysDid) {
    const int32_t edge = TSList::ClassMaxIndex(0);
    TQvSheet s;
    s.SetRowCount(edge + 1);
    s.SetColCount(edge + 1);
    s.SetCellValue(edge, edge, TVariant(3));
    s.SetSize(axRows, edge, 19);
    s.SetSize(axCols, edge, 70);
    s.Sections(skClient)->SetLine(tbHorzLines, edge, edge - 2, edge, Thin);
    s.Sections(skClient)->SetLine(tbVertLines, edge, edge - 2, edge, Thin);
    s.Sections(skClient)->SetAreaValue(edge, edge - 1, edge, 1);
    EXPECT_EQ(HighestPageClass(s), 0);
    // One row more moves the lists that hold rows, and what they hold moves along.
    s.InsertRows(0, 1);
    EXPECT_EQ(HighestPageClass(s), 1);
    EXPECT_EQ(s.CellValue(edge, edge + 1).AsInteger(), 3);
    EXPECT_EQ(s.GetSize(axRows, edge + 1), 19);
    s.RemoveRows(0, 1);
    EXPECT_EQ(s.CellValue(edge, edge).AsInteger(), 3);
    // The corpus's sheets were written before lists could change class.
    for (const char* path : {"sheet_data/rich", "sheet_file/rich.qvf"}) {
        const std::string bytes = test::CorpusFile(path);
        TQvSheet r;
        TMemoryStream in(bytes), out;
        const bool file = std::string(path).ends_with(".qvf");
        if (file) r.LoadFromStream(in);
        else r.ReadData(in);
        if (file) r.SaveToStream(out);
        else r.WriteData(out);
        EXPECT_TRUE(out.Bytes() == bytes) << path;
    }
}

}  // namespace
}  // namespace qv
