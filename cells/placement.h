// Placing a picture-like object of natural size S in bounds R by a layout:
// WrapMode selects natural size (0), proportional fit (1) or stretch (2);
// HAlign and VAlign then align the result in R (not after a stretch).
#pragma once

#include "grids/types.h"

namespace qv {

TRect QvPlaceRect(const TRect& R, TSize S, const TQvLayout& L);

}  // namespace qv
