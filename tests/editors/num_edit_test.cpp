// The numeric edit controls as a user types into them.
#include <gtest/gtest.h>

#include <string>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTest>

#include "editors/num_chars.h"
#include "editors/num_edit.h"
#include "editors/spin_num_edit.h"
#include "platform/format_fixtures.h"
#include "platform/format_settings.h"
#include "qt/qt_convert.h"

using namespace qv;

namespace {

// Records the keys that reach it: what a control leaves to its host.
class Host : public QWidget {
public:
    QList<int> Keys;

protected:
    void keyPressEvent(QKeyEvent* E) override {
        if (E->key() != Qt::Key_Shift && E->key() != Qt::Key_Control) Keys << E->key();
    }
};

class NumEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        FSaved = FormatSettings();
        FormatSettings().DecimalSeparator = '.';
        FormatSettings().ThousandSeparator = ',';
        HostWidget.resize(200, 60);
        HostWidget.show();
    }
    void TearDown() override { FormatSettings() = FSaved; }

    template <class T>
    T* Make() {
        auto* e = new T(&HostWidget);
        e->setGeometry(10, 10, 120, 22);
        e->show();
        e->setFocus();
        QApplication::processEvents();
        return e;
    }
    static void Type(QWidget* W, const char* Text) { QTest::keyClicks(W, QString::fromLatin1(Text)); }
    static void Retype(QLineEdit* E, const char* Text) {
        E->selectAll();
        QTest::keyClick(E, Qt::Key_Backspace);
        Type(E, Text);
    }

    Host HostWidget;
    TFormatSettings FSaved;
};

TEST_F(NumEditTest, CharacterSetsAndFiltering) {
    EXPECT_EQ(ValidChars(true, false, false), "0123456789+");
    EXPECT_EQ(ValidChars(false, true, true), "0123456789+-.Ee#,");
    EXPECT_EQ(FilterChars("$#,##0.00 %", ValidChars(false, true, true)), "#,##0.00");
}

TEST_F(NumEditTest, NewControlShowsZeroAndIsNotYetValid) {
    auto* e = Make<TNumEdit>();
    EXPECT_EQ(e->text(), "0");
    EXPECT_EQ(e->Format(), "0");
    EXPECT_TRUE(e->IntegerMode());
    EXPECT_EQ(e->Value(), 0);
    EXPECT_FALSE(e->Valid());
}

TEST_F(NumEditTest, MinusOnlyWhenTheRangeAllowsNegatives) {
    auto* e = Make<TNumEdit>();
    Retype(e, "-5");
    EXPECT_EQ(e->text(), "-5");
    EXPECT_EQ(e->Value(), -5);
    e->SetMinValue(0);
    e->SetMaxValue(10);
    Retype(e, "-5");
    EXPECT_EQ(e->text(), "5");
    e->SetMinValue(-1);
    Retype(e, "-1");
    EXPECT_EQ(e->text(), "-1");
    EXPECT_TRUE(e->Valid());
}

// OnKeyPress sees only the characters the filter accepted, and may swallow
// or replace them.
TEST_F(NumEditTest, KeyPressSeesAcceptedCharactersOnly) {
    auto* e = Make<TNumEdit>();
    e->clear();
    std::u32string seen;
    e->OnKeyPress = [&](TObject*, char32_t& Key) {
        seen += Key;
        if (Key == U'9') Key = 0;
        if (Key == U'1') Key = U'7';
    };
    Type(e, "1a9x2");
    EXPECT_EQ(seen, U"192");
    EXPECT_EQ(e->text(), "72");
}

TEST_F(NumEditTest, EmptyTextIsZeroAndOutOfAnActiveRange) {
    auto* e = Make<TNumEdit>();
    e->SetValidColor(clBlack);
    e->SetMinValue(1);
    e->SetMaxValue(10);
    Retype(e, "5");
    EXPECT_TRUE(e->Valid());
    EXPECT_EQ(e->palette().color(QPalette::Text), QColor(Qt::black));
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Backspace);
    EXPECT_EQ(e->text(), "");
    EXPECT_EQ(e->Value(), 0);
    EXPECT_FALSE(e->Valid());
    EXPECT_EQ(e->palette().color(QPalette::Text), QColor(Qt::red));
    // A typed value outside the range stays as typed; a written one clamps.
    Retype(e, "50");
    EXPECT_EQ(e->Value(), 50);
    EXPECT_FALSE(e->Valid());
    e->SetMaxValue(100);  // re-validates the present text
    EXPECT_TRUE(e->Valid());
    e->SetValue(500);
    EXPECT_EQ(e->Value(), 100);
    EXPECT_EQ(e->text(), "100");
}

