#include "grids/pro_cell.h"

#include <gtest/gtest.h>

#include "grids/section.h"
#include "grids/sheet.h"

namespace qv {
namespace {

// Records the repaint requests a sheet makes.
class TRecordingView : public IQvSheetView {
public:
    std::vector<std::pair<TRect, int>> Invalidated;
    void UpdateSizes(TQvAxis) override {}
    void ApplySize(TQvAxis, TQvSizePart, int32_t) override {}
    void InvalidateAll() override {}
    void ReadLayout() override {}
    TQvCell* EditCell() const override { return nullptr; }
    void EndEdit() override {}
    void RepaintClient() override {}
    void MergeChanged(TQvSectionKind) override {}
    void InvalidateCells(TQvSectionKind, const TRect& R, TQvRepaintArea Mode) override { Invalidated.push_back({R, Mode}); }
    void InvalidatePane(TQvSectionKind) override {}
    void SheetDestroying(TQvSheet*) override {}
};

// A proxy over any rectangle of a section, as a selection is.
class TProxy : public TQvProCell {
public:
    TProxy(TQvSection* S, TRect R) : TQvProCell(nullptr), FSection(S), FRect(R) {}
    TQvStyle* GetStyle() const override { return nullptr; }
    void SetStyle(TQvStyle*) override {}
    TClass GetCellClass() const override { return nullptr; }
    void SetCellClass(TClass) override {}
    TQvSection* Section() const override { return FSection; }
    TRect GetRect() const override { return FRect; }
    void SetRect(const TRect& R) override { FRect = R; }
    TQvSection* FSection;
    TRect FRect;
};

class QvProCellTest : public ::testing::Test {
protected:
    void SetUp() override { Sheet.AddView(&View); }
    void TearDown() override { Sheet.RemoveView(&View); }
    TQvSection* Client() { return Sheet.Sections(skClient); }

    TQvSheet Sheet;
    TRecordingView View;
};

TEST_F(QvProCellTest, InternalLinesReportTheLargestAndAreDefinedOnlyWhenAllEqual) {
    const TQvLine thin = PackLine(lsSingle, clBlack), thick = PackLine(lsDouble, clBlack);
    TProxy oneRow(Client(), {0, 0, 3, 1});
    bool assigned = true;
    EXPECT_EQ(oneRow.GetLine(liHInternal, assigned), 0u);
    EXPECT_FALSE(assigned);

    TProxy three(Client(), {0, 0, 2, 3});
    three.SetLine(liHInternal, thin);
    EXPECT_EQ(three.GetLine(liHInternal, assigned), thin);
    EXPECT_TRUE(assigned);
    Client()->SetLine(tbHorzLines, 2, 0, 1, thick);  // the second inner line differs
    EXPECT_EQ(three.GetLine(liHInternal, assigned), thick);
    EXPECT_FALSE(assigned);
    // A line that is not uniform over the columns is not defined either.
    Client()->SetLine(tbHorzLines, 2, 1, 1, thin);
    three.GetLine(liHInternal, assigned);
    EXPECT_FALSE(assigned);

    TProxy wide(Client(), {0, 0, 3, 1});
    wide.SetLine(liVInternal, thin);
    EXPECT_EQ(wide.GetLine(liVInternal, assigned), thin);
    EXPECT_TRUE(assigned);
    EXPECT_EQ(wide.BorderSet(), 1u << liVInternal);
}

TEST_F(QvProCellTest, OuterLinesFillAndFrameUseTheSectionTables) {
    TProxy p(Client(), {1, 1, 3, 4});
    p.SetBorder(liLeft, {lsSingle, clRed});
    p.SetBorder(liBottom, {lsMedium, clBlue});
    bool uniform = false;
    EXPECT_EQ(Client()->GetLine(tbVertLines, 1, 1, 3, uniform), PackLine(lsSingle, clRed));
    EXPECT_TRUE(uniform);
    EXPECT_EQ(Client()->GetLine(tbHorzLines, 4, 1, 2, uniform), PackLine(lsMedium, clBlue));
    EXPECT_TRUE(uniform);
    EXPECT_EQ(p.Border(liRight).Style, lsNone);
    EXPECT_EQ(p.Border(liBias1).Style, lsNone);
    p.SetBorder(liBias2, {lsDouble, clRed});
    EXPECT_EQ(p.Border(liBias2), (TQvLineInfo{lsDouble, clRed}));

    p.SetColor(clGreen);
    EXPECT_EQ(Client()->GetLine(tbFill, 3, 2, 2, uniform), PackLine(lsSingle, clGreen));
    // The fill is read at the top-left position only.
    Client()->SetLine(tbFill, 2, 2, 2, 0);
    EXPECT_EQ(p.Color(), clGreen);

    p.SetFrame(frBevelDown);
    EXPECT_EQ(Client()->AreaValue(2, 3), frBevelDown);
    bool assigned = true;
    EXPECT_EQ(p.GetLine(liFrameStyle, assigned), frBevelDown);
    EXPECT_FALSE(assigned);
    // Lines never enter the Assigned set of a proxy.
    EXPECT_TRUE(p.Assigned().IsEmpty());
}

TEST_F(QvProCellTest, LineWritesRepaintAndSilentWritesNothing) {
    TProxy p(Client(), {0, 0, 2, 2});
    p.SetBorder(liTop, {lsSingle, clRed});
    ASSERT_EQ(View.Invalidated.size(), 1u);
    EXPECT_EQ(View.Invalidated[0].first, (TRect{0, 0, 2, 2}));
    EXPECT_EQ(View.Invalidated[0].second, 1);  // outline only
    p.SetColor(clRed);
    ASSERT_EQ(View.Invalidated.size(), 2u);
    EXPECT_EQ(View.Invalidated[1].second, 0);

    p.IncludeState(psSilent);
    p.SetColor(clBlue);
    EXPECT_EQ(p.Color(), clRed);
    EXPECT_EQ(View.Invalidated.size(), 2u);
}

TEST_F(QvProCellTest, CaptionsAndMergedRanges) {
    TProxy one(Client(), {2, 5, 3, 6});
    EXPECT_EQ(one.GetNamePath(), "Cell [2, 5]");
    TProxy many(Client(), {1, 1, 3, 4});
    EXPECT_EQ(many.GetNamePath(), "Cells [1, 1 : 2, 3]");
    EXPECT_FALSE(many.IsSingle());
    EXPECT_FALSE(many.HasUnions());

    Client()->Merge({1, 1, 3, 4});
    EXPECT_TRUE(many.IsSingle());
    EXPECT_EQ(many.GetNamePath(), "Cell [1, 1]");
    TProxy around(Client(), {0, 0, 2, 2});
    EXPECT_TRUE(around.HasUnions());
    EXPECT_FALSE(around.IsSingle());
    around.Split();
    EXPECT_TRUE(Client()->Unions().empty());
    EXPECT_EQ(around.Sheet(), &Sheet);
    EXPECT_EQ(around.Kind(), skClient);
}

}  // namespace
}  // namespace qv
