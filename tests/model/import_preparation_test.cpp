#include <gtest/gtest.h>

#include <vector>

#include "model/ImportPreparation.h"
#include "model/Page.h"
#include "model/Settings.h"
#include "tests/support/PageBuilder.h"
#include "tests/support/GlobalsGuard.h"

using testsupport::AddCurve;
using testsupport::MakeCurve;

namespace {

class Prepare : public ::testing::Test {
protected:
    void SetUp() override
    {
        theSettings.Set(Slot::PaperLenMm, 10);  // 400 plot units
        theSettings.Set(Slot::AutoRotate, 1);
        theSettings.Set(Slot::SearchOutline, 0);
        theSettings.Set(Slot::AutoStart, 1);
    }
    testsupport::GlobalsGuard guard;
};

TEST_F(Prepare, CleansScalesAndNormalises)
{
    COnePage page;
    AddCurve(page, {{-100, 50}, {-100, 50}, {0, 50}, {100, 50}, {100, 150}});
    AddCurve(page, {{7, 7}, {7, 7}});
    page.m_startPos = 12;
    PrepareImportedPage(page, true);
    ASSERT_EQ(page.m_curves.size(), 1u);
    // -101.6 and 50.8 truncate toward zero; the origin then moves to X = 0.
    EXPECT_EQ(page.m_curves[0]->m_points, (std::vector<PlotPoint>{{0, 50}, {202, 50}, {202, 152}}));
    EXPECT_EQ(page.m_minY, 50);
    EXPECT_EQ(page.m_startPos, 0);
    EXPECT_EQ(page.m_state, JobState::Auto);
    theSettings.Set(Slot::AutoStart, 0);
    PrepareImportedPage(page, false);
    EXPECT_EQ(page.m_state, JobState::Manual);
}

TEST_F(Prepare, RotatesOrSplitsOnlyWhatIsWiderThanThePaper)
{
    struct Case { int32_t top; int32_t rotate; size_t curves; int32_t maxY; };
    const Case cases[] = {
        {400, 1, 1, 400},   // exactly the paper: neither
        {401, 1, 1, 100},   // rotated: 100 long, 401 wide becomes 401 long, 100 wide
        {401, 0, 2, 400},   // split into two strips
    };
    for (const Case& k : cases) {
        theSettings.Set(Slot::AutoRotate, k.rotate);
        COnePage page;
        AddCurve(page, {{0, 0}, {100, k.top}});
        PrepareImportedPage(page, false);
        EXPECT_EQ(page.m_curves.size(), k.curves) << k.top << " " << k.rotate;
        EXPECT_EQ(page.m_maxY, k.maxY) << k.top << " " << k.rotate;
    }
    // A page wider than the paper both ways is rotated and then split.
    COnePage big;
    AddCurve(big, {{0, 0}, {500, 600}});
    PrepareImportedPage(big, false);
    EXPECT_EQ(big.m_curves.size(), 2u);
    EXPECT_EQ(big.m_maxY, 400);
}

TEST_F(Prepare, OutlinesWhenAsked)
{
    for (int32_t search : {0, 1}) {
        theSettings.Set(Slot::SearchOutline, search);
        theSettings.Set(Slot::PaperLenMm, 2000);
        COnePage page;
        AddCurve(page, {{0, 0}, {1000, 0}, {1000, 1000}});
        AddCurve(page, {{1000, 1000}, {0, 1000}, {0, 0}});
        PrepareImportedPage(page, false);
        ASSERT_EQ(page.m_curves.size(), search ? 1u : 2u);
        EXPECT_EQ(page.m_curves[0]->m_kind, search ? CurveKind::Cut : CurveKind::Plot);
    }
}

TEST_F(Prepare, CleansBeforeScalingAndFindsOutlinesBeforeTheSplit)
{
    // Collinear as read, not once scaled: the clean-up must see it first.
    COnePage line;
    AddCurve(line, {{0, 0}, {50, 100}, {100, 200}});
    PrepareImportedPage(line, true);
    ASSERT_EQ(line.m_curves.size(), 1u);
    EXPECT_EQ(line.m_curves[0]->m_points, (std::vector<PlotPoint>{{0, 0}, {101, 203}}));

    // A 25 mm square on 10 mm paper: found whole, then cut into strips that
    // stay knife lines (each strip alone would be too small an outline).
    theSettings.Set(Slot::AutoRotate, 0);
    theSettings.Set(Slot::SearchOutline, 1);
    COnePage square;
    AddCurve(square, {{0, 0}, {1000, 0}, {1000, 1000}, {0, 1000}, {0, 0}});
    PrepareImportedPage(square, false);
    ASSERT_GT(square.m_curves.size(), 1u);
    for (const auto& c : square.m_curves) EXPECT_EQ(c->m_kind, CurveKind::Cut);
    EXPECT_EQ(square.m_maxY, 400);
}

}  // namespace
