// The in-place editors over real cells of a real sheet: what they load,
// what they write back, and how they are registered.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <memory>

#include "cells/currency_cell.h"
#include "cells/date_time_cell.h"
#include "cells/double_cell.h"
#include "cells/string_cell.h"
#include "cells/strings_cell.h"
#include "editors/day_time.h"
#include "editors/qv_combobox.h"
#include "editors/qv_date_edit.h"
#include "editors/qv_edit.h"
#include "editors/qv_memo.h"
#include "editors/qv_num_edit.h"
#include "editors/qv_rich_edit.h"
#include "editors/qv_spin_num_edit.h"
#include "editors/qv_time_edit.h"
#include "grids/editor_classes.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "platform/exceptions.h"
#include "platform/string_list.h"
#include "view/editor_interfaces.h"

using namespace qv;

namespace {

class CellEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        Sheet.SetColCount(10);
        Sheet.SetRowCount(10);
        Host.resize(300, 200);
        Host.show();
    }
    template <class TCellClass>
    TCellClass* Cell(int X, int Y) {
        return static_cast<TCellClass*>(
            Sheet.Sections(skClient)->NeedCellOfClass({X, Y}, TCellClass::StaticClass()));
    }
    // Placed and shown as the grid does it: bounds, layout, value, show.
    template <class TEditor>
    TEditor* Open(TQvCell* C, int Height = 17) {
        auto* e = new TEditor(&Host);
        e->hide();
        e->setGeometry(10, 10, 120, Height);
        if (auto* l = dynamic_cast<IQvLayout*>(static_cast<QWidget*>(e))) l->SetLayout(C->Layout());
        e->LoadCell(C, clRed);
        e->show();
        e->setFocus();
        QApplication::processEvents();
        return e;
    }

    TQvSheet Sheet;
    QWidget Host;
};

TEST_F(CellEditorTest, EmptyTextCellRoundTripsAsAnEmptyString) {
    auto* c = Cell<TQvCString>(0, 0);
    auto* e = Open<TQvEdit>(c);
    EXPECT_EQ(e->text(), "");
    e->StoreCell(c);
    EXPECT_EQ(c->GetValue(), TVariant(std::string()));
    c->SetAsString("abc");
    e->LoadCell(c, clRed);
    EXPECT_EQ(e->cursorPosition(), 3);
    EXPECT_FALSE(e->hasSelectedText());
    QTest::keyClicks(e, "d");
    e->StoreCell(c);
    EXPECT_EQ(c->AsString(), "abcd");
}

TEST_F(CellEditorTest, PickListShowsItsLinesAndStoresTheChosenIndex) {
    auto* c = Cell<TQvCStrings>(0, 0);
    c->Items()->SetText("red\r\ngreen\r\nblue\r\n");
    c->SetAsInteger(1);
    auto* e = Open<TQvCombobox>(c);
    ASSERT_EQ(e->count(), 3);
    EXPECT_EQ(e->currentIndex(), 1);
    EXPECT_EQ(e->currentText(), "green");
    QTest::keyClick(e, Qt::Key_Down);
    EXPECT_EQ(e->currentText(), "blue");
    e->StoreCell(c);
    EXPECT_EQ(c->AsInteger(), 2);
}

TEST_F(CellEditorTest, ComboboxOverPlainTextStoresTheIndexNotTheText) {
    auto* c = Cell<TQvCString>(0, 0);
    c->SetAsString("one\r\ntwo\nthree");
    auto* e = Open<TQvCombobox>(c);
    EXPECT_EQ(e->count(), 3);
    EXPECT_EQ(e->itemText(2), "three");
    e->setCurrentIndex(1);
    e->LoadCell(c, clRed);  // the index stays where it was
    EXPECT_EQ(e->currentIndex(), 1);
    e->StoreCell(c);
    EXPECT_EQ(c->AsString(), "1");
}

