// Guards: geometry tests wrong at their edges (betweenness, crossings, containment), hits off the pointer, knife corner loops in the wrong places.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "model/Canvas.h"
#include "model/DispSet.h"
#include "model/Geometry.h"
#include "model/MachineParams.h"
#include "model/Numeric.h"
#include "model/Settings.h"
#include "tests/support/PageBuilder.h"
#include "tests/support/GlobalsGuard.h"

using testsupport::AddCurve;
using testsupport::MakeCurve;

namespace {

TEST(Geometry, StrictBetweennessAndBands)
{
    EXPECT_FALSE(IsStrictlyBetween(5, 5, 10));
    EXPECT_TRUE(IsStrictlyBetween(7, 10, 5));
    EXPECT_FALSE(IsStrictlyBetween(5, 5, 5));
    EXPECT_FALSE(IsStrictlyBetween(10, 5, 10));
    EXPECT_EQ(ClassifyInBand(99, 100, 200), 1);
    EXPECT_EQ(ClassifyInBand(100, 100, 200), 2);
    EXPECT_EQ(ClassifyInBand(199, 100, 200), 2);
    EXPECT_EQ(ClassifyInBand(200, 100, 200), 3);
    EXPECT_DOUBLE_EQ(PointDistance(0, 0, 3, 4), 5.0);
    // Differences beyond 32 bits are formed in double.
    EXPECT_DOUBLE_EQ(PointDistance(-2000000000, 0, 2000000000, 0), 4e9);
}

TEST(Geometry, SegmentsCrossOnlyInTheirInteriors)
{
    struct Case { DPoint p1, p2, q1, q2; bool cross; };
    const Case cases[] = {
        {{0, 0}, {10, 10}, {0, 10}, {10, 0}, true},
        {{0, 0}, {10, 0}, {5, 0}, {5, 10}, false},      // meets the second at its end point
        {{5, 0}, {5, 10}, {0, 0}, {10, 0}, false},      // the same, vertical first
        {{5, -5}, {5, 10}, {0, 0}, {10, 0}, true},      // vertical first, real crossing
        {{0, 0}, {10, 0}, {5, -5}, {5, 10}, true},      // vertical second
        {{0, 0}, {0, 10}, {0, 5}, {0, 20}, false},      // both vertical, even overlapping
        {{0, 0}, {10, 10}, {10, 10}, {20, 0}, false},   // touch at an end point
        {{0, 0}, {10, 0}, {5, 0}, {15, 0}, false},      // collinear overlap
        {{0, 0}, {10, 5}, {0, 1}, {10, 6}, false},      // parallel
        {{0, 0}, {10, 10}, {20, 0}, {30, 10}, false},   // lines cross outside both
    };
    for (const Case& c : cases)
        EXPECT_EQ(SegmentsCross(c.p1, c.p2, c.q1, c.q2), c.cross)
            << c.p1.x << "," << c.p1.y << "-" << c.p2.x << "," << c.p2.y << " / " << c.q1.x << "," << c.q1.y << "-"
            << c.q2.x << "," << c.q2.y;
}

TEST(Geometry, ContainsPointHasNoClosingEdge)
{
    auto open = MakeCurve({{0, 0}, {100, 0}, {100, 100}, {0, 100}});
    EXPECT_TRUE(open->ContainsPoint(50, 50));
    EXPECT_TRUE(open->ContainsPoint(-50, 50));
    EXPECT_FALSE(open->ContainsPoint(150, 50));
    EXPECT_FALSE(open->ContainsPoint(50, 150));
    auto closed = MakeCurve({{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 0}});
    EXPECT_TRUE(closed->ContainsPoint(50, 50));
    EXPECT_FALSE(closed->ContainsPoint(-50, 50));
    // Either orientation counts.
    auto clockwise = MakeCurve({{0, 0}, {0, 100}, {100, 100}, {100, 0}, {0, 0}});
    EXPECT_TRUE(clockwise->ContainsPoint(50, 50));
    EXPECT_FALSE(MakeCurve({{0, 0}})->ContainsPoint(0, 0));
}

TEST(Geometry, ContainsPointIsExactAtAnyRange)
{
    // The point (0, -1) lies one unit (of the cross product) left of this
    // edge: its two products near 2^62 are equal in doubles.
    auto edge = MakeCurve({{INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MAX - 2}});
    EXPECT_TRUE(edge->ContainsPoint(0, -1));
    EXPECT_FALSE(edge->ContainsPoint(1, -1));
    // Run the other way it winds the other way: still inside.
    auto down = MakeCurve({{INT32_MAX, INT32_MAX - 2}, {INT32_MIN, INT32_MIN}});
    EXPECT_TRUE(down->ContainsPoint(0, -1));
    EXPECT_FALSE(down->ContainsPoint(1, -1));
}

class ViewFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = theDispSet;
        theDispSet.m_scale = 1;
        theDispSet.m_viewHeight = 400;
        theDispSet.m_scrollX = 0;
        theDispSet.m_scrollY = 0;
    }
    void TearDown() override { theDispSet = saved_; }
    // The plot point that maps to the view pixel (vx, vy) at scale 1.
    static PlotPoint At(int32_t vx, int32_t vy) { return {vx - 50, 400 - 30 - vy}; }
    CDispSet saved_;
};

