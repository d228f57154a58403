// In-place editing driven as a user does it: keys typed into the grid and
// its editor, with the real editor widgets.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <any>
#include <vector>

#include "cells/currency_cell.h"
#include "cells/double_cell.h"
#include "cells/date_time_cell.h"
#include "cells/integer_cell.h"
#include "cells/string_cell.h"
#include "cells/strings_cell.h"
#include "editors/qv_date_edit.h"
#include "editors/qv_time_edit.h"
#include "grids/cell.h"
#include "grids/editor_classes.h"
#include "grids/base_style.h"
#include "grids/section.h"
#include "grids/sheet_stream.h"
#include "platform/stream.h"
#include "platform/font.h"
#include "platform/string_list.h"
#include "qt/qt_convert.h"
#include "tests/view/input_fixture.h"
#include "view/editor_interfaces.h"

namespace qv::test {
namespace {

class GridEditing : public ShownGrid {
protected:
    void SetUp() override {
        ShownGrid::SetUp();
        Sheet->SetColCount(6);
        Sheet->SetRowCount(8);
        Refresh();
        Grid->OnEditModeChanged = [this](TObject*) { ++EditModeChanges; };
        Grid->OnEnterModeChanged = [this](TObject*) { ++EnterModeChanges; };
    }
    TQvSection* Client() const { return Sheet->Sections(skClient); }
    TQvView* Pane() const { return Grid->Views(skClient); }
    template <class C>
    C* Make(TPoint P) {
        return static_cast<C*>(Client()->NeedCellOfClass(P, C::StaticClass()));
    }
    void GoTo(TPoint P) {
        Pane()->SetCurrent(P, true, true);
        QApplication::processEvents();
    }
    // Keys go where Qt sends them: to the focus widget.
    static QWidget* Focus() { return QApplication::focusWidget(); }
    void Press(int K, Qt::KeyboardModifiers M = Qt::NoModifier) {
        QWidget* f = Focus();
        ASSERT_NE(f, nullptr);
        QTest::keyClick(f, Qt::Key(K), M);
        QApplication::processEvents();
    }
    void Type(const char* Text) {
        for (const char* c = Text; *c; ++c) {
            QTest::keyClick(Focus(), *c);
            QApplication::processEvents();
        }
    }
    static void FlushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    int EditModeChanges = 0;
    int EnterModeChanges = 0;
};

TEST_F(GridEditing, TypingANumberThenEnterStoresItAndMovesDown) {
    auto* cell = Make<TQvCInteger>({2, 3});
    int modified = 0;
    Sheet->SetModified(false);
    Sheet->OnModified = [&](TObject*) { ++modified; };
    GoTo({2, 3});
    Type("7");
    ASSERT_TRUE(Grid->Editing());
    EXPECT_EQ(Grid->EditCell(), cell);
    EXPECT_TRUE(Grid->EnterMode());
    EXPECT_TRUE(cell->HasState(psEditing));
    auto* edit = qobject_cast<QLineEdit*>(Grid->Editor());
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), "7");
    EXPECT_TRUE(edit->isVisible());
    EXPECT_EQ(EditModeChanges, 1);

    Press(Qt::Key_Return);
    EXPECT_EQ(Pane()->Current(), (TPoint{2, 4}));
    EXPECT_FALSE(Grid->Editing());
    EXPECT_EQ(cell->AsInteger(), 7);
    EXPECT_FALSE(cell->HasState(psEditing));
    EXPECT_FALSE(cell->HasState(psError));
    EXPECT_EQ(modified, 1);
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(EditModeChanges, 2);
    // The focus went back to the pane with the editor.
    EXPECT_EQ(Focus(), Pane());
}

TEST_F(GridEditing, TypingReplacesTheWholeTextAndArrowsLeave) {
    auto* cell = Make<TQvCString>({1, 1});
    cell->SetAsString("old text");
    GoTo({1, 1});
    Type("ab");
    auto* edit = qobject_cast<QLineEdit*>(Grid->Editor());
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), "ab");
    Press(Qt::Key_Right);
    EXPECT_EQ(Pane()->Current(), (TPoint{2, 1}));
    EXPECT_EQ(cell->AsString(), "ab");
    // Backspace starts an edit too: the text is emptied.
    GoTo({1, 1});
    QTest::keyClick(Focus(), Qt::Key_Backspace);
    QApplication::processEvents();
    ASSERT_TRUE(Grid->Editing());
    EXPECT_EQ(qobject_cast<QLineEdit*>(Grid->Editor())->text(), "");
    Grid->EndEdit();
    EXPECT_EQ(cell->AsString(), "");
}

