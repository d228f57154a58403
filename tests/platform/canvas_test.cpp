#include "platform/canvas.h"

#include <gtest/gtest.h>

#include "platform/graphic.h"
#include "recording_canvas.h"
#include "test_images.h"

using namespace qv;
using namespace qv::test;

TEST(Canvas, RestoreBringsBackToolsAndPenPosition) {
    TRecordingCanvas c;
    c.Font().SetSize(10);
    c.Brush().SetColor(clRed);
    c.MoveTo(1, 2);
    c.Save();
    c.Save();
    EXPECT_EQ(c.SaveDepth(), 2);
    c.Font().SetStyle({fsBold});
    c.Brush().SetStyle(bsClear);
    c.Pen().SetWidth(3);
    c.MoveTo(5, 5);
    c.Restore();
    c.Restore();
    c.Restore();  // nothing saved: no effect
    EXPECT_EQ(c.Font().Size(), 10);
    EXPECT_TRUE(c.Font().Style().Empty());
    EXPECT_EQ(c.Brush().Style(), bsSolid);
    EXPECT_EQ(c.Brush().Color(), clRed);
    EXPECT_EQ(c.Pen().Width(), 1);
    EXPECT_EQ(c.PenPos(), (TPoint{1, 2}));
    EXPECT_EQ(c.CallsStartingWith("Save").size(), 2u);
    EXPECT_EQ(c.CallsStartingWith("Restore").size(), 2u);
}

TEST(RecordingCanvas, RecordsCallsReadably) {
    TRecordingCanvas c;
    c.FillRect({0, 0, 10, 10});
    c.MoveTo(0, 9);
    c.Pen().SetColor(clRed);
    c.LineTo(10, 9);
    c.PolyPolyline({{0, 0}, {0, 5}, {3, 0}, {3, 5}}, {2, 2});
    TBitmap b;
    b.LoadFromBytes(MakeBmp(4, 2));
    c.Draw(20, 30, b);
    TBitmap empty;
    c.Draw(0, 0, empty);
    ASSERT_EQ(c.Calls.size(), 4u);
    EXPECT_EQ(c.Calls[0], "FillRect(0,0,10,10) brush=$00FFFFFF");
    EXPECT_EQ(c.Calls[1], "Line(0,9)-(10,9) pen=$000000FF w1 solid");
    EXPECT_EQ(c.Calls[2], "PolyPolyline[(0,0)-(0,5)][(3,0)-(3,5)] pen=$000000FF w1 solid");
    EXPECT_EQ(c.Calls[3], "StretchDraw(20,30,24,32) TBitmap 4x2");
}

TEST(RecordingCanvas, MeasuresAndBreaksTextWithFixedMetrics) {
    TRecordingCanvas c;  // 6 pixels a character, 13 a line
    TRect r{0, 0, 40, 20};
    EXPECT_EQ(c.DrawText("one two three", r, DT_CALCRECT | DT_WORDBREAK), 39);
    EXPECT_EQ(r, (TRect{0, 0, 40, 39}));
    EXPECT_EQ(c.LastLines, (std::vector<std::string>{"one", "two", "three"}));
    TRect s{5, 5, 6, 6};
    EXPECT_EQ(c.DrawText("abc\r\nde", s, DT_CALCRECT), 26);
    EXPECT_EQ(s, (TRect{5, 5, 23, 31}));
    TRect t{0, 0, 100, 20};
    c.DrawText("a\nb", t, DT_SINGLELINE | DT_CENTER);
    EXPECT_EQ(t, (TRect{0, 0, 100, 20}));  // drawing leaves the rectangle alone
    EXPECT_EQ(c.Calls.back(), "DrawText(\"a\nb\",(0,0,100,20),$00000021) font=MS Sans Serif,-11,$80000008");
}

TEST(Canvas, DrawTiledCoversTheAreaWithWholeCopies) {
    TRecordingCanvas c;
    TBitmap b;
    b.LoadFromBytes(MakeBmp(4, 2));
    c.DrawTiled({-1, 0, 6, 3}, b);  // 2 columns by 2 rows, the last reaching past
    EXPECT_EQ(c.Calls, (std::vector<std::string>{"StretchDraw(-1,0,3,2) TBitmap 4x2", "StretchDraw(-1,2,3,4) TBitmap 4x2",
                                                 "StretchDraw(3,0,7,2) TBitmap 4x2", "StretchDraw(3,2,7,4) TBitmap 4x2"}));
    c.Calls.clear();
    c.DrawTiled({0, 0, 0, 5}, b);
    c.DrawTiled({0, 0, 5, 5}, TBitmap());
    EXPECT_TRUE(c.Calls.empty());
}
