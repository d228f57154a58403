// The colour box as a user picks from it: palette lookups, the swatch
// geometry with its gap, dragging over the swatches and what is painted.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QTest>

#include "designer/color_box.h"
#include "designer/color_tool_button.h"
#include "designer/popup_panel.h"
#include "qt/qt_convert.h"

using namespace qv;

namespace {

QRgb Rgb(QRgb Pixel) { return QColor(Pixel).rgb(); }

class ColorBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        Box.resize(144, 133);  // cells 18 × 18; row 4 starts at 4 × 18 + 7 = 79
        Box.OnChange = [this](TObject* Sender) {
            EXPECT_EQ(Sender, static_cast<TObject*>(&Box));
            ++Changes;
        };
        Box.OnClick = [this](TObject*) { ++Clicks; };
        Box.show();
    }
    void TearDown() override { SharedColorPalette() = DefaultColorPalette(); }

    void Move(QPoint P, Qt::MouseButtons Buttons) {
        QMouseEvent e(QEvent::MouseMove, P, Box.mapToGlobal(P), Qt::NoButton, Buttons, Qt::NoModifier);
        QApplication::sendEvent(&Box, &e);
    }
    QImage Picture() { return Box.grab().toImage(); }

    TColorBox Box;
    int Changes = 0;
    int Clicks = 0;
};

TEST_F(ColorBoxTest, SelectColorFindsTheLowerIndexAndHiddenRowsShowNoSwatch) {
    const QImage none = Picture();
    // Only at index 45, in a row that is never shown.
    Box.SelectColor(RGB(255, 127, 127));
    EXPECT_EQ(Box.ActiveIndex(), 45);
    EXPECT_EQ(Box.SelectedColor(), RGB(255, 127, 127));
    EXPECT_EQ(Picture(), none);
    // Twice in the palette: 30 and 41, and 5 and 48.
    Box.SelectColor(RGB(146, 48, 96));
    EXPECT_EQ(Box.ActiveIndex(), 30);
    Box.SelectColor(RGB(0, 0, 127));
    EXPECT_EQ(Box.ActiveIndex(), 5);
    Box.SelectColor(RGB(1, 2, 3));
    EXPECT_EQ(Box.ActiveIndex(), -1);
    EXPECT_EQ(Box.SelectedColor(), clNone);
    EXPECT_EQ(Changes, 4);
}

TEST_F(ColorBoxTest, ActiveIndexOutsideThePaletteBecomesNone) {
    Box.SetActiveIndex(55);
    EXPECT_EQ(Box.SelectedColor(), RGB(0, 0, 255));
    Box.SetActiveIndex(56);
    EXPECT_EQ(Box.ActiveIndex(), -1);
    Box.SetActiveIndex(-7);  // already none: no change
    EXPECT_EQ(Changes, 2);
}

TEST_F(ColorBoxTest, GeometryLeavesAGapBetweenTheFourthAndFifthRow) {
    const QSize size = Box.size();
    EXPECT_EQ(SwatchRect(size, 31), QRect(126, 54, 18, 18));
    EXPECT_EQ(SwatchRect(size, 32), QRect(0, 79, 18, 18));
    EXPECT_TRUE(SwatchRect(size, 40).isEmpty());
    EXPECT_EQ(SwatchAt(size, QPoint(0, 71)), 24);
    for (int y = 72; y < 79; ++y) EXPECT_EQ(SwatchAt(size, QPoint(5, y)), -1) << y;
    EXPECT_EQ(SwatchAt(size, QPoint(143, 79)), 39);
    EXPECT_EQ(SwatchAt(size, QPoint(10, 97)), -1);  // below the last row
}

TEST_F(ColorBoxTest, DraggingIntoTheGapChoosesNothingAndReleaseStillClicks) {
    QTest::mousePress(&Box, Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));  // row 1, column 1
    EXPECT_EQ(Box.ActiveIndex(), 9);
    Move(QPoint(60, 60), Qt::LeftButton);
    EXPECT_EQ(Box.ActiveIndex(), 27);
    Move(QPoint(60, 75), Qt::LeftButton);
    EXPECT_EQ(Box.ActiveIndex(), -1);
    QTest::mouseRelease(&Box, Qt::LeftButton, Qt::NoModifier, QPoint(60, 75));
    EXPECT_EQ(Box.ActiveIndex(), -1);
    EXPECT_EQ(Clicks, 1);
    // Without a button held a move chooses nothing; a press in the gap
    // keeps the choice.
    Box.SetActiveIndex(3);
    Move(QPoint(30, 30), Qt::NoButton);
    QTest::mousePress(&Box, Qt::LeftButton, Qt::NoModifier, QPoint(30, 75));
    EXPECT_EQ(Box.ActiveIndex(), 3);
}

