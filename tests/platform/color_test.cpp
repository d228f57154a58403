#include "platform/color.h"

#include <gtest/gtest.h>

#include "platform/exceptions.h"

using namespace qv;

TEST(Color, LayoutIsRedInTheLowByteAndSystemColoursSetBit31) {
    EXPECT_EQ(clRed, 255);
    EXPECT_EQ(clBlue, 0x00FF0000);
    EXPECT_EQ(RGB(0x11, 0x22, 0x33), 0x00332211);
    EXPECT_EQ(GetRValue(RGB(1, 2, 3)), 1);
    EXPECT_EQ(GetGValue(RGB(1, 2, 3)), 2);
    EXPECT_EQ(GetBValue(RGB(1, 2, 3)), 3);
    EXPECT_EQ(uint32_t(clWindow), 0x80000005u);
    EXPECT_EQ(uint32_t(clWindowText), 0x80000008u);
    EXPECT_EQ(uint32_t(clBtnFace), 0x8000000Fu);
    EXPECT_EQ(uint32_t(cl3DLight), 0x80000016u);
    EXPECT_EQ(clNone, 0x1FFFFFFF);
    EXPECT_TRUE(IsSystemColor(clHighlight));
    EXPECT_FALSE(IsSystemColor(clNone));
    EXPECT_FALSE(IsSystemColor(clWhite));
}

TEST(Color, ToRgbMapsOnlySystemColours) {
    EXPECT_EQ(ColorToRGB(clWindow), clWhite);
    EXPECT_EQ(ColorToRGB(clWindowText), clBlack);
    EXPECT_EQ(ColorToRGB(clBtnFace), clSilver);
    EXPECT_EQ(ColorToRGB(clBtnShadow), clGray);
    EXPECT_EQ(ColorToRGB(RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(ColorToRGB(clNone), clNone);
    EXPECT_EQ(ColorToRGB(SystemColor(200)), clBlack);  // past the palette
}

TEST(Color, NamesAndHexRoundTrip) {
    const TColor named[] = {clBlack, clMaroon, clRed, clWhite, clMoneyGreen, clSkyBlue, clCream, clMedGray,
                            clNone, clDefault, clScrollBar, clWindow, clBtnFace, cl3DDkShadow, clInfoBk, clMenuBar};
    for (TColor c : named) {
        const std::string s = ColorToString(c);
        EXPECT_EQ(s.substr(0, 2), "cl") << s;
        EXPECT_EQ(StringToColor(s), c) << s;
    }
    EXPECT_EQ(ColorToString(clRed), "clRed");
    EXPECT_EQ(ColorToString(clLtGray), "clSilver");  // first name of a shared value
    EXPECT_EQ(StringToColor("clLtGray"), clSilver);
    EXPECT_EQ(StringToColor("CLBTNFACE"), clBtnFace);
    EXPECT_EQ(ColorToString(RGB(0x30, 0x20, 0x10)), "$00102030");
    EXPECT_EQ(ColorToString(SystemColor(25)), "$80000019");  // unused index has no name
    EXPECT_EQ(StringToColor("$00102030"), RGB(0x30, 0x20, 0x10));
    EXPECT_EQ(StringToColor("$ff"), clRed);
    EXPECT_EQ(StringToColor("$80000005"), clWindow);
    EXPECT_EQ(StringToColor("255"), clRed);
    EXPECT_EQ(StringToColor("-2147483643"), clWindow);
}

TEST(Color, InvalidTextRaisesConvertErrorNamingIt) {
    for (const char* bad : {"", "clRedd", "$", "$123456789", "$12G", "12x", "-", "4294967296", " 12"}) {
        try {
            StringToColor(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), std::string("'") + bad + "' is not a valid color");
        }
    }
}
