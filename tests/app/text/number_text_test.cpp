// Guards: typed numbers read in the process locale or with trailing junk, or shown with binary noise.
#include <gtest/gtest.h>

#include <optional>
#include <utility>

#include <QString>

#include "app/text/NumberText.h"

TEST(NumberText, ParsesCLocaleNumbersOnly)
{
    const std::pair<const char*, std::optional<double>> cases[] = {
        {"2.5", 2.5},   {"  -4 ", -4.0}, {"+7", 7.0},   {"1e3", 1000.0}, {".5", 0.5},
        {"", {}},       {"   ", {}},     {"abc", {}},   {"1,5", {}},     {"2.5x", {}},
        {"nan", {}},    {"inf", {}},     {"1e999", {}}, {"--1", {}},     {"+-1", {}},
        {"0x10", {}},   {"1 2", {}},
    };
    for (const auto& [text, want] : cases) EXPECT_EQ(ParseNumberText(QString::fromUtf8(text)), want) << text;
    EXPECT_EQ(FormatNumberText(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(FormatNumberText(0.1 + 0.2), "0.3");
    EXPECT_EQ(FormatNumberText(2000), "2000");
    EXPECT_EQ(FormatNumberText(-1e20), "-1e+20");
}
