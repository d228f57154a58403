#include "grids/styler.h"

#include <gtest/gtest.h>

#include "grids/cell.h"
#include "grids/sheet.h"
#include "grids/style.h"
#include "platform/exceptions.h"
#include "platform/stream.h"

namespace qv {
namespace {

// A "Styles" payload of styles with these names (duplicates included), each
// with a fill colour.
std::string Payload(std::initializer_list<const char*> Names) {
    TMemoryStream M;
    M.WriteInt32(static_cast<int32_t>(Names.size()));
    for (const char* N : Names) {
        M.WriteUInt16(1u << piColor);
        M.WriteInt32(clRed);
        M.WriteString(N);
    }
    return M.Bytes();
}

TEST(QvStylerTest, AddStyleCreatesOnceAndSignalsOnce) {
    TQvStyler S;
    EXPECT_FALSE(S.HasStyles());
    int Changes = 0;
    S.OnChange = [&](TObject* Sender) {
        EXPECT_EQ(Sender, &S);
        ++Changes;
    };
    TQvStyle* A = S.AddStyle("Bold");
    TQvStyle* B = S.AddStyle("Bold");
    EXPECT_EQ(A, B);
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(S.Count(), 1);
    EXPECT_EQ(A->Name(), "Bold");
    EXPECT_TRUE(S.HasStyles());

    // Letter case makes a different name.
    TQvStyle* C = S.AddStyle("bold");
    EXPECT_NE(C, A);
    EXPECT_EQ(S.FindStyle("bold"), C);
    EXPECT_EQ(S.FindStyle("BOLD"), nullptr);
    EXPECT_EQ(Changes, 2);
}

TEST(QvStylerTest, ModifiedFiresOncePerTransitionAndChangeEveryTime) {
    TQvStyler S;
    int Changes = 0, Modifieds = 0;
    S.OnChange = [&](TObject*) { ++Changes; };
    S.OnModified = [&](TObject*) { ++Modifieds; };
    TQvStyle* A = S.AddStyle("A");
    A->SetColor(clRed);
    A->SetName("B");
    EXPECT_EQ(Changes, 3);
    EXPECT_EQ(Modifieds, 1);
    EXPECT_TRUE(S.Modified());

    TMemoryStream M;
    S.WriteStyles(M);
    EXPECT_FALSE(S.Modified());
    EXPECT_EQ(Modifieds, 2);
    A->SetProtected(true);
    EXPECT_EQ(Modifieds, 3);
}

TEST(QvStylerTest, DestructionLeavesSheetsWithoutStylerAndCellsWithoutStyle) {
    auto* S = new TQvStyler;
    auto* One = new TQvSheet;
    auto* Two = new TQvSheet;
    One->SetStyler(S);
    Two->SetStyler(S);
    TQvStyle* St = S->AddStyle("X");
    TQvCell* A = One->NeedCell(0, 0);
    TQvCell* B = Two->NeedCell(-1, -1);
    A->SetStyle(St);
    B->SetStyle(St);
    int Events = 0;
    S->OnChange = [&](TObject*) { ++Events; };
    S->OnModified = [&](TObject*) { ++Events; };

    delete S;
    EXPECT_EQ(One->Styler(), nullptr);
    EXPECT_EQ(Two->Styler(), nullptr);
    EXPECT_EQ(A->GetStyle(), nullptr);
    EXPECT_EQ(B->GetStyle(), nullptr);
    EXPECT_EQ(Events, 0);  // a styler going away tells no handler
    delete One;
    delete Two;
}

TEST(QvStylerTest, StylesRoundTripAndReadingAppends) {
    TQvStyler S;
    S.AddStyle("Money")->SetFormat("#,##0.00");
    TQvStyle* Box = S.AddStyle("Box");
    Box->SetBorder(liLeft, {lsDouble, clBlack});
    Box->SetFrame(frFlatDown);
    TMemoryStream M;
    S.WriteStyles(M);

    TQvStyler R;
    R.AddStyle("Existing");
    R.SetModified(true);
    M.SetPosition(0);
    R.ReadStyles(M);
    EXPECT_EQ(M.Remaining(), 0);
    EXPECT_FALSE(R.Modified());
    ASSERT_EQ(R.Count(), 3);
    EXPECT_EQ(R.Styles(0)->Name(), "Existing");
    EXPECT_EQ(R.Styles(1)->Name(), "Money");
    EXPECT_EQ(R.Styles(1)->Format(), "#,##0.00");
    EXPECT_EQ(R.Styles(2)->Name(), "Box");
    EXPECT_EQ(R.Styles(2)->Border(liLeft), (TQvLineInfo{lsDouble, clBlack}));
    EXPECT_EQ(R.Styles(2)->Frame(), frFlatDown);

    TMemoryStream Again;
    R.WriteStyles(Again);
    EXPECT_EQ(Again.Bytes().substr(4 + 2 + 4 + 8), M.Bytes().substr(4));  // after "Existing"'s record
}

TEST(QvStylerTest, DuplicateNameInAStreamEndsTheReadWithoutAHalfStyle) {
    std::string Bytes = Payload({"A", "B", "A", "C"});
    TQvStyler R;
    TMemoryStream M(Bytes);
    try {
        R.ReadStyles(M);
        FAIL() << "duplicate accepted";
    } catch (const EQvGridError& E) {
        EXPECT_STREQ(E.what(), "Style named A already exists!");
    }
    ASSERT_EQ(R.Count(), 2);
    EXPECT_EQ(R.Styles(0)->Name(), "A");
    EXPECT_EQ(R.Styles(1)->Name(), "B");

    // A name already in the styler clashes the same way.
    TQvStyler Q;
    Q.AddStyle("B");
    TMemoryStream M2(Payload({"B"}));
    EXPECT_THROW(Q.ReadStyles(M2), EQvGridError);
    EXPECT_EQ(Q.Count(), 1);
}

TEST(QvStylerTest, TruncatedPayloadRaisesReadErrorAndKeepsOnlyWholeStyles) {
    std::string Bytes = Payload({"First", "Second"});
    for (size_t Len = 0; Len < Bytes.size(); ++Len) {
        TQvStyler R;
        TMemoryStream M(Bytes.substr(0, Len));
        EXPECT_THROW(R.ReadStyles(M), EReadError) << Len;
        EXPECT_LE(R.Count(), 1) << Len;
        for (int I = 0; I < R.Count(); ++I) EXPECT_EQ(R.Styles(I)->Name(), "First") << Len;
    }
}

TEST(QvStylerTest, ImpossibleCountsAreRefusedBeforeAnythingIsMade) {
    for (int32_t N : {-1, 1000000, 0x7FFFFFFF}) {
        TMemoryStream M;
        M.WriteInt32(N);
        M.WriteUInt16(0);
        M.WriteInt32(0);
        M.SetPosition(0);
        TQvStyler R;
        EXPECT_THROW(R.ReadStyles(M), EReadError) << N;
        EXPECT_EQ(R.Count(), 0);
    }
}

}  // namespace
}  // namespace qv