TEST_F(NumEditTest, EqualBoundsMeanNoRange) {
    auto* e = Make<TNumEdit>();
    e->SetMinValue(5);
    e->SetMaxValue(5);
    e->SetValue(100);
    EXPECT_EQ(e->Value(), 100);
    Retype(e, "-7");
    EXPECT_EQ(e->text(), "-7");
    EXPECT_TRUE(e->Valid());
}

TEST_F(NumEditTest, IntegerModeRoundsHalvesToEvenAndRefusesTheSeparator) {
    auto* e = Make<TNumEdit>();
    e->SetValue(2.5);
    EXPECT_EQ(e->Value(), 2);
    e->SetValue(3.5);
    EXPECT_EQ(e->Value(), 4);
    EXPECT_EQ(e->text(), "4");
    Retype(e, "1.5e3");
    EXPECT_EQ(e->text(), "153");
}

TEST_F(NumEditTest, FormatIsFilteredAndDecidesIntegerMode) {
    auto* e = Make<TSpinNumEdit>();
    e->SetFormat("$#,##0.00");
    EXPECT_EQ(e->Format(), "#,##0.00");
    EXPECT_FALSE(e->IntegerMode());
    EXPECT_DOUBLE_EQ(e->Increment(), 0.01);
    e->SetValue(1234.5);
    EXPECT_EQ(e->text(), "1,234.50");
    e->SetFormat("'abc';");
    EXPECT_EQ(e->Format(), "0");
    EXPECT_TRUE(e->IntegerMode());
    EXPECT_EQ(e->Increment(), 1);
    e->SetFormat("0.0#");
    EXPECT_DOUBLE_EQ(e->Increment(), 0.1);
    e->SetFormat("#,##0.000");
    EXPECT_DOUBLE_EQ(e->Increment(), 0.001);
}

TEST_F(NumEditTest, SameFormatAgainKeepsTheTextButResetsIncrement) {
    auto* e = Make<TSpinNumEdit>();
    e->SetFormat("0.00");
    Retype(e, "1.5");
    e->SetIncrement(5);
    e->SetFormat("0.00");
    EXPECT_EQ(e->text(), "1.5");
    EXPECT_DOUBLE_EQ(e->Increment(), 0.01);
}

TEST_F(NumEditTest, AtMostOneDecimalSeparatorCanBeTyped) {
    auto* e = Make<TNumEdit>();
    e->SetFormat("0.00");
    Retype(e, "1.2.3e");
    EXPECT_EQ(e->text(), "1.23");
    EXPECT_DOUBLE_EQ(e->Value(), 1.23);
    // A selected separator is replaced by the typing, so another may come.
    e->setSelection(1, 1);
    Type(e, ".");
    EXPECT_EQ(e->text(), "1.23");
    Retype(e, "2e5");
    EXPECT_EQ(e->Value(), 200000);
    EXPECT_TRUE(e->Valid());
}

TEST_F(NumEditTest, TextThatIsNotANumberIsInvalidNotFiltered) {
    auto* e = Make<TNumEdit>();
    Retype(e, "7");
    e->selectAll();
    e->insert("1a2");  // as a paste would put it
    EXPECT_FALSE(e->Valid());
    EXPECT_EQ(e->Value(), 7);
    e->selectAll();
    e->insert("1.5");  // no fraction in integer mode
    EXPECT_FALSE(e->Valid());
    EXPECT_EQ(e->Value(), 7);
    e->selectAll();
    e->insert("1,234");  // formatted text reads back
    EXPECT_TRUE(e->Valid());
    EXPECT_EQ(e->Value(), 1234);
    e->SetFormat("0.0");
    for (const char* bad : {"1+2", "--1", "1e", "1 2"}) {
        e->selectAll();
        e->insert(bad);
        EXPECT_FALSE(e->Valid()) << bad;
    }
    EXPECT_EQ(e->Value(), 1234);
}

