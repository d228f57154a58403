// The style designer as a user adds, chooses and deletes styles.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "designer/color_box.h"
#include "designer/font_boxes.h"
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
    template <class T>
    T* Find(const char* Name) {
        T* w = Dialog.findChild<T*>(QString::fromLatin1(Name));
        EXPECT_NE(w, nullptr) << Name;
        return w;
    }
    void ShowPage(const char* Name) {
        Dialog.PageControl()->setCurrentWidget(Find<QWidget>(Name));
        QApplication::processEvents();
    }
    // A check box takes clicks on its box and caption only: click the box.
    void ClickBox(const char* Name) {
        auto* box = Find<QCheckBox>(Name);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
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
    EXPECT_TRUE(Dialog.AddButton()->isDefault());
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

TEST_F(StylerDesignerTest, ChoosingAStyleLoadsItIntoThePages) {
    // Nothing chosen: only the "Style" page can be shown.
    QTabWidget* pages = Dialog.PageControl();
    ASSERT_EQ(pages->tabText(0), QStringLiteral("Style"));
    EXPECT_EQ(pages->tabText(1), QStringLiteral("Control"));
    for (int i = 1; i < pages->count(); ++i) EXPECT_FALSE(pages->isTabEnabled(i)) << i;

    Money->SetColor(clYellow);
    Heading->Font()->SetStyle({fsBold});
    ClickLine(1);
    for (int i = 1; i < pages->count(); ++i) EXPECT_TRUE(pages->isTabEnabled(i)) << i;
    EXPECT_EQ(Find<QComboBox>("HAlign")->currentIndex(), 1);
    EXPECT_EQ(Find<TColorBox>("Colors")->SelectedColor(), clYellow);
    EXPECT_EQ(Find<TFontOutlineBox>("Outlines")->ItemIndex(), 0);
    // A named style is no cell: no "Based On", "Merged" or base-style colours.
    EXPECT_FALSE(pages->isTabVisible(pages->indexOf(Find<QWidget>("BasedOnPage"))));
    EXPECT_TRUE(Find<QCheckBox>("CBMerged")->isHidden());
    EXPECT_TRUE(Find<QWidget>("PanelGColor")->isHidden());
    EXPECT_TRUE(Dialog.Changes().IsEmpty());
    EXPECT_FALSE(Dialog.ApplyButton()->isEnabled());

    ClickLine(0);
    EXPECT_EQ(Find<QComboBox>("HAlign")->currentIndex(), 0);
    EXPECT_EQ(Find<TColorBox>("Colors")->SelectedColor(), clNone);
    EXPECT_EQ(Find<TFontOutlineBox>("Outlines")->ItemIndex(), 1);  // Bold
}

TEST_F(StylerDesignerTest, AppliedFillGoesToTheStyleAndItsCells) {
    TQvCell* cell = Sheet.NeedCell(1, 1);
    cell->SetStyle(Money);
    const TQvProps before = Money->Assigned();
    ClickLine(1);
    ShowPage("ColorPage");
    auto* colors = Find<TColorBox>("Colors");
    QTest::mouseClick(colors, Qt::LeftButton, {}, SwatchRect(colors->size(), 13).center());
    const TColor chosen = colors->SelectedColor();
    ASSERT_NE(chosen, clNone);
    // Pending, and shown under " Includes " before it is applied.
    EXPECT_TRUE(Checked("Color"));
    EXPECT_FALSE(Money->Assigned().Has(piColor));

    QTest::mouseClick(Dialog.ApplyButton(), Qt::LeftButton);
    TQvProps expected = before;
    expected.Include(piColor);
    EXPECT_EQ(Money->Assigned().Bits, expected.Bits);
    EXPECT_EQ(Money->Color(), chosen);
    EXPECT_EQ(Money->Layout().HAlign, 1);
    EXPECT_EQ(cell->Color(), chosen);
    EXPECT_TRUE(Checked("Color"));  // now assigned
    EXPECT_FALSE(Dialog.ApplyButton()->isEnabled());

    // "Hidden" alone: OK stores only Showing.
    ClickLine(0);
    ShowPage("LayoutPage");
    ClickBox("Hidden");
    // Enter is OK on the pages after "Style".
    QTest::keyClick(Find<QCheckBox>("Hidden"), Qt::Key_Return);
    EXPECT_EQ(Dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(Heading->Showing());
    EXPECT_EQ(Heading->Assigned().Bits, 1 << piShowing);
}

TEST_F(StylerDesignerTest, IncludesShowAPendingFontAndCancelStoresNothing) {
    ClickLine(0);
    EXPECT_FALSE(Checked("Font"));
    ShowPage("FontPage");
    ClickBox("Underline");
    EXPECT_TRUE(Checked("Font"));
    EXPECT_TRUE(Dialog.ApplyButton()->isEnabled());

    // Choosing another style discards the pending change.
    ClickLine(1);
    ClickLine(0);
    EXPECT_FALSE(Checked("Font"));
    EXPECT_FALSE(Dialog.ApplyButton()->isEnabled());

    ClickBox("Underline");
    QTest::mouseClick(Find<QPushButton>("Cancel"), Qt::LeftButton);
    EXPECT_EQ(Dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(Heading->Assigned().IsEmpty());
    EXPECT_FALSE(Heading->Font()->Style().Contains(fsUnderline));

    // A click on a box only enables Apply; the boxes follow the pages again
    // at the next change.
    Dialog.show();
    ClickLine(1);
    QListWidgetItem* color = Dialog.IncludesList()->item(piColor);
    color->setCheckState(Qt::Checked);
    EXPECT_TRUE(Dialog.ApplyButton()->isEnabled());
    EXPECT_FALSE(Money->Assigned().Has(piColor));
    Dialog.SetChanges({});
    EXPECT_FALSE(Checked("Color"));
    EXPECT_TRUE(Checked("Layout"));
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

// A long list of short names scrolls only downwards; the Font page's
// colour controls show their right edge.
TEST_F(StylerDesignerTest, TheStyleListScrollsOnlyDownwardsAndTheFontPageShowsItsEdges) {
    for (int i = 0; i < 30; ++i) Styler.AddStyle("Style " + std::to_string(i));
    Dialog.SetStyler(nullptr);
    Dialog.SetStyler(&Styler);
    QApplication::processEvents();
    QListView* list = Dialog.StylesBox()->ListControl();
    EXPECT_TRUE(list->verticalScrollBar()->isVisible());
    EXPECT_FALSE(list->horizontalScrollBar()->isVisible());

    ClickLine(1);
    ShowPage("FontPage");
    // The colour panel and the sample are outlined on their right edge too,
    // not in the light colour that vanishes against the page.
    QWidget* page = Find<QWidget>("FontPage");
    const QColor back = page->palette().color(QPalette::Window);
    for (const char* name : {"PanelTColor", "PanelPreview"}) {
        auto* w = Find<QWidget>(name);
        const QImage shot = w->grab().toImage();
        const QColor edge = shot.pixelColor(shot.width() - 1, shot.height() / 2);
        EXPECT_LT(edge.lightness(), back.lightness() - 24) << name << " " << edge.name().toStdString();
    }
}
