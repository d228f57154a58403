// The Format Cells dialog on real sets: a selection of a sheet, a named
// style and a base style. The dialog is driven with QTest input on its own
// controls and never run modally, except once, closed from a timer.
#include "designer/cell_designer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "cells/double_cell.h"
#include "cells/integer_cell.h"
#include "designer/color_box.h"
#include "designer/color_dialog.h"
#include "designer/color_panel.h"
#include "designer/font_boxes.h"
#include "designer/pick_box.h"
#include "designer/popup_panel.h"
#include "grids/base_style.h"
#include "grids/section.h"
#include "grids/selection.h"
#include "grids/sheet.h"
#include "grids/style.h"
#include "grids/styler.h"
#include "platform/message_box.h"
#include "platform/stream.h"

using namespace qv;

namespace {

struct TFakePane : IQvSelectionOwner {
    TQvSection* Sec = nullptr;
    TRect Rect;
    TQvSection* SelectionSection() const override { return Sec; }
    TRect SelectionRect() const override { return Rect; }
    void SelectRect(const TRect& R) override { Rect = R; }
    void SelectionChanged() override {}
};

class CellDesignerTest : public ::testing::Test {
protected:
    void SetUp() override {
        Sheet.SetColCount(10);
        Sheet.SetRowCount(10);
        Pane.Sec = Client();
    }
    void TearDown() override { SharedColorPalette() = DefaultColorPalette(); }

    TQvSection* Client() { return Sheet.Sections(skClient); }
    TQvSelection& Select(const TRect& R) {
        Pane.Rect = R;
        Sel.Load();
        return Sel;
    }
    TQvLineInfo Line(const TRect& R, int Index) {
        TFakePane pane;
        pane.Sec = Client();
        pane.Rect = R;
        TQvSelection s(&pane);
        s.Load();
        return s.Border(Index);
    }
    std::string SheetBytes() {
        TMemoryStream s;
        Sheet.WriteData(s);
        return s.Bytes();
    }
    // The dialog, shown (not modally) on P.
    TQvCellDesigner& Open(TQvPro* P) {
        Dialog = std::make_unique<TQvCellDesigner>();
        Dialog->SetPro(P);
        Dialog->show();
        QApplication::processEvents();
        return *Dialog;
    }
    template <class T>
    T* Find(const char* Name) {
        T* w = Dialog->findChild<T*>(Name);
        EXPECT_NE(w, nullptr) << Name;
        return w;
    }
    void ShowPage(const char* Name) {
        auto* pages = Dialog->PageControl();
        pages->setCurrentWidget(Dialog->findChild<QWidget*>(Name));
        QApplication::processEvents();
    }
    // A check box takes clicks on its box and caption only: click the box.
    void Click(const char* Name) {
        QAbstractButton* b = Find<QAbstractButton>(Name);
        const QPoint at = qobject_cast<QCheckBox*>(b) ? QPoint(8, b->height() / 2) : b->rect().center();
        QTest::mouseClick(b, Qt::LeftButton, {}, at);
    }
    // Clicks swatch Index of a colour box.
    static void ClickSwatch(TColorBox* Box, int Index) {
        QTest::mouseClick(Box, Qt::LeftButton, {}, SwatchRect(Box->size(), Index).center());
    }
    int Changes() const { return Dialog->Changes().Bits; }

    TQvSheet Sheet;
    TFakePane Pane;
    TQvSelection Sel{&Pane};
    std::unique_ptr<TQvCellDesigner> Dialog;
    TRecordingMessageService Messages;
    TMessageServiceScope MessageScope{Messages};
};

}  // namespace

TEST_F(CellDesignerTest, WithoutASetNothingCanBeEdited) {
    Open(nullptr);
    EXPECT_EQ(Dialog->windowTitle(), "No Object Selected");
    QTabWidget* pages = Dialog->PageControl();
    for (int i = 0; i < pages->count(); ++i) EXPECT_FALSE(pages->isTabEnabled(i)) << i;
    EXPECT_FALSE(Dialog->ApplyButton()->isEnabled());
    EXPECT_TRUE(Dialog->Apply());
}

