// Guards: curve clean-up that keeps repeats or drops corners, wrong kinds, bounds or lengths, moves that overflow the int range.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>
#include <random>

#include "model/Curve.h"

namespace {

void Fill(CCurve& c, std::vector<PlotPoint> pts, int32_t kind = CurveKind::Plot)
{
    c.m_points = std::move(pts);
    c.m_kind = kind;
}

// The literal walks: remove, then look at the same position again.
void OracleRemoveDuplicates(std::vector<PlotPoint>& p)
{
    size_t k = 0;
    while (k + 1 < p.size()) {
        if (p[k] == p[k + 1]) {
            p.erase(p.begin() + static_cast<std::ptrdiff_t>(k) + 1);
        } else {
            ++k;
        }
    }
}

double Dir(const PlotPoint& a, const PlotPoint& b)
{
    return std::atan2(static_cast<double>(b.y) - a.y, static_cast<double>(b.x) - a.x);
}

void OracleRemoveCollinear(std::vector<PlotPoint>& p)
{
    if (p.size() <= 2) return;
    size_t b = 1;
    while (b + 1 < p.size()) {
        if (Dir(p[b - 1], p[b]) == Dir(p[b], p[b + 1])) {
            p.erase(p.begin() + static_cast<std::ptrdiff_t>(b));
        } else {
            ++b;
        }
    }
}

}  // namespace

TEST(Curve, CleanUpEqualsLiteralWalkOnRandomCurves)
{
    std::mt19937 rng(12345);
    for (int round = 0; round < 3000; ++round) {
        // Small coordinate ranges make repeats, lines and reversals frequent.
        const int range = 1 + round % 4;
        std::uniform_int_distribution<int> coord(-range, range);
        std::uniform_int_distribution<int> len(0, 12);
        std::vector<PlotPoint> pts(static_cast<size_t>(len(rng)));
        for (auto& p : pts) p = {coord(rng), coord(rng)};
        if (round % 3 == 0) {  // straight runs along a random direction
            const int dx = coord(rng), dy = coord(rng);
            for (size_t i = 0; i < pts.size(); ++i)
                pts[i] = {static_cast<int32_t>(dx * static_cast<int>(i)), static_cast<int32_t>(dy * static_cast<int>(i))};
        }

        CCurve c;
    Fill(c, pts);
        std::vector<PlotPoint> expect = pts;
        c.RemoveDuplicates();
        OracleRemoveDuplicates(expect);
        ASSERT_EQ(c.m_points, expect) << "duplicates, round " << round;

        CCurve d;
    Fill(d, pts);
        expect = pts;
        d.RemoveCollinear();
        OracleRemoveCollinear(expect);
        ASSERT_EQ(d.m_points, expect) << "collinear, round " << round;
    }
}

TEST(Curve, CollinearEqualsLiteralWalkAtEveryScale)
{
    // Long and short steps, around the length below which directions are
    // told apart without atan2, nearly parallel and exactly parallel.
    std::mt19937 rng(2107);
    const int32_t spans[] = {3, 1000, (1 << 20) - 2, 1 << 20, (1 << 20) + 2, 1 << 26, 1 << 30};
    std::uniform_int_distribution<int> pick(0, 1 << 30);
    for (int round = 0; round < 4000; ++round) {
        const int32_t span = spans[round % std::size(spans)];
        std::uniform_int_distribution<int32_t> step(-span, span), wobble(-1, 1);
        const int32_t dx = step(rng), dy = step(rng);
        std::vector<PlotPoint> pts{{step(rng), step(rng)}};
        const int n = 2 + pick(rng) % 10;
        for (int i = 0; i < n; ++i) {
            const PlotPoint& last = pts.back();
            const int kind = pick(rng) % 4;
            const int32_t k = 1 + pick(rng) % 3;
            int64_t sx = kind == 3 ? step(rng) : int64_t{dx} * k, sy = kind == 3 ? step(rng) : int64_t{dy} * k;
            if (kind == 1) sx += wobble(rng);
            if (kind == 2) sy += wobble(rng);
            pts.push_back({static_cast<int32_t>(last.x + sx / 2), static_cast<int32_t>(last.y + sy / 2)});
        }
        CCurve c;
        Fill(c, pts);
        std::vector<PlotPoint> expect = pts;
        c.RemoveCollinear();
        OracleRemoveCollinear(expect);
        ASSERT_EQ(c.m_points, expect) << "round " << round;
    }
    // (n, n - 1) then (n + 1, n): one unit of cross product, an angle of about
    // 1 / (2 n^2), below what atan2 tells apart once n is large.
    for (int shift = 17; shift <= 29; ++shift) {
        const int32_t n = int32_t{1} << shift;
        const std::vector<PlotPoint> pts{{0, 0}, {n, n - 1}, {2 * n + 1, 2 * n - 1}};
        CCurve c;
        Fill(c, pts);
        std::vector<PlotPoint> expect = pts;
        c.RemoveCollinear();
        OracleRemoveCollinear(expect);
        EXPECT_EQ(c.m_points, expect) << "n = 2^" << shift;
    }
}