TEST_F(GridEditing, F2OpensEditModeAndF2AgainLetsTheArrowsMove) {
    auto* cell = Make<TQvCString>({1, 1});
    cell->SetAsString("abc");
    GoTo({1, 1});
    Press(Qt::Key_F2);
    ASSERT_TRUE(Grid->Editing());
    EXPECT_FALSE(Grid->EnterMode());
    auto* edit = qobject_cast<QLineEdit*>(Grid->Editor());
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(Focus(), edit);
    // Edit mode: the caret moves, the current cell stays.
    const int caret = edit->cursorPosition();
    Press(Qt::Key_Left);
    EXPECT_EQ(edit->cursorPosition(), caret - 1);
    EXPECT_EQ(Pane()->Current(), (TPoint{1, 1}));
    Press(Qt::Key_Home);
    EXPECT_EQ(edit->cursorPosition(), 0);
    Type("x");
    // F2 in the editor switches to enter mode; the arrows move the cell.
    Press(Qt::Key_F2);
    EXPECT_TRUE(Grid->EnterMode());
    EXPECT_EQ(EnterModeChanges, 1);
    Press(Qt::Key_Down);
    EXPECT_EQ(Pane()->Current(), (TPoint{1, 2}));
    EXPECT_EQ(cell->AsString(), "xabc");
    EXPECT_FALSE(Grid->Editing());
}

// In edit mode every navigation key belongs to the editor, also those a
// one-line edit does nothing with.
TEST_F(GridEditing, EditModeKeepsTheNavigationKeysInTheEditor) {
    auto* cell = Make<TQvCString>({1, 3});
    cell->SetAsString("abc");
    GoTo({1, 3});
    Press(Qt::Key_F2);
    for (int k : {Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown}) {
        Press(k);
        Press(k, Qt::ControlModifier);
    }
    Type("d");
    EXPECT_EQ(Pane()->Current(), (TPoint{1, 3}));
    EXPECT_EQ(cell->AsString(), "abc") << "nothing was stored yet";
    Grid->EndEdit();
    Press(Qt::Key_Down);  // on the pane itself
    EXPECT_EQ(Pane()->Current(), (TPoint{1, 4}));
    EXPECT_EQ(cell->AsString(), "abcd");
}

// F2 starts with the caret after the text; arriving in enter mode, the first
// typed key replaces the text even when the focus went away and came back.
TEST_F(GridEditing, F2PutsTheCaretAtTheEndAndEnterModeTypingReplaces) {
    Make<TQvCString>({0, 0})->SetAsString("Hello");
    Make<TQvCString>({0, 1})->SetAsString("Hello");
    Grid->SetOptions(Grid->Options() | oPermEdit);
    GoTo({1, 0});
    GoTo({0, 0});
    Press(Qt::Key_F2);
    Type("X");
    Press(Qt::Key_F2);
    Press(Qt::Key_Down);
    EXPECT_EQ(Client()->FindCell({0, 0})->AsString(), "HelloX");
    // A menu bar takes the focus (the editor drops its selection) and gives
    // it back.
    QWidget* edit = Focus();
    QLineEdit bar(Grid.get());
    bar.show();
    bar.setFocus(Qt::MenuBarFocusReason);
    edit->setFocus(Qt::MenuBarFocusReason);
    Type("No");
    Press(Qt::Key_Down);
    EXPECT_EQ(Client()->FindCell({0, 1})->AsString(), "No");
}

// Tab stores and moves right, Shift+Tab left, from the editor and the pane;
// inside a selection they walk it as Enter does.
TEST_F(GridEditing, TabStoresAndMovesAndShiftTabMovesBack) {
    Make<TQvCInteger>({0, 0});
    Make<TQvCInteger>({1, 0});
    GoTo({0, 0});
    Type("12345");
    Press(Qt::Key_Tab);
    Type("678");
    Press(Qt::Key_Tab);
    EXPECT_EQ(Pane()->Current(), (TPoint{2, 0}));
    EXPECT_EQ(Client()->FindCell({0, 0})->AsInteger(), 12345);
    EXPECT_EQ(Client()->FindCell({1, 0})->AsInteger(), 678);
    Press(Qt::Key_Backtab, Qt::ShiftModifier);
    Press(Qt::Key_F2);
    Press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(Pane()->Current(), (TPoint{0, 0}));

    Pane()->SelectRect({1, 1, 3, 3});
    Pane()->SetCurrent({2, 2}, false, false);
    Press(Qt::Key_Tab);
    EXPECT_EQ(Pane()->Current(), (TPoint{1, 1}));
    EXPECT_EQ(Pane()->SelRect(), (TRect{1, 1, 3, 3}));
}

