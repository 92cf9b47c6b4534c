// The job list decisions of the frame: the end of a job, the clean-up of Done
// jobs, the band overlay and the poll cycle's order.
#include <gtest/gtest.h>

#include "app/jobs/JobEnd.h"
#include "app/jobs/PollCycle.h"
#include "link/LinkState.h"
#include "tests/app/support/AppFixture.h"

using namespace appfix;
using namespace JobState;

TEST(JobEnd, FinishedCountsCopiesDownThenDone)
{
    PageList pages;
    pages.push_back(Job(Done));
    pages.push_back(Job(Printing, 2));
    pages.push_back(Job(Auto));
    EXPECT_EQ(ApplyJobEnd(pages, JobResult::Finished), 1);
    EXPECT_EQ(States(pages), (std::vector<int32_t>{Done, Auto, Auto}));
    EXPECT_EQ(pages[1]->m_copies, 1);
    pages[1]->m_state = Printing;  // the next tick sends it again
    ApplyJobEnd(pages, JobResult::Finished);
    EXPECT_EQ(States(pages), (std::vector<int32_t>{Done, Done, Auto}));
    EXPECT_EQ(pages[1]->m_copies, 0);
}

TEST(JobEnd, FailureTurnsPrintingAndEveryAutoManual)
{
    PageList pages;
    pages.push_back(Job(Auto));
    pages.push_back(Job(Printing, 3));
    pages.push_back(Job(Done));
    pages.push_back(Job(Auto));
    EXPECT_EQ(ApplyJobEnd(pages, JobResult::Failed), 1);
    EXPECT_EQ(States(pages), (std::vector<int32_t>{Manual, Manual, Done, Manual}));
    EXPECT_EQ(pages[1]->m_copies, 3);
}

TEST(JobEnd, NoPrintingJobChangesNothing)
{
    // The list was saved while printing (Printing stored as Manual), or emptied.
    PageList pages;
    EXPECT_EQ(ApplyJobEnd(pages, JobResult::Finished), -1);
    pages.push_back(Job(Manual, 2));
    EXPECT_EQ(ApplyJobEnd(pages, JobResult::Finished), -1);
    EXPECT_EQ(pages[0]->m_copies, 2);
    EXPECT_EQ(pages[0]->m_state, Manual);
}

TEST(DoneDeletion, RemovesDoneAndFindsPrinting)
{
    PageList pages;
    for (int32_t s : {Done, Manual, Done, Done, Printing, Done, Auto}) pages.push_back(Job(s));
    const DoneDeletion d = DeleteDoneJobs(pages);
    EXPECT_EQ(d.deleted, 4);
    EXPECT_EQ(d.printingIndex, 1);
    EXPECT_EQ(States(pages), (std::vector<int32_t>{Manual, Printing, Auto}));

    PageList none;
    none.push_back(Job(Manual));
    EXPECT_EQ(DeleteDoneJobs(none).deleted, 0);
    EXPECT_EQ(DeleteDoneJobs(none).printingIndex, 0);
}

TEST(BandOverlay, OnlyWhilePlottingOnTheShownJob)
{
    PageList pages;
    pages.push_back(Job(Manual));
    pages.push_back(Job(Printing));
    struct Case {
        uint8_t status;
        int shown;
        bool want;
    } cases[] = {
        {MachineState::Plotting, 1, true},        {0x13, 1, true},  // high bits are not the state
        {MachineState::Paused, 1, false},         {MachineState::Ready, 1, false},
        {MachineState::Plotting, 0, false},       {MachineState::Plotting, 2, false},
        {MachineState::Plotting, -1, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BandOverlayWanted(c.status, pages, c.shown), c.want) << int(c.status) << " " << c.shown;
}

namespace {
std::vector<int> Steps(CPollCycle& cycle, int calls, bool lastTask, bool autoDel, std::vector<int>* pauses = nullptr)
{
    std::vector<int> steps;
    for (int i = 0; i < calls; ++i) {
        const PollAction a = cycle.Next(lastTask, autoDel);
        steps.push_back(a.step);
        if (pauses) pauses->push_back(a.pauseMs);
    }
    return steps;
}
}  // namespace

TEST(PollCycle, LastTaskFirstThenScansWithoutPause)
{
    using namespace PollStep;
    CPollCycle c;
    std::vector<int> pauses;
    EXPECT_EQ(Steps(c, 4, true, false, &pauses), (std::vector<int>{LoadLastTask, ScanMm, ScanMil, None}));
    EXPECT_EQ(pauses, (std::vector<int>{0, 400, 400, 800}));
    CPollCycle d;
    EXPECT_EQ(Steps(d, 3, false, false), (std::vector<int>{None, ScanMm, ScanMil}));
}

TEST(PollCycle, DoneDeletionEveryFourthCycle)
{
    CPollCycle c;
    c.Next(false, true);
    std::vector<int> cycles;
    for (int i = 1; i <= 12; ++i) {
        c.Next(false, true);
        c.Next(false, true);
        if (c.Next(false, true).step == PollStep::DeleteDone) cycles.push_back(i);
    }
    EXPECT_EQ(cycles, (std::vector<int>{4, 8, 12}));

    // The count stands still while the option is off.
    CPollCycle d;
    d.Next(false, true);
    for (int i = 0; i < 3; ++i) {
        d.Next(false, true), d.Next(false, true), d.Next(false, true);
        d.Next(false, false), d.Next(false, false), d.Next(false, false);
    }
    d.Next(false, true), d.Next(false, true);
    EXPECT_EQ(d.Next(false, true).step, PollStep::DeleteDone);
}
