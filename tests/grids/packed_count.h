// How many cells of a sheet's client section are held packed, for tests of
// what stays packed.
#pragma once

#include <cstddef>

#include "grids/section.h"
#include "grids/sheet.h"

namespace qv::test {

inline size_t PackedCount(const TQvSheet& S) {
    size_t n = 0;
    S.Sections(skClient)->ForEach([&](int32_t, TObject* R) {
        n += static_cast<TQvRow*>(R)->Packed().Count();
        return false;
    });
    return n;
}

}  // namespace qv::test