// The focus leaves the grid with Ctrl+Tab only, and comes back to the open
// editor without losing what it holds.
TEST_F(GridEditing, CtrlTabLeavesTheGridAndTabComesBackToTheEditor) {
    QWidget form;
    auto* before = new QLineEdit(&form);
    Grid->setParent(&form);
    auto* after = new QLineEdit(&form);
    QWidget::setTabOrder(before, Grid.get());
    QWidget::setTabOrder(Grid.get(), after);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    Pane()->setFocus();
    Make<TQvCString>({0, 0});
    GoTo({0, 0});
    Type("keep");
    Press(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(Focus(), after);
    Press(Qt::Key_Tab, Qt::ShiftModifier);
    Type("s");
    Press(Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Focus(), before);
    Press(Qt::Key_Tab);
    Press(Qt::Key_Return);
    EXPECT_EQ(Client()->FindCell({0, 0})->AsString(), "keeps");
    Grid->setParent(nullptr);
}

// Escape gives up what was typed: the editor shows the stored value again in
// enter mode, and leaving changes nothing in the cell.
TEST_F(GridEditing, EscapeRestoresTheStoredValue) {
    auto* text = Make<TQvCString>({0, 1});
    text->SetAsString("stored");
    auto* number = Make<TQvCInteger>({1, 1});
    number->SetAsInteger(4);
    GoTo({0, 1});
    Press(Qt::Key_F2);
    Type("oops");
    Press(Qt::Key_Escape);
    EXPECT_EQ(qobject_cast<QLineEdit*>(Grid->Editor())->text(), "stored");
    EXPECT_TRUE(Grid->EnterMode());
    Press(Qt::Key_Right);
    EXPECT_EQ(text->AsString(), "stored");
    Type("-");  // not a number
    Press(Qt::Key_Escape);
    Press(Qt::Key_Up);
    EXPECT_EQ(number->AsInteger(), 4);
    EXPECT_FALSE(number->HasState(psError));
}

TEST_F(GridEditing, PermEditFollowsTheCurrentCellAndReusesTheEditor) {
    Make<TQvCString>({0, 0});
    Make<TQvCString>({1, 0});
    Make<TQvCInteger>({2, 0});
    Grid->SetOptions(Grid->Options() | oPermEdit);
    GoTo({0, 1});
    GoTo({0, 0});
    ASSERT_TRUE(Grid->Editing());
    EXPECT_TRUE(Grid->EnterMode());
    QPointer<QWidget> first = Grid->Editor();
    EXPECT_EQ(Grid->EditorClass(), EditorClasses::TQvEdit());
    Type("q");
    Press(Qt::Key_Right);
    EXPECT_EQ(Client()->FindCell({0, 0})->AsString(), "q");
    ASSERT_TRUE(Grid->Editing());
    EXPECT_EQ(Grid->Editor(), first.data());
    EXPECT_EQ(Grid->EditCell(), Client()->FindCell({1, 0}));
    // Another cell class: another editor, and the old one goes.
    Press(Qt::Key_Right);
    ASSERT_TRUE(Grid->Editing());
    EXPECT_EQ(Grid->EditorClass(), EditorClasses::TQvNumEdit());
    EXPECT_NE(Grid->Editor(), first.data());
    FlushDeletes();
    EXPECT_TRUE(first.isNull());
    // Enter that cannot move keeps the edit open with oPermEdit.
    Grid->SetEnterDir(dNone);
    Press(Qt::Key_Return);
    EXPECT_TRUE(Grid->Editing());
}

// A permanent editor that arrives on a cell holds its text selected, so that
// typing replaces the value instead of appending to it.
TEST_F(GridEditing, PermanentEditorTypingReplacesTheValue) {
    Make<TQvCCurrency>({0, 0})->SetFormat("0.00");
    Make<TQvCString>({0, 1})->SetAsString("old");
    Grid->SetOptions(Grid->Options() | oPermEdit);
    GoTo({0, 2});
    GoTo({0, 0});
    Type("9.99");
    Press(Qt::Key_Down);
    EXPECT_DOUBLE_EQ(Client()->FindCell({0, 0})->AsFloat(), 9.99);
    Type("new");
    Press(Qt::Key_Down);
    EXPECT_EQ(Client()->FindCell({0, 1})->AsString(), "new");
}

TEST_F(GridEditing, EnterThatCannotMoveEndsTheEdit) {
    Make<TQvCString>({0, 0});
    Grid->SetEnterDir(dNone);
    GoTo({0, 1});
    GoTo({0, 0});
    Type("z");
    Press(Qt::Key_Return);
    EXPECT_FALSE(Grid->Editing());
    EXPECT_EQ(Client()->FindCell({0, 0})->AsString(), "z");
}

TEST_F(GridEditing, ComboBoxOverAPickListStoresTheIndex) {
    auto* cell = Make<TQvCStrings>({1, 2});
    cell->Items()->SetText("one\r\ntwo\r\nthree\r\n");
    cell->SetAsInteger(1);
    GoTo({1, 2});
    Press(Qt::Key_F2);
    auto* combo = qobject_cast<QComboBox*>(Grid->Editor());
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->currentIndex(), 1);
    combo->setCurrentIndex(2);
    Press(Qt::Key_Return);
    EXPECT_EQ(cell->AsInteger(), 2);
    EXPECT_EQ(Pane()->Current(), (TPoint{1, 3}));
}