TEST_F(ColorBoxTest, PaintsSwatchesFramesAndTheActiveCell) {
    Box.SetActiveIndex(16);
    const QImage image = Picture();
    EXPECT_EQ(Rgb(image.pixel(9, 9)), QColor(0, 0, 0).rgb());         // swatch 0
    EXPECT_EQ(Rgb(image.pixel(9, 45)), QColor(255, 0, 0).rgb());      // swatch 16
    EXPECT_EQ(Rgb(image.pixel(9 + 18, 45)), QColor(255, 146, 0).rgb());
    EXPECT_EQ(Rgb(image.pixel(9, 88)), QColor(255, 151, 200).rgb());  // swatch 32, below the gap
    EXPECT_EQ(Rgb(image.pixel(3, 3 + 18)), ToQColor(clBtnShadow).rgb());  // the frame of swatch 8
    EXPECT_EQ(Rgb(image.pixel(20, 75)), ToQColor(clBtnShadow).rgb());     // the separator
    EXPECT_EQ(Rgb(image.pixel(20, 76)), ToQColor(clBtnHighlight).rgb());
    EXPECT_EQ(Rgb(image.pixel(0, 36)), ToQColor(clBtnShadow).rgb());      // sunken edge of swatch 16
    EXPECT_EQ(Rgb(image.pixel(2, 38)), ToQColor(clBtnFace).rgb());
    EXPECT_EQ(Rgb(image.pixel(0, 18)), ToQColor(clBtnFace).rgb());        // around an inactive swatch
}

TEST_F(ColorBoxTest, PaletteColorsGoToTheSharedPaletteOnlyWhenGlobal) {
    Box.SetPaletteColor(3, RGB(1, 2, 3));
    Box.SetPaletteColor(56, RGB(9, 9, 9));  // ignored
    EXPECT_EQ(SharedColorPalette()[3], RGB(1, 2, 3));
    TColorBox other;
    other.SelectColor(RGB(1, 2, 3));
    EXPECT_EQ(other.ActiveIndex(), 3);

    other.SetGlobal(false);
    other.SetPaletteColor(4, RGB(4, 5, 6));
    EXPECT_EQ(SharedColorPalette()[4], DefaultColorPalette()[4]);
    other.SetActiveIndex(4);
    EXPECT_EQ(other.SelectedColor(), RGB(4, 5, 6));
    other.SetGlobal(true);  // takes the shared palette again
    EXPECT_EQ(other.SelectedColor(), DefaultColorPalette()[4]);
}

TEST(ColorToolButtonTest, ArrowDropsDownWithoutMenuAndButtonClicks) {
    TColorToolButton button;
    button.resize(36, 24);
    button.SetColor(RGB(0, 0, 255));
    button.show();
    int clicks = 0, drops = 0;
    button.OnClick = [&](TObject*) { ++clicks; };
    button.OnDropDown = [&](TObject*) { ++drops; };
    const QRect arrow = button.ArrowRect();
    ASSERT_FALSE(arrow.isEmpty());
    QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, arrow.center());
    EXPECT_EQ(drops, 1);
    EXPECT_EQ(clicks, 0);
    QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(drops, 1);

    const QImage image = button.grab().toImage();
    EXPECT_EQ(button.ColorBarRect(), QRect(3, 19, 16, 3));
    EXPECT_EQ(Rgb(image.pixel(3, 19)), QColor(0, 0, 255).rgb());
    EXPECT_EQ(Rgb(image.pixel(18, 21)), QColor(0, 0, 255).rgb());
    EXPECT_NE(QColor(image.pixel(3, 22)), QColor(0, 0, 255));
}

TEST(PopupPanelTest, OpensUnderItsControlAndRaisesOnCloseOnce) {
    QWidget form;
    form.setGeometry(100, 100, 300, 200);
    auto* control = new QWidget(&form);
    control->setGeometry(150, 20, 60, 24);
    form.show();
    TPopupPanel panel(&form);
    panel.resize(144, 133);
    int closes = 0;
    panel.OnClose = [&](TObject*) { ++closes; };

    panel.Popup(control, paRight);
    EXPECT_TRUE(panel.isVisible());
    EXPECT_EQ(panel.PopupControl(), control);
    const QPoint bottomRight = control->mapToGlobal(QPoint(control->width(), control->height()));
    EXPECT_EQ(panel.geometry().topLeft(), QPoint(bottomRight.x() - 144, bottomRight.y()));
    panel.Close();
    EXPECT_FALSE(panel.isVisible());
    panel.Close();
    EXPECT_EQ(closes, 1);

    panel.Popup(control, paLeft);
    EXPECT_EQ(panel.geometry().topLeft(), QPoint(bottomRight.x() - 60, bottomRight.y()));
    QTest::keyClick(&panel, Qt::Key_Escape);  // Qt closes a pop-up on Escape
    EXPECT_FALSE(panel.isVisible());
    EXPECT_EQ(closes, 2);
}

}  // namespace
