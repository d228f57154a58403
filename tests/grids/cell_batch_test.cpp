#include "grids/cell_batch.h"

#include <gtest/gtest.h>

#include "cells/date_time_cell.h"
#include "cells/integer_cell.h"
#include "cells/string_cell.h"
#include "grids/base_style.h"
#include "grids/row.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "platform/stream.h"
#include "recording_view.h"

using namespace qv;

namespace {

// A sheet whose base style gives new cells a format, protection, hiding and
// a layout to inherit, with a merged range and a cell already in place.
void Prepare(TQvSheet& Sheet) {
    Sheet.SetColCount(8);
    Sheet.SetRowCount(8);
    TQvBaseStyle* base = Sheet.BaseClientStyle();
    base->SetCellClass(TQvCInteger::StaticClass());
    base->SetFormat("0.00");
    base->SetProtected(true);
    base->SetShowing(false);
    base->SetIndent(2);
    TQvSection* client = Sheet.Sections(skClient);
    client->NeedCellOfClass({4, 4}, TQvCString::StaticClass())->SetRect({4, 4, 6, 6});
    client->NeedCellOfClass({1, 1}, TQvCString::StaticClass())->SetAsString("old");
}

std::string Saved(TQvSheet& Sheet) {
    TMemoryStream m;
    Sheet.SaveToStream(m);
    return m.Bytes();
}

}  // namespace

// Cells from a batch are what NeedCellOfClass makes, one by one, including
// where a cell stands already and inside a merged range.
TEST(CellBatch, MakesTheCellsNeedCellOfClassMakes) {
    TQvSheet bulk, single;
    Prepare(bulk);
    Prepare(single);
    const TQvCellClass classes[] = {TQvCInteger::StaticClass(), TQvCString::StaticClass(),
                                    TQvCDateTime::StaticClass()};
    {
        TQvCellBatch batch(*bulk.Sections(skClient));
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 7; ++x) {
                const TQvCellClass cls = classes[(x + y) % 3];
                TQvCell* a = batch.Add({x, y}, cls);
                TQvCell* b = single.Sections(skClient)->NeedCellOfClass({x, y}, cls);
                ASSERT_NE(a, nullptr);
                ASSERT_NE(b, nullptr);
                EXPECT_EQ(a->TopLeft(), b->TopLeft());
                a->SetAsInteger(x * 10 + y);
                b->SetAsInteger(x * 10 + y);
            }
        EXPECT_EQ(batch.Add({-1, 0}, classes[0]), nullptr);
    }
    const TQvCell* made = bulk.Sections(skClient)->FindCell({6, 0});
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->Format(), "0.00");
    EXPECT_TRUE(made->Protected());
    EXPECT_FALSE(made->Showing());
    EXPECT_EQ(made->Layout().Indent, 2);
    EXPECT_TRUE(made->Assigned().Has(piValue));
    EXPECT_FALSE(made->Assigned().Has(piControl));
    EXPECT_EQ(Saved(bulk), Saved(single));
}

// A cell that stands already is handed back as it is, and what it carries
// of its own is not what the new cells of its class inherit.
TEST(CellBatch, AStandingCellIsNoModelForTheNewOnes) {
    TQvSheet sheet;
    sheet.SetColCount(4);
    sheet.SetRowCount(4);
    sheet.BaseClientStyle()->SetCellClass(TQvCInteger::StaticClass());
    sheet.BaseClientStyle()->SetFormat("0.0");
    TQvCell* standing = sheet.Sections(skClient)->NeedCellOfClass({0, 0}, TQvCInteger::StaticClass());
    standing->SetFormat("#,##0");
    standing->SetProtected(true);
    TQvCellBatch batch(*sheet.Sections(skClient));
    EXPECT_EQ(batch.Add({0, 0}, TQvCInteger::StaticClass()), standing);
    TQvCell* made = batch.Add({1, 0}, TQvCInteger::StaticClass());
    EXPECT_EQ(made->Format(), "0.0");
    EXPECT_FALSE(made->Protected());
    EXPECT_EQ(batch.Add({2, 0}, TQvCInteger::StaticClass())->Format(), "0.0");
}

// The cells made the fast way are repainted together once the batch ends.
TEST(CellBatch, RepaintsItsAreaOnceAtTheEnd) {
    TQvSheet sheet;
    sheet.SetColCount(50);
    sheet.SetRowCount(50);
    test::TRecordingView view(&sheet);
    {
        TQvCellBatch batch(*sheet.Sections(skClient));
        for (int y = 10; y < 40; ++y)
            for (int x = 5; x < 20; ++x) batch.Add({x, y}, TQvCInteger::StaticClass())->SetAsInteger(x);
        EXPECT_LE(view.Count("InvalidateCells"), 1);  // the model cell's own
        view.Calls.clear();
    }
    ASSERT_EQ(view.Count("InvalidateCells"), 1);
    for (const auto& c : view.Calls)
        if (c.Name == "InvalidateCells") {
            EXPECT_EQ(c.R.Left, 5);
            EXPECT_EQ(c.R.Top, 10);
            EXPECT_GE(c.R.Right, 20);
            EXPECT_GE(c.R.Bottom, 40);
        }
}