TEST_F(ViewFixture, HitTestWidensTheSegmentByFourPixels)
{
    auto c = MakeCurve({At(100, 50), At(200, 50)});
    struct Case { int32_t x, y; bool hit; };
    const Case cases[] = {
        {98, 53, true}, {94, 50, false}, {150, 56, false}, {96, 46, true}, {203, 53, true},
        {204, 50, false}, {150, 54, false}, {150, 45, false}, {150, 50, true}, {95, 50, false},
    };
    for (const Case& k : cases) EXPECT_EQ(c->HitTest(k.x, k.y), k.hit) << k.x << "," << k.y;
    EXPECT_FALSE(MakeCurve({At(100, 50)})->HitTest(100, 50));
    // A later segment can give the hit.
    auto bent = MakeCurve({At(0, 0), At(10, 0), At(10, 100)});
    EXPECT_TRUE(bent->HitTest(12, 60));
    EXPECT_FALSE(bent->HitTest(20, 60));
}

TEST_F(ViewFixture, InsideRectIsHalfOpen)
{
    auto c = MakeCurve({At(10, 10), At(20, 20)});
    EXPECT_TRUE(c->IsInsideRect(10, 10, 21, 21));
    EXPECT_FALSE(c->IsInsideRect(10, 10, 20, 21));
    EXPECT_FALSE(c->IsInsideRect(11, 10, 21, 21));
    EXPECT_TRUE(CCurve().IsInsideRect(0, 0, 0, 0));
}

class KnifeFixture : public ::testing::Test {
protected:
    static void SetAngleComp(uint8_t d)
    {
        MachineParams p = SnapshotMachineParams();
        p.angleComp = d;
        StoreMachineParams(p);
    }
    testsupport::GlobalsGuard guard;
};

TEST_F(KnifeFixture, CornerLoopAtARightAngle)
{
    SetAngleComp(20);
    auto c = MakeCurve({{0, 0}, {1000, 0}, {1000, 1000}}, CurveKind::Cut);
    c->CompensateCorners(20);
    EXPECT_EQ(c->m_points, (std::vector<PlotPoint>{{0, 0}, {1000, 0}, {1010, -10}, {1000, 0}, {1000, 1000}}));
}

