// Guards: a real plotting program's HP-GL (scaling, polygon mode, pens) imported as other curves.
//
// A marker-like file written by a real plotting program (GNU plotutils'
// graph -T hpgl: IN, IP/SC scaling, PA with PU/PD, polygon mode, pens).
#include <gtest/gtest.h>

#include "HpglFixture.h"
#include "import/HpglFile.h"
#include "model/Page.h"

namespace {

TEST(HpglPlotutils, GraphOutput)
{
    fixture::InstallFixtureFonts();
    CHpglFile r;
    r.m_strPath = FromUtf8(ORLAT_TEST_DATA "/hpgl/graph_plotutils.plt");
    ASSERT_EQ(r.ReadPltFile(), 0);
    COnePage page;
    r.ToPage(page, true);
    page.CalcPageBounds();
    size_t points = 0;
    for (const auto& c : page.m_curves) {
        EXPECT_EQ(c->m_kind, CurveKind::Plot);
        points += c->m_points.size();
    }
    // 138 drawn paths; one that starts where the one before ended joins it.
    EXPECT_EQ(page.m_curves.size(), 118u);
    EXPECT_EQ(points, 1038u);
    // The drawn extremes of the file's PA coordinates (plot units, unscaled).
    EXPECT_EQ(page.m_maxX, 8258);
    EXPECT_EQ(page.m_maxY, 8115);
    EXPECT_EQ(page.m_minX, 1547);
    EXPECT_EQ(page.m_minY, 1667);
}

}  // namespace
