#include "grids/cell.h"

#include <gtest/gtest.h>

#include "cells/integer_cell.h"
#include "cells/string_cell.h"
#include "grids/base_style.h"
#include "grids/manager.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "grids/style.h"
#include "grids/styler.h"
#include "platform/exceptions.h"
#include "platform/stream.h"

namespace qv {
namespace {

class TEditingView : public IQvSheetView {
public:
    std::vector<std::pair<TRect, int>> Invalidated;
    TQvCell* Editing = nullptr;
    int EndEdits = 0;
    void UpdateSizes(TQvAxis) override {}
    void ApplySize(TQvAxis, TQvSizePart, int32_t) override {}
    void InvalidateAll() override {}
    void ReadLayout() override {}
    TQvCell* EditCell() const override { return Editing; }
    void EndEdit() override {
        ++EndEdits;
        if (Editing) Editing->ExcludeState(psEditing);
        Editing = nullptr;
    }
    void RepaintClient() override {}
    void MergeChanged(TQvSectionKind) override {}
    void InvalidateCells(TQvSectionKind, const TRect& R, TQvRepaintArea Mode) override { Invalidated.push_back({R, Mode}); }
    void InvalidatePane(TQvSectionKind) override {}
    void SheetDestroying(TQvSheet*) override {}
};

class QvCellTest : public ::testing::Test {
protected:
    void SetUp() override {
        Sheet.SetStyler(&Styler);
        Sheet.AddView(&View);
    }
    void TearDown() override { Sheet.RemoveView(&View); }
    TQvSection* Client() { return Sheet.Sections(skClient); }
    // A fresh repaint and modification record.
    void Reset(TQvCell* C) {
        C->ExcludeState(psInvalidated);
        Sheet.SetModified(false);
        View.Invalidated.clear();
    }

