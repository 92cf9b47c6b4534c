// Guards: band counts and columns off by one at their boundaries, and job values that divide by zero or overflow the band buffers.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "link/output/BandCounters.h"
#include "link/output/JobCheck.h"
#include "model/Page.h"

namespace {

JobSnapshot Snap(int headSelect, int overlap, int lineWidth)
{
    JobSnapshot s;
    s.params.pulsesPerMmX = 60.5;
    s.params.pulsesPerMmY = 40.0;
    s.params.inkIntervalPulses = 8;  // 5 columns per mm
    s.params.headSelect = static_cast<uint8_t>(headSelect);
    s.params.headOverlapRows = static_cast<uint8_t>(overlap);
    s.params.head2Position = 145;
    s.params.bandsPerCutSegment = 8;
    s.params.outputPerMeterX = s.params.outputPerMeterY = 10000;
    s.lineWidth = lineWidth;
    return s;
}

TEST(BandCount, RoundingAndBandHeightBoundaries)
{
    struct Case {
        int headSelect, overlap, lineWidth;
        int32_t ex;
        int32_t bands;
    };
    // rows = RoundHalfUp(ex x 0.3 + 2 x LineWidth); bands of 298 rows (both
    // heads, overlap 2) or 150 rows (one head).
    const Case cases[] = {
        {0, 2, 0, 993, 1},   // 297.9 -> 298 rows
        {0, 2, 0, 995, 2},   // 298.5 -> 299 rows: the half goes up
        {0, 2, 1, 988, 1},   // 296.4 + 2 -> 298
        {0, 2, 1, 989, 2},   // 296.7 + 2 -> 299
        {1, 2, 0, 500, 1},   // 150 rows
        {2, 2, 0, 502, 2},   // 150.6 -> 151
        {1, 2, 1, 495, 2},   // 148.5 + 2 -> 151
        {0, 0, 0, 1000, 1},  // 300 rows of 300
        {0, 150, 0, 500, 1}, // overlap 150: bands of 150 rows
        {0, 2, 0, -5000, 0}, // nothing ahead of the origin
    };
    for (const Case& c : cases) {
        const BandCountResult r = CountBandsOf(c.ex, 100, Snap(c.headSelect, c.overlap, c.lineWidth));
        EXPECT_TRUE(r.counted);
        EXPECT_EQ(r.bands, c.bands) << c.ex << " head " << c.headSelect << " lw " << c.lineWidth;
    }
}

TEST(BandCount, ColumnsCarryTheMargin)
{
    // 100 mm across at 5 columns per mm, LineWidth 2: 500 + 4 + 230.
    EXPECT_EQ(CountBandsOf(40, 4000, Snap(0, 2, 2)).columns, 734);
    // 0.5 column rounds up.
    EXPECT_EQ(CountBandsOf(40, 4, Snap(0, 2, 0)).columns, 231);
}

TEST(BandCount, EmptyExtentsLeaveTheColumnsAlone)
{
    COnePage page;
    BandColumns = 1234;
    EXPECT_EQ(CountBands(false, page, Snap(0, 2, 2)), 0);
    EXPECT_EQ(BandColumns.load(), 1234);
    page.m_maxX = 40;
    page.m_maxY = 4000;
    page.m_inkMaxX = 0;
    page.m_inkMaxY = 400;
    EXPECT_EQ(CountBands(false, page, Snap(0, 2, 2)), 1);
    EXPECT_EQ(BandColumns.load(), 734);
    EXPECT_EQ(CountBands(true, page, Snap(0, 2, 2)), 1);
    EXPECT_EQ(BandColumns.load(), 284);
}

TEST(JobCheck, RefusesValuesThatDivideByZeroOrOverflow)
{
    const JobSnapshot good = Snap(0, 2, 2);
    EXPECT_EQ(CheckJobParams(good), nullptr);
    struct Case {
        void (*spoil)(JobSnapshot&);
        const char* key;
    };
    const Case cases[] = {
        {[](JobSnapshot& s) { s.params.bandsPerCutSegment = 0; }, "BadBandsPerCutSegment"},
        {[](JobSnapshot& s) { s.params.inkIntervalPulses = 0; }, "BadInkInterval"},
        {[](JobSnapshot& s) { s.params.pulsesPerMmX = 0; }, "BadPulsesPerMmX"},
        {[](JobSnapshot& s) { s.params.pulsesPerMmX = std::numeric_limits<double>::quiet_NaN(); }, "BadPulsesPerMmX"},
        {[](JobSnapshot& s) { s.params.pulsesPerMmY = std::numeric_limits<double>::infinity(); }, "BadPulsesPerMmY"},
        {[](JobSnapshot& s) { s.params.pulsesPerMmY = -41.36; }, "BadPulsesPerMmY"},
        {[](JobSnapshot& s) { s.params.outputPerMeterX = 0; }, "BadOutputPerMeterX"},
        {[](JobSnapshot& s) { s.params.outputPerMeterY = 0; }, "BadOutputPerMeterY"},
        {[](JobSnapshot& s) { s.params.headSelect = 3; }, "BadHeadSelect"},
        {[](JobSnapshot& s) { s.params.headOverlapRows = 151; }, "BadHeadOverlap"},
        {[](JobSnapshot& s) { s.lineWidth = kMaxLineWidth + 1; }, "BadLineWidth"},
    };
    for (const Case& c : cases) {
        JobSnapshot s = good;
        c.spoil(s);
        const char* key = CheckJobParams(s);
        ASSERT_NE(key, nullptr) << c.key;
        EXPECT_STREQ(key, c.key);
    }
    JobSnapshot edge = good;
    edge.params.headSelect = 2;
    edge.params.headOverlapRows = 150;
    EXPECT_EQ(CheckJobParams(edge), nullptr);
}

TEST(JobCheck, BandBuffersFitUpTo26000Records)
{
    MachineParams p{};
    p.head2Position = 145;
    EXPECT_TRUE(BandBuffersFit(26000 - 30 - 145, p));
    EXPECT_FALSE(BandBuffersFit(26000 - 30 - 145 + 1, p));
    p.head2Position = 0;
    EXPECT_TRUE(BandBuffersFit(25970, p));
    EXPECT_FALSE(BandBuffersFit(25971, p));
    EXPECT_FALSE(BandBuffersFit(-1, p));
    // The widest job the machine width allows (about 11,750 columns) fits.
    p.head2Position = 255;
    EXPECT_TRUE(BandBuffersFit(12500, p));
}

}  // namespace
