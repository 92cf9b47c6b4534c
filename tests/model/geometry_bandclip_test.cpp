// Guards: band clipping that cuts curves at the wrong points, restarts them wrongly, or overflows on huge coordinates.
#include <gtest/gtest.h>

#include <vector>

#include "model/KnifePoint.h"
#include "model/MachineParams.h"
#include "model/Numeric.h"
#include "tests/support/PageBuilder.h"
#include "tests/support/GlobalsGuard.h"

using testsupport::AddCurve;
using testsupport::MakeCurve;

namespace {

struct Rec {
    int32_t x, y;
    char cmd;
    bool operator==(const Rec&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Rec& r) { return os << r.cmd << "(" << r.x << "," << r.y << ")"; }

// 40 pulses per mm on both axes and an offset of half a mm across: a pulse is a
// plot unit, and Y comes out 20 above y.
class BandClip : public ::testing::Test {
protected:
    void SetUp() override
    {
        MachineParams p = SnapshotMachineParams();
        p.pulsesPerMmX = 40;
        p.pulsesPerMmY = 40;
        p.inkCutOverlapX = 0;
        p.inkCutOverlapY = 0;
        p.inkAccelMm = 33;
        StoreMachineParams(p);
    }
    std::vector<Rec> Records() const
    {
        std::vector<Rec> out;
        for (const KnifePoint& k : path) out.push_back({k.x, k.y, static_cast<char>(k.command)});
        return out;
    }
    testsupport::GlobalsGuard guard;
    std::vector<KnifePoint> path;  // the pass the clipping appends to
};

TEST_F(BandClip, InsideRunsStartOnceAndContinue)
{
    MakeCurve({{100, 0}, {150, 10}}, CurveKind::Cut)->ClipCutToBand(100, 200, path);
    EXPECT_EQ(Records(), (std::vector<Rec>{{100, 20, 'M'}, {150, 30, 'C'}}));
    path.clear();
    MakeCurve({{110, 0}, {150, 10}, {199, 0}}, CurveKind::Cut)->ClipCutToBand(100, 200, path);
    EXPECT_EQ(Records(), (std::vector<Rec>{{110, 20, 'M'}, {150, 30, 'C'}, {199, 20, 'C'}}));
}

TEST_F(BandClip, CrossingTheBandCutsAtBothBoundaries)
{
    // From x 0 to 400, y 0 to 400: y(b) = Y1 - (X1 - b) * 1.
    MakeCurve({{0, 0}, {400, 400}}, CurveKind::Cut)->ClipCutToBand(100, 200, path);
    EXPECT_EQ(Records(), (std::vector<Rec>{{100, 120, 'M'}, {200, 220, 'C'}}));
    path.clear();
    MakeCurve({{400, 400}, {0, 0}}, CurveKind::Cut)->ClipCutToBand(100, 200, path);
    EXPECT_EQ(Records(), (std::vector<Rec>{{200, 220, 'M'}, {100, 120, 'C'}}));
}

TEST_F(BandClip, SegmentsOutsideGiveNothing)
{
    MakeCurve({{0, 0}, {99, 5000}, {50, 0}}, CurveKind::Cut)->ClipCutToBand(100, 200, path);
    MakeCurve({{200, 0}, {9000, 5000}}, CurveKind::Cut)->ClipCutToBand(100, 200, path);
    MakeCurve({{150, 0}}, CurveKind::Cut)->ClipCutToBand(100, 200, path);
    EXPECT_TRUE(Records().empty());
}

TEST_F(BandClip, LeavingTheBandRestartsOnItsOwnStart)
{
    // in -> in -> out through hi -> back in from above -> out below.
    MakeCurve({{120, 0}, {150, 0}, {250, 100}, {180, 100}, {50, 100}}, CurveKind::Cut)->ClipCutToBand(100, 200, path);
    EXPECT_EQ(Records(), (std::vector<Rec>{{120, 20, 'M'},
                                           {150, 20, 'C'},
                                           {150, 20, 'M'},
                                           {200, 70, 'C'},
                                           {200, 120, 'M'},
                                           {180, 120, 'C'},
                                           {180, 120, 'M'},
                                           {100, 120, 'C'}}));
}

TEST_F(BandClip, EnteringFromEitherSideEndsOnTheEndPoint)
{
    MakeCurve({{0, 0}, {150, 300}}, CurveKind::Cut)->ClipCutToBand(100, 200, path);
    MakeCurve({{300, 0}, {150, 300}}, CurveKind::Cut)->ClipCutToBand(100, 200, path);
    EXPECT_EQ(Records(), (std::vector<Rec>{{100, 220, 'M'}, {150, 320, 'C'}, {200, 220, 'M'}, {150, 320, 'C'}}));
}

TEST_F(BandClip, ShortCutsUseTAndIntegerCrossings)
{
    MakeCurve({{0, 0}, {300, 100}}, CurveKind::ShortCut)->ClipShortCutToBand(100, 200, path);
    // y(lo) = 120 - (300 - 100) * 100 / 300 = 53.33 -> 53; y(hi) = 120 - 100 * 100 / 300 = 86.67 -> 86.
    EXPECT_EQ(Records(), (std::vector<Rec>{{100, 53, 'M'}, {200, 86, 'T'}}));
}

TEST_F(BandClip, ConvertsWithTheParameterBlock)
{
    MachineParams p = SnapshotMachineParams();
    p.pulsesPerMmX = 60.5;
    p.pulsesPerMmY = 41.36;
    p.inkCutOverlapX = 50;
    p.inkCutOverlapY = 50;
    p.inkAccelMm = 60;
    StoreMachineParams(p);
    MakeCurve({{400, 40}, {800, 80}}, CurveKind::Cut)->ClipCutToBand(0, 100000, path);
    const int32_t x0 = TruncToInt((10 + 5.0) * 60.5), y0 = TruncToInt((1 + 27.5 + 5.0) * 41.36);
    const int32_t x1 = TruncToInt((20 + 5.0) * 60.5), y1 = TruncToInt((2 + 27.5 + 5.0) * 41.36);
    EXPECT_EQ(Records(), (std::vector<Rec>{{x0, y0, 'M'}, {x1, y1, 'C'}}));
}

TEST_F(BandClip, HugeShortCutCoordinatesDoNotOverflow)
{
    // Both the pulse coordinates and the crossing product exceed 32 bits.
    MakeCurve({{-2000000000, 0}, {2000000000, 2000000000}}, CurveKind::ShortCut)->ClipShortCutToBand(0, 1000, path);
    const std::vector<Rec> r = Records();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].cmd, 'M');
    EXPECT_EQ(r[0].x, 0);
    EXPECT_EQ(r[1].cmd, 'T');
    EXPECT_EQ(r[1].x, 1000);
}

}  // namespace
