// Guards: the fast joins, outline search, splits and knife passes giving other pages than the literal walks they replaced.
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
        const double d = gen.Int(0, 255);
        ExpectSame(page, [d](COnePage& p) { p.CompensateCutCorners(d); },
                   [d](COnePage& p) {
                       for (auto& c : p.m_curves)
                           if (c->m_kind != CurveKind::Plot) oracle::CompensateCorners(*c, d);
                   },
                   seed);
    }
    StoreMachineParams(saved);
}

TEST(FastEqualsLiteral, TheShapesThatWereSlow)
{
    for (uint32_t seed = 1; seed <= 8; ++seed) {
        RandomPages gen(seed);
        // Many open curves ending at one point, or within a few units of it.
        COnePage star;
        for (int i = 0; i < 400; ++i) {
            const PlotPoint hub{gen.Int(-3, 3), gen.Int(-3, 3)};
            const PlotPoint out{gen.Int(-5000, 5000), gen.Int(-5000, 5000)};
            gen.Add(star, gen.Chance(50) ? std::vector<PlotPoint>{hub, out} : std::vector<PlotPoint>{out, hub},
                    gen.Chance(70) ? CurveKind::Plot : CurveKind::Cut);
        }
        ExpectSame(star, [](COnePage& p) { p.JoinNearbyCurves(); }, oracle::JoinNearbyCurves, seed);

        // Outlines beyond 2^25, some nested, next to ones near the origin.
        COnePage far;
        gen.Contours(far, 30, 1, 3000);
        gen.Rings(far, 20);
        for (auto& c : far.m_curves)
            if (gen.Chance(60))
                for (PlotPoint& pt : c->m_points) pt = {pt.x * 20000 + (1 << 30), pt.y * 20000 - (1 << 30)};
        ExpectSame(far, [](COnePage& p) { p.DemoteNestedOutlines(); }, oracle::DemoteNestedOutlines, seed);

        // One long cut of many points, split into many pieces.
        COnePage cut;
        std::vector<PlotPoint> pts{{0, 0}};
        for (int i = 0; i < 1500; ++i) {
            const PlotPoint b = pts.back();
            pts.push_back(gen.Chance(5) ? b : PlotPoint{b.x + gen.Int(-60, 200), b.y + gen.Int(-90, 90)});
        }
        gen.Add(cut, pts, CurveKind::Cut);
        const int32_t L = gen.Chance(30) ? gen.Int(1, 20) : gen.Int(40, 2000), g = gen.Int(0, 60);
        ExpectSame(cut, [&](COnePage& p) { p.SplitLongCuts(L, g); },
                   [&](COnePage& p) { oracle::SplitLongCuts(p, L, g); }, seed);
    }
}

}  // namespace
