// The encoding an area's record (TQvAreaSnapshot) and an area's change
// (TQvAreaChange) share: unsigned LEB128 varints, zigzag signs, and the
// lines and keys of the section tables an area touches.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "grids/types.h"
#include "platform/geometry.h"

namespace qv {

class TListSList;
class TQvSheet;
class TStream;

namespace area_codec {

inline uint64_t Zig(int64_t V) { return (static_cast<uint64_t>(V) << 1) ^ static_cast<uint64_t>(V >> 63); }
inline int64_t Unzig(uint64_t V) { return static_cast<int64_t>(V >> 1) ^ -static_cast<int64_t>(V & 1); }

void PutVar(TStream& S, uint64_t V);
uint64_t GetVar(TStream& S);

inline void PutVar(std::string& S, uint64_t V) {
    do {
        const auto b = static_cast<char>((V & 0x7F) | (V > 0x7F ? 0x80 : 0));
        S.push_back(b);
        V >>= 7;
    } while (V);
}

// Writes V at Out (room for 10 bytes); returns the bytes written.
inline size_t PutVar(char* Out, uint64_t V) {
    size_t n = 0;
    do {
        Out[n++] = static_cast<char>((V & 0x7F) | (V > 0x7F ? 0x80 : 0));
        V >>= 7;
    } while (V);
    return n;
}

// Reads a varint at P, never past End (a value cut short reads as far as
// it goes).
inline uint64_t GetVar(const char*& P, const char* End) {
    uint64_t v = 0;
    for (int shift = 0; shift < 64 && P < End; shift += 7) {
        const auto b = static_cast<uint8_t>(*P++);
        v |= uint64_t(b & 0x7F) << shift;
        if (!(b & 0x80)) break;
    }
    return v;
}

// The lines and keys of table T that an area touches: the vertical grid
// lines from its left to its right edge, the horizontal ones from its top
// to its bottom edge, and one line per row for the other tables.
void TableSpan(int T, const TRect& A, int32_t& LineFrom, int32_t& LineTo, int32_t& KeyFrom, int32_t& KeyTo);
// The part of the axis whose sizes the section's rows or columns use.
TQvSizePart PartOf(TQvSectionKind Kind, TQvAxis Axis);

// Writes one line's entries as a record holds them (at S: for frames the
// sub-list's default, then the runs, 0 after the last) into line Line of
// table T, making its list when missing. The line's keys in the area were
// cleared before.
void ReadLineRuns(TListSList& Table, int T, int32_t Line, TStream& S);
// Puts the individual sizes of axis A of section Kind in [From, To) back to
// Sizes (index, stored offset); views lay out again only on a real change.
void PutSizes(TQvSheet& Sheet, TQvSectionKind Kind, TQvAxis A, int32_t From, int32_t To,
              const std::vector<std::pair<int32_t, int32_t>>& Sizes);

// A fast 64-bit digest of bytes, for telling records apart; the bytes may
// come in pieces of any size.
class TDigest {
public:
    explicit TDigest(uint64_t Seed = 0) : FHash(Seed) {}
    void Add(const void* Data, size_t Size);
    uint64_t Value() const;

private:
    void Mix(uint64_t V);
    uint64_t FHash;
    uint64_t FTotal = 0;
    unsigned char FTail[8] = {};
    size_t FTailSize = 0;
};

inline uint64_t Digest(const void* Data, size_t Size, uint64_t Seed) {
    TDigest d(Seed);
    d.Add(Data, Size);
    return d.Value();
}

}  // namespace area_codec
}  // namespace qv
