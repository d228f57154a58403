#include "grids/selection.h"

#include <gtest/gtest.h>

#include "cells/integer_cell.h"
#include "cells/string_cell.h"
#include "cells/strings_cell.h"
#include "grids/base_style.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "grids/style.h"
#include "grids/styler.h"
#include "platform/exceptions.h"
#include "platform/font.h"
#include "platform/string_list.h"

using namespace qv;

namespace {

// A pane stand-in: a rectangle of one section and a count of notifications.
struct TFakePane : IQvSelectionOwner {
    TQvSection* Sec = nullptr;
    TRect Rect;
    int Notified = 0;
    TQvSection* SelectionSection() const override { return Sec; }
    TRect SelectionRect() const override { return Rect; }
    void SelectRect(const TRect& R) override { Rect = R; }
    void SelectionChanged() override { ++Notified; }
};

struct SelectionTest : testing::Test {
    TQvSheet Sheet;
    TFakePane Pane;
    TQvSelection Sel{&Pane};
    TQvSection* Client() { return Sheet.Sections(skClient); }
    void Select(const TRect& R) {
        Pane.Sec = Client();
        Pane.Rect = R;
        Sel.Load();
    }
    int CellCount() {
        int n = 0;
        Client()->ForAllCells([&](TQvCell*) { ++n; });
        return n;
    }
};

}  // namespace

TEST_F(SelectionTest, FontChangesApplyOnlyWhatChanged) {
    Client()->NeedCell({0, 0})->Font()->SetName("Arial");
    Client()->NeedCell({1, 0})->Font()->SetSize(14);
    Select({0, 0, 2, 2});
    EXPECT_EQ(Sel.Font()->Name(), "Arial");  // read from the top-left cell
    Sel.Font()->SetStyle({fsBold});
    EXPECT_EQ(CellCount(), 4);  // missing cells were created
    EXPECT_EQ(Client()->FindCell({0, 0})->Font()->Name(), "Arial");
    EXPECT_EQ(Client()->FindCell({1, 0})->Font()->Size(), 14);
    Client()->ForAllCells([](TQvCell* c) { EXPECT_TRUE(c->Font()->Style().Contains(fsBold)); });
    EXPECT_EQ(Pane.Notified, 1);
    // A second change carries only the newly changed part.
    Sel.Font()->SetColor(clRed);
    EXPECT_EQ(Client()->FindCell({1, 0})->Font()->Size(), 14);
    EXPECT_EQ(Client()->FindCell({1, 1})->Font()->Color(), clRed);
}

TEST_F(SelectionTest, LinesGoIntoTheTablesWithoutCells) {
    Select({1, 1, 4, 4});
    Sel.SetColor(clYellow);
    EXPECT_EQ(CellCount(), 0);
    bool uniform;
    EXPECT_EQ(UnpackLine(Client()->GetLine(tbFill, 3, 1, 3, uniform)).Color, clYellow);
    EXPECT_TRUE(uniform);
    Sel.SetBorder(liTop, {lsSingle, clBlack});
    EXPECT_NE(Client()->GetLine(tbHorzLines, 1, 1, 3, uniform), 0u);
    EXPECT_TRUE(uniform);
    EXPECT_EQ(Client()->GetLine(tbHorzLines, 2, 1, 3, uniform), 0u);  // one line along the top only
    EXPECT_EQ(Sel.Color(), clYellow);
}

TEST_F(SelectionTest, MergeMergeLinesClearAndHints) {
    Select({0, 0, 1, 1});
    EXPECT_FALSE(Sel.Merge());
    Select({0, 0, 3, 4});
    EXPECT_TRUE(Sel.MergeLines());
    EXPECT_EQ(Client()->Unions().size(), 4u);
    Select({0, 0, 3, 1});  // exactly one range now
    EXPECT_FALSE(Sel.Merge());

    Client()->NeedCell({5, 5})->SetHint("h");
    Select({4, 4, 8, 8});
    const int before = CellCount();
    Sel.ClearHints();
    EXPECT_EQ(CellCount(), before);
    EXPECT_EQ(Client()->FindCell({5, 5})->Hint(), "");
    EXPECT_TRUE(Sel.Clear());
    EXPECT_EQ(Client()->FindCell({5, 5}), nullptr);
}

