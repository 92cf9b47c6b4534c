// Guards: rotations, moves, splits and the send preparation misplacing, losing or doubling curves, or cutting a page too large to split.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "model/ImportPreparation.h"
#include "model/Page.h"
#include "model/Settings.h"
#include "tests/support/PageBuilder.h"

using testsupport::AddCurve;
using testsupport::MakeCurve;

namespace {

using Pts = std::vector<PlotPoint>;

std::vector<Pts> PointsOf(const COnePage& page)
{
    std::vector<Pts> out;
    for (const auto& c : page.m_curves) out.push_back(c->m_points);
    return out;
}

TEST(PageTransforms, Rotate90UsesTheStoredTop)
{
    COnePage page;
    AddCurve(page, {{0, 0}, {100, 50}});
    AddCurve(page, {{10, 20}});
    page.CalcPageBounds();
    page.Rotate90();
    EXPECT_EQ(PointsOf(page), (std::vector<Pts>{{{50, 0}, {0, 100}}, {{30, 10}}}));
    EXPECT_EQ(page.m_minX, 0);
    EXPECT_EQ(page.m_maxX, 50);
    EXPECT_EQ(page.m_maxY, 100);
}

TEST(PageTransforms, NormalizeOriginKeepsAPositiveDistanceFromTheEdge)
{
    COnePage page;
    AddCurve(page, {{-5, 7}, {100, 50}});
    page.NormalizeOrigin();
    EXPECT_EQ(PointsOf(page), (std::vector<Pts>{{{0, 7}, {105, 50}}}));
    EXPECT_EQ(page.m_minY, 7);
    COnePage low;
    AddCurve(low, {{10, -7}, {100, 50}});
    low.NormalizeOrigin();
    EXPECT_EQ(PointsOf(low), (std::vector<Pts>{{{0, 0}, {90, 57}}}));
    low.MoveToLowerLeft();
    COnePage corner;
    AddCurve(corner, {{10, 7}, {100, 50}});
    corner.MoveToLowerLeft();
    EXPECT_EQ(PointsOf(corner), (std::vector<Pts>{{{0, 0}, {90, 43}}}));
    EXPECT_EQ(corner.m_maxX, 90);
    EXPECT_EQ(corner.m_maxY, 43);
}

TEST(PageTransforms, StartPositionShiftAndScale)
{
    COnePage page;
    AddCurve(page, {{1000, 0}, {2000, 100}});
    page.CalcPageBounds();
    page.m_inkMaxX = 2000;
    page.m_cutMaxX = 1500;
    page.m_startPos = 10;
    page.ApplyStartPosition();
    EXPECT_EQ(PointsOf(page), (std::vector<Pts>{{{600, 0}, {1600, 100}}}));
    EXPECT_EQ(page.m_minX, 1000);  // left as it was
    EXPECT_EQ(page.m_maxX, 1600);
    EXPECT_EQ(page.m_inkMaxX, 1600);
    EXPECT_EQ(page.m_cutMaxX, 1100);

    page.m_minY = 55;
    page.ShiftUp(0);
    EXPECT_EQ(page.m_minY, 55);
    page.ShiftUp(400);
    EXPECT_EQ(PointsOf(page), (std::vector<Pts>{{{600, 400}, {1600, 500}}}));
    EXPECT_EQ(page.m_maxY, 500);
    EXPECT_EQ(page.m_minY, 0);

    page.ScaleAll(1.016, 1.016);
    EXPECT_EQ(PointsOf(page), (std::vector<Pts>{{{609, 406}, {1625, 508}}}));
    EXPECT_EQ(page.m_maxY, 500);  // the bounds stay stale
}

TEST(PageTransforms, EmptyPageIsLeftAlone)
{
    COnePage page;
    page.m_maxX = 7;
    page.m_maxY = 9;
    page.Rotate90();
    page.MoveToLowerLeft();
    page.NormalizeOrigin();
    page.ApplyStartPosition();
    page.ShiftUp(400);
    page.SplitAlongY(2);
    page.SplitLongCuts(800, 10);
    page.JoinNearbyCurves();
    page.DetectOutlines();
    EXPECT_TRUE(page.m_curves.empty());
    EXPECT_EQ(page.m_maxX, 7);
    EXPECT_EQ(page.m_maxY, 9);
}

TEST(PageSplit, WidthAtOrAboveThePageOrNotPositiveDoesNothing)
{
    for (int32_t w : {100, 150, 0, -100}) {
        COnePage page;
        AddCurve(page, {{0, 0}, {50, 100}, {100, 0}});
        page.SplitAlongY(w);
        EXPECT_EQ(PointsOf(page), (std::vector<Pts>{{{0, 0}, {50, 100}, {100, 0}}})) << w;
    }
}

TEST(PageSplit, SegmentsOnTheLineStayAndFromItMoveWhole)
{
    COnePage page;
    AddCurve(page, {{0, 100}, {50, 100}}, CurveKind::Cut);
    AddCurve(page, {{0, 100}, {50, 200}});
    page.SplitAlongY(100);
    // S = 50 + 1200.
    EXPECT_EQ(PointsOf(page), (std::vector<Pts>{{{0, 100}, {50, 100}}, {{1250, 0}, {1300, 100}}}));
    EXPECT_EQ(page.m_curves[0]->m_kind, CurveKind::Cut);
}

TEST(PageSplit, PolylineCrossingTwiceBecomesThreePieces)
{
    COnePage page;
    AddCurve(page, {{0, 0}, {100, 50}, {200, 150}, {300, 150}, {400, 50}});
    page.SplitAlongY(100);
    EXPECT_EQ(PointsOf(page), (std::vector<Pts>{{{0, 0}, {100, 50}, {150, 100}},
                                                {{350, 100}, {400, 50}},
                                                {{1750, 0}, {1800, 50}, {1900, 50}, {1950, 0}}}));
    EXPECT_EQ(page.m_maxX, 1950);
    EXPECT_EQ(page.m_maxY, 100);
}

TEST(PageSplit, StripsFollowOneAnotherAlongX)
{
    COnePage page;
    AddCurve(page, {{0, 0}, {0, 300}});
    page.SplitAlongY(100);
    EXPECT_EQ(PointsOf(page),
              (std::vector<Pts>{{{0, 0}, {0, 100}}, {{1200, 0}, {1200, 100}}, {{2400, 0}, {2400, 100}}}));
    // Twice the width: one pass' worth of moves.
    COnePage two;
    AddCurve(two, {{0, 150}, {10, 200}});
    AddCurve(two, {{0, 0}, {10, 0}});
    two.SplitAlongY(100);
    EXPECT_EQ(PointsOf(two), (std::vector<Pts>{{{0, 0}, {10, 0}}, {{1210, 50}, {1220, 100}}}));
}

TEST(PageSplit, TooLargeASplitIsRefusedBeforeAnythingIsCut)
{
    struct Case {
        const char* what;
        std::vector<Pts> curves;
        int32_t w;
        bool done;
    };
    std::vector<Pts> diagonals;  // 3000 diagonals over 25,000 strips of 2000 mm
    for (int32_t i = 0; i < 3000; ++i) diagonals.push_back({{i * 10, 0}, {i * 10 + 5000, 2000000000}});
    const Case cases[] = {
        {"two thousand million strips", {{{0, 0}, {10, 0}}, {{0, 2000000000}, {10, 2000000000}}}, 1, false},
        {"100,000 strips", {{{0, 0}, {10, 0}}, {{0, 1999995000}, {10, 1999995000}}}, 20000, true},
        {"100,001 strips", {{{0, 0}, {10, 0}}, {{0, 2000000000}, {10, 2000000000}}}, 20000, false},
        {"75 million pieces", diagonals, 80000, false},
        {"shift beyond the 32-bit range", {{{0, 0}, {1000000000, 1000}}}, 100, false},
    };
    for (const Case& k : cases) {
        COnePage page;
        for (const Pts& c : k.curves) {
            AddCurve(page, {}).m_points = c;
            page.m_curves.back()->CalcBoundRect();
        }
        const std::vector<Pts> before = PointsOf(page);
        EXPECT_EQ(page.SplitAlongY(k.w), k.done) << k.what;
        if (!k.done) {
            EXPECT_EQ(PointsOf(page), before) << k.what;
        }
        for (const auto& c : page.m_curves)
            for (const PlotPoint& p : c->m_points) EXPECT_LT(p.x, INT32_MAX) << k.what;
    }
}

TEST(PageSplit, ImportOfALongDiagonalOnANarrowPaperKeepsThePageAndSaysWhy)
{
    const int32_t paper = theSettings.Get(Slot::PaperLenMm), rotate = theSettings.Get(Slot::AutoRotate);
    theSettings.Set(Slot::PaperLenMm, 1);  // a hand-edited settings file
    theSettings.Set(Slot::AutoRotate, 0);
    COnePage page;
    AddCurve(page, {{0, 0}, {1000000, 5000000}});
    EXPECT_EQ(PrepareImportedPage(page, false), PrepareResult::SplitRefused);
    EXPECT_EQ(PointsOf(page), (std::vector<Pts>{{{0, 0}, {1000000, 5000000}}}));
    EXPECT_NE(PrepareMessageText(PrepareResult::SplitRefused, 1).find(u"100,000 pages"), std::u16string::npos);
    EXPECT_FALSE(PrepareMessageText(PrepareResult::SplitRefused, 0).empty());
    theSettings.Set(Slot::PaperLenMm, paper);
    theSettings.Set(Slot::AutoRotate, rotate);
}

TEST(SendPreparation, CleaningStripesInFrontOfTheJob)
{
    for (int32_t t : {0, 9, 3}) {
        COnePage page;
        AddCurve(page, {{0, 0}, {10, 10}}, CurveKind::Cut);
        page.AddCleaningStripes(t);
        ASSERT_EQ(page.m_curves.size(), 3901u) << t;
        EXPECT_EQ(page.m_curves[0]->m_points, (Pts{{1000, 0}, {1010, 10}}));
        EXPECT_EQ(page.m_curves[1]->m_points, (Pts{{0, 0}, {1000, 0}}));
        EXPECT_EQ(page.m_curves[65]->m_points, (Pts{{0, 64}, {1000, 64}}));
        EXPECT_EQ(page.m_curves[66]->m_points, (Pts{{0, 200}, {1000, 200}}));
        EXPECT_EQ(page.m_curves.back()->m_points, (Pts{{0, 11864}, {1000, 11864}}));
        EXPECT_EQ(page.m_curves.back()->m_kind, CurveKind::Plot);
    }
    // The bounds are left for the sender to recompute.
    COnePage stale;
    AddCurve(stale, {{0, 0}, {10, 10}});
    stale.CalcPageBounds();
    stale.AddCleaningStripes(3);
    EXPECT_EQ(stale.m_maxX, 10);
    EXPECT_EQ(stale.m_minX, 0);
    EXPECT_EQ(stale.m_maxY, 10);
    COnePage empty;
    empty.AddCleaningStripes(1);
    EXPECT_EQ(empty.m_curves.size(), 25u * 30u);
}

TEST(SendPreparation, LongCutsSplitIntoLengthsWithGaps)
{
    COnePage page;
    AddCurve(page, {{0, 0}, {2000, 0}}, CurveKind::Cut);
    AddCurve(page, {{0, 0}, {879, 0}}, CurveKind::Cut);
    AddCurve(page, {{0, 0}, {5000, 0}}, CurveKind::Plot);
    AddCurve(page, {{0, 0}, {795, 0}, {2000, 0}}, CurveKind::ShortCut);
    page.SplitLongCuts(800, 10);
    EXPECT_EQ(PointsOf(page), (std::vector<Pts>{{{0, 0}, {790, 0}},
                                                {{800, 0}, {1590, 0}},
                                                {{1600, 0}, {2000, 0}},
                                                {{0, 0}, {879, 0}},
                                                {{0, 0}, {5000, 0}},
                                                {{0, 0}, {795, 0}, {795, 0}},
                                                {{805, 0}, {1595, 0}},
                                                {{1605, 0}, {2000, 0}}}));
    EXPECT_EQ(page.m_curves[1]->m_kind, CurveKind::Cut);
    EXPECT_EQ(page.m_curves[5]->m_kind, CurveKind::ShortCut);
    EXPECT_EQ(page.m_curves[6]->m_kind, CurveKind::Cut);
}

TEST(SendPreparation, LongCutsWithoutLengthOrProgressStop)
{
    for (int32_t L : {0, -800}) {
        COnePage page;
        AddCurve(page, {{0, 0}, {2000, 0}}, CurveKind::Cut);
        page.SplitLongCuts(L, 10);
        EXPECT_EQ(page.m_curves.size(), 1u) << L;
    }
    // One unit along the diagonal truncates back onto its start: the rest
    // would be the curve itself, again and again.
    COnePage page;
    AddCurve(page, {{0, 0}, {1000, 1000}}, CurveKind::Cut);
    page.SplitLongCuts(1, 0);
    EXPECT_EQ(PointsOf(page), (std::vector<Pts>{{{0, 0}, {1000, 1000}}}));
}

TEST(SendPreparation, ReorderByKindIsStable)
{
    COnePage page;
    const int32_t kinds[] = {CurveKind::Cut, CurveKind::Plot, CurveKind::ShortCut, CurveKind::Plot, CurveKind::Cut};
    for (int32_t i = 0; i < 5; ++i) AddCurve(page, {{i, 0}}, kinds[i]);
    auto order = [&] {
        std::vector<int32_t> v;
        for (const auto& c : page.m_curves) v.push_back(c->m_points[0].x);
        return v;
    };
    page.ReorderByKind(1);
    EXPECT_EQ(order(), (std::vector<int32_t>{1, 3, 0, 2, 4}));
    page.ReorderByKind(0);
    EXPECT_EQ(order(), (std::vector<int32_t>{0, 2, 4, 1, 3}));
    page.SetAllToPlot();
    page.ReorderByKind(0);
    EXPECT_EQ(order(), (std::vector<int32_t>{0, 2, 4, 1, 3}));
}

TEST(SendPreparation, PerCurvePasses)
{
    COnePage page;
    AddCurve(page, {{0, 0}, {0, 0}, {10, 0}, {20, 0}, {20, 10}});
    AddCurve(page, {{5, 5}, {5, 5}});
    AddCurve(page, {{0, 0}, {399, 0}}, CurveKind::Cut);
    AddCurve(page, {{0, 0}, {400, 0}}, CurveKind::Cut);
    AddCurve(page, {{0, 0}, {10, 0}});
    page.CleanUpCurves();
    ASSERT_EQ(page.m_curves.size(), 4u);
    EXPECT_EQ(page.m_curves[0]->m_points, (Pts{{0, 0}, {20, 0}, {20, 10}}));
    page.ClassifyShortCuts();
    EXPECT_EQ(page.m_curves[0]->m_kind, CurveKind::Plot);
    EXPECT_EQ(page.m_curves[1]->m_kind, CurveKind::ShortCut);
    EXPECT_EQ(page.m_curves[2]->m_kind, CurveKind::Cut);
}

}  // namespace
