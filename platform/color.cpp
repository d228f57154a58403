#include "platform/color.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "platform/exceptions.h"

namespace qv {

namespace {

struct TColorName {
    TColor Color;
    const char* Name;
};

// Aliases follow their first name, so ColorToString picks the first.
constexpr TColorName ColorNames[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clLtGray, "clLtGray"},
    {clDkGray, "clDkGray"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
    {clHotLight, "clHotLight"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuBar, "clMenuBar"},
};

// A classic grey desktop scheme, indexed like the system colours. The
// desktop is dark, as it is behind every window: lines drawn in it (the
// designer's first border colour) stand out on white and grey cells.
constexpr TColor DefaultSystemPalette[SystemColorCount] = {
    RGB(192, 192, 192),  // scroll bar
    RGB(0, 0, 0),        // background (desktop)
    RGB(0, 0, 128),      // active caption
    RGB(128, 128, 128),  // inactive caption
    RGB(192, 192, 192),  // menu
    RGB(255, 255, 255),  // window
    RGB(0, 0, 0),        // window frame
    RGB(0, 0, 0),        // menu text
    RGB(0, 0, 0),        // window text
    RGB(255, 255, 255),  // caption text
    RGB(192, 192, 192),  // active border
    RGB(192, 192, 192),  // inactive border
    RGB(128, 128, 128),  // application work space
    RGB(0, 0, 128),      // highlight
    RGB(255, 255, 255),  // highlight text
    RGB(192, 192, 192),  // button face
    RGB(128, 128, 128),  // button shadow
    RGB(128, 128, 128),  // grey text
    RGB(0, 0, 0),        // button text
    RGB(192, 192, 192),  // inactive caption text
    RGB(255, 255, 255),  // button highlight
    RGB(0, 0, 0),        // 3D dark shadow
    RGB(223, 223, 223),  // 3D light
    RGB(0, 0, 0),        // info text
    RGB(255, 255, 225),  // info background
    RGB(0, 0, 0),        // (unused index 25)
    RGB(0, 0, 255),      // hot light
    RGB(16, 132, 208),   // gradient active caption
    RGB(181, 181, 181),  // gradient inactive caption
    RGB(0, 0, 128),      // menu highlight
    RGB(192, 192, 192),  // menu bar
};

bool SameText(const std::string& A, const char* B) {
    size_t i = 0;
    for (; i < A.size() && B[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(A[i])) != std::tolower(static_cast<unsigned char>(B[i])))
            return false;
    return i == A.size() && B[i] == '\0';
}

}  // namespace

TColor ColorToRGB(TColor Color) {
    if (!IsSystemColor(Color)) return Color;
    const uint32_t index = uint32_t(Color) & 0x7FFFFFFFu;
    return index < SystemColorCount ? DefaultSystemPalette[index] : clBlack;
}

std::string ColorToString(TColor Color) {
    for (const auto& n : ColorNames)
        if (n.Color == Color) return n.Name;
    char buf[16];
    std::snprintf(buf, sizeof buf, "$%08X", static_cast<unsigned>(uint32_t(Color)));
    return buf;
}

bool IdentToColor(const std::string& Ident, TColor& Color) {
    for (const auto& n : ColorNames)
        if (SameText(Ident, n.Name)) {
            Color = n.Color;
            return true;
        }
    return false;
}

TColor StringToColor(const std::string& S) {
    TColor c;
    if (IdentToColor(S, c)) return c;
    auto bad = [&S]() { return EConvertError("'" + S + "' is not a valid color"); };
    if (!S.empty() && S[0] == '$') {
        if (S.size() < 2 || S.size() > 9) throw bad();
        uint32_t v = 0;
        for (size_t i = 1; i < S.size(); ++i) {
            if (!std::isxdigit(static_cast<unsigned char>(S[i]))) throw bad();
            const char ch = static_cast<char>(std::tolower(static_cast<unsigned char>(S[i])));
            v = v << 4 | uint32_t(ch <= '9' ? ch - '0' : ch - 'a' + 10);
        }
        return static_cast<TColor>(v);
    }
    // Decimal: optional sign and digits only, inside the 32-bit range.
    size_t i = (!S.empty() && (S[0] == '-' || S[0] == '+')) ? 1 : 0;
    if (i == S.size()) throw bad();
    for (size_t k = i; k < S.size(); ++k)
        if (!std::isdigit(static_cast<unsigned char>(S[k]))) throw bad();
    errno = 0;
    const long long v = std::strtoll(S.c_str(), nullptr, 10);
    if (errno == ERANGE || v < INT32_MIN || v > INT32_MAX) throw bad();
    return static_cast<TColor>(v);
}

}  // namespace qv
