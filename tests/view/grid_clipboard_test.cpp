#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "cells/double_cell.h"
#include "cells/integer_cell.h"
#include "cells/string_cell.h"
#include "grids/cell_range.h"
#include "grids/section.h"
#include "grids/undo_stack.h"
#include "platform/font.h"
#include "platform/stream.h"
#include "tests/view/input_fixture.h"

using namespace qv;
using namespace qv::test;

namespace {

std::string Data(TQvSheet& S) {
    TMemoryStream m;
    S.WriteData(m);
    return m.Bytes();
}

class GridClipboard : public ShownGrid {
protected:
    void SetUp() override {
        ShownGrid::SetUp();
        Grid->OnStatus = [this](TObject*, const std::string& Text) { Status.push_back(Text); };
    }
    void SetClipboard(const QString& Text, const QByteArray& Record = {}) {
        auto* d = new QMimeData();
        if (!Text.isEmpty()) d->setText(Text);
        if (!Record.isEmpty()) d->setData(TQvGrid::RangeMimeType, Record);
        QGuiApplication::clipboard()->setMimeData(d);
    }
    // Selects the client cells R with the mouse.
    void Select(const TRect& R) {
        Click(Client(), R.TopLeft());
        Click(Client(), {R.Right - 1, R.Bottom - 1}, Qt::ShiftModifier);
    }
    std::vector<std::string> Status;
};

}  // namespace

TEST_F(GridClipboard, CopyInOneGridAndPasteInAnotherGivesTheSameCells) {
    Sheet->Sections(skClient)->NeedCellOfClass({1, 1}, TQvCInteger::StaticClass())->SetAsInteger(12);
    TQvCell* d = Sheet->Sections(skClient)->NeedCellOfClass({2, 1}, TQvCDouble::StaticClass());
    d->SetAsFloat(0.5);
    d->Font()->SetStyle({fsBold});
    TQvCellRange(*Sheet, {1, 2, 3, 3})->Merge();
    TQvCellRange boxed(*Sheet, {1, 1, 3, 3});
    boxed->SetBorder(liBottom, {lsDouble, clRed});
    boxed->SetColor(clYellow);
    Select({1, 1, 3, 3});
    Key(Qt::Key_C, Qt::ControlModifier);
    const QMimeData* m = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(m->hasFormat(TQvGrid::RangeMimeType));
    EXPECT_EQ(m->text(), "12\t0.5\n\t\n");
    EXPECT_TRUE(m->html().contains("colspan=\"2\""));

    TQvSheet other;
    TQvGrid second;
    second.resize(300, 200);
    second.SetSheet(&other);
    second.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&second));
    QTest::mouseClick(second.Views(skClient), Qt::LeftButton, Qt::NoModifier, Centre(second.Views(skClient), {1, 1}));
    QTest::keyClick(second.Views(skClient), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Data(other), Data(*Sheet));
    EXPECT_EQ(second.Views(skClient)->SelRect(), (TRect{1, 1, 3, 3}));
    EXPECT_EQ(second.Views(skClient)->Current(), (TPoint{1, 1}));

    // Cut: the copy, then the cells are gone, in a step that keeps the
    // selection's area only.
    const std::string beforeCut = Data(*Sheet);
    Key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(Sheet->FindCell(1, 1), nullptr);
    EXPECT_TRUE(QGuiApplication::clipboard()->mimeData()->hasFormat(TQvGrid::RangeMimeType));
    EXPECT_TRUE(Sheet->UndoStack().IsAreaStep(Sheet->UndoStack().Count() - 1));
    ASSERT_TRUE(Grid->Undo());
    EXPECT_EQ(Data(*Sheet), beforeCut);
}

TEST_F(GridClipboard, PlainTextLandsTypedAndIsCutAtTheEdge) {
    Select({3, 2, 4, 3});
    SetClipboard("1\t2.5\tx\n\"a\tb\"\t\t7\n8\n");
    Key(Qt::Key_V, Qt::ControlModifier);
    TQvSection& s = *Sheet->Sections(skClient);
    EXPECT_EQ(s.FindCell({3, 2})->ClassType(), TQvCInteger::StaticClass());
    EXPECT_EQ(s.FindCell({4, 2})->ClassType(), TQvCDouble::StaticClass());
    EXPECT_EQ(Sheet->CellValue(3, 3), TVariant(std::string("a\tb")));
    EXPECT_EQ(Sheet->CellValue(3, 4), TVariant(int32_t(8)));
    EXPECT_EQ(s.FindCell({5, 2}), nullptr);  // beyond the five columns
    ASSERT_EQ(Status.size(), 1u);
    EXPECT_EQ(Status[0], "The paste was cut at the end of the sheet: 1 column was left out.");
    EXPECT_EQ(Client()->SelRect(), (TRect{3, 2, 5, 5}));

    // A read-only sheet is not written.
    Sheet->SetReadOnly(true);
    SetClipboard("99");
    Key(Qt::Key_V, Qt::ControlModifier);
    Key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(Sheet->CellValue(3, 2), TVariant(int32_t(1)));
    EXPECT_FALSE(Grid->CanPaste());
    EXPECT_EQ(Status.back(), "The sheet is read-only: nothing was cut.");
}

