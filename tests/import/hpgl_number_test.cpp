// Guards: HP-GL numbers read other than the reader's grammar says, or otherwise under another locale.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <string>

#include "HpglFixture.h"
#include "tests/support/TempFolder.h"
#include "import/HpglFile.h"
#include "import/HpglNumber.h"

namespace {

TEST(HpglNumber, Grammar)
{
    struct Case {
        const char* run;
        bool complete;
        HpglExponent exp;
        double value;
    };
    const double inf = HUGE_VAL;
    const Case cases[] = {
        {"12.5", true, {}, 12.5},
        {"+5", true, {}, 5},
        {"-0.25", true, {}, -0.25},
        {".5", true, {}, 0.5},
        {"5.", true, {}, 5},
        {"1-2", true, {}, 1},
        {"1.2.3", true, {}, 1.2},
        {"-", true, {}, 0},
        {".", true, {}, 0},
        {"+-1", true, {}, 0},
        {"--1", true, {}, 0},
        {"-+1", true, {}, 0},
        {"1", true, {true, false, 3}, 1000},
        {"1.", true, {true, false, 3}, 1000},
        {"-2", true, {true, true, 1}, -0.2},
        {"1-2", true, {true, false, 3}, 1},  // the exponent follows "1-2", not "1"
        {"7", false, {true, false, 3}, 7},   // cut run: the exponent follows dropped characters
        {"1", true, {true, false, kHpglExponentCap}, inf},
        {"-1", true, {true, false, 400}, -inf},
        {"1", true, {true, true, 400}, 0},
        {"0", true, {true, false, 400}, 0},
        {"0.001", true, {true, false, 310}, 1e307},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseHpglNumber(c.run, c.complete, c.exp), c.value)
            << c.run << " exp " << c.exp.present << " " << c.exp.negative << c.exp.value;
    // Overflow of the digits alone.
    EXPECT_EQ(ParseHpglNumber(std::string(400, '9'), true, {}), inf);
    EXPECT_EQ(ParseHpglNumber("0." + std::string(400, '0') + "1", true, {}), 0);
}

// A decimal comma locale must not change what "12.5" means.
TEST(HpglNumber, IndependentOfTheLocale)
{
    testsupport::TempFolder locales("orlat_locales_");
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) {
        const std::string dir = locales.path().string();
        const std::string cmd = "localedef -i de_DE -f UTF-8 " + dir + "/de_DE.UTF-8 >/dev/null 2>&1";
        if (std::system(cmd.c_str()) == 0) setenv("LOCPATH", dir.c_str(), 1);
        if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "no German locale";
    }
    ASSERT_EQ(std::strtod("12.5", nullptr), 12.0);  // the locale is in effect
    fixture::InstallFixtureFonts();
    CHpglFile r;
    r.m_keepRecords = true;  // the tests look at the records
    const int rc = fixture::Read(r, "PU12.5,0.5;PD1.5,2.25;");
    std::setlocale(LC_ALL, "C");
    ASSERT_EQ(rc, 0);
    auto v = r.Values(r.Records()[0]);
    EXPECT_EQ(v[0], 13);
    EXPECT_EQ(v[1], 1);
    auto p = r.Values(r.Records()[1]);
    EXPECT_EQ(p[0], 2);
    EXPECT_EQ(p[1], 2);
}

}  // namespace