TEST_F(KnifeFixture, CornerLoopsOnlyBetween45And120Degrees)
{
    SetAngleComp(20);
    // Outgoing directions after an incoming run along +X. With the rounded pi
    // an exact 45 degrees comes out just below 45.
    struct Case { PlotPoint out; bool loop; };
    const Case cases[] = {
        {{1000, 1000}, false},  // 45 exactly
        {{1000, 1001}, true},   // just above 45
        {{0, 1000}, true},      // 90
        {{-1000, 1733}, true},  // just below 120
        {{-1000, 1732}, false}, // just above 120
        {{-1000, 1000}, false}, // 135
        {{1000, 577}, false},   // 30
        {{0, -1000}, true},     // a right turn counts the same
    };
    for (const Case& k : cases) {
        auto c = MakeCurve({{0, 0}, {1000, 0}, {1000 + k.out.x, k.out.y}}, CurveKind::Cut);
        c->CompensateCorners(20);
        EXPECT_EQ(c->m_points.size(), k.loop ? 5u : 3u) << k.out.x << "," << k.out.y;
        if (k.loop) {
            EXPECT_EQ(c->m_points[3], (PlotPoint{1000, 0}));
        }
    }
    // A true 90 degrees: the midpoint from the formula, cos(pi/2) not quite 0.
    auto c = MakeCurve({{0, 0}, {0, 1000}, {-1000, 1000}}, CurveKind::Cut);
    c->CompensateCorners(20);
    const double g = std::atan2(1000.0, 0.0), h = std::atan2(0.0, -1000.0);
    const PlotPoint m{(TruncToInt(0 + 20 * std::cos(g)) + TruncToInt(0 - 20 * std::cos(h))) / 2,
                      (TruncToInt(1000 + 20 * std::sin(g)) + TruncToInt(1000 - 20 * std::sin(h))) / 2};
    ASSERT_EQ(c->m_points.size(), 5u);
    EXPECT_EQ(c->m_points[2], m);
    EXPECT_EQ(m, (PlotPoint{10, 1010}));
}

TEST_F(KnifeFixture, CornerLoopsSkipShortCurvesAndLoopEveryCorner)
{
    SetAngleComp(20);
    auto shortOne = MakeCurve({{0, 0}, {199, 0}, {199, 200}}, CurveKind::Cut);  // length 399
    shortOne->CompensateCorners(20);
    EXPECT_EQ(shortOne->m_points.size(), 3u);
    auto square = MakeCurve({{0, 0}, {1000, 0}, {1000, 1000}, {0, 1000}, {0, 0}}, CurveKind::Cut);
    square->CompensateCorners(20);
    EXPECT_EQ(square->m_points.size(), 11u);
    EXPECT_EQ(square->m_points[4], (PlotPoint{1000, 1000}));
    EXPECT_EQ(square->m_points[5], (PlotPoint{1010, 1010}));
}

TEST_F(KnifeFixture, ExtendEndsAlongTheEndSegments)
{
    theSettings.Set(Slot::CutSEOftHpgl, 10);
    auto c = MakeCurve({{0, 0}, {1000, 0}}, CurveKind::Cut);
    c->ExtendEnds(10);
    EXPECT_EQ(c->m_points, (std::vector<PlotPoint>{{-10, 0}, {1010, 0}}));
    auto v = MakeCurve({{0, 0}, {0, 500}, {300, 500}}, CurveKind::Cut);
    v->ExtendEnds(10);
    EXPECT_EQ(v->m_points, (std::vector<PlotPoint>{{0, -10}, {0, 500}, {310, 500}}));
    auto shortOne = MakeCurve({{0, 0}, {399, 0}}, CurveKind::Cut);
    shortOne->ExtendEnds(10);
    EXPECT_EQ(shortOne->m_points, (std::vector<PlotPoint>{{0, 0}, {399, 0}}));
}

