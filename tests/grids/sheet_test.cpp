#include <gtest/gtest.h>

#include "grids/base_style.h"
#include "grids/cell.h"
#include "grids/sheet.h"
#include "grids/style.h"
#include "grids/styler.h"
#include "platform/graphic.h"
#include "platform/picture.h"
#include "platform/test_images.h"
#include "recording_view.h"

namespace qv {
namespace {

using test::TRecordingView;

TEST(QvSheetTest, ANewSheetHasItsDefaults) {
    TQvSheet s;
    EXPECT_EQ(s.ColCount(), 5);
    EXPECT_EQ(s.RowCount(), 5);
    EXPECT_EQ(s.TitleCols(), 1);
    EXPECT_EQ(s.TitleRows(), 1);
    EXPECT_EQ(s.ColDefWidth(), 60);
    EXPECT_EQ(s.RowDefHeight(), 15);
    EXPECT_EQ(s.Sizes(axCols, spTitle)->Default(), 60);
    EXPECT_EQ(s.Sizes(axRows, spTitle)->Default(), 15);
    EXPECT_EQ(s.ColMaxWidth(), 200);
    EXPECT_EQ(s.RowMaxHeight(), 20);
    EXPECT_FALSE(s.Modified());
    EXPECT_FALSE(s.ReadOnly());
    EXPECT_EQ(s.Styler(), nullptr);
    EXPECT_EQ(s.UpdateCount(), 0);
    for (TQvSectionKind k : AllSectionKinds) {
        EXPECT_TRUE(s.Sections(k)->IsEmpty());
        EXPECT_EQ(s.Sections(k)->Kind(), k);
        EXPECT_EQ(s.Sections(k)->BaseStyle(), k == skClient ? s.BaseClientStyle() : s.BaseTitleStyle());
    }
    EXPECT_TRUE(s.BaseClientStyle()->IsClient());
    EXPECT_FALSE(s.BaseTitleStyle()->IsClient());
}

// An index outside a fixed table is a programmer error: where assertions are
// on, the accessors stop the program and name the broken condition.
TEST(QvSheetDeathTest, UncheckedIndexesAssert) {
#if QV_ASSERTS_ACTIVE
    TQvSheet s;
    EXPECT_DEATH(s.Sections(static_cast<TQvSectionKind>(4)), "assertion failed: Kind <= skClient");
    EXPECT_DEATH(s.Views(0), "sheet.h:[0-9]+: assertion failed: I >= 0");
    EXPECT_DEATH(s.Sizes(axCols, static_cast<TQvSizePart>(2)), "assertion failed");
    EXPECT_DEATH(s.Sections(skClient)->Tables(static_cast<TQvSectionTable>(6)), "assertion failed: T < TableCount");
#else
    GTEST_SKIP() << "assertions are off in this build";
#endif
}

TEST(QvSheetTest, CountsClampAndNotifyOnlyOnChange) {
    TQvSheet s;
    TRecordingView v(&s);
    s.SetColCount(-3);
    EXPECT_EQ(s.ColCount(), 0);
    ASSERT_EQ(v.Count("UpdateSizes"), 1);
    EXPECT_EQ(v.Calls[0].Kind, axCols);
    s.SetColCount(0);
    s.SetTitleRows(1);
    EXPECT_EQ(v.Count("UpdateSizes"), 1);
    s.SetTitleRows(3);
    EXPECT_EQ(s.TitleRows(), 3);
    EXPECT_EQ(v.Calls.back().Kind, axRows);
}

TEST(QvSheetTest, SizesObeyTheMaximumAndTheCount) {
    TQvSheet s;
    TRecordingView v(&s);
    std::vector<std::pair<int, int>> sizing;
    s.OnSizing = [&](TObject* Sender, TQvAxis, int32_t Index, int32_t& Value) {
        EXPECT_EQ(Sender, &s);
        sizing.emplace_back(Index, Value);
    };
    s.SetSize(2, axCols, 500);
    EXPECT_EQ(s.GetSize(axCols, 2), 200);
    ASSERT_EQ(v.Count("ApplySize"), 1);
    EXPECT_EQ(v.Calls.back().Entry, 2);
    EXPECT_EQ(v.Calls.back().Mode, spClient);

    s.SetColMaxWidth(0);
    s.SetSize(2, axCols, 500);
    EXPECT_EQ(s.GetSize(axCols, 2), 500);

    // Past the count: the event fires, nothing is stored.
    sizing.clear();
    v.Reset();
    s.SetSize(7, axCols, 80);
    ASSERT_EQ(sizing.size(), 1u);
    EXPECT_EQ(sizing[0], std::make_pair(7, 80));
    EXPECT_EQ(s.GetSize(axCols, 7), 60);
    EXPECT_EQ(v.Count("ApplySize"), 0);

    // The handler may change the size; the maximum applies after it, and a
    // negative size hides the entry rather than running backwards.
    s.SetColMaxWidth(100);
    s.OnSizing = [](TObject*, TQvAxis, int32_t, int32_t& Value) { Value *= 2; };
    s.SetSize(1, axCols, 30);
    EXPECT_EQ(s.GetSize(axCols, 1), 60);
    s.SetSize(3, axCols, 70);
    EXPECT_EQ(s.GetSize(axCols, 3), 100);
    s.SetSize(4, axCols, -5);
    EXPECT_EQ(s.GetSize(axCols, 4), 0);
}

TEST(QvSheetTest, AssigningTheDefaultDropsIndividualSizes) {
    TQvSheet s;
    TRecordingView v(&s);
    s.SetColDefWidth(60);  // nothing individual: nothing happens
    EXPECT_EQ(v.Count("UpdateSizes"), 0);
    s.SetSize(2, axCols, 80);
    s.SetSize(-1, axCols, 90);
    s.SetColDefWidth(60);
    EXPECT_EQ(s.GetSize(axCols, 2), 60);
    EXPECT_EQ(s.GetSize(axCols, -1), 60);
    EXPECT_EQ(v.Count("UpdateSizes"), 2);  // one per list that changed
}

TEST(QvSheetTest, LoweringTheMaximumShrinksDefaultsOrSizes) {
    TQvSheet s;
    s.SetSize(2, axCols, 150);
    s.SetColMaxWidth(40);  // below the default: both defaults become 40
    EXPECT_EQ(s.ColMaxWidth(), 40);
    EXPECT_EQ(s.ColDefWidth(), 40);
    EXPECT_EQ(s.Sizes(axCols, spTitle)->Default(), 40);
    EXPECT_EQ(s.GetSize(axCols, 2), 40);

    TQvSheet t;
    t.SetSize(3, axCols, 150);
    t.SetSize(-1, axCols, 180);
    std::vector<int> indexes;
    t.OnSizing = [&](TObject*, TQvAxis, int32_t Index, int32_t&) { indexes.push_back(Index); };
    t.SetColMaxWidth(100);
    EXPECT_EQ(t.ColDefWidth(), 60);
    EXPECT_EQ(t.GetSize(axCols, 3), 100);
    EXPECT_EQ(t.GetSize(axCols, -1), 100);
    EXPECT_EQ(indexes, (std::vector<int>{-1, 3}));
}

TEST(QvSheetTest, TitleSizesCountFromTheClientArea) {
    // With several title columns, size index -1 - e names title entry e.
    TQvSheet s;
    s.SetColMaxWidth(0);
    s.SetTitleCols(3);
    std::vector<int> indexes;
    s.OnSizing = [&](TObject*, TQvAxis, int32_t Index, int32_t&) { indexes.push_back(Index); };
    s.SetSize(-1, axCols, 11);
    s.SetSize(axCols, -3, 33);  // the axis may come first, as in GetSize
    s.SetSize(-4, axCols, 44);  // no such title entry
    EXPECT_EQ(s.Sizes(axCols, spTitle)->Values(0), 11);
    EXPECT_EQ(s.Sizes(axCols, spTitle)->Values(2), 33);
    EXPECT_EQ(s.GetSize(axCols, -1), 11);
    EXPECT_EQ(s.GetSize(axCols, -3), 33);
    EXPECT_EQ(s.Sizes(axCols, spTitle)->Last(), 2);
    EXPECT_EQ(indexes, (std::vector<int>{-1, -3, -4}));
}

TEST(QvSheetTest, CoordinatesMapToSectionsWithSeveralTitles) {
    TQvSheet s;
    TPoint p;
    EXPECT_EQ(s.MapCoord(-1, -1, p), skCorner);
    EXPECT_EQ(p, (TPoint{0, 0}));
    EXPECT_EQ(s.MapCoord(3, -1, p), skColTitles);
    EXPECT_EQ(p, (TPoint{3, 0}));
    s.SetTitleCols(3);
    s.SetTitleRows(2);
    EXPECT_EQ(s.MapCoord(-3, 4, p), skRowTitles);
    EXPECT_EQ(p, (TPoint{0, 4}));
    EXPECT_EQ(s.MapCoord(-1, -2, p), skCorner);
    EXPECT_EQ(p, (TPoint{2, 0}));
    EXPECT_EQ(s.MapCoord(2, 2, p), skClient);
    EXPECT_EQ(p, (TPoint{2, 2}));
    // Left of the first title column there is no cell to have.
    EXPECT_EQ(s.NeedCell(-4, 0), nullptr);
}

TEST(QvSheetTest, RaisingTheTitleCountKeepsLocalColumns) {
    TQvSheet s;
    TQvCell* c = s.NeedCell(-1, 2);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Section(), s.Sections(skRowTitles));
    s.SetTitleCols(2);
    EXPECT_EQ(s.FindCell(-2, 2), c);
    EXPECT_EQ(s.FindCell(-1, 2), nullptr);
}

TEST(QvSheetTest, CellValuesAndTheirClasses) {
    TQvSheet s;
    EXPECT_TRUE(s.CellValue(1, 1).IsEmpty());
    EXPECT_EQ(s.FindCell(1, 1), nullptr);
    s.SetCellValue(1, 1, TVariant(std::string("abc")));
    TQvCell* c = s.FindCell(1, 1);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->ClassType(), s.BaseClientStyle()->GetCellClass());
    EXPECT_EQ(s.CellValue(1, 1).AsString(), "abc");
    s.SetCellValue(2, -1, TVariant(std::string("t")));
    EXPECT_EQ(s.FindCell(2, -1)->ClassType(), s.BaseTitleStyle()->GetCellClass());
    EXPECT_EQ(s.FindCell(2, -1)->Section(), s.Sections(skColTitles));
}

