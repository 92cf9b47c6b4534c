#pragma once
// Numbers typed into and shown by the dialogs: C locale whatever the
// desktop's, blanks around allowed.
#include <optional>

#include <QString>

// The number the whole text is, when it is a finite one.
std::optional<double> ParseNumberText(const QString& text);
// 15 significant digits, as the value is shown for editing.
QString FormatNumberText(double value);
