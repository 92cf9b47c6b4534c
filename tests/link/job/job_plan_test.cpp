// Guards: a job start that prepares its page from other values than its snapshot, or goes on past the point limit.
//
// The job start's preparation of the working page, without threads or sockets.
#include <gtest/gtest.h>

#include "link/job/JobMessages.h"
#include "link/job/JobPlan.h"
#include "link/output/JobSnapshot.h"
#include "model/MachineParams.h"
#include "model/Page.h"
#include "model/Settings.h"

namespace {

class JobPlanTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved = SnapshotMachineParams();
        savedExt = theSettings.Get(Slot::CutSEOftHpgl);
        MachineParams p{};
        FillDefaultMachineParams(p);
        p.cutMode = 0;
        p.angleComp = 20;
        StoreMachineParams(p);
        theSettings.Set(Slot::CutSEOftHpgl, 10);
    }
    void TearDown() override
    {
        StoreMachineParams(saved);
        theSettings.Set(Slot::CutSEOftHpgl, savedExt);
    }
    static void AddCut(COnePage& page, std::vector<PlotPoint> pts)
    {
        auto c = std::make_unique<CCurve>();
        c->m_kind = CurveKind::Cut;
        c->m_points = std::move(pts);
        c->CalcBoundRect();
        page.m_curves.push_back(std::move(c));
    }
    MachineParams saved{};
    int32_t savedExt = 0;
};

// The corner loops and the end extension come from the values taken when the
// job started, not from an edit made afterwards.
TEST_F(JobPlanTest, KnifeCompensationTakesTheJobsSnapshot)
{
    COnePage job, work;
    AddCut(job, {{1000, 1000}, {3000, 1000}, {3000, 3000}});
    const JobSnapshot snap = TakeJobSnapshot();
    MachineParams edited = SnapshotMachineParams();
    edited.angleComp = 0;
    StoreMachineParams(edited);
    theSettings.Set(Slot::CutSEOftHpgl, 0);

    const JobPlan plan = PrepareWorkPage(job, work, snap, TakeJobPrepSettings());
    ASSERT_EQ(plan.refusal, nullptr);
    ASSERT_EQ(work.m_curves.size(), 1u);
    // Extended by 10 at both ends, a loop of 20 at the corner.
    EXPECT_EQ(work.m_curves[0]->m_points,
              (std::vector<PlotPoint>{{990, 1000}, {3000, 1000}, {3010, 990}, {3000, 1000}, {3000, 3010}}));
}

// A cut line that cut mode 1 would break into more than 16 million points
// refuses the job with its message instead of taking gigabytes.
TEST_F(JobPlanTest, LongCutSplitBeyondThePointLimitRefusesTheJob)
{
    MachineParams p = SnapshotMachineParams();
    p.cutMode = 1;
    p.fullKnifeLengthMm = 1;  // 40-unit pieces
    p.halfKnifeLengthX = 0;
    p.halfKnifeLengthY = 0;
    StoreMachineParams(p);
    COnePage job, work;
    AddCut(job, {{0, 0}, {2000000000, 0}});
    const JobPlan plan = PrepareWorkPage(job, work, TakeJobSnapshot(), TakeJobPrepSettings());
    ASSERT_NE(plan.refusal, nullptr);
    EXPECT_STREQ(plan.refusal, "TooManyPoints");
    EXPECT_NE(JobMessageText("TooManyPoints", 1), u"TooManyPoints");
    EXPECT_NE(JobMessageText("OutOfMemory", 0), u"OutOfMemory");

    // A modest one is split as usual.
    COnePage small, smallWork;
    AddCut(small, {{0, 0}, {4000, 0}});
    const JobPlan ok = PrepareWorkPage(small, smallWork, TakeJobSnapshot(), TakeJobPrepSettings());
    EXPECT_EQ(ok.refusal, nullptr);
    EXPECT_GT(smallWork.m_curves.size(), 50u);
}

}  // namespace