TEST_F(CellEditorTest, MemoAndRichEditKeepTheLinesOfATextCell) {
    auto* c = Cell<TQvCString>(0, 0);
    c->SetAsString("one\r\ntwo");
    auto* m = Open<TQvMemo>(c, 60);
    EXPECT_EQ(m->toPlainText(), "one\ntwo");
    EXPECT_TRUE(m->textCursor().atEnd());
    QTest::keyClick(m, Qt::Key_Return);
    QTest::keyClicks(m, "three");
    m->StoreCell(c);
    EXPECT_EQ(c->AsString(), "one\r\ntwo\r\nthree");

    auto* r = Open<TQvRichEdit>(c, 60);
    EXPECT_EQ(r->toPlainText(), "one\ntwo\nthree");
    EXPECT_TRUE(r->textCursor().atStart());
    QTest::keyClicks(r, ">");
    r->StoreCell(c);
    EXPECT_EQ(c->AsString(), ">one\r\ntwo\r\nthree");
}

// Loads Value into the editor, stores it back over another value: true when
// the cell ends up holding Value again.
template <class TEditor>
bool RoundTrip(TEditor* E, TQvCell* C, const std::string& Value) {
    C->SetAsString(Value);
    E->LoadCell(C, clRed);
    C->SetAsString("changed");
    E->StoreCell(C);
    return C->AsString() == Value;
}

TEST_F(CellEditorTest, TextEditorsGiveBackLongValuesUnchanged) {
    // Words, as a long note holds them: a single 100,000-letter word costs
    // Qt's line breaking far more than the length itself.
    std::string longText;
    while (longText.size() < 100000) longText += "word" + std::to_string(longText.size()) + ' ';
    longText.resize(100000);
    auto* c = Cell<TQvCString>(0, 0);
    EXPECT_TRUE(RoundTrip(Open<TQvEdit>(c), c, longText));
    EXPECT_TRUE(RoundTrip(Open<TQvMemo>(c), c, longText));
    EXPECT_TRUE(RoundTrip(Open<TQvRichEdit>(c), c, longText));
}

TEST_F(CellEditorTest, MemoAndRichEditKeepNonBreakingSpaces) {
    auto* c = Cell<TQvCString>(0, 0);
    auto* memo = Open<TQvMemo>(c);
    auto* rich = Open<TQvRichEdit>(c);
    EXPECT_TRUE(RoundTrip(memo, c, "a\u00A0b"));
    EXPECT_TRUE(RoundTrip(rich, c, "a\u00A0b"));
    EXPECT_TRUE(RoundTrip(memo, c, "one\r\n\u00A0two"));
}

