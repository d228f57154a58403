// The stored form of a typed cell without a value: the value field holds 0
// and one byte follows it at the end of the cell's record. A reader that
// does not know the mark skips it with the rest of the record and sees 0;
// cell records are always read through a window of their own length, so
// the mark is never taken from the next record.
#pragma once

#include <cstdint>

#include "platform/stream.h"

namespace qv {

constexpr uint8_t BlankValueMark = 1;

inline void WriteBlankMark(TStream& Stream, bool Blank) {
    if (Blank) Stream.WriteByte(BlankValueMark);
}

inline bool ReadBlankMark(TStream& Stream) { return Stream.Remaining() > 0 && Stream.ReadByte() == BlankValueMark; }

}  // namespace qv
