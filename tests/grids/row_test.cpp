#include <gtest/gtest.h>

#include "grids/base_style.h"
#include "grids/row.h"
#include "grids/sheet.h"

namespace qv {
namespace {

TEST(QvRowTest, ClearMarksTheRowAndReleasesEveryCellWithoutRepaintRequests) {
    TQvSheet sheet;
    TQvSection* s = sheet.Sections(skClient);
    s->NeedCell({1, 4});
    s->NeedCell({6, 4});
    TQvRow* row = s->Rows(4);
    ASSERT_NE(row, nullptr);
    ASSERT_NE(row->Cells(6), nullptr);
    row->Clear();
    EXPECT_EQ(row->Index(), -1);
    EXPECT_EQ(row->Cells(1), nullptr);
    EXPECT_EQ(row->Cells(6), nullptr);
    EXPECT_TRUE(row->IsEmpty());
}

TEST(QvRowTest, ReindexStampsCellsWithTheirColumn) {
    TQvSheet sheet;
    TQvSection* s = sheet.Sections(skClient);
    TQvCell* a = s->NeedCell({2, 0});
    TQvCell* b = s->NeedCell({5, 0});
    TQvRow* row = s->Rows(0);
    // Move the cells by hand, as an owner shifting entries would, then renumber.
    row->SetItem(2, nullptr);
    row->SetItem(5, nullptr);
    row->SetItem(3, a);
    row->SetItem(9, b);
    row->Reindex(0, 20);
    EXPECT_EQ(a->Col(), 3);
    EXPECT_EQ(b->Col(), 9);
    EXPECT_EQ(s->CheckIntegrity(), "");
}

TEST(QvRowTest, SectionReindexStampsRows) {
    TQvSheet sheet;
    TQvSection* s = sheet.Sections(skClient);
    TQvRow* r = s->NeedRow(2);
    s->SetItem(2, nullptr);
    s->SetItem(7, r);
    s->Reindex(0, 10);
    EXPECT_EQ(r->Index(), 7);
    EXPECT_EQ(s->CheckIntegrity(), "");
}

}  // namespace
}  // namespace qv