TEST_F(CellDesignerTest, OpensOnItsFirstPageAndStaysWhereItIsWithoutASet) {
    Open(nullptr);
    EXPECT_EQ(Dialog->PageControl()->currentIndex(), 0);
    Dialog->SetPro(&Select({0, 0, 1, 1}));
    ShowPage("LayoutPage");
    Dialog->SetPro(nullptr);
    EXPECT_EQ(Dialog->PageControl()->currentWidget()->objectName(), "LayoutPage");
}

TEST_F(CellDesignerTest, TheMaskListHighlightsOnlyTheMaskShown) {
    TQvCell* c = Client()->NeedCellOfClass({0, 0}, TQvCInteger::StaticClass());
    c->SetFormat("#,##0");
    Open(&Select({0, 0, 1, 1}));
    auto* masks = Find<TPickBox>("CellFormats");
    EXPECT_EQ(masks->Text(), "#,##0");
    EXPECT_EQ(masks->ItemIndex(), -1);
    c->SetFormat("0");
    Dialog->SetPro(&Select({0, 0, 1, 1}));
    EXPECT_EQ(masks->ItemIndex(), 0);
}

TEST_F(CellDesignerTest, OneCellShowsMergedAndInnerLinesDisabled) {
    Open(&Select({2, 3, 3, 4}));
    EXPECT_EQ(Dialog->windowTitle(), "Cell [2, 3] Properties");
    EXPECT_FALSE(Find<QCheckBox>("CBMerged")->isHidden());
    EXPECT_FALSE(Find<QCheckBox>("CBMerged")->isEnabled());
    EXPECT_FALSE(Find<QToolButton>("LineHInternal")->isEnabled());
    EXPECT_FALSE(Find<QToolButton>("LineVInternal")->isEnabled());
    // The hidden controls of a base style, and no styler: no "Based On".
    EXPECT_TRUE(Find<QWidget>("PanelEColor")->isHidden());
    EXPECT_TRUE(Find<QWidget>("PanelGColor")->isHidden());
    EXPECT_FALSE(Dialog->PageControl()->isTabVisible(5));
    EXPECT_EQ(Changes(), 0);
    EXPECT_FALSE(Dialog->ApplyButton()->isEnabled());
}

TEST_F(CellDesignerTest, OkWithoutTouchingAnythingChangesNothing) {
    Client()->NeedCell({0, 0})->SetAsString("top");
    Client()->NeedCell({1, 1})->Font()->SetSize(14);
    Select({0, 0, 3, 2}).SetBorder(liTop, {lsDouble, clRed});
    Select({1, 0, 2, 1}).SetBorder(liBottom, {lsSingle, clBlue});  // one inner line of several
    Select({1, 0, 2, 1}).SetBorder(liBias1, {lsSingle, clBlack});
    Client()->Merge({0, 1, 2, 2});
    const std::string before = SheetBytes();

    Open(&Select({0, 0, 3, 2}));
    EXPECT_EQ(Find<QCheckBox>("CBMerged")->checkState(), Qt::PartiallyChecked);
    EXPECT_TRUE(Find<QToolButton>("LineHInternal")->isEnabled());
    EXPECT_TRUE(Find<QToolButton>("LineVInternal")->isEnabled());
    Click("OK");
    EXPECT_EQ(Dialog->result(), QDialog::Accepted);
    EXPECT_EQ(SheetBytes(), before);
}

TEST_F(CellDesignerTest, OnlyTouchedItemsAreStored) {
    TQvStyler styler;
    TQvStyle* style = styler.AddStyle("Plain");
    Open(style);
    EXPECT_EQ(Dialog->windowTitle().toStdString(), style->GetNamePath() + " Properties");
    // A named style shows neither "Merged" nor the base-style colours.
    EXPECT_TRUE(Find<QCheckBox>("CBMerged")->isHidden());
    EXPECT_TRUE(Find<QWidget>("PanelEColor")->isHidden());
    ShowPage("LayoutPage");
    Click("Protect");
    EXPECT_EQ(Changes(), 1 << TQvCellDesigner::itProtect);
    EXPECT_TRUE(Dialog->ApplyButton()->isEnabled());
    Click("Apply");
    EXPECT_EQ(Changes(), 0);
    EXPECT_FALSE(Dialog->ApplyButton()->isEnabled());
    // A style records every property it is given: only Protect was.
    EXPECT_EQ(style->Assigned().Bits, 1 << piProtect);
    EXPECT_TRUE(style->Protected());

    // Typing an indent moves the position without marking the layout; the
    // arrows mark it, and the typed value is stored with it.
    QLineEdit* indent = Find<QLineEdit>("IndentEdit");
    indent->selectAll();
    QTest::keyClicks(indent, "12");
    EXPECT_EQ(Changes(), 0);
    QTest::keyClick(indent, Qt::Key_Up);
    EXPECT_EQ(Changes(), 1 << TQvCellDesigner::itLayout);
    Click("OK");
    EXPECT_EQ(style->Layout().Indent, 13);
}