TEST(QvSheetTest, UpdateBracketsHoldRepaintsBack) {
    TQvSheet s;
    TRecordingView v(&s);
    s.BeginUpdate();
    s.BeginUpdate();
    s.SetCellValue(0, 0, TVariant(int32_t(5)));
    s.Sections(skClient)->Merge({0, 0, 2, 2});
    s.EndUpdate();
    EXPECT_EQ(v.Count("InvalidateAll"), 0);
    EXPECT_EQ(v.Count("InvalidateCells"), 0);
    s.EndUpdate();
    EXPECT_EQ(v.Count("InvalidateAll"), 1);
    // An unbalanced EndUpdate leaves the counter at 0, so the next bracket
    // still holds repaints back.
    s.EndUpdate();
    EXPECT_EQ(s.UpdateCount(), 0);
    EXPECT_EQ(v.Count("InvalidateAll"), 1);
    s.BeginUpdate();
    v.Reset();
    s.Sections(skClient)->Invalidate({0, 0, 1, 1}, false);
    EXPECT_EQ(v.Count("InvalidateCells"), 0);
    s.EndUpdate();
}

TEST(QvSheetTest, ModifiedFiresOnEveryChangeOfTheFlag) {
    TQvSheet s;
    int fired = 0;
    s.OnModified = [&](TObject* Sender) {
        EXPECT_EQ(Sender, &s);
        ++fired;
    };
    s.SetModified(false);
    EXPECT_EQ(fired, 0);
    s.SetModified(true);
    s.SetModified(true);
    s.SetModified(false);
    EXPECT_EQ(fired, 2);
    s.SetCellValue(0, 0, TVariant(int32_t(1)));
    EXPECT_TRUE(s.Modified());
}

