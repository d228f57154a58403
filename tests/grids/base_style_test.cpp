#include "grids/base_style.h"

#include <gtest/gtest.h>

#include "grids/cell.h"
#include "grids/manager.h"
#include "grids/recording_view.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "platform/brush.h"
#include "platform/font.h"
#include "platform/stream.h"

namespace qv {
namespace {

class QvBaseStyleTest : public ::testing::Test {
protected:
    void SetUp() override { Sheet = new TQvSheet; }
    void TearDown() override { delete Sheet; }
    TQvBaseStyle* Client() const { return Sheet->BaseClientStyle(); }
    TQvBaseStyle* Title() const { return Sheet->BaseTitleStyle(); }

    TQvSheet* Sheet = nullptr;
};

TEST_F(QvBaseStyleTest, NewBaseStylesHaveTheirDefaults) {
    EXPECT_TRUE(Client()->IsClient());
    EXPECT_EQ(Client()->Color(), clWindow);
    EXPECT_EQ(Client()->Brush()->Color(), clWindow);
    EXPECT_EQ(Client()->GridColor(), clBtnFace);
    EXPECT_EQ(Client()->Frame(), frNoFrame);
    EXPECT_EQ(Client()->ErrorColor(), 255);

    EXPECT_FALSE(Title()->IsClient());
    EXPECT_EQ(Title()->Color(), clBtnFace);
    EXPECT_EQ(Title()->Brush()->Color(), clBtnFace);
    EXPECT_EQ(Title()->GridColor(), clBlack);
    EXPECT_EQ(Title()->Frame(), frFlatUp);
    EXPECT_EQ(Title()->ErrorColor(), 255);

    for (TQvBaseStyle* S : {Client(), Title()}) {
        EXPECT_EQ(S->Assigned().Bits, 0x077F);
        EXPECT_TRUE(S->HasState(psSilent));
        EXPECT_EQ(S->GetCellClass(), QvManager().ClassAt(0));
    }
    // Building the defaults is not a change of the sheet.
    EXPECT_FALSE(Sheet->Modified());
}

TEST_F(QvBaseStyleTest, ChangesMarkTheSheetButNeverTheAssignedSet) {
    Client()->SetHAlign(haCenter);
    Client()->SetFrame(frDeepUp);
    EXPECT_TRUE(Sheet->Modified());
    EXPECT_EQ(Client()->Assigned().Bits, 0x077F);
}

TEST_F(QvBaseStyleTest, ColorAndBrushStayTogether) {
    test::TRecordingView View(Sheet);
    Client()->SetColor(clYellow);
    EXPECT_EQ(Client()->Brush()->Color(), clYellow);
    EXPECT_TRUE(Sheet->Modified());
    EXPECT_GE(View.Count("InvalidatePane") + View.Count("InvalidateAll") + View.Count("InvalidateCells"), 1);

    // The brush is a second way in: its colour becomes the fill colour.
    Title()->Brush()->SetColor(clAqua);
    EXPECT_EQ(Title()->Color(), clAqua);
    EXPECT_EQ(Title()->Brush()->Color(), clAqua);
}

TEST_F(QvBaseStyleTest, ErrorAndGridColorsRepaintWithoutModifying) {
    test::TRecordingView View(Sheet);
    Title()->SetGridColor(clRed);
    Client()->SetErrorColor(clBlue);
    EXPECT_EQ(Title()->GridColor(), clRed);
    EXPECT_EQ(Client()->ErrorColor(), clBlue);
    EXPECT_FALSE(Sheet->Modified());
    EXPECT_FALSE(View.Calls.empty());
}

TEST_F(QvBaseStyleTest, FrameChangeResetsEveryCellFrameOfTheServedSections) {
    TQvCell* A = Sheet->NeedCell(1, 1);
    TQvCell* B = Sheet->NeedCell(3, 2);
    TQvCell* T = Sheet->NeedCell(1, -1);  // column titles
    A->SetFrame(frBevelDown);
    B->SetFrame(frFlatDown);
    T->SetFrame(frDeepDown);

    Client()->SetFrame(frDeepUp);
    EXPECT_EQ(A->Frame(), frDeepUp);
    EXPECT_EQ(B->Frame(), frDeepUp);
    EXPECT_EQ(Sheet->Sections(skClient)->AreaValue(0, 0), frDeepUp);
    EXPECT_EQ(T->Frame(), frDeepDown);  // the client style does not serve titles

    Title()->SetFrame(frNoFrame);
    EXPECT_EQ(T->Frame(), frNoFrame);
    EXPECT_EQ(Sheet->Sections(skCorner)->AreaValue(0, 0), frNoFrame);
}

TEST_F(QvBaseStyleTest, PropertyChangesReachCellsThatDoNotOwnThem) {
    TQvCell* Plain = Sheet->NeedCell(0, 0);
    TQvCell* Own = Sheet->NeedCell(1, 0);
    TQvCell* Title = Sheet->NeedCell(-1, 0);
    Own->SetProtected(true);  // owned from now on, whatever its value
    Own->SetProtected(false);
    (void)Plain->Font();
    Own->Font()->SetName("Arial");
    (void)Title->Font();

    Client()->SetProtected(true);
    Client()->Font()->SetStyle({fsUnderline});
    EXPECT_TRUE(Plain->Protected());
    EXPECT_FALSE(Own->Protected());
    EXPECT_TRUE(Plain->Font()->Style().Contains(fsUnderline));
    EXPECT_FALSE(Own->Font()->Style().Contains(fsUnderline));
    EXPECT_FALSE(Title->Font()->Style().Contains(fsUnderline));
    EXPECT_FALSE(Title->Protected());
}

TEST_F(QvBaseStyleTest, RecordRoundTripIncludesTheColorsOfTheStyle) {
    Title()->SetColor(clTeal);
    Title()->SetFrame(frBevelUp);
    Title()->SetBorder(liBottom, {lsSingle, clGray});
    Title()->SetErrorColor(clFuchsia);
    Title()->SetGridColor(clSilver);
    Title()->SetVAlign(vaBottom);
    TMemoryStream M;
    Title()->WriteToStream(M);

    TQvSheet Other;
    TQvBaseStyle* R = Other.BaseTitleStyle();
    M.SetPosition(0);
    R->ReadFromStream(M);
    EXPECT_EQ(M.Remaining(), 0);
    EXPECT_EQ(R->Color(), clTeal);
    EXPECT_EQ(R->Brush()->Color(), clTeal);
    EXPECT_EQ(R->Frame(), frBevelUp);
    EXPECT_EQ(R->Border(liBottom), (TQvLineInfo{lsSingle, clGray}));
    EXPECT_EQ(R->ErrorColor(), clFuchsia);
    EXPECT_EQ(R->GridColor(), clSilver);
    EXPECT_EQ(R->Layout().VAlign, vaBottom);
    EXPECT_EQ(R->Assigned().Bits, 0x077F);
}

TEST_F(QvBaseStyleTest, DefaultRecordIsTheStoredSize) {
    // 108 bytes of content; the sheet stream frames it with a 4-byte length.
    TMemoryStream M;
    Client()->WriteToStream(M);
    EXPECT_EQ(M.Size(), 108);
}

TEST_F(QvBaseStyleTest, RecordWithAForeignAssignedSetKeepsTheFixedSet) {
    TMemoryStream M;
    M.WriteUInt16(1u << piLayout);
    M.WriteUInt32(TQvLayout{haRight, vaTop, 0, wmClipped}.Pack());
    M.WriteInt32(1);
    M.WriteInt32(2);
    M.SetPosition(0);
    Client()->ReadFromStream(M);
    EXPECT_EQ(Client()->Assigned().Bits, 0x077F);
    EXPECT_EQ(Client()->Layout().HAlign, haRight);
    EXPECT_EQ(Client()->ErrorColor(), 1);

    TMemoryStream Short(std::string("\x7F\x07", 2));
    EXPECT_THROW(Client()->ReadFromStream(Short), EReadError);
    EXPECT_EQ(Client()->Assigned().Bits, 0x077F);
}

TEST_F(QvBaseStyleTest, NamePathFollowsTheSheet) {
    Sheet->SetName("QvSheet1");
    EXPECT_EQ(Client()->GetNamePath(), "QvSheet1.BaseClientStyle");
    EXPECT_EQ(Title()->GetNamePath(), "QvSheet1.BaseTitleStyle");
}

}  // namespace
}  // namespace qv