TEST_F(CellEditorTest, CtrlAndShiftEnterTypeALineBreakInTheMultiLineEditors) {
    auto* c = Cell<TQvCString>(0, 0);
    auto typeBreaks = [&](QWidget* e) {
        QTest::keyClicks(e, "a");
        QTest::keyClick(e, Qt::Key_Return, Qt::ControlModifier);
        QTest::keyClicks(e, "b");
        QTest::keyClick(e, Qt::Key_Enter, Qt::ShiftModifier | Qt::KeypadModifier);
        QTest::keyClicks(e, "c");
        QTest::keyClick(e, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClicks(e, "d");
    };
    auto* m = Open<TQvMemo>(c, 60);
    typeBreaks(m);
    m->StoreCell(c);
    EXPECT_EQ(c->AsString(), "a\r\nb\r\nc\r\nd");
    c->SetAsString("");
    auto* r = Open<TQvRichEdit>(c, 60);
    typeBreaks(r);
    r->StoreCell(c);
    EXPECT_EQ(c->AsString(), "a\r\nb\r\nc\r\nd");
}

TEST_F(CellEditorTest, RichEditGrowsWithItsLinesAndDoesNotShrinkBelowTheCell) {
    auto* c = Cell<TQvCString>(0, 0);
    c->SetAsString("a");
    auto* r = Open<TQvRichEdit>(c, 17);
    EXPECT_EQ(r->height(), 17);
    EXPECT_EQ(r->EditHeight(), 17);
    for (const char* line : {"b", "c", "d", "e"}) {
        QTest::keyClick(r, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(r, Qt::Key_Return);
        QTest::keyClicks(r, line);
    }
    const int grown = r->height();
    EXPECT_GE(grown, 5 * r->fontMetrics().lineSpacing());
    EXPECT_EQ(r->EditHeight(), 17);
    r->selectAll();
    QTest::keyClick(r, Qt::Key_Backspace);
    EXPECT_EQ(r->height(), grown);
    // The next positioning by the grid holds again.
    r->setGeometry(10, 40, 120, 17);
    EXPECT_EQ(r->height(), 17);
    EXPECT_EQ(r->EditHeight(), 17);
    // Loaded while hidden, as the grid loads it: grows before it is shown.
    r->hide();
    r->setGeometry(10, 10, 120, 17);
    c->SetAsString("1\r\n2\r\n3\r\n4\r\n5");
    r->LoadCell(c, clRed);
    r->show();
    QApplication::processEvents();
    EXPECT_GE(r->height(), 5 * r->fontMetrics().lineSpacing());
    EXPECT_EQ(r->EditHeight(), 17);
}

TEST_F(CellEditorTest, RichEditPositionedAtItsGrownHeightKeepsThatHeight) {
    auto* c = Cell<TQvCString>(0, 0);
    c->SetAsString("a\r\nb\r\nc\r\nd\r\ne");
    auto* r = Open<TQvRichEdit>(c, 17);
    const int grown = r->height();
    ASSERT_GT(grown, 17);
    // The grid places it again at that height: no event tells Qt's widget.
    r->SetBounds(r->geometry());
    EXPECT_EQ(r->EditHeight(), grown);
    QTest::keyClick(r, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(r, Qt::Key_Backspace);
    QTest::keyClick(r, Qt::Key_Backspace);
    EXPECT_EQ(r->toPlainText(), "a\nb\nc\nd");
    EXPECT_EQ(r->height(), grown);
}

TEST_F(CellEditorTest, CurrencyCellStepsByItsFormat) {
    auto* c = Cell<TQvCCurrency>(0, 0);
    c->SetFormat("0.00");
    c->SetAsFloat(1.23);
    auto* e = Open<TQvSpinNumEdit>(c);
    EXPECT_EQ(e->text(), "1.23");
    EXPECT_DOUBLE_EQ(e->Increment(), 0.01);
    EXPECT_TRUE(e->IsValid());
    QTest::keyClick(e, Qt::Key_Up, Qt::ShiftModifier);
    QApplication::processEvents();
    EXPECT_EQ(e->text(), "1.24");
    e->StoreCell(c);
    EXPECT_EQ(c->AsCurrency(), Currency::FromScaled(12400));
}

TEST_F(CellEditorTest, NumberEditorsValidateOnLoadAndKeepUnformattedDigits) {
    auto* d = Cell<TQvCDouble>(0, 0);
    d->SetAsFloat(2.5);
    auto* e = Open<TQvNumEdit>(d);
    // Entering and leaving without typing changes nothing and is valid.
    EXPECT_TRUE(e->IsValid());
    e->StoreCell(d);
    EXPECT_EQ(d->AsFloat(), 2.5);
    // Invalid typing is still stored as the last value that parsed.
    e->selectAll();
    e->insert("1x");
    EXPECT_FALSE(e->IsValid());
    e->StoreCell(d);
    EXPECT_EQ(d->AsFloat(), 2.5);
    // The next cell starts valid again; a value that is no number loads as 0.
    auto* s = Cell<TQvCString>(1, 0);
    s->SetAsString("abc");
    EXPECT_NO_THROW(e->LoadCell(s, clRed));
    EXPECT_EQ(e->Value(), 0);
    EXPECT_TRUE(e->IsValid());
    EXPECT_EQ(e->InvalidColor(), clRed);
    // A whole-number format shows 2.5 rounded but passing through keeps it.
    auto* whole = Cell<TQvCDouble>(2, 0);
    whole->SetAsFloat(2.5);
    whole->SetFormat("0");
    e->LoadCell(whole, clRed);
    EXPECT_EQ(e->text(), "3");  // FormatFloat rounds halves away from zero
    e->StoreCell(whole);
    EXPECT_EQ(whole->AsFloat(), 2.5);
}

TEST_F(CellEditorTest, DateAndTimeAreWrittenBackAsNumbersKeepingTheOtherPart) {
    auto* c = Cell<TQvCDateTime>(0, 0);
    c->SetAsDateTime(45000.75);  // 15 March 2023, 18:00
    auto* d = Open<TQvDateEdit>(c);
    EXPECT_EQ(d->date(), QDate(2023, 3, 15));
    d->setDate(QDate(2023, 3, 16));
    d->StoreCell(c);
    EXPECT_EQ(c->AsFloat(), 45001.75);

    auto* t = Open<TQvTimeEdit>(c);
    EXPECT_EQ(t->time(), QTime(18, 0));
    t->StoreCell(c);
    EXPECT_EQ(c->AsFloat(), 45001.75);
    t->setTime(QTime(6, 0));
    t->StoreCell(c);
    EXPECT_EQ(c->AsFloat(), 45001.25);
}

TEST_F(CellEditorTest, UnreadableDateResetsTheEditorAndRaises) {
    auto* c = Cell<TQvCDateTime>(0, 0);
    c->SetAsDateTime(45000.5);
    auto* d = Open<TQvDateEdit>(c);
    auto* t = Open<TQvTimeEdit>(c);
    auto* s = Cell<TQvCString>(1, 0);
    s->SetAsString("not a date");
    EXPECT_THROW(d->LoadCell(s, clRed), EVariantTypeCastError);
    EXPECT_TRUE(d->IsBlank());
    EXPECT_THROW(t->LoadCell(s, clRed), EVariantTypeCastError);
    EXPECT_TRUE(t->IsBlank());
}

TEST(EditorRegistration, EveryEditorClassCreatesAHiddenWidgetWithItsInterfaces) {
    RegisterEditors();
    RegisterEditors();
    QWidget parent;
    struct Row {
        TClass Cls;
        bool Validator, Layout;
    };
    for (const Row& r : {Row{EditorClasses::TQvEdit(), false, true}, Row{EditorClasses::TQvMemo(), false, true},
                         Row{EditorClasses::TQvRichEdit(), false, true}, Row{EditorClasses::TQvNumEdit(), true, true},
                         Row{EditorClasses::TQvSpinNumEdit(), true, true},
                         Row{EditorClasses::TQvDateEdit(), true, false},
                         Row{EditorClasses::TQvTimeEdit(), true, false},
                         Row{EditorClasses::TQvCombobox(), false, false}}) {
        const std::any* f = EditorClasses::EditorFactory(r.Cls);
        ASSERT_NE(f, nullptr);
        QWidget* w = std::any_cast<TQvEditorFactory>(*f)(&parent);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->parentWidget(), &parent);
        EXPECT_TRUE(w->isHidden());
        EXPECT_NE(dynamic_cast<IQvEditor*>(w), nullptr);
        EXPECT_EQ(dynamic_cast<IQvValidator*>(w) != nullptr, r.Validator);
        EXPECT_EQ(dynamic_cast<IQvLayout*>(w) != nullptr, r.Layout);
        EXPECT_EQ(dynamic_cast<IQvMsgFilter*>(w), nullptr);
        EXPECT_EQ(w->metaObject()->className(), std::string("qv::") + r.Cls->Name);
    }
}

}  // namespace
