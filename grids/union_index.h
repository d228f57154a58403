// TQvUnionIndex: where a section's merged ranges lie, so that finding the
// range at a position, or the one a cell heads, does not scan them all.
//
// Ranges are filed under each 16 x 16 tile of positions they cover; a range
// over more than MaxTiles tiles is kept in one list looked at every time.
// The index holds exactly the ranges with a non-empty rectangle, each filed
// under the rectangle it has now: whoever changes a range's rectangle takes
// it out before and files it again after (TQvSection does).
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "platform/geometry.h"

namespace qv {

class TQvCell;
class TQvUnion;

class TQvUnionIndex {
public:
    void Insert(TQvUnion* U, const TRect& R);
    void Remove(TQvUnion* U, const TRect& R);
    void Clear();

    // Calls Fn(TQvUnion*) for every range filed under a tile that R meets
    // (a range may come more than once, and may not meet R itself). False,
    // calling nothing, when R spans so many tiles that scanning all Total
    // ranges is cheaper.
    template <typename TFn>
    bool ForEachNear(const TRect& R, size_t Total, TFn&& Fn) const;

    // The ranges whose cell is C, in any order.
    void AddCell(TQvUnion* U, const TQvCell* C);
    void RemoveCell(TQvUnion* U, const TQvCell* C);
    template <typename TFn>
    void ForEachOfCell(const TQvCell* C, TFn&& Fn) const;

private:
    static constexpr int TileShift = 4;
    static constexpr int64_t MaxTiles = 16;
    static uint64_t Key(int32_t TX, int32_t TY) { return (uint64_t(uint32_t(TY)) << 32) | uint32_t(TX); }
    static TRect Tiles(const TRect& R) {
        return {R.Left >> TileShift, R.Top >> TileShift, ((R.Right - 1) >> TileShift) + 1,
                ((R.Bottom - 1) >> TileShift) + 1};
    }
    static int64_t Area(const TRect& T) { return int64_t(T.Right - T.Left) * (T.Bottom - T.Top); }

    std::unordered_map<uint64_t, std::vector<TQvUnion*>> FTiles;
    std::vector<TQvUnion*> FLarge;
    std::unordered_multimap<const TQvCell*, TQvUnion*> FCells;
};

template <typename TFn>
bool TQvUnionIndex::ForEachNear(const TRect& R, size_t Total, TFn&& Fn) const {
    if (R.IsEmpty()) return true;
    const TRect t = Tiles(R);
    if (Area(t) > int64_t(Total)) return false;
    for (TQvUnion* u : FLarge) Fn(u);
    if (FTiles.empty()) return true;
    for (int32_t ty = t.Top; ty < t.Bottom; ++ty)
        for (int32_t tx = t.Left; tx < t.Right; ++tx)
            if (auto it = FTiles.find(Key(tx, ty)); it != FTiles.end())
                for (TQvUnion* u : it->second) Fn(u);
    return true;
}

template <typename TFn>
void TQvUnionIndex::ForEachOfCell(const TQvCell* C, TFn&& Fn) const {
    const auto [from, to] = FCells.equal_range(C);
    for (auto it = from; it != to; ++it) Fn(it->second);
}

}  // namespace qv