TEST_F(CellDesignerTest, ChoosingAClassStoresItsFirstEditorAndFormat) {
    Client()->NeedCell({0, 0});
    Open(&Select({0, 0, 2, 1}));
    ShowPage("ControlPage");
    EXPECT_TRUE(Find<QWidget>("PanelFormat")->isHidden());  // text has no formats
    auto* classes = Find<QListWidget>("CellClasses");
    auto items = classes->findItems("TQvCDouble", Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1);
    QTest::mouseClick(classes->viewport(), Qt::LeftButton, {}, classes->visualItemRect(items[0]).center());
    EXPECT_EQ(Dialog->ChosenClass(), TQvCDouble::StaticClass());
    EXPECT_TRUE(Dialog->EditorTouched() && Dialog->FormatTouched());
    EXPECT_FALSE(Find<QWidget>("PanelFormat")->isHidden());
    EXPECT_EQ(Find<TPickBox>("CellFormats")->Text(), "0.00");
    Click("OK");
    for (int x = 0; x < 2; ++x) {
        TQvCell* c = Client()->FindCell({x, 0});
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->ClassType(), TQvCDouble::StaticClass());
        EXPECT_EQ(c->Format(), "0.00");
        EXPECT_EQ(c->EditorIndex(), 0);
    }
}

TEST_F(CellDesignerTest, FormatSampleFollowsTheTypedMask) {
    auto* c = Client()->NeedCellOfClass({0, 0}, TQvCDouble::StaticClass());
    c->SetAsFloat(1234.567);
    c->SetFormat("0.00");
    Open(&Select({0, 0, 1, 1}));
    ShowPage("ControlPage");
    auto* sample = Find<QLineEdit>("FormatSample");
    EXPECT_EQ(sample->text(), "1234.57");
    QLineEdit* mask = Find<TPickBox>("CellFormats")->EditControl();
    mask->selectAll();
    QTest::keyClicks(mask, "#,##0.0");
    EXPECT_EQ(sample->text(), "1,234.6");
    EXPECT_TRUE(Dialog->FormatTouched());
    Click("OK");
    EXPECT_EQ(c->Format(), "#,##0.0");

    // A style has no value of its own: a sample number stands in.
    TQvStyler styler;
    TQvStyle* style = styler.AddStyle("Money");
    style->SetCellClass(TQvCDouble::StaticClass());
    style->SetFormat("0.0");
    Open(style);
    EXPECT_EQ(Find<QLineEdit>("FormatSample")->text(), "1234.6");

    // A value the chosen class cannot read shows why instead of a sample.
    Client()->NeedCell({5, 5})->SetAsString("abc");
    Open(&Select({5, 5, 6, 6}));
    auto* classes = Find<QListWidget>("CellClasses");
    classes->setCurrentItem(classes->findItems("TQvCDateTime", Qt::MatchExactly).value(0));
    EXPECT_TRUE(Find<QLineEdit>("FormatSample")->text().startsWith("Could not convert"))
        << Find<QLineEdit>("FormatSample")->text().toStdString();
}

