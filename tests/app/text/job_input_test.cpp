// Guards: a typed start position, copy count or split length that ends up out of range instead of refused.
#include <gtest/gtest.h>

#include <limits>

#include "app/text/JobInput.h"
#include "model/Page.h"
#include "tests/support/PageBuilder.h"

using testsupport::AddCurve;

TEST(JobInputSplit, RefusesTinyAndTooManyStrips)
{
    COnePage page;
    AddCurve(page, {{0, 0}, {1000, 40 * 1000}});  // 1000 mm across
    struct Case {
        double mm;
        bool refused;
        int32_t width;
    } cases[] = {{1000, false, 40000}, {0.99, true, 39}, {1, false, 40}, {0.999, true, 39},
                 {-5, true, -200},     {2, false, 80}, {0.5, true, 20},   {1e12, false, 2147483647}};
    for (const Case& c : cases) {
        const SplitLengthResult r = SplitLengthFromInput(c.mm, page, 1);
        EXPECT_EQ(!r.refusal.isEmpty(), c.refused) << c.mm;
        EXPECT_EQ(r.width, c.width) << c.mm;
    }
    // 1 mm strips of 1001 mm: 1001 strips.
    AddCurve(page, {{0, 0}, {1000, 40 * 1000 + 40}});
    EXPECT_FALSE(SplitLengthFromInput(1, page, 0).refusal.isEmpty());
    EXPECT_FALSE(SplitLengthFromInput(1.01, page, 0).refusal.isEmpty());  // still 40 plot units
    EXPECT_TRUE(SplitLengthFromInput(1.1, page, 0).refusal.isEmpty());
}

TEST(JobInput, StartPositionAndCopies)
{
    struct Case {
        double mm;
        int32_t maxX;
        int32_t start;
        bool refused;
    } cases[] = {
        {0, 40, 0, false},       {0, 39, 0, true},       {12.9, 100000, 12, false},
        {1, 80, 1, false},       {1.01, 80, 1, false},  {1.03, 80, 0, true},    {-3.5, 100, -3, false},
        {1e300, 100, 0, true},   {5, 0, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mm);
        const StartPosResult r = StartPosFromInput(c.mm, c.maxX);
        EXPECT_EQ(r.startPos, c.start);
        EXPECT_EQ(r.refused, c.refused);
    }
    EXPECT_EQ(CopiesFromInput(2.7), 2);
    EXPECT_EQ(CopiesFromInput(-1), -1);
    EXPECT_EQ(CopiesFromInput(1e30), std::numeric_limits<int32_t>::max());
}