struct Recorder : Canvas {
    struct Pen { PenStyle style; int32_t width; Rgb color; };
    std::vector<Pen> pens;
    std::vector<std::vector<ViewPoint>> polylines;
    std::vector<std::vector<int32_t>> rects;
    std::vector<std::vector<ViewPoint>> polygons;
    void SetPen(PenStyle s, int32_t w, Rgb c) override { pens.push_back({s, w, c}); }
    void Polyline(const ViewPoint* p, int32_t n) override { polylines.emplace_back(p, p + n); }
    void Rectangle(int32_t l, int32_t t, int32_t r, int32_t b) override { rects.push_back({l, t, r, b}); }
    void FilledPolygon(const ViewPoint* p, int32_t n) override { polygons.emplace_back(p, p + n); }
};

TEST_F(ViewFixture, LineTypesMapToPenStylesAndNeverFail)
{
    struct Case { int32_t type; PenStyle style; };
    const Case cases[] = {{0, PenStyle::Solid}, {1, PenStyle::Dash}, {2, PenStyle::Dot}, {3, PenStyle::DashDot},
                          {4, PenStyle::DashDotDot}, {5, PenStyle::Null}, {6, PenStyle::Solid},
                          {-1, PenStyle::Solid}, {1000000, PenStyle::Solid}};
    for (const Case& k : cases) {
        Recorder r;
        auto c = MakeCurve({At(0, 0), At(10, 0)});
        c->m_lineType = k.type;
        c->Draw(r);
        ASSERT_EQ(r.pens.size(), 1u);
        EXPECT_EQ(r.pens[0].style, k.style) << k.type;
        EXPECT_EQ(r.pens[0].color, (Rgb{255, 255, 255}));
        EXPECT_EQ(r.pens[0].width, 0);
    }
    // Cut lines are solid red whatever their line type.
    Recorder r;
    auto c = MakeCurve({At(0, 0), At(10, 0)}, CurveKind::Cut);
    c->m_lineType = 2;
    c->Draw(r);
    EXPECT_EQ(r.pens[0].style, PenStyle::Solid);
    EXPECT_EQ(r.pens[0].color, (Rgb{255, 0, 0}));
}

TEST_F(ViewFixture, SelectedCutCurveGetsBoxesAndArrow)
{
    COnePage page;
    CCurve& c = AddCurve(page, {At(100, 100), At(200, 100), At(200, 50)}, CurveKind::Cut);
    c.m_bSelected = 1;
    AddCurve(page, {At(0, 0), At(5, 5)});  // unselected Plot: a polyline only
    Recorder r;
    page.DrawAll(r);
    ASSERT_EQ(r.polylines.size(), 2u);
    EXPECT_EQ(r.polylines[0].size(), 3u);
    // Three vertices, then two midpoints.
    ASSERT_EQ(r.rects.size(), 5u);
    EXPECT_EQ(r.rects[0], (std::vector<int32_t>{97, 97, 103, 103}));
    EXPECT_EQ(r.rects[3], (std::vector<int32_t>{147, 97, 153, 103}));
    EXPECT_EQ(r.rects[4], (std::vector<int32_t>{197, 72, 203, 78}));
    // The arrow points along the first segment (+x in the view).
    ASSERT_EQ(r.polygons.size(), 1u);
    ASSERT_EQ(r.polygons[0].size(), 3u);
    EXPECT_EQ(r.polygons[0][0].x, 115);
    EXPECT_EQ(r.polygons[0][0].y, 100);
    EXPECT_EQ(r.polygons[0][1].y, 106);
    EXPECT_EQ(r.polygons[0][2].y, 94);
}

TEST_F(ViewFixture, SelectedOnePointCutDrawsBoxesWithoutArrow)
{
    Recorder r;
    auto c = MakeCurve({At(10, 10)}, CurveKind::Cut);
    c->m_bSelected = 1;
    c->Draw(r);
    EXPECT_EQ(r.rects.size(), 1u);
    EXPECT_TRUE(r.polygons.empty());
    Recorder none;
    CCurve().Draw(none);
    EXPECT_TRUE(none.pens.empty());
}

}  // namespace