TEST_F(CellDesignerTest, ExternalWithMediumSetsOnlyTheOuterLines) {
    // Inner lines that differ along the range, and a diagonal in one cell.
    Select({1, 1, 2, 2}).SetBorder(liRight, {lsSingle, clBlue});
    Select({1, 1, 2, 2}).SetBorder(liBias1, {lsSingle, clBlack});
    const TQvLineInfo innerBefore = Line({2, 1, 3, 2}, liLeft);
    Open(&Select({0, 0, 3, 3}));
    ShowPage("BorderPage");
    Click("Medium");
    // The line colour comes from the pop-up under the colour panel.
    auto* panel = Find<TColorPanel>("PanelLColor");
    QTest::mouseClick(Find<QToolButton>("BLColor"), Qt::LeftButton);
    auto* popup = Find<TPopupPanel>("ColorPopup");
    ASSERT_TRUE(popup->isVisible());
    auto* colors2 = Find<TColorBox>("Colors2");
    ClickSwatch(colors2, 16);  // red
    EXPECT_FALSE(popup->isVisible());
    EXPECT_EQ(panel->Color(), clRed);
    EXPECT_EQ(Dialog->LineColor(), clRed);

    Click("External");
    EXPECT_TRUE(Find<QToolButton>("LineLeft")->isChecked());
    EXPECT_EQ(Changes(), 1 << TQvCellDesigner::itBorder);
    Click("OK");
    const TRect all{0, 0, 3, 3};
    for (int i : {liLeft, liTop, liRight, liBottom}) EXPECT_EQ(Line(all, i), (TQvLineInfo{lsMedium, clRed})) << i;
    EXPECT_EQ(Line({2, 1, 3, 2}, liLeft), innerBefore);
    EXPECT_EQ(Line({2, 1, 3, 2}, liLeft), (TQvLineInfo{lsSingle, clBlue}));
    EXPECT_EQ(Line({0, 1, 1, 2}, liRight), TQvLineInfo{});
    bool uniform = false;
    EXPECT_EQ(UnpackLine(Client()->GetLine(tbBias1, 1, 1, 1, uniform)), (TQvLineInfo{lsSingle, clBlack}));
}

TEST_F(CellDesignerTest, PreviewClicksSetAndDoubleClicksRemoveLines) {
    Select({0, 0, 1, 1}).SetBorder(liLeft, {lsSingle, clBlack});
    Open(&Select({0, 0, 1, 1}));
    ShowPage("BorderPage");
    auto* box = Find<TBorderPreview>("BordersBox");
    QTest::mouseDClick(box, Qt::LeftButton, {}, QPoint(4, 45));
    EXPECT_EQ(Dialog->Lines()[liLeft].Style, lsNone);
    EXPECT_FALSE(Find<QToolButton>("LineLeft")->isChecked());
    Click("Double");
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, 45));
    EXPECT_EQ(Dialog->Lines()[liLeft], (TQvLineInfo{lsDouble, clBlack}));
    EXPECT_TRUE(Find<QToolButton>("LineLeft")->isChecked());
    // The middle is an inner line only where the range has one.
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() / 2, box->height() / 2));
    EXPECT_EQ(Dialog->Lines()[liVInternal].Style, lsNone);
    EXPECT_EQ(box->LineAt({box->width() - 5, 45}), liRight);
    EXPECT_EQ(box->LineAt({60, 85}), liBottom);
    // The right button does nothing.
    QTest::mouseClick(box, Qt::RightButton, {}, QPoint(60, 4));
    EXPECT_EQ(Dialog->Lines()[liTop].Style, lsNone);
    // One cell has no inner lines to set.
    Click("All Borders");
    EXPECT_EQ(Dialog->Lines()[liTop].Style, lsDouble);
    EXPECT_EQ(Dialog->Lines()[liHInternal].Style, lsNone);
    EXPECT_EQ(Dialog->Lines()[liVInternal].Style, lsNone);
    Click("No Border");
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, 45));
    Click("OK");
    EXPECT_EQ(Line({0, 0, 1, 1}, liLeft), (TQvLineInfo{lsDouble, clBlack}));

    // A range shows and takes its inner lines.
    Open(&Select({0, 0, 2, 2}));
    ShowPage("BorderPage");
    box = Find<TBorderPreview>("BordersBox");
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() / 2 + 2, 30));
    EXPECT_EQ(Dialog->Lines()[liVInternal].Style, lsSingle);
    // The pixels of the preview: the new inner line is drawn in black.
    const QImage image = box->grab().toImage();
    EXPECT_EQ(image.pixelColor(box->width() / 2, 30), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(box->width() / 4, 30), QColor(Qt::white));
}

