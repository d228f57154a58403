#include "grids/union.h"

#include "grids/section.h"

namespace qv {

void TQvUnion::SetRect(const TRect& R) {
    if (R == FRect) return;
    if (FSection) FSection->Invalidate(FRect, false);
    FRect = R;
    if (FSection) FSection->NormaliseUnion(this);
}

}  // namespace qv
