// Points, sizes and rectangles.
//
// TRect is half-open: Left and Top are the first column/row (or pixel),
// Right and Bottom are one past the last. Used both for rectangles of cells
// and for pixel rectangles; the caller's names say which space is meant.
#pragma once

#include <algorithm>
#include <cstdint>

namespace qv {

struct TPoint {
    int32_t X = 0;
    int32_t Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
    int32_t Width = 0;
    int32_t Height = 0;
    friend bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;

    int32_t Width() const { return Right - Left; }
    int32_t Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    TPoint TopLeft() const { return {Left, Top}; }
    bool Contains(TPoint P) const { return P.X >= Left && P.X < Right && P.Y >= Top && P.Y < Bottom; }
    bool Contains(const TRect& R) const {
        return R.Left >= Left && R.Right <= Right && R.Top >= Top && R.Bottom <= Bottom;
    }
    bool Intersects(const TRect& R) const {
        return R.Left < Right && Left < R.Right && R.Top < Bottom && Top < R.Bottom;
    }
    // The common part; an empty rectangle when they do not meet.
    TRect Intersected(const TRect& R) const {
        TRect r{std::max(Left, R.Left), std::max(Top, R.Top), std::min(Right, R.Right),
                std::min(Bottom, R.Bottom)};
        return r.IsEmpty() ? TRect{} : r;
    }
    TRect Offset(int32_t DX, int32_t DY) const { return {Left + DX, Top + DY, Right + DX, Bottom + DY}; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

inline TRect Rect(int32_t Left, int32_t Top, int32_t Right, int32_t Bottom) { return {Left, Top, Right, Bottom}; }

}  // namespace qv