TEST(Curve, CleanUpEdgeCases)
{
    CCurve twin;
    Fill(twin, {{3, 4}, {3, 4}});
    twin.RemoveDuplicates();
    twin.CalcLength();
    EXPECT_EQ(twin.m_points.size(), 1u);
    EXPECT_EQ(twin.m_length, 0);

    CCurve line;
    Fill(line, {{0, 0}, {10, 0}, {20, 0}, {20, 10}});
    line.RemoveCollinear();
    EXPECT_EQ(line.m_points, (std::vector<PlotPoint>{{0, 0}, {20, 0}, {20, 10}}));

    CCurve reversal;
    Fill(reversal, {{0, 0}, {10, 0}, {5, 0}});
    reversal.RemoveCollinear();
    EXPECT_EQ(reversal.m_points.size(), 3u);
}

TEST(Curve, UpdateKindThreshold)
{
    CCurve exact;
    Fill(exact, {{0, 0}, {400, 0}}, CurveKind::Cut);
    exact.UpdateKind();
    EXPECT_EQ(exact.m_kind, CurveKind::Cut);

    CCurve twoSegments;
    Fill(twoSegments, {{0, 0}, {399, 0}, {399, 1}}, CurveKind::Cut);  // 400 exactly: stays
    twoSegments.UpdateKind();
    EXPECT_EQ(twoSegments.m_kind, CurveKind::Cut);
    CCurve below;
    Fill(below, {{0, 0}, {282, 282}}, CurveKind::Cut);  // 398.8
    below.UpdateKind();
    EXPECT_EQ(below.m_kind, CurveKind::ShortCut);

    CCurve onePlot;
    Fill(onePlot, {{0, 0}}, CurveKind::Plot);
    onePlot.UpdateKind();
    EXPECT_EQ(onePlot.m_kind, CurveKind::Plot);
    CCurve oneCut;
    Fill(oneCut, {{0, 0}}, CurveKind::Cut);
    oneCut.UpdateKind();
    EXPECT_EQ(oneCut.m_kind, CurveKind::ShortCut);
}

TEST(Curve, ScaleOffsetLengthBounds)
{
    CCurve c;
    Fill(c, {{-3, 7}, {50000, 0}});
    c.Scale(1.016, 1.0);
    EXPECT_EQ(c.m_points[0].x, -3);
    EXPECT_EQ(c.m_points[1].x, 50800);

    CCurve seg;
    Fill(seg, {{0, 0}, {50000, 0}});
    seg.CalcLength();
    EXPECT_EQ(seg.m_length, 50000.0);

    CCurve box;
    Fill(box, {{0, 0}, {10, 10}});
    box.CalcBoundRect();
    box.Offset(5, -5);
    EXPECT_EQ(box.m_minX, -5);
    EXPECT_EQ(box.m_maxX, 5);
    EXPECT_EQ(box.m_minY, 5);
    EXPECT_EQ(box.m_maxY, 15);
    EXPECT_EQ(box.m_points[1], (PlotPoint{5, 15}));

    CCurve wide;
    Fill(wide, {{5, -1}, {-2, 9}, {3, 4}});
    wide.CalcBoundRect();
    EXPECT_EQ(wide.m_minX, -2);
    EXPECT_EQ(wide.m_maxX, 5);
    EXPECT_EQ(wide.m_minY, -1);
    EXPECT_EQ(wide.m_maxY, 9);
    wide.Reverse();
    EXPECT_EQ(wide.m_points.front(), (PlotPoint{3, 4}));
}

TEST(Curve, CopyLeavesNoJoinAndLength)
{
    CCurve src;
    Fill(src, {{1, 2}, {3, 4}}, CurveKind::Cut);
    src.m_bSelected = 1;
    src.m_lineType = 4;
    src.m_bNoJoin = 1;
    src.m_length = 99;
    src.CalcBoundRect();
    CCurve dst;
    Fill(dst, {{9, 9}, {8, 8}, {7, 7}});
    dst.CopyFrom(src);
    EXPECT_EQ(dst.m_points, src.m_points);
    EXPECT_EQ(dst.m_kind, CurveKind::Cut);
    EXPECT_EQ(dst.m_bSelected, 1);
    EXPECT_EQ(dst.m_lineType, 4);
    EXPECT_EQ(dst.m_maxY, 4);
    EXPECT_EQ(dst.m_bNoJoin, 0);
    EXPECT_EQ(dst.m_length, 0);
}

TEST(Curve, MovesAndScalesSaturateAtTheIntRange)
{
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    CCurve c;
    Fill(c, {{kMin + 5, kMax - 5}, {0, 0}});
    c.CalcBoundRect();
    c.Offset(10, -10);
    EXPECT_EQ(c.m_points[0], (PlotPoint{kMin, kMax}));
    EXPECT_EQ(c.m_points[1], (PlotPoint{-10, 10}));
    EXPECT_EQ(c.m_minX, kMin);
    EXPECT_EQ(c.m_maxY, kMax);
    Fill(c, {{0, 0}});
    c.Offset(kMin, kMax);  // the negation of kMin does not fit in int32
    EXPECT_EQ(c.m_points[0], (PlotPoint{kMax, kMin + 1}));

    Fill(c, {{kMax, kMin}, {-3, 3}});
    c.Scale(2.0, std::nan(""));
    EXPECT_EQ(c.m_points[0], (PlotPoint{kMax, 0}));
    EXPECT_EQ(c.m_points[1], (PlotPoint{-6, 0}));
}