TEST_F(GridEditing, MemoAndRichEditChosenByTheEditorIndex) {
    auto* memoCell = Make<TQvCString>({0, 0});
    memoCell->SetEditorIndex(1);
    memoCell->SetAsString("first");
    auto* richCell = Make<TQvCString>({0, 1});
    richCell->SetEditorIndex(2);
    GoTo({1, 1});
    GoTo({0, 0});
    Press(Qt::Key_F2);
    auto* memo = qobject_cast<QPlainTextEdit*>(Grid->Editor());
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->toPlainText(), "first");
    Type("+");
    // Enter belongs to the grid even in a memo.
    Press(Qt::Key_Return);
    EXPECT_EQ(memoCell->AsString(), "first+");
    EXPECT_EQ(Pane()->Current(), (TPoint{0, 1}));
    Type("rich");
    EXPECT_NE(qobject_cast<QTextEdit*>(Grid->Editor()), nullptr);
    Grid->EndEdit();
    EXPECT_EQ(richCell->AsString(), "rich");
}

// Ctrl+Enter and Shift+Enter break the line in a memo or rich edit; plain
// Enter and Escape stay with the grid.
TEST_F(GridEditing, CtrlAndShiftEnterBreakTheLineInMultiLineEditors) {
    auto* memo = Make<TQvCString>({0, 0});
    memo->SetEditorIndex(1);
    memo->SetAsString("a");
    auto* rich = Make<TQvCString>({1, 0});
    rich->SetEditorIndex(2);
    GoTo({1, 1});
    GoTo({0, 0});
    Press(Qt::Key_F2);
    Press(Qt::Key_Return, Qt::ControlModifier);
    Type("b");
    Press(Qt::Key_Return, Qt::ShiftModifier);
    Type("c");
    Press(Qt::Key_Return);
    EXPECT_EQ(memo->AsString(), "a\r\nb\r\nc");
    GoTo({1, 0});
    Type("x");
    Press(Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
    Type("y");
    Press(Qt::Key_Escape, Qt::ControlModifier);
    auto* richEdit = qobject_cast<QTextEdit*>(Grid->Editor());
    ASSERT_TRUE(richEdit && richEdit->isVisible());
    EXPECT_EQ(richEdit->toPlainText(), "");
    Type("z");
    Press(Qt::Key_Return);
    EXPECT_EQ(Pane()->Current(), (TPoint{1, 1}));
    EXPECT_EQ(rich->AsString(), "z");
}

TEST_F(GridEditing, DateAndTimeEditorsStoreFloatingPointValues) {
    auto* date = Make<TQvCDateTime>({0, 0});
    date->SetValue(TVariant(45000.0));
    auto* time = Make<TQvCDateTime>({1, 0});
    time->SetEditorIndex(1);
    time->SetValue(TVariant(0.5));
    GoTo({0, 1});
    GoTo({0, 0});
    Press(Qt::Key_F2);
    auto* dateEdit = qobject_cast<TQvDateEdit*>(Grid->Editor());
    ASSERT_NE(dateEdit, nullptr);
    dateEdit->setDate(dateEdit->date().addDays(1));
    Grid->EndEdit();
    EXPECT_DOUBLE_EQ(date->AsFloat(), 45001.0);
    GoTo({1, 0});
    Press(Qt::Key_F2);
    auto* timeEdit = qobject_cast<TQvTimeEdit*>(Grid->Editor());
    ASSERT_NE(timeEdit, nullptr);
    EXPECT_EQ(timeEdit->time(), QTime(12, 0));
    timeEdit->setTime(QTime(18, 0));
    Grid->EndEdit();
    EXPECT_DOUBLE_EQ(time->AsFloat(), 0.75);
}

TEST_F(GridEditing, TypedDatesStoreExactlyWhatWasTypedAndOtherTextIsRefused) {
    const TDateTime mar5 = EncodeDate(2024, 3, 5);
    auto* date = Make<TQvCDateTime>({0, 0});
    date->SetFormat("dd mmm yyyy");
    date->SetAsDateTime(mar5);
    auto* time = Make<TQvCDateTime>({1, 0});
    time->SetEditorIndex(1);
    time->SetAsDateTime(mar5 + 0.25);
    struct Row {
        TQvCDateTime* Cell;
        const char* Text;
        TDateTime Expected;  // -1: refused, the value kept
    };
    for (const Row& r : {Row{date, "01 Apr 2024", EncodeDate(2024, 4, 1)}, Row{date, "2024-04-02", EncodeDate(2024, 4, 2)},
                         Row{date, "1 Apr 2024", EncodeDate(2024, 4, 1)},
                         Row{date, "2024-04-02 13:30", EncodeDateTime(2024, 4, 2, 13, 30, 0, 0)},
                         Row{date, "tomorrow", -1}, Row{date, "12 Mar 202", -1},
                         Row{time, "13:30", EncodeDateTime(2024, 3, 5, 13, 30, 0, 0)}, Row{time, "25:00", -1}}) {
        const TDateTime before = r.Cell->AsDateTime();
        GoTo({4, 4});
        GoTo({r.Cell->Col(), 0});
        Type(r.Text);
        Press(Qt::Key_Return);
        EXPECT_EQ(r.Cell->AsDateTime(), r.Expected < 0 ? before : r.Expected) << r.Text;
        EXPECT_EQ(r.Cell->HasState(psError), r.Expected < 0) << r.Text;
    }
    // A narrow column does not cut the date off: the editor takes the room
    // its text needs.
    Sheet->SetSize(0, axCols, 30);
    QApplication::processEvents();
    GoTo({0, 0});
    Press(Qt::Key_F2);
    auto* edit = qobject_cast<TQvDateEdit*>(Grid->Editor());
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->Text(), "04/02/2024 13:30");  // the cell's format shows no time
    EXPECT_GE(edit->width(), edit->fontMetrics().horizontalAdvance(QString::fromStdString(edit->Text())));
}

