#pragma once
// Reading typed values back from a dialog's controls: parse in the C locale,
// then check the range, with the messages operators know from the original
// program. No validator blocks typing; the check runs once, on OK.
#include <QString>

#include <optional>
#include <string_view>

enum class FieldKind { Check, Int, UInt, Double };

// One exchanged control: its id, kind and allowed range (inclusive).
struct FieldSpec {
    int id;
    FieldKind kind;
    double lo = 0;
    double hi = 0;
};

struct ExchangeResult {
    bool ok = false;
    double value = 0;  // integers are exact in a double
    QString message;   // set when !ok
};

class CDataExchange {
public:
    // Decimal only, blanks around allowed, one leading '+'. Hex, "inf", "nan"
    // and values beyond the type are not numbers.
    static std::optional<int> ParseInt(std::string_view text);
    static std::optional<unsigned> ParseUInt(std::string_view text);
    static std::optional<double> ParseDouble(std::string_view text);

    // Parse then range of one edit's text; language 0 Chinese, else English.
    static ExchangeResult Check(const FieldSpec& spec, const QString& text, int language);

    // What an edit shows: integers as such, doubles as "%.15g" (C locale).
    static QString Format(FieldKind kind, double value);
    static QString FormatDouble(double value);

    // The messages themselves.
    static QString NotInteger(int language);
    static QString NotPositiveInteger(int language);
    static QString NotNumber(int language);
    static QString IntegerRange(int language, double lo, double hi);
    static QString NumberRange(int language, double lo, double hi);
};
