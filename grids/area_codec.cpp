#include "grids/area_codec.h"

#include <algorithm>
#include <cstring>

#include "grids/sheet.h"
#include "grids/sheet_view.h"
#include "grids/size_list.h"
#include "lists/int_slist.h"
#include "lists/list_slist.h"
#include "platform/stream.h"

namespace qv::area_codec {

void TableSpan(int T, const TRect& A, int32_t& LineFrom, int32_t& LineTo, int32_t& KeyFrom, int32_t& KeyTo) {
    LineFrom = T == tbVertLines ? A.Left : A.Top;
    LineTo = T == tbVertLines ? A.Right : T == tbHorzLines ? A.Bottom : A.Bottom - 1;
    KeyFrom = T == tbVertLines ? A.Top : A.Left;
    KeyTo = T == tbVertLines ? A.Bottom - 1 : A.Right - 1;
}

TQvSizePart PartOf(TQvSectionKind Kind, TQvAxis Axis) {
    const TQvSectionKind same = Axis == axCols ? skColTitles : skRowTitles;
    return Kind == skClient || Kind == same ? spClient : spTitle;
}

void PutVar(TStream& S, uint64_t V) {
    uint8_t buf[10];
    int n = 0;
    do {
        buf[n] = static_cast<uint8_t>(V & 0x7F);
        V >>= 7;
        if (V) buf[n] |= 0x80;
        ++n;
    } while (V);
    S.WriteBuffer(buf, n);
}

uint64_t GetVar(TStream& S) {
    uint64_t v = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        const uint8_t b = S.ReadByte();
        v |= uint64_t(b & 0x7F) << shift;
        if (!(b & 0x80)) break;
    }
    return v;
}

void ReadLineRuns(TListSList& Table, int T, int32_t Line, TStream& S) {
    const int32_t def = T == tbFrames ? static_cast<int32_t>(Unzig(GetVar(S))) : 0;
    TSList* list = Table.List(Line);
    if (!list) {
        if (T == tbFrames) {
            auto* frames = new TIntSList();
            frames->SetDefault(def);
            list = frames;
        } else {
            list = new TSList();
        }
        Table.SetItem(Line, list);
    }
    // A frame list made since keeps its own default: the values stay.
    const int32_t shift = T == tbFrames ? def - static_cast<TIntSList*>(list)->Default() : 0;
    int64_t key = 0;
    for (uint64_t dk = GetVar(S); dk != 0; dk = GetVar(S)) {
        key += int64_t(dk - 1);
        const int64_t last = key + int64_t(GetVar(S));
        const auto raw = static_cast<int32_t>(Unzig(GetVar(S)) + shift);
        for (int64_t k = key; k <= last; ++k) list->SetItem(static_cast<int32_t>(k), raw);
        key = last + 1;
    }
}

void PutSizes(TQvSheet& Sheet, TQvSectionKind Kind, TQvAxis A, int32_t From, int32_t To,
              const std::vector<std::pair<int32_t, int32_t>>& Sizes) {
    TQvSizeList* list = Sheet.Sizes(A, PartOf(Kind, A));
    size_t n = 0;
    bool changed = false;
    list->ForEachIn(From, To - 1, [&](int32_t i, int32_t raw) {
        changed = n >= Sizes.size() || Sizes[n].first != i || Sizes[n].second != raw;
        ++n;
        return changed;
    });
    if (!changed && n == Sizes.size()) return;
    list->ClearRange(From, To - 1);
    for (const auto& [i, raw] : Sizes) list->SetItem(i, raw);
    for (int i = Sheet.ViewCount() - 1; i >= 0; --i)
        if (i < Sheet.ViewCount()) Sheet.Views(i)->UpdateSizes(A);
}

void TDigest::Mix(uint64_t V) {
    FHash ^= V * 0x9E3779B97F4A7C15ull;
    FHash = (FHash << 29 | FHash >> 35) * 0xBF58476D1CE4E5B9ull;
}

void TDigest::Add(const void* Data, size_t Size) {
    if (Size == 0) return;  // Data may then be null (an empty vector's)
    const auto* p = static_cast<const unsigned char*>(Data);
    FTotal += Size;
    if (FTailSize > 0) {
        const size_t n = std::min(Size, 8 - FTailSize);
        std::memcpy(FTail + FTailSize, p, n);
        FTailSize += n;
        p += n;
        Size -= n;
        if (FTailSize < 8) return;
        uint64_t v;
        std::memcpy(&v, FTail, 8);
        Mix(v);
        FTailSize = 0;
    }
    for (; Size >= 8; p += 8, Size -= 8) {
        uint64_t v;
        std::memcpy(&v, p, 8);
        Mix(v);
    }
    std::memcpy(FTail, p, Size);
    FTailSize = Size;
}

uint64_t TDigest::Value() const {
    TDigest d = *this;
    uint64_t tail = 0;
    std::memcpy(&tail, d.FTail, d.FTailSize);
    d.Mix(tail ^ (FTotal << 8) ^ 0xFF);
    return d.FHash ^ (d.FHash >> 31);
}

}  // namespace qv::area_codec