TEST_F(CellDesignerTest, AutoStoresNoFill) {
    Select({0, 0, 2, 2}).SetColor(clYellow);
    Open(&Select({0, 0, 2, 2}));
    ShowPage("ColorPage");
    auto* colors = Find<TColorBox>("Colors");
    EXPECT_EQ(colors->SelectedColor(), clYellow);
    EXPECT_FALSE(Find<QToolButton>("AutoColor")->isChecked());
    Click("AutoColor");
    EXPECT_TRUE(Find<QToolButton>("AutoColor")->isChecked());
    EXPECT_EQ(colors->ActiveIndex(), -1);
    EXPECT_EQ(Changes(), 1 << TQvCellDesigner::itColor);
    Click("OK");
    EXPECT_EQ(Select({1, 1, 2, 2}).Color(), clNone);
    bool assigned = false;
    EXPECT_EQ(Sel.GetLine(liFillColor, assigned), 0u);

    // A double click edits the swatch's palette entry, which becomes the fill.
    Open(&Select({0, 0, 1, 1}));
    ShowPage("ColorPage");
    colors = Find<TColorBox>("Colors");
    const TColor custom = RGB(10, 20, 30);
    TColorDialogHook previous = SetColorDialogHook([&](TColor& C, QWidget*) {
        EXPECT_EQ(C, colors->PaletteColor(3));
        C = custom;
        return true;
    });
    QTest::mouseDClick(colors, Qt::LeftButton, {}, SwatchRect(colors->size(), 3).center());
    SetColorDialogHook(previous);
    EXPECT_EQ(colors->SelectedColor(), custom);
    Click("OK");
    EXPECT_EQ(Select({0, 0, 1, 1}).Color(), custom);
}

TEST_F(CellDesignerTest, BaseStyleShowsItsColoursAndHidesCellControls) {
    Sheet.SetName("Sheet1");
    TQvBaseStyle* base = Sheet.BaseClientStyle();
    Open(base);
    EXPECT_EQ(Dialog->windowTitle(), "Sheet1.BaseClientStyle Properties");
    EXPECT_TRUE(Find<QCheckBox>("CBMerged")->isHidden());
    EXPECT_FALSE(Dialog->PageControl()->isTabVisible(5));
    for (const char* name : {"PanelEColor", "PanelError", "PanelGColor", "BEColor", "BGColor"})
        EXPECT_FALSE(Find<QWidget>(name)->isHidden()) << name;
    EXPECT_EQ(Find<TColorPanel>("PanelEColor")->Color(), base->ErrorColor());
    EXPECT_EQ(Find<TColorPanel>("PanelGColor")->Color(), base->GridColor());
    EXPECT_EQ(Find<TFontBox>("Fonts")->Text(), "MS Sans Serif");  // not installed, still named

    ShowPage("BorderPage");
    QTest::mouseClick(Find<QToolButton>("BGColor"), Qt::LeftButton);
    ClickSwatch(Find<TColorBox>("Colors2"), 13);  // blue
    EXPECT_EQ(Changes(), 1 << TQvCellDesigner::itBaseColors);
    Click("OK");
    EXPECT_EQ(base->GridColor(), clBlue);
    EXPECT_EQ(base->ErrorColor(), clRed);

    Open(Sheet.BaseTitleStyle());
    EXPECT_TRUE(Dialog->windowTitle().endsWith(".BaseTitleStyle Properties"));
}

