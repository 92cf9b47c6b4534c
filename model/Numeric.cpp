#include "model/Numeric.h"

int32_t RoundNearest(double v)
{
    return v < 0 ? TruncToInt(v - 0.5) : TruncToInt(v + 0.5);
}

int32_t RoundHalfUp(double v)
{
    if (v > 5e75 || v < -5e75) return 1;
    if (v >= 0) return TruncToInt(v + 0.5);
    const double shifted = v - 0.5;
    const int32_t c = TruncToInt(shifted);
    if (static_cast<double>(c) == shifted) return c + 1;
    return c;
}

bool IsAsciiLetter(unsigned int c)
{
    const unsigned b = c & 0xFFu;
    return (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z');
}

bool IsNumberChar(unsigned int c)
{
    const unsigned b = c & 0xFFu;
    return (b >= '0' && b <= '9') || b == '.' || b == '-' || b == '+';
}