TEST_F(GridClipboard, ADamagedPrivateFormFallsBackToTheTextOrChangesNothing) {
    Sheet->SetCellValue(0, 0, TVariant(std::string("before")));
    Select({0, 0, 1, 1});
    SetClipboard({}, QByteArray("QVRG\x01\x00\x00\x00\x03", 9));
    const std::string before = Data(*Sheet);
    Grid->PasteFromClipboard();
    EXPECT_EQ(Data(*Sheet), before);
    ASSERT_EQ(Status.size(), 1u);
    EXPECT_NE(Status[0].find("could not be read"), std::string::npos) << Status[0];
    EXPECT_NE(Status[0].find("nothing was pasted"), std::string::npos) << Status[0];

    SetClipboard("after", QByteArray("QVRG", 4));
    Grid->PasteFromClipboard();
    EXPECT_EQ(Sheet->CellValue(0, 0), TVariant(std::string("after")));
}

TEST_F(GridClipboard, DeleteClearsTheSelectedValuesInOneStepAndKeepsProtectedOnes) {
    TQvSection* s = Sheet->Sections(skClient);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) {
            TQvCell* c = s->NeedCellOfClass({x, y}, TQvCInteger::StaticClass());
            c->SetAsInteger(1 + x + 10 * y);
            c->SetFormat("0.00");
        }
    s->FindCell({0, 1})->SetProtected(true);
    const std::string before = Data(*Sheet);
    Select({0, 0, 2, 2});
    Key(Qt::Key_Delete);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) {
            TQvCell* c = s->FindCell({x, y});
            const bool cleared = x < 2 && y < 2 && !(x == 0 && y == 1);
            EXPECT_EQ(c->GetValue().IsEmpty(), cleared) << x << "," << y;
            EXPECT_EQ(c->Format(), "0.00");
        }
    ASSERT_FALSE(Status.empty());
    EXPECT_EQ(Status.back(), "1 protected cell was not cleared.");
    EXPECT_TRUE(Sheet->UndoStack().IsAreaStep(Sheet->UndoStack().Count() - 1));
    ASSERT_TRUE(Grid->Undo());
    EXPECT_EQ(Data(*Sheet), before);
}

TEST_F(GridClipboard, APermanentEditorLeavesTheCellKeysToTheGridUntilSomethingIsTyped) {
    TQvSection* s = Sheet->Sections(skClient);
    s->NeedCellOfClass({0, 0}, TQvCString::StaticClass())->SetAsString("one");
    s->NeedCellOfClass({1, 0}, TQvCString::StaticClass())->SetAsString("two");
    Grid->SetOptions(Grid->Options() | oPermEdit);
    const auto press = [](int K, Qt::KeyboardModifiers M = Qt::ControlModifier) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(K), M);
        QApplication::processEvents();
    };
    const auto goTo = [this](TPoint P) {
        Client()->SetCurrent(P, true, true);
        QApplication::processEvents();
    };
    goTo({0, 1});
    goTo({0, 0});
    ASSERT_TRUE(Grid->Editing());
    press(Qt::Key_C);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "one\n");  // the cell's text, not the editor's
    EXPECT_TRUE(QGuiApplication::clipboard()->mimeData()->hasFormat(TQvGrid::RangeMimeType));
    press(Qt::Key_A);
    EXPECT_EQ(Sel(), R(0, 0, Client()->ColCount(), Client()->RowCount()));
    // Once typed into, the keys are the editor's, but for a copied block,
    // which pastes into the cells.
    goTo({0, 2});
    ASSERT_TRUE(Grid->Editing());
    QTest::keyClicks(QApplication::focusWidget(), "xy");
    press(Qt::Key_A);
    press(Qt::Key_C);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "xy");
    SetClipboard("a\tb\n");
    press(Qt::Key_V);
    EXPECT_EQ(s->FindCell({0, 2})->AsString(), "a");
    EXPECT_EQ(s->FindCell({1, 2})->AsString(), "b");
    // Delete on a cell just reached clears it, and the editor shows that.
    goTo({0, 0});
    press(Qt::Key_Delete, Qt::NoModifier);
    EXPECT_EQ(s->FindCell({0, 0})->AsString(), "");
    ASSERT_TRUE(Grid->Editing());
    EXPECT_EQ(Grid->EditCell(), s->FindCell({0, 0}));
}

TEST_F(GridClipboard, AnExceptionInAHandlerEndsAsAStatusNotOutsideTheEventLoop) {
    Grid->OnCellClick = [](TObject*, TPoint) { throw std::bad_alloc(); };
    Click(Client(), {1, 1});
    ASSERT_FALSE(Status.empty());
    EXPECT_NE(Status.back().find("not enough memory"), std::string::npos) << Status.back();
}