TEST_F(CellDesignerTest, BasedOnListsTheStylesAndTheirProperties) {
    TQvStyler styler;
    Sheet.SetStyler(&styler);
    TQvStyle* bold = styler.AddStyle("Bold");
    bold->Font()->SetStyle({fsBold});
    styler.AddStyle("Framed")->SetFrame(frFlatUp);
    Open(&Select({0, 0, 1, 1}));
    ASSERT_TRUE(Dialog->PageControl()->isTabVisible(5));
    ShowPage("BasedOnPage");
    auto* list = Find<QListWidget>("LBStyles");
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(0)->text(), "[Default Base Style]");
    EXPECT_EQ(list->currentRow(), 0);
    auto* props = Find<QListWidget>("CBStyleProps");
    EXPECT_FALSE(props->isEnabled());
    for (int i = 0; i < 8; ++i) EXPECT_EQ(props->item(i)->checkState(), Qt::Checked);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
    for (int i = 0; i < 8; ++i) EXPECT_EQ(props->item(i)->checkState() == Qt::Checked, i == piFont) << i;
    EXPECT_EQ(Changes(), 1 << TQvCellDesigner::itStyle);
    Click("OK");
    EXPECT_EQ(Client()->FindCell({0, 0})->GetStyle(), bold);

    // A style with a frame and a fill shows them on the cells it is chosen
    // for.
    TQvStyle* framed = styler.Styles(1);
    framed->SetColor(clAqua);
    Open(&Select({0, 0, 1, 1}));
    ShowPage("BasedOnPage");
    list = Find<QListWidget>("LBStyles");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(2)).center());
    Click("OK");
    TQvCell* c = Client()->FindCell({0, 0});
    EXPECT_EQ(c->GetStyle(), framed);
    EXPECT_EQ(c->Frame() & 0x7F, frFlatUp);
    EXPECT_EQ(c->Color(), clAqua);
}

TEST_F(CellDesignerTest, AFailingSetterIsReportedAndKeepsTheChanges) {
    TQvStyler styler, other;
    Sheet.SetStyler(&styler);
    styler.AddStyle("Gone");
    Open(&Select({0, 0, 1, 1}));
    ShowPage("LayoutPage");
    Click("Protect");
    ShowPage("BasedOnPage");
    auto* list = Find<QListWidget>("LBStyles");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
    // The style's styler is no longer the sheet's when OK is pressed.
    Sheet.SetStyler(&other);
    const int pending = Changes();
    Click("OK");
    ASSERT_EQ(Messages.Messages().size(), 1u);
    EXPECT_EQ(Messages.Messages()[0].Text, "Cannot use Style from disconnected Styler!");
    EXPECT_EQ(Messages.Messages()[0].Icon, miError);
    EXPECT_EQ(Changes(), pending);
    EXPECT_TRUE(Dialog->isVisible());  // still open on what was typed
    EXPECT_TRUE(Client()->FindCell({0, 0})->Protected());  // stored before the failure
}

TEST_F(CellDesignerTest, FontPageStoresTheChosenFontWithEffectsAndColour) {
    Client()->NeedCell({0, 0})->Font()->SetName("Liberation Serif");
    Client()->NeedCell({1, 0})->Font()->SetSize(14);
    Open(&Select({0, 0, 2, 1}));
    ShowPage("FontPage");
    Click("Underline");
    QTest::mouseClick(Find<QToolButton>("BTColor"), Qt::LeftButton);
    ClickSwatch(Find<TColorBox>("Colors2"), 16);
    EXPECT_EQ(Changes(), 1 << TQvCellDesigner::itFont);
    EXPECT_EQ(Find<QWidget>("PanelPreview")->palette().color(QPalette::WindowText), QColor(Qt::red));
    Click("OK");
    // Only what changed reaches each cell: names and sizes stay.
    TFont* f0 = Client()->FindCell({0, 0})->Font();
    TFont* f1 = Client()->FindCell({1, 0})->Font();
    EXPECT_EQ(f0->Name(), "Liberation Serif");
    EXPECT_EQ(f1->Size(), 14);
    for (TFont* f : {f0, f1}) {
        EXPECT_TRUE(f->Style().Contains(fsUnderline));
        EXPECT_EQ(f->Color(), clRed);
    }
}

TEST_F(CellDesignerTest, EditCellsReportsHowTheDialogWasClosed) {
    auto closeWith = [](const char* Button) {
        QTimer::singleShot(0, [Button] {
            QWidget* dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            if (auto* b = dialog->findChild<QPushButton*>(Button)) b->click();
        });
    };
    closeWith("OK");
    EXPECT_TRUE(EditCells(&Select({0, 0, 1, 1})));
    closeWith("Cancel");
    EXPECT_FALSE(EditCells(&Select({0, 0, 1, 1})));
}
