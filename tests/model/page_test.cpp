// Guards: page extents wrong without curves or by kind, deletes that reorder the survivors, copies that change the target's job fields.
#include <gtest/gtest.h>

#include "model/Page.h"

namespace {

std::unique_ptr<CCurve> Curve(int32_t kind, std::vector<PlotPoint> pts, int32_t selected = 0)
{
    auto c = std::make_unique<CCurve>();
    c->m_kind = kind;
    c->m_points = std::move(pts);
    c->m_bSelected = selected;
    return c;
}

std::vector<int32_t> Kinds(const COnePage& p)
{
    std::vector<int32_t> k;
    for (const auto& c : p.m_curves) k.push_back(c->m_kind);
    return k;
}

}  // namespace

TEST(Page, ExtentsWithoutCurvesKeepOldValues)
{
    COnePage p;
    p.m_maxX = 7, p.m_minX = -7, p.m_inkMaxX = 5, p.m_cutMaxY = 6;
    p.CalcPageBounds();
    p.CalcInkExtents();
    p.CalcCutExtents();
    EXPECT_EQ(p.m_maxX, 7);
    EXPECT_EQ(p.m_minX, -7);
    EXPECT_EQ(p.m_inkMaxX, 5);
    EXPECT_EQ(p.m_cutMaxY, 6);
}

TEST(Page, ExtentsByKind)
{
    COnePage p;
    p.m_curves.push_back(Curve(CurveKind::Cut, {{-10, 5}, {200, 30}}));
    p.m_curves.push_back(Curve(CurveKind::ShortCut, {{0, -4}, {20, 300}}));
    p.m_inkMaxX = p.m_inkMaxY = 99;
    p.CalcPageBounds();
    p.CalcInkExtents();
    p.CalcCutExtents();
    EXPECT_EQ(p.m_minX, -10);
    EXPECT_EQ(p.m_maxX, 200);
    EXPECT_EQ(p.m_minY, -4);
    EXPECT_EQ(p.m_maxY, 300);
    EXPECT_EQ(p.m_inkMaxX, 0);  // only cut curves
    EXPECT_EQ(p.m_inkMaxY, 0);
    EXPECT_EQ(p.m_cutMaxX, 200);
    EXPECT_EQ(p.m_cutMaxY, 300);

    // Extents start at 0: curves wholly below zero give 0.
    p.m_curves.push_back(Curve(CurveKind::Plot, {{-50, -60}, {-5, -6}}));
    p.CalcInkExtents();
    EXPECT_EQ(p.m_inkMaxX, 0);
    EXPECT_EQ(p.m_inkMaxY, 0);
}

TEST(Page, DeletesKeepOrderOfSurvivors)
{
    COnePage p;
    p.m_curves.push_back(Curve(CurveKind::Plot, {{1, 1}}, 1));
    p.m_curves.push_back(Curve(CurveKind::Cut, {{2, 2}}));
    p.m_curves.push_back(Curve(CurveKind::Plot, {{3, 3}}));
    p.m_curves.push_back(Curve(CurveKind::ShortCut, {{4, 4}}, 1));
    p.m_curves.push_back(Curve(CurveKind::Cut, {{5, 5}}));

    p.DeleteSelectedCurves();
    EXPECT_EQ(Kinds(p), (std::vector<int32_t>{CurveKind::Cut, CurveKind::Plot, CurveKind::Cut}));
    EXPECT_EQ(p.m_curves[0]->m_points[0].x, 2);
    EXPECT_EQ(p.m_curves[2]->m_points[0].x, 5);

    p.m_curves.push_back(Curve(CurveKind::ShortCut, {{6, 6}}, 1));
    p.DeselectAllCurves();
    for (const auto& c : p.m_curves) EXPECT_EQ(c->m_bSelected, 0);

    p.DeleteCutCurves();
    EXPECT_EQ(Kinds(p), (std::vector<int32_t>{CurveKind::Plot}));
    p.DeleteInkCurves();
    EXPECT_TRUE(p.m_curves.empty());
}

TEST(Page, CopyPageFromAppendsAndKeepsTargetJobFields)
{
    COnePage src;
    src.m_strFileName = u"src.plt";
    src.m_maxX = 100, src.m_minX = 1, src.m_maxY = 50, src.m_minY = 2, src.m_startPos = 30;
    src.m_copies = 5, src.m_state = JobState::Done, src.m_inkMaxX = 77, src.m_time = 1, src.m_checked = 1;
    src.m_curves.push_back(Curve(CurveKind::Cut, {{0, 0}, {100, 50}}, 1));
    src.m_curves[0]->m_bNoJoin = 1;

    COnePage dst;
    dst.m_curves.push_back(Curve(CurveKind::Plot, {{9, 9}}));
    dst.m_copies = 2, dst.m_state = JobState::Auto, dst.m_inkMaxX = 11, dst.m_time = 42;
    dst.CopyPageFrom(src);

    ASSERT_EQ(dst.m_curves.size(), 2u);
    EXPECT_EQ(dst.m_curves[0]->m_points[0].x, 9);
    EXPECT_EQ(dst.m_curves[1]->m_points, src.m_curves[0]->m_points);
    EXPECT_EQ(dst.m_curves[1]->m_bSelected, 1);
    EXPECT_EQ(dst.m_curves[1]->m_bNoJoin, 0);
    EXPECT_NE(dst.m_curves[1].get(), src.m_curves[0].get());
    EXPECT_EQ(dst.m_strFileName, u"src.plt");
    EXPECT_EQ(dst.m_maxX, 100);
    EXPECT_EQ(dst.m_minY, 2);
    EXPECT_EQ(dst.m_startPos, 30);
    EXPECT_EQ(dst.m_copies, 2);
    EXPECT_EQ(dst.m_state, JobState::Auto);
    EXPECT_EQ(dst.m_inkMaxX, 11);
    EXPECT_EQ(dst.m_time, 42);
    EXPECT_EQ(dst.m_checked, 0);

    // Copying a page onto itself doubles its curves instead of running wild.
    dst.CopyPageFrom(dst);
    ASSERT_EQ(dst.m_curves.size(), 4u);
    EXPECT_EQ(dst.m_curves[2]->m_points[0].x, 9);
}
