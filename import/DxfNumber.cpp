#include "import/DxfNumber.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <system_error>

namespace {

bool IsCBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// from_chars leaves the value alone when it is out of range; decide from the
// decimal magnitude whether atof would have given infinity or zero.
bool MagnitudeIsLarge(const char* p, const char* end)
{
    int64_t intDigits = 0, leadingFracZeros = 0;
    bool seenNonZero = false;
    while (p < end && IsDigit(*p)) {
        if (*p != '0' || seenNonZero) {
            seenNonZero = true;
            ++intDigits;
        }
        ++p;
    }
    if (p < end && *p == '.') {
        ++p;
        while (p < end && IsDigit(*p)) {
            if (!seenNonZero) {
                if (*p == '0') ++leadingFracZeros;
                else seenNonZero = true;
            }
            ++p;
        }
    }
    int64_t exponent = 0;
    if (p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        bool negative = false;
        if (p < end && (*p == '+' || *p == '-')) negative = (*p++ == '-');
        while (p < end && IsDigit(*p)) {
            if (exponent < 100000000) exponent = exponent * 10 + (*p - '0');
            ++p;
        }
        if (negative) exponent = -exponent;
    }
    const int64_t magnitude = intDigits > 0 ? intDigits + exponent : exponent - leadingFracZeros;
    return magnitude > 0;
}

// A plain decimal ("123.4567", as markers write every coordinate) with at
// most 19 digits, a value up to 2^53 and at most 22 after the point: the
// quotient of two exact doubles is then the correctly rounded value, the one
// from_chars gives. False for anything else, which takes the general path.
bool PlainDecimal(const char* p, const char* end, double& out)
{
    static constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    uint64_t m = 0;
    int digits = 0;
    for (; p < end && IsDigit(*p); ++p) {
        if (++digits > 19) return false;
        m = m * 10 + static_cast<uint64_t>(*p - '0');
    }
    int fraction = 0;
    if (p < end && *p == '.') {
        for (++p; p < end && IsDigit(*p); ++p) {
            if (++digits > 19) return false;
            m = m * 10 + static_cast<uint64_t>(*p - '0');
            ++fraction;
        }
        if (fraction == 0) return false;
    }
    if (digits == 0 || (p < end && (*p == 'e' || *p == 'E'))) return false;
    if (m > (uint64_t{1} << 53)) return false;
    out = static_cast<double>(m) / kPow10[fraction];
    return true;
}

}  // namespace

int32_t DxfAtoi(const char* s)
{
    return DxfAtoi(std::string_view(s));
}

double DxfAtof(const char* s)
{
    return DxfAtof(std::string_view(s));
}

// Neither parse reads past a NUL byte (no number holds one), so the bytes
// after it in a value change nothing.
int32_t DxfAtoi(std::string_view text)
{
    const char* s = text.data();
    const char* end = s + text.size();
    while (s < end && IsCBlank(*s)) ++s;
    bool negative = false;
    if (s < end && (*s == '+' || *s == '-')) negative = (*s++ == '-');
    if (s == end || !IsDigit(*s)) return 0;
    uint64_t magnitude = 0;
    auto [ptr, ec] = std::from_chars(s, end, magnitude);
    (void)ptr;
    const uint64_t limit = negative ? 2147483648ull : 2147483647ull;
    if (ec == std::errc::result_out_of_range || magnitude > limit) magnitude = limit;
    return negative ? static_cast<int32_t>(-static_cast<int64_t>(magnitude)) : static_cast<int32_t>(magnitude);
}

double DxfAtof(std::string_view text)
{
    const char* s = text.data();
    const char* end = s + text.size();
    while (s < end && IsCBlank(*s)) ++s;
    bool negative = false;
    if (s < end && (*s == '+' || *s == '-')) negative = (*s++ == '-');
    // from_chars takes its own minus sign; a second sign is no number.
    if (s < end && (*s == '+' || *s == '-')) return 0.0;
    double v = 0.0;
    if (PlainDecimal(s, end, v)) return negative ? -v : v;
    auto [ptr, ec] = std::from_chars(s, end, v, std::chars_format::general);
    if (ec == std::errc::invalid_argument) return 0.0;
    if (ec == std::errc::result_out_of_range)
        v = MagnitudeIsLarge(s, ptr) ? HUGE_VAL : 0.0;
    return negative ? -v : v;
}
