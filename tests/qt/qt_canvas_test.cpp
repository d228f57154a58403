// The Qt canvas draws pixel-exactly into a QImage: lines, fills, text,
// edges, check boxes, inversion, pictures and clipping.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "platform/graphic.h"
#include "qt/qt_canvas.h"
#include "qt/qt_convert.h"
#include "qt/qt_picture.h"

namespace qv {
namespace {

constexpr int W = 60;
constexpr int H = 40;

class QtCanvasTest : public ::testing::Test {
protected:
    QImage Image{W, H, QImage::Format_RGB32};
    std::unique_ptr<QPainter> Painter;
    std::unique_ptr<TQtCanvas> Canvas;

    void SetUp() override {
        Image.fill(Qt::white);
        Painter = std::make_unique<QPainter>(&Image);
        Canvas = std::make_unique<TQtCanvas>(Painter.get(), Image.rect());
    }
    // Ends painting so the pixels can be read.
    void Finish() {
        Canvas.reset();
        Painter.reset();
    }
    QRgb At(int X, int Y) const { return Image.pixel(X, Y) & 0xFFFFFF; }
    bool White(int X, int Y) const { return At(X, Y) == 0xFFFFFF; }
    // The pixels that are not white, as a bounding rectangle (empty: none).
    QRect Ink(const QRect& Within) const {
        QRect r;
        for (int y = Within.top(); y <= Within.bottom(); ++y)
            for (int x = Within.left(); x <= Within.right(); ++x)
                if (!White(x, y)) r |= QRect(x, y, 1, 1);
        return r;
    }
};

TEST_F(QtCanvasTest, LinesCoverTheirWidthAndLeaveOutTheEndPoint) {
    Canvas->Pen().SetColor(clBlack);
    Canvas->MoveTo(5, 5);
    Canvas->LineTo(5, 15);  // width 1: x 5, rows 5..14
    Canvas->Pen().SetWidth(2);
    Canvas->MoveTo(20, 15);
    Canvas->LineTo(20, 5);  // drawn upwards: rows 6..15, then half the width past each end
    Canvas->Pen().SetWidth(3);
    Canvas->MoveTo(30, 20);
    Canvas->LineTo(40, 20);
    Finish();
    EXPECT_EQ(Ink(QRect(0, 0, 12, H)), QRect(5, 5, 1, 10));
    EXPECT_EQ(Ink(QRect(14, 0, 12, H)), QRect(19, 5, 2, 11));
    EXPECT_EQ(Ink(QRect(26, 0, 30, H)), QRect(29, 19, 12, 3));
}

TEST_F(QtCanvasTest, DottedAndClearPens) {
    Canvas->Pen().SetStyle(psDot);
    Canvas->MoveTo(0, 2);
    Canvas->LineTo(10, 2);
    Canvas->Pen().SetStyle(psClear);
    Canvas->MoveTo(0, 5);
    Canvas->LineTo(10, 5);
    Canvas->PolyPolyline({{0, 8}, {10, 8}}, {2});
    Finish();
    for (int x = 0; x < 10; ++x) EXPECT_EQ(White(x, 2), x % 2 == 1) << x;
    EXPECT_TRUE(Ink(QRect(0, 4, W, 6)).isEmpty());
}

TEST_F(QtCanvasTest, PolyPolylineDrawsEachRunAndCutsShortCounts) {
    Canvas->Pen().SetColor(clRed);
    // Two polylines; the count of the second reaches past the points.
    Canvas->PolyPolyline({{2, 2}, {2, 6}, {10, 2}, {10, 6}, {14, 6}}, {2, 7});
    Finish();
    EXPECT_EQ(Ink(QRect(0, 0, 6, 10)), QRect(2, 2, 1, 4));
    EXPECT_EQ(Ink(QRect(8, 0, 10, 10)), QRect(10, 2, 4, 5));
    EXPECT_EQ(At(10, 2), 0xFF0000u);
}

TEST_F(QtCanvasTest, FillRectIsHalfOpenAndClearBrushFillsNothing) {
    Canvas->Brush().SetColor(clBlue);
    Canvas->FillRect({2, 3, 7, 9});
    Canvas->Brush().SetStyle(bsClear);
    Canvas->FillRect({20, 20, 30, 30});
    Finish();
    EXPECT_EQ(Ink(Image.rect()), QRect(2, 3, 5, 6));
    EXPECT_EQ(At(2, 3), 0x0000FFu);
}

TEST_F(QtCanvasTest, InversionAndFocusRectangleUndoThemselves) {
    Canvas->Brush().SetColor(RGB(10, 200, 30));
    Canvas->FillRect({0, 0, 30, 20});
    Canvas->InvertRect({5, 5, 10, 10});
    Canvas->DrawFocusRect({20, 2, 28, 12});
    Finish();
    const QImage once = Image;
    EXPECT_EQ(At(5, 5), 0xF537E1u);       // NOT of (10, 200, 30)
    EXPECT_EQ(At(20, 2), 0xF537E1u);      // a dot on the corner
    EXPECT_NE(At(21, 2), At(20, 2));      // every other pixel
    EXPECT_EQ(At(24, 6), 0x0AC81Eu);      // the inside untouched

    Painter = std::make_unique<QPainter>(&Image);
    Canvas = std::make_unique<TQtCanvas>(Painter.get(), Image.rect());
    Canvas->InvertRect({5, 5, 10, 10});
    Canvas->DrawFocusRect({20, 2, 28, 12});
    Finish();
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) ASSERT_EQ(At(x, y), 0x0AC81Eu) << x << "," << y;
    EXPECT_NE(once, Image);
}

TEST_F(QtCanvasTest, ClippingExcludesIntersectsAndRestores) {
    Canvas->Brush().SetColor(clBlack);
    Canvas->ExcludeClipRect({10, 0, 20, H});  // without a clip: all but this
    Canvas->Save();
    Canvas->IntersectClipRect({0, 0, W, 10});
    Canvas->FillRect({0, 0, W, H});
    EXPECT_TRUE(Canvas->Clipped());
    Canvas->Restore();
    Canvas->FillRect({0, 20, W, 30});
    Canvas->ResetClip();
    Canvas->FillRect({0, 35, W, H});
    Finish();
    EXPECT_FALSE(White(0, 0));
    EXPECT_TRUE(White(15, 5));   // excluded
    EXPECT_TRUE(White(0, 12));   // outside the intersection
    EXPECT_FALSE(White(0, 25));  // the restored clip: exclusion only
    EXPECT_TRUE(White(15, 25));
    EXPECT_FALSE(White(15, 36));  // no clip after ResetClip
}

TEST_F(QtCanvasTest, TextMeasuringAndPlacement) {
    Canvas->Font().SetHeight(-13);
    Canvas->Font().SetColor(clBlack);
    const int32_t line = Canvas->TextHeight("Xg");
    EXPECT_GT(line, 13);
    EXPECT_LT(line, 20);

    // Measuring draws nothing and fits the rectangle around the text.
    TRect r{0, 0, 200, 0};
    EXPECT_EQ(Canvas->DrawText("Hello", r, DT_CALCRECT | DT_SINGLELINE), line);
    EXPECT_EQ(r, (TRect{0, 0, Canvas->TextWidth("Hello"), line}));
    // Word breaking keeps the width and grows the bottom.
    TRect wrapped{0, 0, Canvas->TextWidth("aaaa") + 2, 0};
    EXPECT_EQ(Canvas->DrawText("aaaa bbbb cccc", wrapped, DT_CALCRECT | DT_WORDBREAK), 3 * line);
    EXPECT_EQ(wrapped.Right, Canvas->TextWidth("aaaa") + 2);
    EXPECT_EQ(wrapped.Bottom, 3 * line);
    // Line breaks count without word breaking; a long word is not cut.
    TRect lines{0, 0, 5, 0};
    EXPECT_EQ(Canvas->DrawText("one\r\ntwo\nthree", lines, DT_CALCRECT), 3 * line);
    TRect word{0, 0, 5, 0};
    EXPECT_EQ(Canvas->DrawText("unbreakable", word, DT_CALCRECT | DT_WORDBREAK), line);
    Finish();
    EXPECT_TRUE(Ink(Image.rect()).isEmpty());
}

TEST_F(QtCanvasTest, TextAlignmentEllipsisAndClipping) {
    Canvas->Font().SetHeight(-13);
    Canvas->Font().SetColor(clBlack);
    TRect right{0, 0, 58, 18};
    Canvas->DrawText("ab", right, DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX);
    TRect clipped{0, 20, 20, 40};
    Canvas->DrawText("WWWWWWWWWW", clipped, DT_SINGLELINE);
    Finish();
    const QRect a = Ink(QRect(0, 0, W, 19));
    EXPECT_GE(a.left(), 58 - 2 * 13);
    EXPECT_LE(a.right(), 57);
    EXPECT_GE(a.right(), 52);
    const QRect b = Ink(QRect(0, 20, W, 20));
    EXPECT_FALSE(b.isEmpty());
    EXPECT_LE(b.right(), 19);  // clipped to its rectangle without DT_NOCLIP

    SetUp();
    Canvas->Font().SetHeight(-13);
    Canvas->Font().SetColor(clBlack);
    TRect ellipsis{0, 0, 30, 20};
    Canvas->DrawText("WWWWWWWWWW", ellipsis, DT_END_ELLIPSIS | DT_NOCLIP | DT_SINGLELINE);
    TRect vcenter{40, 0, 60, 40};
    const int32_t h = Canvas->DrawText("x", vcenter, DT_SINGLELINE | DT_VCENTER | DT_NOCLIP);
    Finish();
    EXPECT_LE(Ink(QRect(0, 0, 38, 20)).right(), 29);  // shortened, not spilling
    const QRect x = Ink(QRect(40, 0, 20, 40));
    EXPECT_GE(x.top(), (40 - h) / 2);
    EXPECT_LE(x.bottom(), (40 + h) / 2);
}

TEST_F(QtCanvasTest, EdgesAreTwoTone) {
    TRect raised{2, 2, 20, 20};
    Canvas->DrawEdge(raised, EDGE_RAISED, BF_RECT | BF_ADJUST);
    TRect sunken{30, 2, 48, 20};
    Canvas->DrawEdge(sunken, EDGE_SUNKEN, BF_RECT);
    Finish();
    EXPECT_EQ(raised, (TRect{4, 4, 18, 18}));
    EXPECT_EQ(sunken, (TRect{30, 2, 48, 20}));  // without BF_ADJUST unchanged
    const QColor light = ToQColor(cl3DLight), dark = ToQColor(cl3DDkShadow), shadow = ToQColor(clBtnShadow);
    EXPECT_EQ(At(2, 10), light.rgb() & 0xFFFFFF);
    EXPECT_EQ(At(19, 10), dark.rgb() & 0xFFFFFF);
    EXPECT_EQ(At(18, 10), shadow.rgb() & 0xFFFFFF);
    EXPECT_EQ(At(30, 10), shadow.rgb() & 0xFFFFFF);  // sunken: shadow at the top-left
    EXPECT_TRUE(White(10, 10));                     // no BF_MIDDLE: inside untouched
}

TEST_F(QtCanvasTest, FlatCheckBoxShowsItsTickOnlyWhenChecked) {
    Canvas->DrawFrameControl({0, 0, 13, 13}, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT);
    Canvas->DrawFrameControl({20, 0, 33, 13}, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | DFCS_CHECKED);
    Finish();
    const QRgb frame = ToQColor(clBtnShadow).rgb() & 0xFFFFFF;
    const QRgb face = ToQColor(clWindow).rgb() & 0xFFFFFF;
    EXPECT_EQ(At(0, 0), frame);
    EXPECT_EQ(At(12, 12), frame);
    int ticked = 0;
    for (int y = 1; y < 12; ++y)
        for (int x = 1; x < 12; ++x) {
            EXPECT_EQ(At(x, y), face);
            if (At(20 + x, y) != face) ++ticked;
        }
    EXPECT_GT(ticked, 8);
}

TEST_F(QtCanvasTest, PolygonIsFilledAndOutlined) {
    Canvas->Brush().SetColor(clRed);
    Canvas->Pen().SetColor(clRed);
    Canvas->Polygon({{10, 0}, {13, 0}, {13, 3}});
    Finish();
    EXPECT_EQ(At(12, 0), 0xFF0000u);
    EXPECT_EQ(At(13, 1), 0xFF0000u);
    EXPECT_EQ(At(12, 1), 0xFF0000u);
    EXPECT_TRUE(White(10, 2));
    EXPECT_EQ(Ink(Image.rect()), QRect(10, 0, 4, 4));
}

TEST_F(QtCanvasTest, PicturesStretchAndMetafilesDrawNothing) {
    QImage source(2, 2, QImage::Format_RGB32);
    source.setPixel(0, 0, qRgb(255, 0, 0));
    source.setPixel(1, 0, qRgb(0, 255, 0));
    source.setPixel(0, 1, qRgb(0, 0, 255));
    source.setPixel(1, 1, qRgb(0, 0, 0));
    TBitmap bitmap;
    bitmap.LoadFromBytes(ImageToBmpBytes(source));
    ASSERT_EQ(bitmap.Width(), 2);
    Canvas->StretchDraw({0, 0, 10, 10}, bitmap);
    Canvas->Draw(20, 0, bitmap);
    TMetafile empty;
    Canvas->StretchDraw({30, 0, 40, 10}, empty);
    Canvas->DrawTiled({40, 20, 45, 23}, bitmap);  // whole copies up to (46, 24)
    Finish();
    EXPECT_EQ(At(4, 4), 0xFF0000u);
    EXPECT_EQ(At(5, 4), 0x00FF00u);
    EXPECT_EQ(At(4, 5), 0x0000FFu);
    EXPECT_EQ(At(21, 1), 0x000000u);
    EXPECT_TRUE(White(22, 0));
    EXPECT_TRUE(Ink(QRect(30, 0, 10, 10)).isEmpty());
    EXPECT_EQ(At(42, 20), 0xFF0000u);
    EXPECT_EQ(At(45, 23), 0x000000u);
    EXPECT_EQ(Ink(QRect(38, 18, 12, 10)), QRect(40, 20, 6, 4));
}

}  // namespace
}  // namespace qv