TEST(QvSheetTest, NotificationsReachTheRightViews) {
    TQvSheet s;
    TRecordingView a(&s), b(&s);
    s.AddView(&a);  // twice is once
    EXPECT_EQ(s.ViewCount(), 2);
    TQvCell* c = s.NeedCell(0, 0);
    b.Editing = c;
    s.CellReleased(c);
    EXPECT_EQ(a.Count("EndEdit"), 0);
    EXPECT_EQ(b.Count("EndEdit"), 1);

    s.NotifySizeChanged(&a, axRows, 3, spTitle);
    EXPECT_EQ(a.Count("ApplySize"), 0);
    ASSERT_EQ(b.Count("ApplySize"), 1);
    EXPECT_EQ(b.Named("ApplySize")[0].Entry, 3);

    s.MergeChanged(skCorner);
    EXPECT_EQ(a.Named("MergeChanged")[0].Kind, skCorner);

    // The background's change repaints every client pane.
    TBitmap bmp;
    bmp.LoadFromBytes(test::MakeBmp(2, 2));
    TPicture pic;
    pic.SetGraphic(&bmp);
    s.SetBackground(&pic);
    EXPECT_EQ(s.Background()->Width(), 2);
    EXPECT_EQ(a.Count("RepaintClient"), 1);
    EXPECT_EQ(b.Count("RepaintClient"), 1);
    s.RemoveView(&b);
    s.RepaintGrids();
    EXPECT_EQ(b.Count("RepaintClient"), 1);
    EXPECT_EQ(a.Count("RepaintClient"), 2);
}

