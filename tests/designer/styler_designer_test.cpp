// The style designer as a user adds, chooses and deletes styles.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "designer/pick_box.h"
#include "designer/styler_designer.h"
#include "grids/cell.h"
#include "grids/sheet.h"
#include "grids/style.h"
#include "grids/styler.h"
#include "platform/font.h"
#include "platform/message_box.h"

using namespace qv;

namespace {

class StylerDesignerTest : public ::testing::Test {
protected:
    void SetUp() override {
        Styler.SetName("QvStyler1");
        Sheet.SetStyler(&Styler);
        Heading = Styler.AddStyle("Heading");
        Money = Styler.AddStyle("Money");
        Money->SetHAlign(1);
        Dialog.SetStyler(&Styler);
        Dialog.show();
    }
    void TearDown() override { SetEditCellsHook({}); }

    QLineEdit* Edit() { return Dialog.StylesBox()->EditControl(); }
    // The edit shows the first style's name at first: the user replaces it.
    void Retype(const QString& Text) {
        Edit()->selectAll();
        QTest::keyClick(Edit(), Qt::Key_Backspace);
        QTest::keyClicks(Edit(), Text);
    }
    void ClickLine(int Row) {
        QListView* list = Dialog.StylesBox()->ListControl();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                          list->visualRect(list->model()->index(Row, 0)).center());
    }
    bool Checked(const char* Name) {
        const auto items = Dialog.IncludesList()->findItems(QString::fromLatin1(Name), Qt::MatchExactly);
        return items.size() == 1 && items[0]->checkState() == Qt::Checked;
    }

    TQvStyler Styler;
    TQvSheet Sheet;
    TQvStyle* Heading = nullptr;
    TQvStyle* Money = nullptr;
    TQvStylerDesigner Dialog;
};

