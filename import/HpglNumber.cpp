#include "import/HpglNumber.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {

// The order of magnitude of a parsed prefix, for the out-of-range case: the
// digits before the point minus the zeros after it, plus the exponent.
double OutOfRange(std::string_view text, bool negative)
{
    long magnitude = 0;
    bool seenPoint = false, seenDigit = false;
    size_t i = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.') {
            seenPoint = true;
        } else if (c >= '0' && c <= '9') {
            if (c != '0') seenDigit = true;
            if (!seenPoint && seenDigit) ++magnitude;
            if (seenPoint && !seenDigit) --magnitude;
        } else {
            break;
        }
    }
    if (i + 1 < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        long e = 0;
        std::from_chars(text.data() + i + 1 + (text[i + 1] == '+' ? 1 : 0), text.data() + text.size(), e);
        magnitude += e;
    }
    const double v = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -v : v;
}

// Plain decimals as plot files write them ("1234", "-12.5"): with at most 15
// digits and 22 decimals, digits / 10^decimals is one correctly rounded
// division of exact values, the same double as the general conversion gives.
bool FastDecimal(std::string_view s, double& out)
{
    static constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
    uint64_t mantissa = 0;
    int digits = 0, decimals = 0;
    bool point = false;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (c >= '0' && c <= '9') {
            if (++digits > 15) return false;
            mantissa = mantissa * 10 + static_cast<uint64_t>(c - '0');
            if (point) ++decimals;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    if (digits == 0) return false;
    const double m = static_cast<double>(mantissa);
    const double v = decimals == 0 ? m : m / kPow10[decimals];
    out = negative ? -v : v;
    return true;
}

}  // namespace

double ParseHpglNumber(std::string_view run, bool complete, HpglExponent exp)
{
    double fast = 0;
    if (!exp.present && complete && FastDecimal(run, fast)) return fast;

    bool negative = false;
    size_t start = 0;
    if (!run.empty() && (run[0] == '+' || run[0] == '-')) {
        negative = run[0] == '-';
        start = 1;
    }
    const std::string_view body = run.substr(start);
    if (body.empty() || body[0] == '+' || body[0] == '-') return 0.0;

    double value = 0;
    auto [ptr, ec] = std::from_chars(body.data(), body.data() + body.size(), value, std::chars_format::fixed);
    if (ec == std::errc::invalid_argument) return 0.0;
    const bool whole = ptr == body.data() + body.size();
    std::string_view parsed(body.data(), static_cast<size_t>(ptr - body.data()));

    std::string withExp;
    if (exp.present && complete && whole) {
        withExp.reserve(parsed.size() + 12);
        withExp.append(parsed);
        withExp += 'e';
        if (exp.negative) withExp += '-';
        withExp += std::to_string(exp.value);
        auto r = std::from_chars(withExp.data(), withExp.data() + withExp.size(), value,
                                 std::chars_format::general);
        ec = r.ec;
        parsed = withExp;
    }
    if (ec == std::errc::result_out_of_range) return OutOfRange(parsed, negative);
    return negative ? -value : value;
}
