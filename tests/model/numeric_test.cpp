// Guards: rounding and truncation wrong at halves and negatives or overflowing, character tests beyond the low byte, a wrong start-up view.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model/DispSet.h"
#include "model/Curve.h"
#include "model/Numeric.h"

TEST(Numeric, RoundingAtHalvesAndNegatives)
{
    struct Case { double v; int32_t nearest; int32_t halfUp; };
    const Case cases[] = {
        {2.5, 3, 3}, {-2.5, -3, -2}, {2.4, 2, 2}, {-2.4, -2, -2}, {-2.6, -3, -3}, {0.5, 1, 1}, {-0.5, -1, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RoundNearest(c.v), c.nearest) << c.v;
        EXPECT_EQ(RoundHalfUp(c.v), c.halfUp) << c.v;
    }
    EXPECT_EQ(RoundHalfUp(1e80), 1);
    EXPECT_EQ(RoundHalfUp(-1e80), 1);
}

TEST(Numeric, TruncationSaturates)
{
    EXPECT_EQ(TruncToInt(-3.048), -3);
    EXPECT_EQ(TruncToInt(3.99), 3);
    EXPECT_EQ(TruncToInt(1e12), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(TruncToInt(-1e12), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(TruncToInt(std::nan("")), 0);
    EXPECT_EQ(TruncToInt(INFINITY), std::numeric_limits<int32_t>::max());
}

TEST(Numeric, CharacterTestsUseLowByte)
{
    EXPECT_TRUE(IsAsciiLetter(0x0141));
    EXPECT_FALSE(IsAsciiLetter('_'));
    EXPECT_FALSE(IsAsciiLetter('5'));
    EXPECT_TRUE(IsNumberChar('+'));
    EXPECT_TRUE(IsNumberChar('.'));
    EXPECT_FALSE(IsNumberChar('e'));
    EXPECT_FALSE(IsNumberChar(','));
}

TEST(DispSet, StartUpTransform)
{
    theDispSet = CDispSet{};
    ViewPoint v = PlotToView(0, 0);
    EXPECT_EQ(v.x, 50);
    EXPECT_EQ(v.y, 370);
    v = PlotToView(4000, 4000);
    EXPECT_EQ(v.x, 90);
    EXPECT_EQ(v.y, 330);
    PlotPoint p = ViewToPlot(50, 370);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
    p = ViewToPlot(51, 369);
    EXPECT_EQ(p.x, 100);
    EXPECT_EQ(p.y, 100);
    theDispSet.m_scale = 0.025;
    EXPECT_EQ(PlotToView(1, 0).x, 50);
    theDispSet = CDispSet{};
}

TEST(Numeric, RoundingAndViewMappingSaturate)
{
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    EXPECT_EQ(RoundNearest(3e9), kMax);
    EXPECT_EQ(RoundNearest(-3e9), kMin);
    EXPECT_EQ(RoundHalfUp(3e9), kMax);
    EXPECT_EQ(RoundHalfUp(-3e9), kMin);
    EXPECT_EQ(RoundHalfUp(-2147483647.5), -2147483647);  // a negative half at the edge

    // Scroll offsets and view points at the ends of the range: the integer
    // numerators would overflow in int32.
    theDispSet = CDispSet{};
    theDispSet.m_scrollX = kMax;
    theDispSet.m_scrollY = kMin;
    const PlotPoint p = ViewToPlot(kMax, kMin);
    EXPECT_EQ(p.x, kMax);
    EXPECT_EQ(p.y, kMax);
    const ViewPoint v = PlotToView(kMin, kMin);
    EXPECT_EQ(v.x, kMin);
    EXPECT_EQ(v.y, kMax);
    theDispSet = CDispSet{};
    theDispSet.m_scale = 0;  // nothing limits the scale: a zero one gives no NaN cast
    EXPECT_EQ(ViewToPlot(50, 370).x, 0);
    EXPECT_EQ(ViewToPlot(50, 370).y, 0);
    theDispSet = CDispSet{};
}