TEST_F(NumEditTest, ClipboardUndoAndEnterKeysAreSwallowed) {
    auto* e = Make<TNumEdit>();
    Retype(e, "12");
    QApplication::clipboard()->setText("99");
    e->selectAll();
    QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(e, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(e, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(e, Qt::Key_Return);
    EXPECT_EQ(e->text(), "12");
    EXPECT_FALSE(HostWidget.Keys.contains(Qt::Key_Return));
}

TEST_F(NumEditTest, KeyDownClipboardFormsWorkAsInAnyLineEdit) {
    auto* e = Make<TNumEdit>();
    Retype(e, "12");
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Insert, Qt::ControlModifier);  // copy
    EXPECT_EQ(QApplication::clipboard()->text(), "12");
    QTest::keyClick(e, Qt::Key_Delete, Qt::ShiftModifier);  // cut
    EXPECT_EQ(e->text(), "");
    QApplication::clipboard()->setText("34");
    QTest::keyClick(e, Qt::Key_Insert, Qt::ShiftModifier);  // paste
    EXPECT_EQ(e->text(), "34");
    EXPECT_EQ(e->Value(), 34);
    EXPECT_TRUE(e->Valid());
    QApplication::clipboard()->setText("3x");
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(e->text(), "3x");
    EXPECT_FALSE(e->Valid());
}

TEST_F(NumEditTest, FormatsUseTheFormatLanguageUnderACommaLocale) {
    FormatSettings() = test::GermanFormatSettings();
    auto* e = Make<TSpinNumEdit>();
    e->SetFormat("#,##0.00");
    EXPECT_EQ(e->Format(), "#,##0.00");
    EXPECT_FALSE(e->IntegerMode());
    EXPECT_DOUBLE_EQ(e->Increment(), 0.01);
    e->SetValue(1234.5);
    EXPECT_EQ(e->text(), "1.234,50");
    Retype(e, "2.5");  // the point is not this locale's decimal separator
    EXPECT_EQ(e->text(), "25");
    Retype(e, "2,5");
    EXPECT_TRUE(e->Valid());
    EXPECT_DOUBLE_EQ(e->Value(), 2.5);
    e->SetFormat("0");
    EXPECT_TRUE(e->IntegerMode());
    e->SetFormat("0.0");
    EXPECT_FALSE(e->IntegerMode());
    EXPECT_EQ(e->text(), "2,5");
}

TEST_F(NumEditTest, ShiftArrowsStepWhilePlainArrowsGoToTheHost) {
    auto* e = Make<TSpinNumEdit>();
    e->SetValue(3);
    QTest::keyClick(e, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(e->Value(), 3);  // posted, not yet run
    QApplication::processEvents();
    EXPECT_EQ(e->Value(), 4);
    QTest::keyClick(e, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(e, Qt::Key_Down, Qt::ShiftModifier);
    QApplication::processEvents();
    EXPECT_EQ(e->Value(), 2);
    EXPECT_TRUE(HostWidget.Keys.isEmpty());
    QTest::keyClick(e, Qt::Key_Up);
    QTest::keyClick(e, Qt::Key_Down);
    QApplication::processEvents();
    EXPECT_EQ(e->Value(), 2);
    EXPECT_EQ(HostWidget.Keys, (QList<int>{Qt::Key_Up, Qt::Key_Down}));
}

TEST_F(NumEditTest, ArrowsStepAndStopAtTheRange) {
    auto* e = Make<TSpinNumEdit>();
    e->SetFormat("0.0");
    e->SetMinValue(0);
    e->SetMaxValue(1);
    e->SetValue(0.85);
    QScrollBar* bar = e->Arrows();
    const QPoint up(bar->width() / 2, 2), down(bar->width() / 2, bar->height() - 3);
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, up);
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, up);
    EXPECT_EQ(e->Value(), 1);
    EXPECT_EQ(e->text(), "1.0");
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, down);
    EXPECT_DOUBLE_EQ(e->Value(), 0.9);
    EXPECT_EQ(e->text(), "0.9");
}

}  // namespace