TEST_F(GridEditing, EmptyingANumberOrDateEditorClearsTheValueAndUndoBringsItBack) {
    Make<TQvCInteger>({0, 0})->SetAsInteger(7);
    Make<TQvCDouble>({1, 0})->SetAsFloat(2.5);
    Make<TQvCCurrency>({2, 0})->SetValue(TVariant(3.25));
    Make<TQvCDateTime>({3, 0})->SetAsDateTime(45000);
    for (int x = 0; x < 4; ++x) {
        TQvCell* cell = Client()->FindCell({x, 0});
        cell->SetFormat(x == 3 ? "dd/mm/yyyy" : "0.00");
        const std::string text = cell->GetText();
        const TClass cls = cell->GetCellClass();
        GoTo({5, 5});
        GoTo({x, 0});
        Press(Qt::Key_F2);
        for (int k = 0; k < 12; ++k) Press(Qt::Key_Backspace);
        Press(Qt::Key_Return);
        cell = Client()->FindCell({x, 0});
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->GetCellClass(), cls);
        EXPECT_TRUE(cell->GetValue().IsEmpty()) << x;
        EXPECT_EQ(cell->GetText(), "") << x;
        EXPECT_EQ(cell->Format(), x == 3 ? "dd/mm/yyyy" : "0.00");
        EXPECT_FALSE(cell->HasState(psError));
        // Stored and read back, it is still empty; a record with a value
        // read into it gives the value back.
        TMemoryStream blank;
        SaveRecord(*cell, blank);
        TQvCell* other = Client()->NeedCellOfClass({x, 6}, cls);
        other->SetValue(TVariant(1.0));
        blank.SetPosition(0);
        ASSERT_TRUE(LoadRecord(*other, blank));
        EXPECT_TRUE(other->GetValue().IsEmpty()) << x;
        ASSERT_TRUE(Grid->Undo());
        EXPECT_EQ(Client()->FindCell({x, 0})->GetText(), text) << x;
    }
}

TEST_F(GridEditing, AValueADateEditorCannotTakeDoesNotEscape) {
    auto* date = Make<TQvCDateTime>({0, 0});
    try {
        date->SetAsString("not a date");
    } catch (...) {
    }
    GoTo({0, 1});
    GoTo({0, 0});
    Press(Qt::Key_F2);
    EXPECT_TRUE(Grid->Editing());
    EXPECT_NE(qobject_cast<TQvDateEdit*>(Grid->Editor()), nullptr);
    Press(Qt::Key_Return);
    EXPECT_FALSE(Grid->Editing());
}

