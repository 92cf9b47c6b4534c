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

}  // namespace

double ParseHpglNumber(std::string_view run, bool complete, HpglExponent exp)
{
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
