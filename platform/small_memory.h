// Memory for the sheet model's small objects: cells, rows, sparse list
// pages, texts.
//
// A sheet may hold millions of them, made and freed in bulk (an import,
// loading a file, freeing a sheet). They are taken from 2 MiB chunks on huge
// pages, one chunk list per size class in steps of 16 bytes, so that making
// a million cells costs a few dozen page faults rather than tens of
// thousands, no object carries a heap header, and freeing a sheet gives
// whole chunks back to the system. A size class's first chunk is mapped in
// small pages as they are touched, so a program with small sheets does not
// pay 2 MiB for each size it uses. Each size class keeps at most one empty
// chunk in reserve.
//
// Thread-safe: sheets may be built and freed on different threads. Objects
// larger than MaxSmallObjectSize come from operator new. In builds with
// AddressSanitizer every object comes from operator new, so that a use after
// free is still caught.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qv {

constexpr size_t MaxSmallObjectSize = 256;

// Memory for an object of Size bytes, aligned to 16 bytes.
void* AllocateSmallObject(size_t Size);
// Size must be the size given to AllocateSmallObject.
void FreeSmallObject(void* P, size_t Size) noexcept;

// Chunks the pool holds now, over all size classes, and the bytes of the
// objects living in them (sizes rounded up to 16), for tests and for
// benchmarks, which add them to the heap's own figures.
int64_t SmallObjectChunks();
int64_t SmallObjectBytes();

}  // namespace qv
