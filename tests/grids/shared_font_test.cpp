// Cells formatted alike hold one font, and changing one of them changes that
// cell alone.
#include "grids/shared_font.h"

#include <gtest/gtest.h>

#include "cells/integer_cell.h"
#include "grids/cell.h"
#include "grids/cell_range.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "grids/sheet_snapshot.h"
#include "platform/stream.h"

namespace qv {
namespace {

class SharedFont : public ::testing::Test {
protected:
    void SetUp() override {
        FSheet.SetColCount(3);
        FSheet.SetRowCount(Rows);
        for (int32_t y = 0; y < Rows; ++y)
            for (int32_t x = 0; x < 2; ++x) Client()->NeedCellOfClass({x, y}, TQvCInteger::StaticClass())->SetAsInteger(y);
    }
    TQvSection* Client() { return FSheet.Sections(skClient); }
    TQvCell* At(int32_t X, int32_t Y) { return Client()->FindCell({X, Y}); }

    static constexpr int32_t Rows = 1000;
    TQvSheet FSheet;
};

TEST_F(SharedFont, ARangeMadeBoldGivesItsCellsOneFontAndEachCellCanStillChangeAlone) {
    // A cell whose font a caller holds keeps that font object and gets the
    // change in it.
    TFont* held = At(1, 5)->Font();
    held->SetName("Courier New");
    TQvCellRange(FSheet, {0, 0, 2, Rows})->Font()->SetStyle({fsBold});

    EXPECT_EQ(At(1, 5)->Font(), held);
    EXPECT_TRUE(held->Style().Contains(fsBold));
    EXPECT_EQ(held->Name(), "Courier New");
    const TFont* shared = At(0, 0)->OwnFont();
    for (int32_t y = 0; y < Rows; ++y) {
        EXPECT_TRUE(At(0, y)->Assigned().Has(piFont));
        EXPECT_TRUE(At(0, y)->OwnFont()->Style().Contains(fsBold)) << y;
        EXPECT_EQ(At(0, y)->OwnFont(), shared) << y;
    }

    // Changing one cell's font copies it first.
    At(0, 7)->Font()->SetStyle({fsBold, fsItalic});
    EXPECT_NE(At(0, 7)->OwnFont(), shared);
    EXPECT_TRUE(At(0, 7)->OwnFont()->Style().Contains(fsItalic));
    EXPECT_FALSE(At(0, 6)->OwnFont()->Style().Contains(fsItalic));
    EXPECT_FALSE(At(0, 8)->OwnFont()->Style().Contains(fsItalic));
    EXPECT_TRUE(FSheet.Modified());

    // Another change of the range keeps what only some cells had: the
    // italic cell stays italic and bold goes from every cell.
    TQvCellRange(FSheet, {0, 0, 1, Rows})->Font()->SetStyle({});
    EXPECT_TRUE(At(0, 7)->OwnFont()->Style().Contains(fsItalic));
    EXPECT_FALSE(At(0, 7)->OwnFont()->Style().Contains(fsBold));
    EXPECT_FALSE(At(0, 6)->OwnFont()->Style().Contains(fsBold));
    EXPECT_EQ(At(0, 6)->OwnFont(), At(0, 900)->OwnFont());
}

TEST_F(SharedFont, LoadedCellsFormattedAlikeShareTheirFontAndSaveTheSameBytes) {
    TQvCellRange(FSheet, {0, 0, 2, Rows})->Font()->SetStyle({fsBold});
    At(1, 3)->Font()->SetColor(clRed);
    const TQvSheetSnapshot before = TakeSnapshot(FSheet);

    TMemoryStream m;
    FSheet.WriteData(m);
    TQvSheet loaded;
    m.SetPosition(0);
    loaded.ReadData(m);
    TQvSection* s = loaded.Sections(skClient);
    EXPECT_EQ(s->FindCell({0, 0})->OwnFont(), s->FindCell({0, 999})->OwnFont());
    EXPECT_TRUE(s->FindCell({0, 999})->FontShared());
    EXPECT_EQ(s->FindCell({1, 3})->OwnFont()->Color(), clRed);
    EXPECT_TRUE(s->FindCell({1, 4})->OwnFont()->Style().Contains(fsBold));
    EXPECT_EQ(TakeSnapshot(loaded).Data, before.Data);

    // A loaded cell changes alone, as any other does.
    s->FindCell({0, 1})->Font()->SetSize(20);
    EXPECT_EQ(s->FindCell({0, 2})->OwnFont()->Size(), s->FindCell({0, 0})->OwnFont()->Size());
    EXPECT_NE(s->FindCell({0, 2})->OwnFont()->Size(), 20);
}

}  // namespace
}  // namespace qv
