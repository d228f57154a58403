// The platform's currency value: a signed 64-bit integer holding the amount
// times 10 000, so four decimals are exact and sums never drift.
#pragma once

#include <compare>
#include <cstdint>

namespace qv {

struct Currency {
    static constexpr int64_t Scale = 10000;

    int64_t Scaled = 0;  // the amount × 10 000

    static constexpr Currency FromScaled(int64_t S) { return Currency{S}; }
    // Division by 10 000 is correctly rounded, so 12345 reads as 1.2345 exactly
    // as the nearest double.
    double ToDouble() const { return static_cast<double>(Scaled) / Scale; }

    friend constexpr auto operator<=>(const Currency&, const Currency&) = default;
};

}  // namespace qv
