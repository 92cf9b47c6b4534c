// Guards: curves joined that should stay apart or left apart, outlines found wrongly, hooks merged into pieces.
#include <gtest/gtest.h>

#include <vector>

#include "model/Page.h"
#include "tests/support/PageBuilder.h"

using testsupport::AddCurve;
using testsupport::MakeCurve;

namespace {

using Pts = std::vector<PlotPoint>;

TEST(JoinNearby, EndsWithinNineUnitsOnBothAxes)
{
    for (PlotPoint start : {PlotPoint{5, 9}, PlotPoint{9, -9}, PlotPoint{5, 10}, PlotPoint{-10, 0}}) {
        COnePage page;
        AddCurve(page, {{-500, 0}, {0, 0}});
        AddCurve(page, {start, {300, 300}});
        page.JoinNearbyCurves();
        const bool near = start.y != 10 && start.x != -10;
        ASSERT_EQ(page.m_curves.size(), near ? 1u : 2u) << start.x << "," << start.y;
        // The first curve keeps its own end point.
        if (near) {
            EXPECT_EQ(page.m_curves[0]->m_points, (Pts{{-500, 0}, {0, 0}, {300, 300}}));
        }
    }
}

TEST(JoinNearby, ReversesAsNeededForTheSameKind)
{
    struct Case { Pts q; Pts joined; };
    const Case cases[] = {
        {{{0, 0}, {0, 100}}, {{100, 0}, {0, 0}, {0, 100}}},          // first meets first: p reversed
        {{{0, 100}, {100, 0}}, {{0, 0}, {100, 0}, {0, 100}}},        // last meets last: q reversed
        {{{0, 100}, {0, 0}}, {{100, 0}, {0, 0}, {0, 100}}},          // first meets last: both reversed
    };
    for (const Case& k : cases) {
        COnePage page;
        AddCurve(page, {{0, 0}, {100, 0}});
        page.m_curves.push_back(MakeCurve({k.q[0], k.q[1]}));
        page.JoinNearbyCurves();
        ASSERT_EQ(page.m_curves.size(), 1u);
        EXPECT_EQ(page.m_curves[0]->m_points, k.joined);
    }
    // Of different kinds only the end-to-start join is made.
    COnePage kinds;
    AddCurve(kinds, {{0, 0}, {100, 0}}, CurveKind::Cut);
    AddCurve(kinds, {{0, 0}, {0, 100}});
    kinds.JoinNearbyCurves();
    EXPECT_EQ(kinds.m_curves.size(), 2u);
    COnePage endToStart;
    AddCurve(endToStart, {{0, 0}, {100, 0}}, CurveKind::Cut);
    AddCurve(endToStart, {{100, 0}, {100, 100}});
    endToStart.JoinNearbyCurves();
    ASSERT_EQ(endToStart.m_curves.size(), 1u);
    EXPECT_EQ(endToStart.m_curves[0]->m_kind, CurveKind::Cut);
    // JoinConnectedCurves asks for the same kind and exact equality.
    COnePage connected;
    AddCurve(connected, {{0, 0}, {100, 0}}, CurveKind::Cut);
    AddCurve(connected, {{100, 0}, {100, 100}});
    AddCurve(connected, {{100, 100}, {200, 100}});
    AddCurve(connected, {{201, 100}, {300, 100}});
    connected.JoinConnectedCurves();
    ASSERT_EQ(connected.m_curves.size(), 3u);
    EXPECT_EQ(connected.m_curves[1]->m_points, (Pts{{100, 0}, {100, 100}, {200, 100}}));
}

TEST(JoinNearby, ClosedAndNoJoinCurvesStayApart)
{
    COnePage page;
    AddCurve(page, {{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 0}});  // closed square
    AddCurve(page, {{0, 0}, {50, 50}, {60, 0}, {0, 5}});                // closed triangle
    AddCurve(page, {{0, 0}, {-50, -50}, {0, 0}});                       // 3 points: not closed
    CCurve& hook = AddCurve(page, {{0, 0}, {-70, 0}});
    hook.m_bNoJoin = 1;
    AddCurve(page, {{0, 0}, {0, -80}});
    page.JoinNearbyCurves();
    ASSERT_EQ(page.m_curves.size(), 4u);
    // The open 3-point curve took the last one: first meets first.
    EXPECT_EQ(page.m_curves[2]->m_points, (Pts{{0, 0}, {-50, -50}, {0, 0}, {0, -80}}));
}

TEST(EndHooks, DetachedFromBothEnds)
{
    COnePage page;
    // Start hook: end leg 200, next leg 100, then a 400 leg turned by 180 degrees.
    // End hook: the mirror image at the other end.
    AddCurve(page, {{200, 100}, {400, 100}, {400, 0}, {0, 0}, {0, -2000}, {400, -2000}, {400, -2100}, {200, -2100}});
    page.SplitEndHooks();
    ASSERT_EQ(page.m_curves.size(), 3u);
    EXPECT_EQ(page.m_curves[0]->m_points, (Pts{{0, 0}, {0, -2000}}));
    EXPECT_EQ(page.m_curves[1]->m_points, (Pts{{200, 100}, {400, 100}, {400, 0}, {0, 0}}));
    EXPECT_EQ(page.m_curves[2]->m_points, (Pts{{200, -2100}, {400, -2100}, {400, -2000}, {0, -2000}}));
    EXPECT_EQ(page.m_curves[1]->m_bNoJoin, 1);
    EXPECT_EQ(page.m_curves[0]->m_minY, -2000);
    EXPECT_EQ(page.m_curves[0]->m_maxY, 0);
    // Legs off the ratio are no hook.
    COnePage off;
    AddCurve(off, {{250, 100}, {400, 100}, {400, 0}, {0, 0}, {0, -2000}});
    off.SplitEndHooks();
    EXPECT_EQ(off.m_curves.size(), 1u);
}

Pts Rect(int32_t x0, int32_t y0, int32_t w, int32_t h)
{
    return {{x0, y0}, {x0 + w, y0}, {x0 + w, y0 + h}, {x0, y0 + h}, {x0, y0}};
}

CCurve& AddPts(COnePage& page, const Pts& pts)
{
    page.m_curves.push_back(std::make_unique<CCurve>());
    page.m_curves.back()->m_points = pts;
    return *page.m_curves.back();
}

TEST(Outlines, SizeThresholds)
{
    struct Case { int32_t w, h; bool cut; };
    const Case cases[] = {{396, 2400, false}, {800, 760, false}, {800, 800, true}, {2400, 399, false}};
    for (const Case& k : cases) {
        COnePage page;
        AddPts(page, Rect(0, 0, k.w, k.h)).m_kind = CurveKind::Cut;
        page.DetectOutlines();
        EXPECT_EQ(page.m_curves[0]->m_kind, k.cut ? CurveKind::Cut : CurveKind::Plot) << k.w << "x" << k.h;
    }
}

TEST(Outlines, GapsAlongAStraightEdge)
{
    // The contour stops short of its start on the bottom edge.
    for (int32_t gap : {90, 150}) {
        COnePage page;
        AddPts(page, {{100, 0}, {1000, 0}, {1000, 1000}, {0, 1000}, {0, 0}, {100 - gap, 0}});
        page.DetectOutlines();
        EXPECT_EQ(page.m_curves[0]->m_kind, gap < 100 ? CurveKind::Cut : CurveKind::Plot) << gap;
    }
    // One point short of closing: the last point is dropped.
    COnePage page;
    AddPts(page, {{0, 0}, {1000, 0}, {1000, 1000}, {0, 1000}, {5, 5}, {300, 300}});
    page.DetectOutlines();
    EXPECT_EQ(page.m_curves[0]->m_kind, CurveKind::Cut);
    EXPECT_EQ(page.m_curves[0]->m_points.size(), 5u);
}

TEST(Outlines, EndHeadingsCompareByAbsoluteValue)
{
    // The end segments mirror each other about the X axis (headings +a and -a):
    // the test takes absolute values, so this open V counts as closed.
    COnePage page;
    AddPts(page, {{0, 0}, {700, 100}, {700, 1000}, {-800, 1000}, {-750, 100}, {-50, 0}});
    page.DetectOutlines();
    EXPECT_EQ(page.m_curves[0]->m_kind, CurveKind::Cut);
}

TEST(Outlines, PiecesFromFragmentsAndNestedOnesPrinted)
{
    COnePage page;
    // The outer contour in three fragments, one of them backwards.
    AddPts(page, {{0, 0}, {2000, 0}});
    AddPts(page, {{0, 0}, {0, 2000}, {2000, 2000}});
    AddPts(page, {{2000, 2000}, {2005, 1000}, {2000, 3}});
    AddPts(page, Rect(500, 500, 1000, 1000));    // a hole
    AddPts(page, {{100, 100}, {1900, 1900}});    // an inner line
    AddPts(page, Rect(3000, 0, 1000, 1000));     // another piece beside it
    page.DetectOutlines();
    int cuts = 0;
    for (const auto& c : page.m_curves) cuts += c->m_kind == CurveKind::Cut;
    EXPECT_EQ(cuts, 2);
    ASSERT_EQ(page.m_curves.size(), 4u);
    EXPECT_EQ(page.m_curves[0]->m_kind, CurveKind::Cut);
    EXPECT_EQ(page.m_curves[0]->m_points, (Pts{{2000, 0}, {0, 0}, {0, 2000}, {2000, 2000}, {2005, 1000}, {2000, 3}}));
    EXPECT_EQ(page.m_curves[1]->m_kind, CurveKind::Plot);
    EXPECT_EQ(page.m_curves[3]->m_kind, CurveKind::Cut);
}

TEST(Outlines, HooksStaySeparatePlotCurves)
{
    COnePage page;
    // A closed contour that ends in a hook: the hook keeps it from closing
    // until it is detached, and then it is never joined back.
    AddPts(page, {{0, 0}, {0, -2000}, {2000, -2000}, {2000, 0}, {0, 0}, {-400, 0}, {-400, 100}, {-200, 100}});
    page.DetectOutlines();
    ASSERT_EQ(page.m_curves.size(), 2u);
    EXPECT_EQ(page.m_curves[0]->m_kind, CurveKind::Cut);
    EXPECT_EQ(page.m_curves[1]->m_kind, CurveKind::Plot);
    EXPECT_EQ(page.m_curves[1]->m_bNoJoin, 1);
    EXPECT_EQ(page.m_curves[1]->m_points, (Pts{{-200, 100}, {-400, 100}, {-400, 0}, {0, 0}}));
}

TEST(Outlines, NestedDemotionTakesOnlyCutCurves)
{
    COnePage page;
    AddPts(page, Rect(500, 500, 1000, 1000)).m_kind = CurveKind::Cut;  // inner first
    AddPts(page, Rect(0, 0, 2000, 2000)).m_kind = CurveKind::Cut;
    AddPts(page, Rect(600, 600, 100, 100)).m_kind = CurveKind::Plot;
    AddPts(page, Rect(5000, 0, 100, 100)).m_kind = CurveKind::Cut;
    page.DemoteNestedOutlines();
    EXPECT_EQ(page.m_curves[0]->m_kind, CurveKind::Plot);
    EXPECT_EQ(page.m_curves[1]->m_kind, CurveKind::Cut);
    EXPECT_EQ(page.m_curves[2]->m_kind, CurveKind::Plot);
    EXPECT_EQ(page.m_curves[3]->m_kind, CurveKind::Cut);
}

}  // namespace
