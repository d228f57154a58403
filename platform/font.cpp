#include "platform/font.h"

#include <limits>

namespace qv {

QV_CLASS_IMPL(TFont, TPersistent)

int32_t MulDiv(int32_t A, int32_t B, int32_t C) {
    if (C == 0) return 0;
    const int64_t num = int64_t(A) * int64_t(B);
    int64_t q = num / C;
    const int64_t r = num % C;
    // Round half away from zero: compare twice the remainder with the divisor.
    if (2 * (r < 0 ? -r : r) >= (C < 0 ? -int64_t(C) : int64_t(C))) q += ((num < 0) != (C < 0)) ? -1 : 1;
    if (q > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (q < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(q);
}

void TFont::Changed() {
    if (OnChange) OnChange(this);
}

void TFont::SetName(const std::string& Value) {
    if (Value == FName) return;
    FName = Value;
    Changed();
}

void TFont::SetCharset(TFontCharset Value) {
    if (Value == FCharset) return;
    FCharset = Value;
    Changed();
}

void TFont::SetStyle(TFontStyles Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    Changed();
}

void TFont::SetHeight(int32_t Value) {
    if (Value == FHeight) return;
    FHeight = Value;
    Changed();
}

int32_t TFont::Size() const { return MulDiv(FHeight, -72, FontPixelsPerInch); }

void TFont::SetSize(int32_t Value) { SetHeight(-MulDiv(Value, FontPixelsPerInch, 72)); }

void TFont::SetColor(TColor Value) {
    if (Value == FColor) return;
    FColor = Value;
    Changed();
}

void TFont::SetPitch(TFontPitch Value) {
    if (Value == FPitch) return;
    FPitch = Value;
    Changed();
}

bool TFont::Equals(const TFont& Other) const {
    return FName == Other.FName && FCharset == Other.FCharset && FStyle == Other.FStyle &&
           FHeight == Other.FHeight && FColor == Other.FColor && FPitch == Other.FPitch;
}

void TFont::Assign(const TPersistent* Source) {
    const TFont* src = dynamic_cast<const TFont*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    if (src == this || Equals(*src)) return;
    FName = src->FName;
    FCharset = src->FCharset;
    FStyle = src->FStyle;
    FHeight = src->FHeight;
    FColor = src->FColor;
    FPitch = src->FPitch;
    Changed();
}

}  // namespace qv
