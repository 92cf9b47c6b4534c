// Guards: another program's DXF (inches, POLYLINE outlines, a TEXT) imported with its outlines or label lost or misplaced.
//
// A DXF written by another program's DXF writer (pstoedit -f dxf, from
// pstoedit_shapes.ps): an R12 file in inches with POLYLINE outlines and a TEXT.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "import/DxfFileImport.h"
#include "import/DxfImport.h"
#include "import/DxfLabelFile.h"
#include "model/Page.h"
#include "model/Settings.h"
#include "dxf_files.h"

using namespace dxftest;

TEST(DxfForeignWriter, PstoeditFileImportsItsOutlinesAndLabel)
{
    TempFolder dir;
    theSettings.Set(Slot::DxfUnit, 40);
    theSettings.InitPathsFrom(dir.Dir());  // the fonts are written there too
    CDxfDrawing dxf;
    COnePage page;
    DxfEntityCounts counts;
    ASSERT_EQ(ImportDxfIntoPage(dxf, FromUtf8(ORLAT_TEST_DATA "/dxf/pstoedit_shapes.dxf"), page, &counts),
              DxfImportResult::Ok);
    EXPECT_EQ(counts, (DxfEntityCounts{{"TEXT", 1}, {"POLYLINE", 2}}));
    ASSERT_GE(page.m_curves.size(), 3u);

    // The rectangle 100..300 x 100..250 pt: 1.3889..4.1667 x 1.3889..3.4722 in,
    // times 40 and truncated. pstoedit repeats the first vertex and flags the
    // polyline closed, so the closing point comes twice: six points.
    CCurve& rect = *page.m_curves[0];
    rect.CalcBoundRect();
    EXPECT_EQ(rect.m_points.size(), 6u);
    EXPECT_EQ(rect.m_points.front(), rect.m_points.back());
    EXPECT_EQ((std::array{rect.m_minX, rect.m_maxX, rect.m_minY, rect.m_maxY}), (std::array{55, 166, 55, 138}));

    // The circle of radius 50 pt about (200, 400) pt, a closed 41-vertex polyline.
    CCurve& circle = *page.m_curves[1];
    circle.CalcBoundRect();
    EXPECT_EQ(circle.m_points.size(), 42u);
    EXPECT_EQ((std::array{circle.m_minX, circle.m_maxX, circle.m_minY, circle.m_maxY}),
              (std::array{83, 138, 194, 250}));

    // "SIZE XL" at (1.667, 4.167) in, the position truncated to whole units first.
    {
        CDxfDrawing again;
        again.CreateDrawing();
        ASSERT_EQ(again.LoadDxf(FromUtf8(ORLAT_TEST_DATA "/dxf/pstoedit_shapes.dxf")), 1);
        CDxfLabelFile labels;
        ASSERT_TRUE(labels.Create(dir.Dir() + u"labels.plt"));
        COnePage scratch;
        again.ImportToPage(scratch, labels);
        labels.Close();
        EXPECT_EQ(ReadBytes(dir.path() / "labels.plt"), "PU40,160;DI1.000,0.000;LBSIZE XL\x03");
    }
    const bool labelDrawn = std::any_of(page.m_curves.begin() + 2, page.m_curves.end(),
                                        [](const auto& c) { return c->m_points.size() >= 2; });
    EXPECT_TRUE(labelDrawn);
}
