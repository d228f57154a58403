// Sheets longer than a list's first page class reaches: ten million rows.
#include <gtest/gtest.h>

#include "grids/section.h"
#include "grids/sheet.h"
#include "platform/stream.h"
#include "grids/row.h"
#include "grids/size_list.h"
#include "lists/list_slist.h"

namespace qv {
namespace {

constexpr int32_t Rows = 10'000'000, LastRow = Rows - 1;

std::string Data(TQvSheet& S) {
    TMemoryStream m;
    S.WriteData(m);
    return m.Bytes();
}

std::string Text(const TQvSheet& S, int32_t X, int32_t Y) {
    TQvCell* c = S.FindCell(X, Y);
    return c ? c->AsString() : "";
}

TEST(LongSheet, TenMillionRowsHoldShiftAndRoundTripWhatTheyHold) {
    TQvSheet s;
    s.SetRowCount(Rows);
    s.SetCellValue(2, LastRow, TVariant(std::string("last")));
    s.SetCellValue(-1, LastRow, TVariant(std::string("title")));
    s.SetSize(axRows, 2'000'000, 18);
    s.SetSize(axRows, LastRow, 20);
    TQvSection* c = s.Sections(skClient);
    c->SetLine(tbVertLines, 1, LastRow - 5, LastRow, PackLine(1, clRed));
    c->Merge({0, LastRow - 3, 2, LastRow - 1});
    const std::string saved = Data(s);
    EXPECT_LT(saved.size(), 20000u);  // what it holds, not its length
    const int32_t height = 15 * Rows + 3 + 5;
    EXPECT_EQ(s.Sizes(axRows, spClient)->Offset(Rows), height);

    s.InsertRows(5, 3);
    EXPECT_EQ(Text(s, 2, LastRow + 3), "last");
    EXPECT_EQ(Text(s, -1, LastRow + 3), "title");
    EXPECT_EQ(s.GetSize(axRows, 2'000'003), 18);
    EXPECT_EQ(c->Tables(tbVertLines)->List(1)->Items(LastRow + 3), int32_t(PackLine(1, clRed)));
    EXPECT_EQ(c->FindUnionAt({1, LastRow + 1}, true)->Rect(), (TRect{0, LastRow, 2, LastRow + 2}));
    s.RemoveRows(5, 3);
    EXPECT_EQ(Text(s, 2, LastRow), "last");
    EXPECT_EQ(s.Sizes(axRows, spClient)->Offset(Rows), height);

    TQvSheet loaded;
    TMemoryStream in(saved);
    loaded.ReadData(in);
    EXPECT_EQ(Text(loaded, 2, LastRow), "last");
    EXPECT_TRUE(Data(loaded) == saved);
    EXPECT_EQ(loaded.Sections(skClient)->CheckIntegrity(), "");
    // On to the last row a sheet holds.
    loaded.SetRowCount(TQvSheet::MaxCount());
    loaded.SetCellValue(0, TQvSheet::MaxCount() - 1, TVariant(7));
    EXPECT_EQ(loaded.CellValue(0, TQvSheet::MaxCount() - 1).AsInteger(), 7);
}

// Lists that stay within the first class keep it, so such sheets save the
// bytes earlier builds wrote (the stream layout tests pin those bytes); one
// row more moves only the lists along the rows.
TEST(LongSheet, ListsKeepTheFirstPageClassUntilAnIndexPassesIt) {
    const int32_t edge = TSList::ClassMaxIndex(0);
    TQvSheet s;
    s.SetRowCount(edge + 1);
    s.SetColCount(edge + 1);
    s.SetCellValue(edge, edge, TVariant(3));
    s.SetSize(axRows, edge, 19);
    s.Sections(skClient)->SetLine(tbVertLines, edge, edge - 2, edge, PackLine(1, clRed));
    const auto classes = [&] {
        const TQvSection* c = s.Sections(skClient);
        return std::vector<int>{c->PageClass(), c->Rows(c->Last())->PageClass(), s.Sizes(axRows, spClient)->PageClass(),
                                c->Tables(tbVertLines)->PageClass(), c->Tables(tbVertLines)->List(edge)->PageClass()};
    };
    EXPECT_EQ(classes(), std::vector<int>(5, 0));
    s.InsertRows(0, 1);
    EXPECT_EQ(classes(), (std::vector<int>{1, 0, 1, 0, 1}));
    EXPECT_EQ(s.CellValue(edge, edge + 1).AsInteger(), 3);
}

}  // namespace
}  // namespace qv
