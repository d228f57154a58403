#include "grids/style.h"

#include <gtest/gtest.h>

#include "grids/base_style.h"
#include "grids/cell.h"
#include "grids/manager.h"
#include "grids/sheet.h"
#include "grids/styler.h"
#include "platform/exceptions.h"
#include "platform/font.h"
#include "platform/stream.h"

namespace qv {
namespace {

class QvStyleTest : public ::testing::Test {
protected:
    void SetUp() override {
        Styler = new TQvStyler;
        Sheet = new TQvSheet;
        Sheet->SetStyler(Styler);
    }
    void TearDown() override {
        delete Sheet;
        delete Styler;
    }
    TQvCell* Cell(int X, int Y) { return Sheet->NeedCell(X, Y); }

    TQvStyler* Styler = nullptr;
    TQvSheet* Sheet = nullptr;
};

TEST_F(QvStyleTest, NewStyleOwnsNothingAndReportsEveryLineDefined) {
    TQvStyle* S = Styler->AddStyle("Plain");
    EXPECT_TRUE(S->Assigned().IsEmpty());
    EXPECT_TRUE(S->HasState(psAlwaysNotify));
    EXPECT_EQ(S->GetCellClass(), QvManager().ClassAt(0));
    EXPECT_EQ(S->Format(), "");
    EXPECT_EQ(S->GetStyle(), nullptr);
    for (int I = 0; I < 10; ++I) {
        bool Defined = false;
        EXPECT_EQ(S->GetLine(I, Defined), 0u);
        EXPECT_TRUE(Defined) << I;
    }
}

TEST_F(QvStyleTest, LinesNotifyTheirPropertyOnlyOnADifference) {
    TQvStyle* S = Styler->AddStyle("Lines");
    int Changes = 0;
    Styler->OnChange = [&](TObject*) { ++Changes; };
    S->SetBorder(liLeft, {lsSingle, clRed});
    S->SetColor(clYellow);
    S->SetFrame(frDeepDown);
    EXPECT_EQ(S->Assigned().Bits, (1u << piBorder) | (1u << piColor) | (1u << piFrame));
    EXPECT_EQ(S->Lines(liLeft), PackLine(lsSingle, clRed));
    EXPECT_EQ(S->Lines(liFillColor), PackLine(lsSingle, clYellow));
    EXPECT_EQ(S->Lines(liFrameStyle), TQvLine(frDeepDown));
    EXPECT_EQ(Changes, 3);
    S->SetLine(liLeft, S->Lines(liLeft));
    EXPECT_EQ(Changes, 3);
}

TEST_F(QvStyleTest, CellClassChangeResetsTheEditorIndex) {
    TQvStyle* S = Styler->AddStyle("Ints");
    TClass Other = QvManager().ClassAt(1);
    S->SetCellClass(Other);
    EXPECT_EQ(S->GetCellClass(), Other);
    EXPECT_EQ(S->EditorIndex(), 0);
    EXPECT_TRUE(S->Assigned().Has(piControl));
}

TEST_F(QvStyleTest, CopyingBorderWritesOnlyTheStylesNonZeroLines) {
    TQvStyle* S = Styler->AddStyle("Boxed");
    S->SetBorder(liLeft, {lsDouble, clBlue});
    S->SetBorder(liBottom, {lsSingle, clRed});
    TQvCell* C = Cell(2, 2);
    C->SetBorder(liTop, {lsMedium, clGreen});
    C->AssignProperty(S, piBorder);
    EXPECT_EQ(C->Border(liLeft), (TQvLineInfo{lsDouble, clBlue}));
    EXPECT_EQ(C->Border(liBottom), (TQvLineInfo{lsSingle, clRed}));
    // The style's zero Top line is defined but not a removal.
    EXPECT_EQ(C->Border(liTop), (TQvLineInfo{lsMedium, clGreen}));

    // Removing a line from the style later leaves the line the cell received.
    C->SetStyle(S);
    S->SetBorder(liLeft, {lsNone, clNone});
    EXPECT_EQ(C->Border(liLeft), (TQvLineInfo{lsDouble, clBlue}));
}

TEST_F(QvStyleTest, FillBorderAndFrameChangesReachTheCellsOfTheStyle) {
    TQvStyle* A = Styler->AddStyle("A");
    TQvCell* Styled = Cell(1, 1);
    TQvCell* Other = Cell(3, 1);
    Styled->SetStyle(A);
    A->SetColor(clYellow);
    A->SetBorder(liBottom, {lsMedium, clRed});
    A->SetFrame(frDeepDown);
    EXPECT_EQ(Styled->Color(), clYellow);
    EXPECT_EQ(Styled->Border(liBottom), (TQvLineInfo{lsMedium, clRed}));
    EXPECT_EQ(Styled->Frame(), frDeepDown);
    EXPECT_EQ(Other->Color(), clNone);
    EXPECT_EQ(Other->Frame(), frNoFrame);
    // Nothing enters the cell's own set.
    EXPECT_FALSE(Styled->Assigned().Has(piColor));

    // A base style's line reaches every existing cell of its sections.
    Sheet->BaseClientStyle()->SetBorder(liTop, {lsSingle, clBlack});
    EXPECT_EQ(Other->Border(liTop), (TQvLineInfo{lsSingle, clBlack}));
}

TEST_F(QvStyleTest, FontChangeReachesCellsThatDoNotOwnTheirFont) {
    TQvStyle* S = Styler->AddStyle("Heading");
    TQvCell* Inherits = Cell(0, 0);
    TQvCell* Owns = Cell(1, 0);
    TQvCell* Unstyled = Cell(2, 0);
    Inherits->SetStyle(S);
    Owns->SetStyle(S);
    Owns->Font()->SetName("Courier New");
    (void)Inherits->Font();  // its own copy exists before the change
    (void)Unstyled->Font();

    S->Font()->SetStyle({fsBold});
    S->Font()->SetHeight(-20);

    EXPECT_TRUE(Inherits->Font()->Style().Contains(fsBold));
    EXPECT_EQ(Inherits->Font()->Height(), -20);
    EXPECT_EQ(Inherits->FindSource(piFont), S);
    EXPECT_FALSE(Inherits->Assigned().Has(piFont));
    EXPECT_FALSE(Owns->Font()->Style().Contains(fsBold));
    EXPECT_EQ(Owns->Font()->Name(), "Courier New");
    EXPECT_EQ(Owns->FindSource(piFont), Owns);
    EXPECT_FALSE(Unstyled->Font()->Style().Contains(fsBold));
}

TEST_F(QvStyleTest, RenamingKeepsNamesUniqueAndCaseSensitive) {
    TQvStyle* A = Styler->AddStyle("Total");
    TQvStyle* B = Styler->AddStyle("Sub");
    int Changes = 0;
    Styler->OnChange = [&](TObject*) { ++Changes; };

    A->SetName("Total");  // its own name: nothing happens
    EXPECT_EQ(Changes, 0);
    try {
        B->SetName("Total");
        FAIL() << "duplicate name accepted";
    } catch (const EQvGridError& E) {
        EXPECT_STREQ(E.what(), "Style named Total already exists!");
    }
    EXPECT_EQ(B->Name(), "Sub");
    EXPECT_EQ(Changes, 0);

    B->SetName("total");
    EXPECT_EQ(B->Name(), "total");
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Styler->FindStyle("Total"), A);
    EXPECT_EQ(Styler->FindStyle("total"), B);
    EXPECT_EQ(Styler->FindStyle("TOTAL"), nullptr);
}

TEST_F(QvStyleTest, DestroyingAStyleDetachesItFromEveryConnectedSheet) {
    TQvSheet* Second = new TQvSheet;
    Second->SetStyler(Styler);
    TQvStyle* S = Styler->AddStyle("Gone");
    TQvStyle* Kept = Styler->AddStyle("Kept");
    TQvCell* A = Cell(0, 0);
    TQvCell* B = Second->NeedCell(-1, 3);  // a title cell
    TQvCell* C = Second->NeedCell(4, 4);
    A->SetStyle(S);
    B->SetStyle(S);
    C->SetStyle(Kept);
    int Changes = 0;
    Styler->OnChange = [&](TObject*) { ++Changes; };

    delete S;
    EXPECT_EQ(A->GetStyle(), nullptr);
    EXPECT_EQ(B->GetStyle(), nullptr);
    EXPECT_EQ(C->GetStyle(), Kept);
    EXPECT_EQ(Styler->Count(), 1);
    EXPECT_EQ(Styler->IndexOf(Kept), 0);
    EXPECT_EQ(Changes, 1);
    delete Second;
}

TEST_F(QvStyleTest, NamePathIsTheStylersPathAndPosition) {
    Styler->SetName("QvStyler1");
    Styler->AddStyle("A");
    TQvStyle* B = Styler->AddStyle("B");
    EXPECT_EQ(B->GetNamePath(), "QvStyler1.Styles[1]");
}

TEST_F(QvStyleTest, RecordRoundTripKeepsEveryAssignedProperty) {
    TQvStyle* S = Styler->AddStyle("Money");
    S->SetLayout({haRight, vaCenter, 3, wmEllipsis});
    S->Font()->SetStyle({fsItalic});
    S->Font()->SetColor(clNavy);
    S->SetProtected(true);
    S->SetCellClass(QvManager().ClassAt(1));
    S->SetFormat("0.000 'kg'");
    S->SetColor(clAqua);
    S->SetBorder(liRight, {lsMedium, clMaroon});
    S->SetFrame(frBevelUp);
    TMemoryStream M;
    S->WriteToStream(M);

    TQvStyler Other;
    auto* R = new TQvStyle(&Other);
    M.SetPosition(0);
    R->ReadFromStream(M);
    EXPECT_EQ(M.Remaining(), 0);
    EXPECT_EQ(R->Name(), "Money");
    EXPECT_EQ(R->Assigned(), S->Assigned());
    EXPECT_EQ(R->Layout(), S->Layout());
    EXPECT_TRUE(R->Font()->Equals(*S->Font()));
    EXPECT_TRUE(R->Protected());
    EXPECT_EQ(R->GetCellClass(), QvManager().ClassAt(1));
    EXPECT_EQ(R->Format(), "0.000 'kg'");
    for (int I = 0; I < 10; ++I) EXPECT_EQ(R->Lines(I), S->Lines(I)) << I;
}

TEST_F(QvStyleTest, RecordCarriesOnlyWhatIsAssigned) {
    TQvStyle* S = Styler->AddStyle("Fill");
    S->SetColor(clLime);
    TMemoryStream M;
    S->WriteToStream(M);
    // Assigned set, fill colour, name.
    TMemoryStream Expected;
    Expected.WriteUInt16(1u << piColor);
    Expected.WriteInt32(clLime);
    Expected.WriteString("Fill");
    EXPECT_EQ(M.Bytes(), Expected.Bytes());
}

TEST_F(QvStyleTest, FrameWithoutOwnBorderSurvivesTheRecord) {
    TQvStyle* S = Styler->AddStyle("Raised");
    S->SetFrame(frDeepUp);
    TMemoryStream M;
    S->WriteToStream(M);
    EXPECT_EQ(S->Assigned().Bits, 1u << piFrame);  // writing changes nothing

    TQvStyler Other;
    auto* R = new TQvStyle(&Other);
    M.SetPosition(0);
    R->ReadFromStream(M);
    EXPECT_EQ(R->Frame(), frDeepUp);
    EXPECT_TRUE(R->Assigned().Has(piFrame));
    EXPECT_EQ(R->BorderSet(), 0);
}

TEST_F(QvStyleTest, RecordCutShortRaisesAndLeavesTheLines) {
    TQvStyle* S = Styler->AddStyle("Cut");
    S->SetBorder(liTop, {lsSingle, clBlack});
    TMemoryStream M;
    S->WriteToStream(M);
    std::string Bytes = M.Bytes();
    // Cut inside the line block.
    TMemoryStream Short(Bytes.substr(0, 2 + 20));
    TQvStyler Other;
    auto* R = new TQvStyle(&Other);
    EXPECT_THROW(R->ReadFromStream(Short), EReadError);
    for (int I = 0; I < 10; ++I) EXPECT_EQ(R->Lines(I), 0u);
}

}  // namespace
}  // namespace qv