TEST_F(GridEditing, SpinEditStepsACurrencyCellInEditMode) {
    auto* cell = Make<TQvCCurrency>({0, 0});
    cell->SetFormat("0.00");
    cell->SetEditorIndex(1);
    cell->SetValue(TVariant(1.5));
    GoTo({0, 1});
    GoTo({0, 0});
    Press(Qt::Key_F2);
    ASSERT_EQ(Grid->EditorClass(), EditorClasses::TQvSpinNumEdit());
    Press(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(Pane()->Current(), (TPoint{0, 0}));
    Grid->EndEdit();
    EXPECT_NEAR(cell->AsFloat(), 1.51, 1e-9);
}

TEST_F(GridEditing, InvalidNumberIsStoredAndMarked) {
    auto* cell = Make<TQvCInteger>({0, 0});
    cell->SetAsInteger(4);
    GoTo({0, 1});
    GoTo({0, 0});
    Type("-");
    Press(Qt::Key_Return);
    EXPECT_TRUE(cell->HasState(psError));
    // A good entry clears the mark.
    GoTo({0, 0});
    Type("12");
    Press(Qt::Key_Return);
    EXPECT_FALSE(cell->HasState(psError));
    EXPECT_EQ(cell->AsInteger(), 12);
    // Undo and redo take the mark with the value it marks.
    ASSERT_TRUE(Grid->Undo());
    EXPECT_EQ(cell->AsInteger(), 4);
    EXPECT_TRUE(cell->HasState(psError));
    ASSERT_TRUE(Grid->Redo());
    EXPECT_EQ(cell->AsInteger(), 12);
    EXPECT_FALSE(cell->HasState(psError));
}

TEST_F(GridEditing, EditorIsPlacedOverTheCellAndFollowsTheScale) {
    Make<TQvCString>({1, 2});
    GoTo({1, 2});
    Press(Qt::Key_F2);
    TRect px;
    ASSERT_TRUE(Pane()->CellRectToPixels({1, 2, 2, 3}, TQvView::paWhole, px));
    // No frame: the editor keeps off the grid lines at the right and bottom.
    EXPECT_EQ(Grid->Editor()->geometry(), QRect(px.Left, px.Top, px.Right - px.Left - 1, px.Bottom - px.Top - 1));
    Client()->FindCell({1, 2})->SetFrame(frDeepDown);
    Grid->EndEdit();
    Press(Qt::Key_F2);
    EXPECT_EQ(Grid->Editor()->geometry(),
              QRect(px.Left + 2, px.Top + 2, px.Right - px.Left - 4, px.Bottom - px.Top - 4));
    Grid->SetScale(200);
    ASSERT_TRUE(Pane()->CellRectToPixels({1, 2, 2, 3}, TQvView::paWhole, px));
    EXPECT_EQ(Grid->Editor()->geometry(),
              QRect(px.Left + 2, px.Top + 2, px.Right - px.Left - 4, px.Bottom - px.Top - 4));
}

TEST_F(GridEditing, EditorParentIsFilledAndKeepsADisabledEditor) {
    QWidget bar;
    bar.resize(300, 24);
    bar.show();
    Make<TQvCString>({0, 0})->SetAsString("in the bar");
    Grid->SetEditorParent(&bar);
    GoTo({0, 1});
    GoTo({0, 0});
    // The bar is a window of its own here and holds the focus: keys are
    // sent to the widgets directly.
    Grid->SetEditing(true);
    ASSERT_TRUE(Grid->Editing());
    QWidget* ed = Grid->Editor();
    EXPECT_EQ(ed->parentWidget(), &bar);
    EXPECT_EQ(ed->geometry(), bar.rect());
    bar.resize(400, 30);
    QApplication::processEvents();
    EXPECT_EQ(ed->geometry(), bar.rect());
    QTest::keyClick(ed, Qt::Key_Return);
    EXPECT_FALSE(Grid->Editing());
    EXPECT_TRUE(ed->isVisible());
    EXPECT_FALSE(ed->isEnabled());
    // A new parent: the old editor goes.
    QPointer<QWidget> old = ed;
    Grid->SetEditorParent(nullptr);
    FlushDeletes();
    EXPECT_TRUE(old.isNull());
}

TEST_F(GridEditing, AnEditorParentThatGoesAwayEndsTheEdit) {
    auto bar = std::make_unique<QWidget>();
    bar->show();
    Make<TQvCString>({0, 0});
    Grid->SetEditorParent(bar.get());
    GoTo({0, 1});
    GoTo({0, 0});
    Grid->SetEditing(true);
    ASSERT_TRUE(Grid->Editing());
    TQvCell* cell = Grid->EditCell();
    bar.reset();
    EXPECT_EQ(Grid->EditorParent(), nullptr);
    EXPECT_FALSE(Grid->Editing());
    EXPECT_FALSE(cell->HasState(psEditing));
    Grid->SetEditing(true);
    EXPECT_TRUE(Grid->Editing());
    EXPECT_EQ(Grid->Editor()->parentWidget(), Pane());
}

TEST_F(GridEditing, ACellFreedOrChangedWhileEditedEndsTheEdit) {
    Make<TQvCString>({0, 0});
    GoTo({0, 1});
    GoTo({0, 0});
    Type("gone");
    ASSERT_TRUE(Grid->Editing());
    // Replacing the cell by one of another class frees the edited one.
    auto* replacement = Make<TQvCInteger>({0, 0});
    EXPECT_FALSE(Grid->Editing());
    EXPECT_EQ(Grid->EditCell(), nullptr);
    EXPECT_FALSE(replacement->HasState(psEditing));
    // A layout change of the edited cell writes back and ends the edit.
    auto* text = Make<TQvCString>({1, 0});
    GoTo({1, 0});
    Type("kept");
    text->SetHAlign(haRight);
    EXPECT_FALSE(Grid->Editing());
    EXPECT_EQ(text->AsString(), "kept");
}

TEST_F(GridEditing, SheetAndActiveViewChangesEndTheEdit) {
    Make<TQvCString>({0, 0});
    GoTo({0, 1});
    GoTo({0, 0});
    Type("s");
    QPointer<QWidget> ed = Grid->Editor();
    Grid->SetDesignMode(true);
    Grid->SetActiveView(Grid->Views(skColTitles));
    EXPECT_FALSE(Grid->Editing());
    EXPECT_EQ(Grid->Editor(), nullptr);
    FlushDeletes();
    EXPECT_TRUE(ed.isNull());
    EXPECT_EQ(Client()->FindCell({0, 0})->AsString(), "s");
    Grid->SetActiveView(Pane());
    Grid->SetDesignMode(false);
    GoTo({0, 1});
    GoTo({0, 0});
    Type("t");
    Grid->SetSheet(nullptr);
    EXPECT_FALSE(Grid->Editing());
    EXPECT_EQ(Sheet->Sections(skClient)->FindCell({0, 0})->AsString(), "t");
}

TEST_F(GridEditing, DoubleClickOpensTheEditorOnTheClickedCell) {
    Make<TQvCString>({2, 2})->SetAsString("dbl");
    DoubleClick(Pane(), Centre(Pane(), {2, 2}));
    QApplication::processEvents();
    EXPECT_EQ(Pane()->Current(), (TPoint{2, 2}));
    ASSERT_TRUE(Grid->Editing());
    EXPECT_EQ(qobject_cast<QLineEdit*>(Grid->Editor())->text(), "dbl");
}

TEST_F(GridEditing, ReadOnlyAndUneditableCellsAreNotEdited) {
    Make<TQvCString>({0, 0});
    Grid->SetOptions(Grid->Options() | oReadOnly);
    GoTo({0, 1});
    GoTo({0, 0});
    Press(Qt::Key_F2);
    Type("x");
    EXPECT_FALSE(Grid->Editing());
    EXPECT_EQ(Grid->Editor(), nullptr);
}


TEST_F(GridEditing, EditorTakesTheCellsColoursAndScaledFont) {
    auto* cell = Make<TQvCString>({1, 1});
    cell->SetAsString("Coloured");
    cell->SetColor(clYellow);
    cell->Font()->SetColor(clBlue);
    cell->Font()->SetSize(10);
    Grid->SetScale(150);
    GoTo({1, 1});
    Press(Qt::Key_F2);
    QWidget* ed = Grid->Editor();
    ASSERT_NE(ed, nullptr);
    EXPECT_EQ(ed->palette().color(QPalette::Base), QColor(255, 255, 0));
    EXPECT_EQ(ed->palette().color(QPalette::Text), QColor(0, 0, 255));
    EXPECT_EQ(ed->font().pixelSize() > 0 ? ed->font().pixelSize() : ed->font().pointSize(),
              ToQFont(*cell->Font(), 150).pixelSize() > 0 ? ToQFont(*cell->Font(), 150).pixelSize()
                                                          : ToQFont(*cell->Font(), 150).pointSize());
    // A cell without a fill shows the base style's colour.
    Make<TQvCString>({2, 1});
    GoTo({2, 1});
    Press(Qt::Key_F2);
    EXPECT_EQ(Grid->Editor()->palette().color(QPalette::Base),
              ToQColor(Sheet->Sections(skClient)->BaseStyle()->Color()));
    const QByteArray dir = qgetenv("QV_SCREENSHOT_DIR");
    if (!dir.isEmpty()) {
        GoTo({1, 1});
        Press(Qt::Key_F2);
        EXPECT_TRUE(Grid->grab().save(QString::fromLocal8Bit(dir) + "/grid_editor_coloured.png"));
    }
}

// A line edit that records the keys it receives, bound for one test in
// place of the text editor.
class RecordingEdit : public QLineEdit, public IQvEditor {
public:
    using QLineEdit::QLineEdit;
    void LoadCell(TQvCell* Cell, TColor) override { setText(QString::fromStdString(Cell->AsString())); }
    void StoreCell(TQvCell* Cell) override { Cell->SetAsString(text().toStdString()); }
    std::vector<int> Keys;

protected:
    void keyPressEvent(QKeyEvent* E) override {
        Keys.push_back(E->key());
        QLineEdit::keyPressEvent(E);
    }
};

class RecordingEditor : public GridEditing {
protected:
    void SetUp() override {
        if (const std::any* a = EditorClasses::EditorFactory(EditorClasses::TQvEdit())) Saved = *a;
        EditorClasses::BindEditorFactory(EditorClasses::TQvEdit(), TQvEditorFactory([](QWidget* P) -> QWidget* {
                                             return new RecordingEdit(P);
                                         }));
        GridEditing::SetUp();
    }
    void TearDown() override {
        GridEditing::TearDown();
        EditorClasses::BindEditorFactory(EditorClasses::TQvEdit(), Saved);
    }
    std::any Saved;
};

TEST_F(RecordingEditor, EnterAndEscapeNeverReachTheEditor) {
    Make<TQvCString>({0, 0});
    GoTo({0, 1});
    GoTo({0, 0});
    Press(Qt::Key_F2);
    auto* ed = dynamic_cast<RecordingEdit*>(Grid->Editor());
    ASSERT_NE(ed, nullptr);
    Press(Qt::Key_Left);       // edit mode: the editor's
    Press(Qt::Key_Delete);     // always the editor's
    Press(Qt::Key_Escape);     // the grid's: back to enter mode
    EXPECT_TRUE(Grid->Editing());
    Press(Qt::Key_F2);         // both: edit mode
    Press(Qt::Key_F2);         // both: enter mode
    Press(Qt::Key_Left);       // enter mode: the grid's
    EXPECT_EQ(ed->Keys, (std::vector<int>{Qt::Key_Left, Qt::Key_Delete, Qt::Key_F2, Qt::Key_F2}));
    GoTo({0, 0});
    Press(Qt::Key_F2);
    ed->Keys.clear();
    Press(Qt::Key_Return);
    EXPECT_TRUE(ed->Keys.empty());
    EXPECT_EQ(Pane()->Current(), (TPoint{0, 1}));
}

TEST_F(GridEditing, PanesReportMouseEventsInGridCoordinates) {
    struct Call {
        TObject* Sender;
        int Kind, X, Y;
    };
    std::vector<Call> calls;
    Grid->OnMouseDown = [&](TObject* S, Qt::MouseButton, Qt::KeyboardModifiers, int X, int Y) {
        calls.push_back({S, 0, X, Y});
    };
    Grid->OnMouseMove = [&](TObject* S, Qt::KeyboardModifiers, int X, int Y) { calls.push_back({S, 1, X, Y}); };
    Grid->OnMouseUp = [&](TObject* S, Qt::MouseButton, Qt::KeyboardModifiers, int X, int Y) {
        calls.push_back({S, 2, X, Y});
    };
    const QPoint at = Centre(Pane(), {1, 1});
    QTest::mousePress(Pane(), Qt::LeftButton, {}, at);
    QTest::mouseMove(Pane(), at + QPoint(3, 0));
    QTest::mouseRelease(Pane(), Qt::LeftButton, {}, at + QPoint(3, 0));
    ASSERT_GE(calls.size(), 3u);
    const QPoint origin = Pane()->pos();
    EXPECT_EQ(calls.front().Kind, 0);
    EXPECT_EQ(calls.front().Sender, static_cast<TObject*>(Pane()));
    EXPECT_EQ(calls.front().X, origin.x() + at.x());
    EXPECT_EQ(calls.front().Y, origin.y() + at.y());
    EXPECT_EQ(calls.back().Kind, 2);
    EXPECT_EQ(calls.back().X, origin.x() + at.x() + 3);
    EXPECT_EQ(calls[calls.size() - 2].Kind, 1);
    // The selection still moved: the events come after the pane's own work.
    EXPECT_EQ(Pane()->Current(), (TPoint{1, 1}));
}

}  // namespace
}  // namespace qv::test
