#include "grids/union_index.h"

#include <algorithm>

namespace qv {

namespace {

void Drop(std::vector<TQvUnion*>& List, TQvUnion* U) {
    auto it = std::find(List.begin(), List.end(), U);
    if (it == List.end()) return;
    *it = List.back();
    List.pop_back();
}

}  // namespace

void TQvUnionIndex::Insert(TQvUnion* U, const TRect& R) {
    if (R.IsEmpty()) return;
    const TRect t = Tiles(R);
    if (Area(t) > MaxTiles) {
        FLarge.push_back(U);
        return;
    }
    for (int32_t ty = t.Top; ty < t.Bottom; ++ty)
        for (int32_t tx = t.Left; tx < t.Right; ++tx) FTiles[Key(tx, ty)].push_back(U);
}

void TQvUnionIndex::Remove(TQvUnion* U, const TRect& R) {
    if (R.IsEmpty()) return;
    const TRect t = Tiles(R);
    if (Area(t) > MaxTiles) {
        Drop(FLarge, U);
        return;
    }
    for (int32_t ty = t.Top; ty < t.Bottom; ++ty)
        for (int32_t tx = t.Left; tx < t.Right; ++tx)
            if (auto it = FTiles.find(Key(tx, ty)); it != FTiles.end()) {
                Drop(it->second, U);
                if (it->second.empty()) FTiles.erase(it);
            }
}

void TQvUnionIndex::Clear() {
    FTiles.clear();
    FLarge.clear();
    FCells.clear();
}

void TQvUnionIndex::AddCell(TQvUnion* U, const TQvCell* C) {
    if (C) FCells.emplace(C, U);
}

void TQvUnionIndex::RemoveCell(TQvUnion* U, const TQvCell* C) {
    if (!C) return;
    const auto [from, to] = FCells.equal_range(C);
    for (auto it = from; it != to; ++it)
        if (it->second == U) {
            FCells.erase(it);
            return;
        }
}

}  // namespace qv