TEST(QvSheetTest, DestructionDetachesViewsLastFirst) {
    std::vector<std::string> order;
    struct TOrderView : TRecordingView {
        TOrderView(TQvSheet* S, std::vector<std::string>* O, std::string N)
            : TRecordingView(S), Order(O), Name(std::move(N)) {}
        void SheetDestroying(TQvSheet* S) override {
            Order->push_back(Name);
            TRecordingView::SheetDestroying(S);
        }
        std::vector<std::string>* Order;
        std::string Name;
    };
    auto* s = new TQvSheet();
    TOrderView a(s, &order, "a"), b(s, &order, "b");
    // A view that ignores the call is dropped all the same.
    struct TStubborn : TRecordingView {
        using TRecordingView::TRecordingView;
        void SheetDestroying(TQvSheet*) override { Calls.push_back({"SheetDestroying"}); }
    } c(nullptr);
    s->AddView(&c);
    TQvStyler styler;
    s->SetStyler(&styler);
    s->Sections(skClient)->Merge({0, 0, 2, 2});
    s->NeedCell(0, 0)->SetStyle(styler.AddStyle("X"));
    delete s;
    EXPECT_EQ(order, (std::vector<std::string>{"b", "a"}));
    EXPECT_EQ(a.Sheet(), nullptr);
    EXPECT_EQ(c.Count("SheetDestroying"), 1);
    EXPECT_EQ(styler.SheetCount(), 0);
}

TEST(QvSheetTest, ReplacingTheStylerCarriesStylesByName) {
    TQvSheet s;
    TQvStyler first, second;
    s.SetStyler(&first);
    TQvStyle* a1 = first.AddStyle("A");
    TQvStyle* b1 = first.AddStyle("B");
    TQvStyle* a2 = second.AddStyle("A");
    TQvCell* c1 = s.NeedCell(0, 0);
    TQvCell* c2 = s.NeedCell(-1, 3);
    TQvCell* c3 = s.NeedCell(4, 4);
    TQvCell* c4 = s.NeedCell(5, 4);
    c1->SetStyle(a1);
    c2->SetStyle(a1);
    c3->SetStyle(b1);
    int changed = 0;
    s.OnStylerChanged = [&](TObject*) { ++changed; };

    s.SetStyler(&second);
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(s.Styler(), &second);
    EXPECT_EQ(first.SheetCount(), 0);
    ASSERT_EQ(second.SheetCount(), 1);
    EXPECT_EQ(c1->GetStyle(), a2);
    EXPECT_EQ(c2->GetStyle(), a2);
    EXPECT_EQ(c3->GetStyle(), nullptr);  // "B" is missing from the new styler
    EXPECT_EQ(c4->GetStyle(), nullptr);

    s.SetStyler(&second);
    EXPECT_EQ(changed, 1);
    s.SetStyler(nullptr);
    EXPECT_EQ(changed, 2);
    EXPECT_EQ(c1->GetStyle(), nullptr);
    EXPECT_EQ(second.SheetCount(), 0);
}

TEST(QvSheetTest, ADestroyedStylerLeavesTheSheetWithoutStyles) {
    TQvSheet s;
    auto* styler = new TQvStyler();
    s.SetStyler(styler);
    TQvCell* c = s.NeedCell(1, 1);
    c->SetStyle(styler->AddStyle("Gone"));
    delete styler;
    EXPECT_EQ(s.Styler(), nullptr);
    EXPECT_EQ(c->GetStyle(), nullptr);
}

TEST(QvSheetTest, AssigningABaseStyleKeepsItsFixedAssignedSet) {
    TQvSheet a, b;
    const TQvProps fixed = a.BaseClientStyle()->Assigned();
    TQvLayout l = b.BaseClientStyle()->Layout();
    l.HAlign = haRight;
    b.BaseClientStyle()->SetLayout(l);
    a.SetBaseClientStyle(b.BaseClientStyle());
    EXPECT_EQ(a.BaseClientStyle()->Layout().HAlign, haRight);
    EXPECT_EQ(a.BaseClientStyle()->Assigned(), fixed);
    a.SetBaseTitleStyle(b.BaseTitleStyle());
    EXPECT_EQ(a.BaseTitleStyle()->Assigned(), fixed);
    a.SetBaseClientStyle(a.BaseClientStyle());
    a.SetBaseClientStyle(nullptr);
    EXPECT_EQ(a.BaseClientStyle()->Assigned(), fixed);
}

}  // namespace
}  // namespace qv
