#pragma once
// The value of one HP-GL number: a run of number characters (0-9 + - .) and an
// exponent written directly after it. Independent of the locale.
#include <cstdint>
#include <limits>
#include <string_view>

#include "model/Numeric.h"

struct HpglExponent {
    bool present = false;
    bool negative = false;
    int32_t value = 0;  // digits already accumulated, capped
};

// run: the run's characters (the first ones when the run was cut); complete:
// false when characters were dropped, so no exponent follows what is kept.
// The value is the decimal number that begins at the run's first character, 0
// when none does; "1-2" is 1. Overflow gives +-infinity, underflow +-0.
double ParseHpglNumber(std::string_view run, bool complete, HpglExponent exp);

// Largest exponent magnitude kept while reading its digits; beyond this the
// value is infinite or zero anyway.
inline constexpr int32_t kHpglExponentCap = 100000;

// Plot coordinates round halves up and saturate at the int32 range.
inline int32_t RoundPlotCoord(double v)
{
    if (v > -2147483648.0 && v < 2147483647.0) {
        const auto whole = static_cast<int32_t>(v);
        if (whole == v) return whole;  // the common case: no rounding to do
    }
    if (v >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return RoundHalfUp(v);
}
