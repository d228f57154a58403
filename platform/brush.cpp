#include "platform/brush.h"

#include <algorithm>

namespace qv {

QV_CLASS_IMPL(TBrush, TPersistent)
QV_CLASS_IMPL(TPen, TPersistent)

void TBrush::Changed() {
    if (OnChange) OnChange(this);
}

void TBrush::SetColor(TColor Value) {
    if (Value == FColor) return;
    FColor = Value;
    Changed();
}

void TBrush::SetStyle(TBrushStyle Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    Changed();
}

void TBrush::Assign(const TPersistent* Source) {
    const TBrush* src = dynamic_cast<const TBrush*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    if (Equals(*src)) return;
    FColor = src->FColor;
    FStyle = src->FStyle;
    Changed();
}

void TPen::Changed() {
    if (OnChange) OnChange(this);
}

void TPen::SetColor(TColor Value) {
    if (Value == FColor) return;
    FColor = Value;
    Changed();
}

void TPen::SetWidth(int32_t Value) {
    Value = std::max(Value, 0);
    if (Value == FWidth) return;
    FWidth = Value;
    Changed();
}

void TPen::SetStyle(TPenStyle Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    Changed();
}

void TPen::Assign(const TPersistent* Source) {
    const TPen* src = dynamic_cast<const TPen*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    if (Equals(*src)) return;
    FColor = src->FColor;
    FWidth = src->FWidth;
    FStyle = src->FStyle;
    Changed();
}

}  // namespace qv
