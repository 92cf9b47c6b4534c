#include <gtest/gtest.h>

#include "model/MachineParams.h"
#include "model/Page.h"
#include "tests/support/PageBuilder.h"
#include "model/support/LiteralOracles.h"
#include "model/support/PageCompare.h"
#include "model/support/RandomPages.h"

using testsupport::AddCurve;
using testsupport::MakeCurve;

namespace {

// Runs the fast operation on one copy and the literal one on another.
template <class Fast, class Slow>
void ExpectSame(const COnePage& page, Fast fast, Slow slow, uint32_t seed)
{
    COnePage a, b;
    ClonePage(page, a);
    ClonePage(page, b);
    fast(a);
    slow(b);
    EXPECT_TRUE(SamePages(a, b)) << "seed " << seed;
}

TEST(FastEqualsLiteral, Joins)
{
    for (uint32_t seed = 1; seed <= 300; ++seed) {
        RandomPages gen(seed);
        COnePage page;
        gen.Fragments(page, gen.Int(2, 40));
        ExpectSame(page, [](COnePage& p) { p.JoinNearbyCurves(); }, oracle::JoinNearbyCurves, seed);
        ExpectSame(page, [](COnePage& p) { p.JoinConnectedCurves(); }, oracle::JoinConnectedCurves, seed);
    }
}

TEST(FastEqualsLiteral, OutlinesAndNesting)
{
    for (uint32_t seed = 1; seed <= 400; ++seed) {
        RandomPages gen(seed);
        COnePage page;
        // Every third page crowded, so that outlines overlap and nest in chains.
        gen.Contours(page, gen.Int(2, seed % 3 ? 25 : 60), seed % 10 == 0 ? 400000 : 1, seed % 3 ? 3000 : 600);
        ExpectSame(page, [](COnePage& p) { p.DemoteNestedOutlines(); }, oracle::DemoteNestedOutlines, seed);
        gen.Fragments(page, gen.Int(0, 10));
        ExpectSame(page, [](COnePage& p) { p.DetectOutlines(); }, oracle::DetectOutlines, seed);
    }
}

TEST(FastEqualsLiteral, NestedRingsOverTheWholePage)
{
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        RandomPages gen(seed);
        COnePage page;
        gen.Rings(page, gen.Int(150, 300));
        ExpectSame(page, [](COnePage& p) { p.DemoteNestedOutlines(); }, oracle::DemoteNestedOutlines, seed);
    }
}

TEST(FastEqualsLiteral, SplitAlongY)
{
    for (uint32_t seed = 1; seed <= 300; ++seed) {
        RandomPages gen(seed);
        COnePage page;
        gen.StripPolylines(page, gen.Int(1, 30), 600);
        const int32_t w = gen.Chance(50) ? gen.Int(1, 12) * 25 : gen.Int(20, 400);
        ExpectSame(page, [w](COnePage& p) { p.SplitAlongY(w); }, [w](COnePage& p) { oracle::SplitAlongY(p, w); },
                   seed);
    }
}

TEST(FastEqualsLiteral, SplitAlongYFarAboveTheFirstStrip)
{
    // About 100,000 passes: the ones high up move whole through most of them.
    COnePage page;
    AddCurve(page, {{0, 0}, {10, 0}});
    AddCurve(page, {{0, 1999990000}, {10, 1999990000}});
    AddCurve(page, {{20, 1999980001}, {30, 1999995000}, {40, 1999970000}}, CurveKind::Cut);
    AddCurve(page, {{50, 5}, {60, 35000}});
    ExpectSame(page, [](COnePage& p) { p.SplitAlongY(20000); }, [](COnePage& p) { oracle::SplitAlongY(p, 20000); },
               0);
}

TEST(FastEqualsLiteral, KnifePasses)
{
    const MachineParams saved = SnapshotMachineParams();
    for (uint32_t seed = 1; seed <= 200; ++seed) {
        RandomPages gen(seed);
        COnePage page;
        gen.LongCuts(page, gen.Int(1, 20));
        const int32_t L = gen.Chance(10) ? gen.Int(1, 4) : gen.Int(40, 1200);
        const int32_t g = gen.Int(0, 40);
        ExpectSame(page, [&](COnePage& p) { p.SplitLongCuts(L, g); },
                   [&](COnePage& p) { oracle::SplitLongCuts(p, L, g); }, seed);
        MachineParams mp = saved;
        mp.angleComp = static_cast<uint8_t>(gen.Int(0, 255));
        StoreMachineParams(mp);
        ExpectSame(page, [](COnePage& p) { p.CompensateCutCorners(); },
                   [](COnePage& p) {
                       for (auto& c : p.m_curves)
                           if (c->m_kind != CurveKind::Plot) oracle::CompensateCorners(*c);
                   },
                   seed);
    }
    StoreMachineParams(saved);
}

}  // namespace
