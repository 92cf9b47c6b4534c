#pragma once
// Rounding, truncation and character tests shared by every subsystem.
#include <cstdint>
#include <limits>

// Float-to-int as the plot pipeline needs it: toward zero, saturated to the
// int32 range, NaN as 0 (a plain cast would be undefined behaviour out of range).
inline int32_t TruncToInt(double v)
{
    if (!(v == v)) return 0;
    if (v >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

// Wide integer result saturated to int32.
inline int32_t SaturateToInt(int64_t v)
{
    if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

// Halves away from zero.
int32_t RoundNearest(double v);
// Halves toward plus infinity; magnitudes beyond 5e75 give 1.
int32_t RoundHalfUp(double v);
// Both test only the low 8 bits of the character.
bool IsAsciiLetter(unsigned int c);
bool IsNumberChar(unsigned int c);
