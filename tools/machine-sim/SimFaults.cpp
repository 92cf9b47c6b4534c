#include "tools/machine-sim/SimFaults.h"

#include <charconv>

namespace {
bool ToInt(const std::string& s, int& out)
{
    if (s.empty()) return false;
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && p == s.data() + s.size() && out >= 0;
}
}  // namespace

bool ApplyFault(const std::string& text, SimFaults& f)
{
    const auto eq = text.find('=');
    const std::string name = text.substr(0, eq);
    const std::string value = eq == std::string::npos ? std::string() : text.substr(eq + 1);
    const bool hasValue = eq != std::string::npos;
    if (name == "late") return ToInt(value, f.lateMs);
    if (name == "answer-one-after") return ToInt(value, f.answerOneAfter);
    if (name == "drop-after-bands") return ToInt(value, f.dropAfterBands);
    if (name == "silent-after-bands") return ToInt(value, f.silentAfterBands);
    if (name == "hold-after-bands") return ToInt(value, f.holdAfterBands);
    if (hasValue) return false;
    if (name == "short-reply") return f.shortReply = true;
    if (name == "split-reply") return f.splitReply = true;
    if (name == "close-mid-exchange") return f.closeMidExchange = true;
    if (name == "refuse") return f.refuse = true;
    if (name == "mem-error") return f.memError = true;
    return false;
}