    TQvStyler Styler;
    TQvSheet Sheet;
    TEditingView View;
};

TEST_F(QvCellTest, CreationInsideAMergedRangeMovesToItsTopLeft) {
    Client()->Merge({1, 1, 3, 3});
    TQvCell* c = TQvCell::CreateAt(TQvCString::StaticClass(), Client(), {2, 2});
    EXPECT_EQ(c->Col(), 1);
    EXPECT_EQ(c->Row()->Index(), 1);
    EXPECT_EQ(Client()->FindCell({1, 1}), c);
    EXPECT_EQ(Client()->Unions()[0]->Cell(), c);
    EXPECT_EQ(c->GetRect(), (TRect{1, 1, 3, 3}));
    EXPECT_TRUE(c->HasState(psTextDirty));
    ASSERT_FALSE(View.Invalidated.empty());
    EXPECT_EQ(View.Invalidated.back(), (std::pair<TRect, int>{{1, 1, 3, 3}, 0}));

    // A departing cell clears the range's link.
    Client()->FreeCells({1, 1, 2, 2});
    EXPECT_EQ(Client()->Unions()[0]->Cell(), nullptr);
    EXPECT_EQ(Client()->FindCell({1, 1}), nullptr);
}

TEST_F(QvCellTest, NewCellCopiesTheSupplierSilently) {
    TQvBaseStyle* base = Sheet.BaseClientStyle();
    base->SetHAlign(haCenter);
    base->SetIndent(3);
    TQvCell* c = Client()->NeedCell({0, 0});
    ASSERT_NE(c, nullptr);
    EXPECT_FALSE(c->Protected());
    EXPECT_TRUE(c->Showing());
    EXPECT_EQ(c->Layout(), base->Layout());
    EXPECT_TRUE(c->Assigned().IsEmpty());
    EXPECT_FALSE(c->HasFont());
    EXPECT_EQ(c->FindSource(piFrame), base);  // base styles do not mark Frame
    EXPECT_EQ(c->FindSource(piLayout), base);

    TQvStyle* s = Styler.AddStyle("Head");
    s->SetProtected(true);
    c->SetStyle(s);
    EXPECT_EQ(c->FindSource(piProtect), s);
    EXPECT_EQ(c->FindSource(piLayout), base);
    c->SetIndent(1);
    EXPECT_EQ(c->FindSource(piLayout), c);
}

TEST_F(QvCellTest, StyleFromAnotherStylerIsRefused) {
    TQvCell* c = Client()->NeedCell({0, 0});
    TQvStyle* mine = Styler.AddStyle("Mine");
    c->SetStyle(mine);
    TQvStyler other;
    TQvStyle* foreign = other.AddStyle("Foreign");
    try {
        c->SetStyle(foreign);
        FAIL() << "no error";
    } catch (const EQvGridError& e) {
        EXPECT_STREQ(e.what(), "Cannot use Style from disconnected Styler!");
    }
    EXPECT_EQ(c->GetStyle(), mine);
    c->SetStyle(nullptr);
    EXPECT_EQ(c->GetStyle(), nullptr);
    EXPECT_TRUE(c->Assigned().Has(piStyle));
}

TEST_F(QvCellTest, ChangesRepaintOnceAndMarkTheSheetModified) {
    TQvCell* c = Client()->NeedCell({1, 2});
    Reset(c);
    c->SetHint("note");
    EXPECT_TRUE(Sheet.Modified());
    EXPECT_EQ(View.Invalidated.size(), 1u);
    c->SetProtected(true);  // already waiting for its repaint
    EXPECT_EQ(View.Invalidated.size(), 1u);

    Reset(c);
    c->SetHint("note");
    EXPECT_FALSE(Sheet.Modified());
    EXPECT_TRUE(View.Invalidated.empty());

    // Colour and border changes are repainted by the line write alone.
    Reset(c);
    c->Changed(piColor);
    c->Changed(piBorder);
    EXPECT_TRUE(Sheet.Modified());
    EXPECT_TRUE(View.Invalidated.empty());
    EXPECT_FALSE(c->HasState(psInvalidated));
    // Writing a colour repaints through the section and records nothing.
    TQvCell* d = Client()->NeedCell({3, 3});
    Reset(d);
    d->SetColor(clRed);
    EXPECT_EQ(View.Invalidated.size(), 1u);
    EXPECT_FALSE(d->Assigned().Has(piColor));
}

TEST_F(QvCellTest, FillBorderAndFrameChangesMarkTheSheetModified) {
    TQvCell* c = Client()->NeedCell({2, 2});
    Reset(c);
    int fired = 0;
    Sheet.OnModified = [&](TObject*) { ++fired; };
    c->SetColor(clRed);
    EXPECT_TRUE(Sheet.Modified());
    EXPECT_EQ(fired, 1);
    Sheet.OnModified = nullptr;
    EXPECT_FALSE(c->HasState(psInvalidated));  // the line write repaints
    Reset(c);
    c->SetBorder(liLeft, {lsDouble, clBlue});
    EXPECT_TRUE(Sheet.Modified());
    Reset(c);
    c->SetFrame(frBevelUp);
    EXPECT_TRUE(Sheet.Modified());
    Reset(c);
    c->SetFrame(frBevelUp);
    c->SetColor(clRed);
    EXPECT_FALSE(Sheet.Modified());
}

TEST_F(QvCellTest, EditingEndsOnControlLayoutOrFontChangeAndOnRelease) {
    TQvCell* c = Client()->NeedCell({0, 0});
    c->IncludeState(psEditing);
    View.Editing = c;
    c->SetProtected(true);
    EXPECT_EQ(View.EndEdits, 0);
    c->SetWrapMode(wmWrapWords);
    EXPECT_EQ(View.EndEdits, 1);

    c->IncludeState(psEditing);
    View.Editing = c;
    Client()->FreeCells({0, 0, 1, 1});
    EXPECT_EQ(View.EndEdits, 2);
    EXPECT_EQ(Client()->FindCell({0, 0}), nullptr);
}

TEST_F(QvCellTest, MergingThroughTheCell) {
    TQvCell* c = Client()->NeedCell({2, 1});
    c->SetRect({});  // heads nothing: nothing happens
    EXPECT_TRUE(Client()->Unions().empty());
    c->SetRect({0, 0, 2, 3});  // moved to start at the cell
    ASSERT_EQ(Client()->Unions().size(), 1u);
    EXPECT_EQ(c->GetRect(), (TRect{2, 1, 4, 4}));
    EXPECT_EQ(c->GetNamePath(), "Cell [2, 1]");
    c->SetRect({2, 1, 3, 3});
    EXPECT_EQ(c->GetRect(), (TRect{2, 1, 3, 3}));
    c->SetRect({});
    EXPECT_TRUE(Client()->Unions().empty());
    EXPECT_EQ(c->GetRect(), (TRect{2, 1, 3, 2}));
}

TEST_F(QvCellTest, RecordCarriesShowingAndHint) {
    TQvCell* hidden = Client()->NeedCellOfClass({0, 0}, TQvCInteger::StaticClass());
    hidden->SetShowing(false);
    hidden->SetHint("why");
    TQvCell* shown = Client()->NeedCellOfClass({1, 0}, TQvCInteger::StaticClass());

    TMemoryStream a, b;
    hidden->WriteToStream(a);
    shown->WriteToStream(b);
    EXPECT_EQ(static_cast<uint8_t>(a.Bytes()[1]) & 0x04, 0x04);  // bit 10: a hint follows
    EXPECT_EQ(static_cast<uint8_t>(a.Bytes()[0]) & 0x08, 0);     // bit 3 clear: hidden
    EXPECT_EQ(static_cast<uint8_t>(b.Bytes()[0]) & 0x08, 0x08);

    TQvCell* r1 = Client()->NeedCellOfClass({0, 1}, TQvCInteger::StaticClass());
    TQvCell* r2 = Client()->NeedCellOfClass({1, 1}, TQvCInteger::StaticClass());
    a.SetPosition(0);
    r1->ReadFromStream(a);
    b.SetPosition(0);
    r2->ReadFromStream(b);
    EXPECT_EQ(a.Position(), a.Size());
    EXPECT_FALSE(r1->Showing());
    EXPECT_EQ(r1->Hint(), "why");
    EXPECT_TRUE(r2->Showing());
    EXPECT_TRUE(r1->Assigned().Has(piShowing));
    EXPECT_TRUE(r2->Assigned().Has(piShowing));

    TMemoryStream cut(a.Bytes().substr(0, a.Bytes().size() - 1));
    EXPECT_THROW(r2->ReadFromStream(cut), EReadError);
}

TEST(QvCellSizeTest, TextCellsStaySmall) {
    // Many sheets hold hundreds of thousands of text cells; the object
    // itself must stay well below the budget of a cell with its row slot.
    EXPECT_LE(sizeof(TQvCString), 96u);
}

TEST_F(QvCellTest, CopyingBetweenCells) {
    TQvCell* a = Client()->NeedCellOfClass({0, 0}, TQvCInteger::StaticClass());
    TQvCell* b = Client()->NeedCellOfClass({1, 0}, TQvCInteger::StaticClass());
    TQvCell* text = Client()->NeedCellOfClass({2, 0}, TQvCString::StaticClass());
    a->SetAsInteger(7);
    a->SetFormat("0");
    a->SetEditorIndex(1);
    a->SetHint("h");
    b->Assign(a);
    EXPECT_EQ(b->AsInteger(), 7);
    EXPECT_EQ(b->Format(), "0");
    EXPECT_EQ(b->EditorIndex(), 1);
    EXPECT_EQ(b->Hint(), "h");
    EXPECT_TRUE(b->FormatText().SharesWith(a->FormatText()));
    // A cell keeps its class: control does not travel to another class.
    text->Assign(a);
    EXPECT_EQ(text->GetCellClass(), TQvCString::StaticClass());
    EXPECT_EQ(text->Format(), "");
    EXPECT_EQ(text->AsString(), "7");
}

}  // namespace
}  // namespace qv

namespace qv {
TEST(CellCreation, ReplacingAStoredCellFreesItAndOutsidePointsAreRefused) {
    TQvSheet sheet;
    TQvSection* sec = sheet.Sections(skClient);
    TQvCell* first = TQvCell::CreateAt(QvManager().ClassAt(0), sec, {2, 2});
    TQvCell* second = TQvCell::CreateAt(QvManager().ClassAt(1), sec, {2, 2});
    EXPECT_NE(first, second);
    EXPECT_EQ(sec->FindCell({2, 2}), second);  // the first is freed (the sanitizer build checks)
    EXPECT_EQ(sec->CheckIntegrity(), "");
    EXPECT_THROW(TQvCell::CreateAt(QvManager().ClassAt(0), sec, {-1, 0}), EQvGridError);
}
}  // namespace qv
