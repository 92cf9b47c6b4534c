#include "app/dialogs/DataExchange.h"

#include "app/text/NumberText.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {
bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view Trimmed(std::string_view t)
{
    while (!t.empty() && IsBlank(t.front())) t.remove_prefix(1);
    while (!t.empty() && IsBlank(t.back())) t.remove_suffix(1);
    return t;
}

// A leading '+' is accepted as the C runtime does; from_chars does not take it.
std::string_view WithoutPlus(std::string_view t)
{
    if (t.size() > 1 && t.front() == '+' && t[1] != '-' && t[1] != '+') t.remove_prefix(1);
    return t;
}

bool DecimalOnly(std::string_view t)
{
    for (char c : t) {
        const bool ok = (c >= '0' && c <= '9') || c == '.' || c == '-' || c == 'e' || c == 'E' || c == '+';
        if (!ok) return false;
    }
    return !t.empty();
}

template <class T>
std::optional<T> ParseInteger(std::string_view text)
{
    const std::string_view t = WithoutPlus(Trimmed(text));
    if (t.empty()) return std::nullopt;
    T v{};
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v, 10);
    if (ec != std::errc() || end != t.data() + t.size()) return std::nullopt;
    return v;
}

QString FromUtf8(const char* s)
{
    return QString::fromUtf8(s);
}
}  // namespace

std::optional<int> CDataExchange::ParseInt(std::string_view text)
{
    return ParseInteger<int>(text);
}

std::optional<unsigned> CDataExchange::ParseUInt(std::string_view text)
{
    const std::string_view t = Trimmed(text);
    if (!t.empty() && t.front() == '-') return std::nullopt;
    return ParseInteger<unsigned>(t);
}

std::optional<double> CDataExchange::ParseDouble(std::string_view text)
{
    const std::string_view t = Trimmed(text);
    // from_chars alone would take "inf" and "nan": only plain decimal text counts.
    if (!DecimalOnly(WithoutPlus(t))) return std::nullopt;
    return ParseNumberText(QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size())));
}

QString CDataExchange::FormatDouble(double value)
{
    return FormatNumberText(value);
}

QString CDataExchange::Format(FieldKind kind, double value)
{
    switch (kind) {
    case FieldKind::Double:
        return FormatDouble(value);
    case FieldKind::Int:
    case FieldKind::UInt:
        return QString::number(static_cast<long long>(value));
    case FieldKind::Check:
        break;
    }
    return {};
}

QString CDataExchange::NotInteger(int language)
{
    return language == 0 ? FromUtf8("请输入一个整数。") : QStringLiteral("Please enter an integer.");
}

QString CDataExchange::NotPositiveInteger(int language)
{
    return language == 0 ? FromUtf8("请输入一个正整数。") : QStringLiteral("Please enter a positive integer.");
}

QString CDataExchange::NotNumber(int language)
{
    return language == 0 ? FromUtf8("请输入一个数字。") : QStringLiteral("Please enter a number.");
}

QString CDataExchange::IntegerRange(int language, double lo, double hi)
{
    const QString f = language == 0 ? FromUtf8("请输入一个 %1 至 %2 之间的整数。")
                                    : QStringLiteral("Please enter an integer between %1 and %2.");
    return f.arg(Format(FieldKind::Int, lo), Format(FieldKind::Int, hi));
}

QString CDataExchange::NumberRange(int language, double lo, double hi)
{
    const QString f = language == 0 ? FromUtf8("请输入一个 %1 至 %2 之间的数字。")
                                    : QStringLiteral("Please enter a number between %1 and %2.");
    return f.arg(FormatDouble(lo), FormatDouble(hi));
}

ExchangeResult CDataExchange::Check(const FieldSpec& spec, const QString& text, int language)
{
    // Anything outside ASCII cannot be part of a number; its UTF-8 bytes make
    // the parse fail as they should.
    const std::string utf8 = text.toStdString();
    ExchangeResult r;
    switch (spec.kind) {
    case FieldKind::Check:
        r.ok = true;
        return r;
    case FieldKind::Int: {
        const auto v = ParseInt(utf8);
        if (!v) {
            r.message = NotInteger(language);
            return r;
        }
        r.value = *v;
        if (r.value < spec.lo || r.value > spec.hi) {
            r.message = IntegerRange(language, spec.lo, spec.hi);
            return r;
        }
        break;
    }
    case FieldKind::UInt: {
        const auto v = ParseUInt(utf8);
        if (!v) {
            r.message = NotPositiveInteger(language);
            return r;
        }
        r.value = *v;
        if (r.value < spec.lo || r.value > spec.hi) {
            r.message = IntegerRange(language, spec.lo, spec.hi);
            return r;
        }
        break;
    }
    case FieldKind::Double: {
        const auto v = ParseDouble(utf8);
        if (!v) {
            r.message = NotNumber(language);
            return r;
        }
        r.value = *v;
        if (r.value < spec.lo || r.value > spec.hi) {
            r.message = NumberRange(language, spec.lo, spec.hi);
            return r;
        }
        break;
    }
    }
    r.ok = true;
    return r;
}
