// The grid control: layout of the bands, scale, links, sheet attachment and
// lifetime, scroll bars and events.
#include <gtest/gtest.h>

#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <memory>

#include "grids/sheet.h"
#include "platform/exceptions.h"
#include "platform/filer.h"
#include "platform/stream.h"
#include "view/grid.h"

using namespace qv;

namespace {

std::unique_ptr<TQvSheet> MakeSheet(int32_t Cols = 50, int32_t Rows = 50) {
    auto s = std::make_unique<TQvSheet>();
    s->SetColDefWidth(64);
    s->SetRowDefHeight(16);
    s->SetColCount(Cols);
    s->SetRowCount(Rows);
    return s;
}

// Scroll bars shown, and any other child showing in the client pane.
int VisibleBars(const TQvGrid& G) {
    int n = 0;
    for (QScrollBar* b : G.Views(skClient)->findChildren<QScrollBar*>()) n += !b->isHidden();
    return n;
}
int VisibleChildren(const TQvGrid& G) {
    int n = 0;
    for (QWidget* w : G.Views(skClient)->findChildren<QWidget*>()) n += !w->isHidden();
    return n;
}

TEST(Grid, TitleBandsFollowOptions) {
    auto sheet = MakeSheet();
    TQvGrid grid;
    grid.resize(300, 200);
    grid.SetSheet(sheet.get());
    const QRect r = grid.contentsRect();
    EXPECT_EQ(grid.Views(skClient)->geometry(), QRect(r.left() + 64, r.top() + 16, r.width() - 64, r.height() - 16));
    EXPECT_EQ(grid.Views(skCorner)->geometry(), QRect(r.left(), r.top(), 64, 16));

    grid.SetOptions(grid.Options() & ~oTitleCols);
    EXPECT_EQ(grid.Views(skColTitles)->height(), 0);
    EXPECT_EQ(grid.Views(skCorner)->height(), 0);
    EXPECT_EQ(grid.Views(skClient)->y(), r.top());
    EXPECT_EQ(grid.Views(skRowTitles)->geometry(), QRect(r.left(), r.top(), 64, r.height()));

    grid.SetOptions(grid.Options() & ~oTitleRows);
    EXPECT_EQ(grid.Views(skClient)->geometry(), r);
}

TEST(Grid, ScaleTruncatesEachSize) {
    auto sheet = MakeSheet();
    sheet->SetSize(2, axCols, 65);
    TQvGrid grid;
    grid.SetSheet(sheet.get());
    grid.SetScale(150);
    const TQvSizeList* cols = grid.Sizes(axCols, spClient);
    EXPECT_EQ(cols->Default(), 96);
    EXPECT_EQ(cols->Size(0), 96);
    EXPECT_EQ(cols->Size(2), 97);  // 97.5 truncated
    EXPECT_EQ(grid.Views(skClient)->ContentSize().Width, 49 * 96 + 97);
    EXPECT_EQ(grid.Sizes(axCols, spTitle)->Size(0), 96);
    // Back and forth between pixels and sheet units.
    EXPECT_EQ(grid.ScaleValue(-3), -4);
    EXPECT_EQ(grid.UnscaleValue(97), 64);
    grid.SetScale(500);
    EXPECT_EQ(grid.ScaleValue(1000000000), 2147483647);  // the product is 64-bit and saturates
}

TEST(Grid, ScaleOutsideRangeIsRefused) {
    TQvGrid grid;
    for (int bad : {0, 24, 501, -100}) {
        try {
            grid.SetScale(bad);
            ADD_FAILURE() << bad;
        } catch (const EQvGridError& e) {
            EXPECT_NE(std::string(e.what()).find(std::to_string(bad)), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(grid.Scale(), 100);
    grid.SetScale(25);
    EXPECT_EQ(grid.Scale(), 25);
}

TEST(Grid, LinkedGridsScrollTogetherAtTheirScales) {
    auto sheet = MakeSheet();
    TQvGrid a, b;
    a.resize(300, 200);
    b.resize(300, 200);
    a.SetSheet(sheet.get());
    b.SetSheet(sheet.get());
    b.SetScale(200);
    b.Views(skClient)->ScrollTo({0, 32});
    a.SetHorzLink(&b);
    a.Views(skClient)->ScrollTo({150, 16});
    EXPECT_EQ(b.Views(skClient)->ScrollPos(), (TPoint{300, 32}));
    EXPECT_EQ(b.Views(skColTitles)->ScrollPos().X, 300);
    // And back, with the vertical positions independent.
    b.Views(skClient)->ScrollTo({100, 64});
    EXPECT_EQ(a.Views(skClient)->ScrollPos(), (TPoint{50, 16}));

    // With one grid as both links, both axes follow.
    a.SetVertLink(&b);
    a.Views(skClient)->ScrollTo({20, 40});
    EXPECT_EQ(b.Views(skClient)->ScrollPos(), (TPoint{40, 80}));
}

TEST(Grid, LinkedScrollDoesNotBounceBack) {
    auto sheet = MakeSheet();
    TQvGrid a, b;
    a.SetSheet(sheet.get());
    b.SetSheet(sheet.get());
    b.SetScale(150);
    a.SetHorzLink(&b);
    // 1 -> 1 at 150 % -> 0 at 100 %: the origin keeps where it was put.
    a.Views(skClient)->ScrollTo({1, 0});
    EXPECT_EQ(a.Views(skClient)->ScrollPos().X, 1);
    EXPECT_EQ(b.Views(skClient)->ScrollPos().X, 1);
}

TEST(Grid, LinksAreMutual) {
    TQvGrid a, b, c;
    a.SetHorzLink(&b);
    EXPECT_EQ(b.HorzLink(), &a);
    EXPECT_EQ(b.VertLink(), nullptr);
    a.SetHorzLink(nullptr);
    EXPECT_EQ(b.HorzLink(), nullptr);
    a.SetHorzLink(&a);
    EXPECT_EQ(a.HorzLink(), nullptr);
    // Re-linking takes the partner away from its old partner.
    a.SetVertLink(&b);
    c.SetVertLink(&b);
    EXPECT_EQ(b.VertLink(), &c);
    EXPECT_EQ(a.VertLink(), nullptr);
    {
        TQvGrid d;
        a.SetHorzLink(&d);
        EXPECT_EQ(d.HorzLink(), &a);
    }
    // A destroyed partner leaves no dangling link.
    EXPECT_EQ(a.HorzLink(), nullptr);
    a.Views(skClient)->ScrollTo({5, 5});
}

TEST(Grid, AttachingASheetSelectsTheFirstCell) {
    auto sheet = MakeSheet();
    TQvGrid grid;
    int changed = 0;
    TObject* sender = nullptr;
    grid.OnSheetChanged = [&](TObject* S) {
        ++changed;
        sender = S;
    };
    grid.SetSheet(sheet.get());
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(dynamic_cast<TQvGrid*>(sender), &grid);
    EXPECT_EQ(grid.CurrentCell(), (TPoint{0, 0}));
    EXPECT_EQ(grid.Views(skClient)->SelRect(), (TRect{0, 0, 1, 1}));
    ASSERT_NE(grid.Selection(), nullptr);
    EXPECT_EQ(grid.Selection()->GetRect(), (TRect{0, 0, 1, 1}));
    for (TQvSectionKind k : AllSectionKinds) EXPECT_EQ(grid.Views(k)->Section(), sheet->Sections(k));
}

TEST(Grid, SheetGoingAwayEmptiesTheGrid) {
    auto sheet = MakeSheet();
    TQvGrid grid;
    grid.resize(300, 200);
    grid.SetSheet(sheet.get());
    sheet.reset();
    EXPECT_EQ(grid.Sheet(), nullptr);
    EXPECT_EQ(grid.Selection(), nullptr);
    for (TQvSectionKind k : AllSectionKinds) {
        EXPECT_EQ(grid.Views(k)->Section(), nullptr);
        EXPECT_EQ(grid.Views(k)->ContentSize(), (TSize{0, 0}));
    }
    // Painting a grid without a sheet does not fail.
    EXPECT_FALSE(grid.grab().isNull());
}

TEST(Grid, GridGoingAwayLeavesTheSheet) {
    auto sheet = MakeSheet();
    {
        TQvGrid grid;
        grid.SetSheet(sheet.get());
        EXPECT_EQ(sheet->ViewCount(), 1);
    }
    EXPECT_EQ(sheet->ViewCount(), 0);
    sheet->SetSize(0, axCols, 70);  // no grid to call any more
}

TEST(Grid, ScrollBarsFollowScrolls) {
    auto sheet = MakeSheet();
    TQvGrid grid;
    grid.resize(300, 200);
    grid.SetSheet(sheet.get());
    grid.show();
    EXPECT_EQ(VisibleBars(grid), 2);
    TQvView* client = grid.Views(skClient);
    const QSize full = client->size();
    grid.SetScrolls(0);
    EXPECT_EQ(VisibleChildren(grid), 0);
    EXPECT_EQ(client->ClientSize(), (TSize{full.width(), full.height()}));

    // The keyboard still scrolls.
    client->setFocus();
    for (int i = 0; i < 20; ++i) QTest::keyClick(client, Qt::Key_Down);
    EXPECT_GT(client->ScrollPos().Y, 0);

    grid.SetScrolls(ssVertical);
    EXPECT_EQ(VisibleBars(grid), 1);
    grid.SetScrolls(DefaultQvScrolls);
    EXPECT_EQ(VisibleBars(grid), 2);
}

// A bar that goes gives its room to the cells: a position at the far end is
// pulled back, whether the grid was widened or the bars switched off.
TEST(Grid, ScrollPositionStaysInRangeWhenABarGoes) {
    auto sheet = MakeSheet(6, 50);
    TQvGrid grid;
    grid.resize(400, 300);
    grid.SetSheet(sheet.get());
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    TQvView* client = grid.Views(skClient);
    const auto end = [client] {
        const TSize c = client->ContentSize(), s = client->ClientSize();
        return TPoint{std::max(0, c.Width - s.Width), std::max(0, c.Height - s.Height)};
    };
    client->ClampScroll({100000, 100000});
    ASSERT_EQ(VisibleBars(grid), 2);
    ASSERT_GT(client->ScrollPos().X, 0);

    grid.resize(600, 300);
    QApplication::processEvents();
    ASSERT_EQ(VisibleBars(grid), 1) << "the columns fit: the horizontal bar hides";
    EXPECT_EQ(client->ScrollPos(), end());
    EXPECT_EQ(grid.Views(skRowTitles)->ScrollPos().Y, end().Y);

    grid.resize(400, 300);
    QApplication::processEvents();
    client->ClampScroll({100000, 100000});
    grid.SetScrolls(0);
    EXPECT_EQ(client->ScrollPos(), end());
    // A line down from there stays at the end instead of moving back up.
    EXPECT_EQ(client->ScrollCode(axRows, TQvView::scLineDown, 0), end().Y);
}

// The grid's published properties travel through the component stream; a
// grid as new stores none of them, and flat looks arrive flat.
TEST(Grid, StoredPropertiesRoundTripThroughTheComponentStream) {
    TQvGrid fresh;
    TMemoryStream plain;
    WriteComponent(plain, &fresh);
    EXPECT_EQ(plain.Bytes().find("Ctl3D"), std::string::npos);
    EXPECT_EQ(plain.Bytes().find("Options"), std::string::npos);

    TQvGrid grid;
    grid.SetCtl3D(false);
    grid.SetScale(150);
    grid.SetOptions(grid.Options() | oAutoTitles);
    grid.SetScrolls(ssVertical);
    grid.SetEnterDir(dRight);
    TMemoryStream stored;
    WriteComponent(stored, &grid);
    TQvGrid read;
    TMemoryStream in(stored.Bytes());
    ReadComponent(in, &read);
    EXPECT_FALSE(read.Ctl3D());
    EXPECT_EQ(read.Scale(), 150);
    EXPECT_EQ(read.Options(), DefaultQvOptions | oAutoTitles);
    EXPECT_EQ(read.Scrolls(), ssVertical);
    EXPECT_EQ(read.EnterDir(), dRight);

    // A stored set with bits no grid has is refused, naming the value.
    std::string bad = stored.Bytes();
    const size_t at = bad.find("Scrolls");
    ASSERT_NE(at, std::string::npos);
    bad[at + 7 + 1] = 9;  // vaInt8 follows the name; its value byte
    TMemoryStream badIn(bad);
    TQvGrid other;
    try {
        ReadComponent(badIn, &other);
        ADD_FAILURE() << "accepted";
    } catch (const Exception& e) {
        EXPECT_NE(e.Message().find("Scrolls value 9"), std::string::npos) << e.Message();
    }
}

TEST(Grid, EventsComeFromTheActivePane) {
    auto sheet = MakeSheet();
    TQvGrid grid;
    grid.SetSheet(sheet.get());
    int sel = 0, cur = 0;
    TObject* sender = nullptr;
    grid.OnSelChanged = [&](TObject* S) {
        ++sel;
        sender = S;
    };
    grid.OnCurChanged = [&](TObject*) { ++cur; };
    grid.SelChanged(grid.Views(skRowTitles));
    grid.CurChanged(grid.Views(skCorner));
    EXPECT_EQ(sel + cur, 0);
    grid.SelChanged(grid.Views(skClient));
    grid.CurChanged(grid.Views(skClient));
    EXPECT_EQ(sel, 1);
    EXPECT_EQ(cur, 1);
    EXPECT_EQ(sender, static_cast<TObject*>(&grid));

    // A title pane as the active pane reports title coordinates negative.
    grid.SetActiveView(grid.Views(skRowTitles));
    EXPECT_EQ(grid.Views(skClient)->SelRect(), TRect{});
    EXPECT_EQ(grid.CurrentCell(), (TPoint{-1, 0}));
}

TEST(Grid, UpdateBlockCountsDown) {
    TQvGrid grid;
    grid.BeginUpdate();
    grid.BeginUpdate();
    grid.EndUpdate();
    EXPECT_EQ(grid.UpdateCount(), 1);
    grid.EndUpdate();
    grid.EndUpdate();  // unpaired
    EXPECT_EQ(grid.UpdateCount(), 0);
}

TEST(Grid, FocusGoesToTheActivePane) {
    auto sheet = MakeSheet();
    TQvGrid grid;
    grid.SetSheet(sheet.get());
    grid.show();
    grid.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
    grid.setFocus();
    EXPECT_EQ(QApplication::focusWidget(), grid.Views(skClient));
}

// Inserting and removing rows keeps the current cell and the selection at
// their positions (clamped into the sheet) and resizes the scroll ranges.
TEST(Grid, InsertAndRemoveKeepTheSelectionInPlace) {
    auto sheet = MakeSheet(10, 10);
    TQvGrid grid;
    grid.resize(300, 200);
    grid.SetSheet(sheet.get());
    TQvView* client = grid.Views(skClient);
    client->SetCurrent({3, 4}, true, false);
    client->SelectRect({2, 3, 5, 6});
    sheet->InsertRows(0, 2);
    EXPECT_EQ(client->Current(), (TPoint{3, 4}));
    EXPECT_EQ(client->SelRect(), (TRect{2, 3, 5, 6}));
    EXPECT_EQ(client->ContentSize().Height, 12 * 16);
    EXPECT_EQ(grid.Views(skRowTitles)->ContentSize().Height, 12 * 16);
    // A merged range moved under the selection widens it.
    sheet->Sections(skClient)->Merge({0, 0, 3, 2});
    sheet->InsertRows(0, 3);
    EXPECT_EQ(client->SelRect(), (TRect{0, 3, 5, 6}));
    // Removing rows under the current cell clamps it into the sheet.
    sheet->RemoveRows(1, 12);
    EXPECT_EQ(sheet->RowCount(), 3);
    EXPECT_EQ(client->Current().Y, 2);
    EXPECT_EQ(client->ContentSize().Height, 3 * 16);
    sheet->RemoveCols(0, 9);
    EXPECT_EQ(client->Current().X, 0);
    EXPECT_EQ(client->ContentSize().Width, 64);
}

}  // namespace
