// Colours.
//
// A TColor is a 32-bit value laid out 0x00BBGGRR: red in the low byte, so
// clRed is 255 and an (r, g, b) triple is r | g << 8 | b << 16. Values with
// bit 31 set name a system colour by its index in the low byte (clWindow is
// 0x80000005); the Qt side maps those to the application palette, and
// ColorToRGB maps them through a fixed default palette here. clNone and
// clDefault are markers, not colours.
#pragma once

#include <cstdint>
#include <string>

namespace qv {

using TColor = int32_t;

constexpr TColor RGB(uint8_t R, uint8_t G, uint8_t B) {
    return static_cast<TColor>(uint32_t(R) | uint32_t(G) << 8 | uint32_t(B) << 16);
}
constexpr uint8_t GetRValue(TColor C) { return static_cast<uint8_t>(uint32_t(C) & 0xFF); }
constexpr uint8_t GetGValue(TColor C) { return static_cast<uint8_t>((uint32_t(C) >> 8) & 0xFF); }
constexpr uint8_t GetBValue(TColor C) { return static_cast<uint8_t>((uint32_t(C) >> 16) & 0xFF); }

// Builds a system colour from its index (0 = scroll bar ... 30 = menu bar).
constexpr TColor SystemColor(uint8_t Index) { return static_cast<TColor>(0x80000000u | Index); }
constexpr bool IsSystemColor(TColor C) { return (uint32_t(C) & 0x80000000u) != 0; }

constexpr TColor clBlack = RGB(0, 0, 0);
constexpr TColor clMaroon = RGB(128, 0, 0);
constexpr TColor clGreen = RGB(0, 128, 0);
constexpr TColor clOlive = RGB(128, 128, 0);
constexpr TColor clNavy = RGB(0, 0, 128);
constexpr TColor clPurple = RGB(128, 0, 128);
constexpr TColor clTeal = RGB(0, 128, 128);
constexpr TColor clGray = RGB(128, 128, 128);
constexpr TColor clSilver = RGB(192, 192, 192);
constexpr TColor clRed = RGB(255, 0, 0);
constexpr TColor clLime = RGB(0, 255, 0);
constexpr TColor clYellow = RGB(255, 255, 0);
constexpr TColor clBlue = RGB(0, 0, 255);
constexpr TColor clFuchsia = RGB(255, 0, 255);
constexpr TColor clAqua = RGB(0, 255, 255);
constexpr TColor clLtGray = clSilver;
constexpr TColor clDkGray = clGray;
constexpr TColor clWhite = RGB(255, 255, 255);
constexpr TColor clMoneyGreen = RGB(192, 220, 192);
constexpr TColor clSkyBlue = RGB(166, 202, 240);
constexpr TColor clCream = RGB(255, 251, 240);
constexpr TColor clMedGray = RGB(160, 160, 164);

// "No colour" (a line or fill that is not drawn) and "the owner's default".
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor clScrollBar = SystemColor(0);
constexpr TColor clBackground = SystemColor(1);
constexpr TColor clActiveCaption = SystemColor(2);
constexpr TColor clInactiveCaption = SystemColor(3);
constexpr TColor clMenu = SystemColor(4);
constexpr TColor clWindow = SystemColor(5);
constexpr TColor clWindowFrame = SystemColor(6);
constexpr TColor clMenuText = SystemColor(7);
constexpr TColor clWindowText = SystemColor(8);
constexpr TColor clCaptionText = SystemColor(9);
constexpr TColor clActiveBorder = SystemColor(10);
constexpr TColor clInactiveBorder = SystemColor(11);
constexpr TColor clAppWorkSpace = SystemColor(12);
constexpr TColor clHighlight = SystemColor(13);
constexpr TColor clHighlightText = SystemColor(14);
constexpr TColor clBtnFace = SystemColor(15);
constexpr TColor clBtnShadow = SystemColor(16);
constexpr TColor clGrayText = SystemColor(17);
constexpr TColor clBtnText = SystemColor(18);
constexpr TColor clInactiveCaptionText = SystemColor(19);
constexpr TColor clBtnHighlight = SystemColor(20);
constexpr TColor cl3DDkShadow = SystemColor(21);
constexpr TColor cl3DLight = SystemColor(22);
constexpr TColor clInfoText = SystemColor(23);
constexpr TColor clInfoBk = SystemColor(24);
constexpr TColor clHotLight = SystemColor(26);
constexpr TColor clGradientActiveCaption = SystemColor(27);
constexpr TColor clGradientInactiveCaption = SystemColor(28);
constexpr TColor clMenuHighlight = SystemColor(29);
constexpr TColor clMenuBar = SystemColor(30);

// Number of system colour indexes the default palette covers (0..30).
constexpr int SystemColorCount = 31;

// The plain 0x00BBGGRR value of a colour: a system colour is looked up in the
// default palette (an index past its end gives black); every other value,
// clNone and clDefault included, is returned unchanged.
TColor ColorToRGB(TColor Color);

// "clRed" for a named colour (the first name where two share a value, so
// clSilver rather than clLtGray), else "$" and eight upper-case hex digits
// ("$00102030", "$80000019").
std::string ColorToString(TColor Color);
// The inverse: a colour name (any letter case), "$" followed by 1..8 hex
// digits, or a decimal integer in the 32-bit range. Anything else raises
// EConvertError naming the text.
TColor StringToColor(const std::string& S);
// Like StringToColor for names only; false when S is not a colour name.
bool IdentToColor(const std::string& Ident, TColor& Color);

}  // namespace qv
