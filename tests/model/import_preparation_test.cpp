// Guards: an import preparation that cleans, scales, rotates, splits or finds outlines in another order or way than its steps one by one.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "model/ImportPreparation.h"
#include "model/Page.h"
#include "model/Settings.h"
#include "tests/support/PageBuilder.h"
#include "tests/support/GlobalsGuard.h"
#include "model/support/LiteralOracles.h"
#include "model/support/PageCompare.h"
#include "model/support/RandomPages.h"

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

// The preparation against each of its operations run in turn over the whole
// page, on random pages: moved to negative and far coordinates, with and
// without scaling, outline search, rotation and a split.
TEST_F(Prepare, EqualsTheOperationsOneAfterTheOther)
{
    for (uint32_t seed = 1; seed <= 240; ++seed) {
        RandomPages gen(seed);
        COnePage page;
        gen.Fragments(page, gen.Int(0, 30));
        gen.Contours(page, gen.Int(0, 12), seed % 7 == 0 ? 400000 : 1);
        gen.StripPolylines(page, gen.Int(0, 10), 3000);
        if (gen.Chance(50)) {
            // An outline whose stray last point the search drops: its bounds
            // then still cover that point.
            const int32_t x = gen.Int(0, 3000), y = gen.Int(0, 3000);
            AddCurve(page, {{x, y}, {x + 1000, y}, {x + 1000, y + 1000}, {x, y + 1000}, {x, y + 5}, {x - 300, y - 300}});
        }
        const int32_t dx = gen.Int(-5000, 5000), dy = gen.Chance(50) ? gen.Int(-5000, 0) : gen.Int(0, 500);
        for (auto& c : page.m_curves) c->Offset(dx, dy);
        const bool scale = gen.Chance(50), outlines = gen.Chance(40), rotate = gen.Chance(60);
        const int32_t paperMm = gen.Chance(50) ? gen.Int(5, 80) : 2000;
        theSettings.Set(Slot::SearchOutline, outlines);
        theSettings.Set(Slot::AutoRotate, rotate);
        theSettings.Set(Slot::PaperLenMm, paperMm);
        COnePage fast, slow;
        ClonePage(page, fast);
        ClonePage(page, slow);
        PrepareImportedPage(fast, scale);
        oracle::PrepareImportedPage(slow, scale, outlines, rotate, paperMm * 40);
        ASSERT_TRUE(SamePages(fast, slow)) << "seed " << seed;
        EXPECT_EQ(fast.m_inkMaxX, slow.m_inkMaxX) << "seed " << seed;
        EXPECT_EQ(fast.m_inkMaxY, slow.m_inkMaxY) << "seed " << seed;
        EXPECT_EQ(fast.m_cutMaxX, slow.m_cutMaxX) << "seed " << seed;
        EXPECT_EQ(fast.m_cutMaxY, slow.m_cutMaxY) << "seed " << seed;
    }
}

}  // namespace