TEST_F(StylerDesignerTest, OpensWithFirstStyleSelectedButNothingEdited) {
    EXPECT_EQ(Dialog.StylesBox()->Count(), 2);
    EXPECT_EQ(Dialog.StylesBox()->ItemIndex(), 0);
    EXPECT_EQ(Dialog.windowTitle(), QStringLiteral("No Object Selected"));
    EXPECT_FALSE(Dialog.AddButton()->isEnabled());
    EXPECT_FALSE(Dialog.DeleteButton()->isEnabled());
    EXPECT_FALSE(Dialog.ApplyButton()->isEnabled());
    EXPECT_FALSE(Dialog.IncludesGroup()->isVisible());
    EXPECT_EQ(Dialog.PageControl()->currentWidget()->objectName(), QStringLiteral("Style"));
    for (const char* name : {"Styles", "BAdd", "BDelete", "GroupIncludes", "CBProps", "OK", "Cancel", "Apply"})
        EXPECT_NE(Dialog.findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;

    ClickLine(1);
    EXPECT_EQ(Dialog.Pro(), Money);
    EXPECT_EQ(Dialog.windowTitle(), QStringLiteral("QvStyler1.Styles[1] Properties"));
    EXPECT_TRUE(Dialog.DeleteButton()->isEnabled());
    EXPECT_FALSE(Dialog.AddButton()->isEnabled());
    EXPECT_TRUE(Dialog.IncludesGroup()->isVisible());
    EXPECT_TRUE(Checked("Layout"));
    EXPECT_FALSE(Checked("Font"));
}

TEST_F(StylerDesignerTest, TypedNewNameIsAddedWithEnter) {
    Retype(QStringLiteral("Total"));
    EXPECT_TRUE(Dialog.AddButton()->isEnabled());
    EXPECT_FALSE(Dialog.DeleteButton()->isEnabled());
    EXPECT_EQ(Dialog.Pro(), nullptr);
    QTest::keyClick(Edit(), Qt::Key_Return);
    ASSERT_EQ(Styler.Count(), 3);
    TQvStyle* total = Styler.FindStyle("Total");
    ASSERT_NE(total, nullptr);
    EXPECT_EQ(Dialog.StylesBox()->Count(), 3);
    EXPECT_EQ(Dialog.SelectedStyle(), total);
    EXPECT_EQ(Dialog.Pro(), total);
    EXPECT_TRUE(Dialog.DeleteButton()->isEnabled());
    EXPECT_FALSE(Dialog.AddButton()->isEnabled());
}

TEST_F(StylerDesignerTest, ExistingNameInOtherCaseSelectsItsStyle) {
    Retype(QStringLiteral("MONEY"));
    EXPECT_EQ(Dialog.SelectedStyle(), Money);
    EXPECT_TRUE(Dialog.DeleteButton()->isEnabled());
    EXPECT_FALSE(Dialog.AddButton()->isEnabled());
    QTest::keyClick(Edit(), Qt::Key_Return);
    EXPECT_EQ(Styler.Count(), 2);
}

TEST_F(StylerDesignerTest, DeleteAsksAndCancelKeepsTheStyle) {
    TQvCell* cell = Sheet.NeedCell(1, 1);
    cell->SetStyle(Money);
    TRecordingMessageService answers;
    TMessageServiceScope scope(answers);
    ClickLine(1);

    answers.QueueAnswer(idCancel);
    QTest::mouseClick(Dialog.DeleteButton(), Qt::LeftButton);
    ASSERT_EQ(answers.Messages().size(), 1u);
    EXPECT_EQ(answers.Messages()[0].Caption, "QvStyler Designer");
    EXPECT_EQ(answers.Messages()[0].Text, "Are you sure to delete style named Money?");
    EXPECT_EQ(answers.Messages()[0].Buttons, mbOKCancel);
    EXPECT_EQ(answers.Messages()[0].Icon, miQuestion);
    EXPECT_EQ(Styler.Count(), 2);
    EXPECT_EQ(Dialog.Pro(), Money);

    answers.QueueAnswer(idOk);
    QTest::mouseClick(Dialog.DeleteButton(), Qt::LeftButton);
    EXPECT_EQ(Styler.Count(), 1);
    EXPECT_EQ(Styler.FindStyle("Money"), nullptr);
    EXPECT_EQ(cell->GetStyle(), nullptr);
    EXPECT_EQ(Dialog.StylesBox()->Count(), 1);
    EXPECT_EQ(Dialog.Pro(), nullptr);
    EXPECT_EQ(Dialog.windowTitle(), QStringLiteral("No Object Selected"));
    EXPECT_FALSE(Dialog.DeleteButton()->isEnabled());
    EXPECT_FALSE(Dialog.IncludesGroup()->isVisible());
}

TEST_F(StylerDesignerTest, IncludesShowPendingAndAssignedProperties) {
    ClickLine(0);
    EXPECT_FALSE(Checked("Font"));
    TQvProps pending;
    pending.Include(piFont);
    Dialog.SetChanges(pending);  // what a page reports when the font is changed
    EXPECT_TRUE(Checked("Font"));
    EXPECT_TRUE(Dialog.ApplyButton()->isEnabled());
    Dialog.Apply();
    EXPECT_FALSE(Checked("Font"));  // nothing stored the font
    EXPECT_FALSE(Dialog.ApplyButton()->isEnabled());

    // A click on a box only enables Apply.
    QListWidgetItem* color = Dialog.IncludesList()->item(piColor);
    color->setCheckState(Qt::Checked);
    EXPECT_TRUE(Dialog.ApplyButton()->isEnabled());
    EXPECT_FALSE(Heading->Assigned().Has(piColor));
    Dialog.SetChanges({});
    EXPECT_FALSE(Checked("Color"));
}

TEST_F(StylerDesignerTest, FormatOpensTheCellsEditorOnTheChosenStyle) {
    EXPECT_FALSE(Dialog.FormatButton()->isEnabled());
    TQvPro* edited = nullptr;
    SetEditCellsHook([&](TQvPro* Pro, QWidget*) {
        edited = Pro;
        Pro->Font()->SetName("DejaVu Serif");
        return true;
    });
    ClickLine(0);
    ASSERT_TRUE(Dialog.FormatButton()->isEnabled());
    QTest::mouseClick(Dialog.FormatButton(), Qt::LeftButton);
    EXPECT_EQ(edited, Heading);
    EXPECT_TRUE(Checked("Font"));
}

TEST(StylerDesignerNoStylerTest, AddStaysDisabledWithoutStyler) {
    TQvStylerDesigner dialog;
    dialog.show();
    QTest::keyClicks(dialog.StylesBox()->EditControl(), QStringLiteral("Any"));
    EXPECT_FALSE(dialog.AddButton()->isEnabled());
    QTest::keyClick(dialog.StylesBox()->EditControl(), Qt::Key_Return);
    EXPECT_EQ(dialog.StylesBox()->Count(), 0);
}

TEST(EditStylesTest, ReturnsWhetherTheDialogClosedWithOK) {
    TQvStyler styler;
    styler.AddStyle("A");
    for (const char* button : {"Cancel", "OK"}) {
        QTimer::singleShot(0, [button] {
            QWidget* dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            QTest::mouseClick(dialog->findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
        });
        EXPECT_EQ(EditStyles(&styler), QByteArray(button) == "OK") << button;
    }
    EXPECT_EQ(styler.Count(), 1);
}

}  // namespace
