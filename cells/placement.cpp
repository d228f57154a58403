#include "cells/placement.h"

#include <cmath>

namespace qv {

namespace {

// Rounds to the nearest integer, halves to the even neighbour.
int32_t RoundHalfEven(double V) { return static_cast<int32_t>(std::nearbyint(V)); }

}  // namespace

TRect QvPlaceRect(const TRect& R, TSize S, const TQvLayout& L) {
    TRect p;
    switch (L.WrapMode) {
    case wmWrapWords:
        return R;
    case wmEllipsis:
        // A zero natural size has no proportions to keep: it is placed as
        // it is, as in the natural-size mode.
        if (S.Width > 0 && S.Height > 0) {
            const double kx = static_cast<double>(R.Width()) / S.Width;
            const double ky = static_cast<double>(R.Height()) / S.Height;
            if (kx <= ky) {
                const int32_t h = RoundHalfEven(S.Height * kx);
                const int32_t top = R.Top + (R.Height() - h) / 2;
                p = {R.Left, top, R.Right, top + h};
            } else {
                const int32_t w = RoundHalfEven(S.Width * ky);
                const int32_t left = R.Left + (R.Width() - w) / 2;
                p = {left, R.Top, left + w, R.Bottom};
            }
            break;
        }
        [[fallthrough]];
    default:
        p = {R.Left, R.Top, R.Left + S.Width, R.Top + S.Height};
        break;
    }

    const int32_t w = p.Width();
    const int32_t h = p.Height();
    switch (L.HAlign) {
    case haLeft: p.Left = R.Left; break;
    case haRight: p.Left = R.Right - w; break;
    case haCenter: p.Left = (R.Left + R.Right - w) / 2; break;
    default: break;
    }
    p.Right = p.Left + w;
    switch (L.VAlign) {
    case vaTop: p.Top = R.Top; break;
    case vaBottom: p.Top = R.Bottom - h; break;
    case vaCenter: p.Top = (R.Top + R.Bottom - h) / 2; break;
    default: break;
    }
    p.Bottom = p.Top + h;
    return p;
}

}  // namespace qv