TEST_F(SelectionTest, LoadingAppliesNothingAndValuesConvertPerCell) {
    Sheet.BaseClientStyle()->SetHAlign(haCenter);
    Sheet.SetModified(false);
    Select({2, 2, 4, 3});
    EXPECT_EQ(Sel.Layout().HAlign, haCenter);
    EXPECT_EQ(CellCount(), 0);
    EXPECT_FALSE(Sheet.Modified());

    Client()->NeedCellOfClass({3, 2}, TQvCInteger::StaticClass());
    Sel.SetValue(TVariant("42"));
    EXPECT_EQ(Client()->FindCell({2, 2})->AsString(), "42");
    EXPECT_TRUE(Client()->FindCell({3, 2})->IsExactly(TQvCInteger::StaticClass()));
    EXPECT_EQ(Client()->FindCell({3, 2})->AsInteger(), 42);

    // A new class replaces every cell of another class in the rectangle.
    Sel.SetCellClass(TQvCInteger::StaticClass());
    EXPECT_TRUE(Client()->FindCell({2, 2})->IsExactly(TQvCInteger::StaticClass()));
}

TEST_F(SelectionTest, ValuesKeepTheItemListsOfPickLists) {
    auto* xy = static_cast<TQvCStrings*>(Client()->NeedCellOfClass({0, 0}, TQvCStrings::StaticClass()));
    auto* pq = static_cast<TQvCStrings*>(Client()->NeedCellOfClass({1, 0}, TQvCStrings::StaticClass()));
    xy->SetAsString("x\r\ny");
    pq->SetAsString("p\r\nq");
    Select({0, 0, 2, 1});
    // A text is the value of a pick list: its lines.
    Sel.SetValue(TVariant("a\r\nb"));
    EXPECT_EQ(xy->AsString(), "a\r\nb\r\n");
    EXPECT_EQ(pq->AsString(), "a\r\nb\r\n");
    // An integer chooses a line and leaves the lists alone.
    pq->SetAsString("p\r\nq");
    Sel.SetAsInteger(1);
    EXPECT_EQ(xy->Items()->Count(), 2);
    EXPECT_EQ(pq->GetText(), "q");
    Select({0, 0, 1, 1});
    Sel.SetAsInteger(0);
    EXPECT_EQ(xy->GetText(), "a");
    EXPECT_EQ(xy->Items()->Count(), 2);
}

TEST_F(SelectionTest, LineChangesMarkTheSheetModifiedOnlyWhenTheyChangeSomething) {
    Select({1, 1, 3, 3});
    Sheet.SetModified(false);
    Sel.SetColor(clYellow);
    EXPECT_TRUE(Sheet.Modified());
    Sheet.SetModified(false);
    Sel.SetColor(clYellow);
    Sel.SetBorder(liTop, {lsNone, clBlack});  // no line to remove
    EXPECT_FALSE(Sheet.Modified());
    Sel.SetBorder(liHInternal, {lsSingle, clBlack});
    EXPECT_TRUE(Sheet.Modified());
    Sheet.SetModified(false);
    Sel.SetFrame(frDeepUp);
    EXPECT_TRUE(Sheet.Modified());
    EXPECT_EQ(CellCount(), 0);
}

TEST_F(SelectionTest, LayoutAppliesAsDifferences) {
    Client()->NeedCell({0, 0})->SetVAlign(vaBottom);
    Select({0, 0, 2, 1});
    Sel.SetHAlign(haRight);
    EXPECT_EQ(Client()->FindCell({0, 0})->Layout().VAlign, vaBottom);
    EXPECT_EQ(Client()->FindCell({0, 0})->Layout().HAlign, haRight);
    EXPECT_EQ(Client()->FindCell({1, 0})->Layout().HAlign, haRight);
}

TEST_F(SelectionTest, AForeignStyleIsRefusedBeforeAnythingIsApplied) {
    TQvStyler own, other;
    Sheet.SetStyler(&own);
    Select({0, 0, 2, 2});
    EXPECT_THROW(Sel.SetStyle(other.AddStyle("X")), EQvGridError);
    EXPECT_EQ(Pane.Notified, 0);
    Sel.SetStyle(own.AddStyle("Y"));
    Client()->ForAllCells([&](TQvCell* c) { EXPECT_EQ(c->GetStyle(), own.FindStyle("Y")); });
    EXPECT_EQ(CellCount(), 4);
    Sheet.SetStyler(nullptr);
}
