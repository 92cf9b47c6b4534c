#include "app/text/NumberText.h"

#include <charconv>
#include <cmath>
#include <string>

std::optional<double> ParseNumberText(const QString& text)
{
    std::string s = text.trimmed().toStdString();
    if (!s.empty() && s[0] == '+') {
        s.erase(0, 1);
        if (!s.empty() && s[0] == '-') return std::nullopt;  // one sign only
    }
    if (s.empty()) return std::nullopt;
    double v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

QString FormatNumberText(double value) { return QString::number(value, 'g', 15); }
