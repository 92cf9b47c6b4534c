// Guards: typed values accepted out of range, refused with the wrong message, or read and shown in the process locale.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <string>

#include "app/dialogs/DataExchange.h"

namespace {
struct Case {
    FieldSpec spec;
    const char* text;
    bool ok;
    double value;
    const char* message;  // Chinese
};

const FieldSpec kUInt{1, FieldKind::UInt, 1, 5};
const FieldSpec kInt{2, FieldKind::Int, 100, 250};
const FieldSpec kDouble{3, FieldKind::Double, 0.1, 3};

TEST(DataExchange, TextsToValuesOrMessages)
{
    const Case cases[] = {
        {kUInt, "3", true, 3, ""},
        {kUInt, " 5 ", true, 5, ""},
        {kUInt, "+4", true, 4, ""},
        {kUInt, "6", false, 0, "请输入一个 1 至 5 之间的整数。"},
        {kUInt, "0", false, 0, "请输入一个 1 至 5 之间的整数。"},
        {kUInt, "-1", false, 0, "请输入一个正整数。"},
        {kUInt, "-", false, 0, "请输入一个正整数。"},
        {kUInt, "", false, 0, "请输入一个正整数。"},
        {kUInt, "abc", false, 0, "请输入一个正整数。"},
        {kUInt, "0x10", false, 0, "请输入一个正整数。"},
        {kUInt, "99999999999", false, 0, "请输入一个正整数。"},
        {kInt, "2.5", false, 0, "请输入一个整数。"},
        {kInt, "", false, 0, "请输入一个整数。"},
        {kInt, "-", false, 0, "请输入一个整数。"},
        {kInt, "1 0", false, 0, "请输入一个整数。"},
        {kInt, "99", false, 0, "请输入一个 100 至 250 之间的整数。"},
        {kInt, "250", true, 250, ""},
        {kInt, "-2147483649", false, 0, "请输入一个整数。"},
        {kDouble, "1.5", true, 1.5, ""},
        {kDouble, ".5", true, 0.5, ""},
        {kDouble, "3e0", true, 3, ""},
        {kDouble, "3.01", false, 0, "请输入一个 0.1 至 3 之间的数字。"},
        {kDouble, "1,5", false, 0, "请输入一个数字。"},
        {kDouble, "nan", false, 0, "请输入一个数字。"},
        {kDouble, "inf", false, 0, "请输入一个数字。"},
        {kDouble, "1e999", false, 0, "请输入一个数字。"},
        {kDouble, "0x1p0", false, 0, "请输入一个数字。"},
        {kDouble, "", false, 0, "请输入一个数字。"},
        {kDouble, "1.5.", false, 0, "请输入一个数字。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const ExchangeResult r = CDataExchange::Check(c.spec, QString::fromUtf8(c.text), 0);
        EXPECT_EQ(r.ok, c.ok);
        if (c.ok) {
            EXPECT_EQ(r.value, c.value);
        }
        EXPECT_EQ(r.message.toStdString(), c.message);
    }
}

TEST(DataExchange, EnglishMessages)
{
    EXPECT_EQ(CDataExchange::Check(kUInt, "-1", 1).message, "Please enter a positive integer.");
    EXPECT_EQ(CDataExchange::Check(kInt, "x", 2).message, "Please enter an integer.");
    EXPECT_EQ(CDataExchange::Check(kDouble, "x", 1).message, "Please enter a number.");
    EXPECT_EQ(CDataExchange::Check(kInt, "1", 1).message, "Please enter an integer between 100 and 250.");
    EXPECT_EQ(CDataExchange::Check({4, FieldKind::Double, 100, 6553.5}, "6553.6", 1).message,
              "Please enter a number between 100 and 6553.5.");
}

TEST(DataExchange, FormatsAndParsesInTheCLocaleWhateverTheProcessLocale)
{
    // A comma-decimal locale must change neither what is shown nor what is read.
    // Without that locale the test would prove nothing: it fails instead
    // (tools/test.sh generates de_DE.UTF-8).
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr) << "the locale de_DE.UTF-8 is not installed";
    struct Restore {
        std::string name;
        ~Restore() { std::setlocale(LC_NUMERIC, name.c_str()); }
    } restore{before};
    char comma[16];
    std::snprintf(comma, sizeof comma, "%.1f", 1.5);
    ASSERT_STREQ(comma, "1,5") << "the locale took no effect";
    EXPECT_EQ(CDataExchange::FormatDouble(8 * 0.1), "0.8");
    EXPECT_EQ(CDataExchange::FormatDouble(1.5), "1.5");
    EXPECT_EQ(CDataExchange::FormatDouble(41.36), "41.36");
    EXPECT_EQ(CDataExchange::FormatDouble(100), "100");
    EXPECT_EQ(CDataExchange::FormatDouble(10000 * 0.1), "1000");
    EXPECT_EQ(CDataExchange::ParseDouble("2.3"), 2.3);
    EXPECT_EQ(CDataExchange::Format(FieldKind::UInt, 4000), "4000");
}
}  // namespace
