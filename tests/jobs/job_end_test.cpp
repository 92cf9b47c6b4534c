// Guards: a job end counting copies wrong (a copy counted before its end command counted twice, or kept when the
// job failed after all), leaving jobs Auto after a failure, or a band overlay when idle.
#include <gtest/gtest.h>

#include "jobs/JobEnd.h"
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

TEST(JobEnd, ACopyCountedBeforeItsEndIsNotCountedAgainAndAFailureGivesItBack)
{
    struct Case {
        int32_t copies;
        int32_t countedState;  // as the list keeps it between the count and the end
        int result;
        int32_t endState;
        int32_t endCopies;
    };
    const Case cases[] = {
        {2, Printing, JobResult::Finished, Auto, 1},
        {1, Done, JobResult::Finished, Done, 0},
        {2, Printing, JobResult::Failed, Manual, 2},
        {1, Done, JobResult::Failed, Manual, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.copies << " copies, result " << c.result);
        PageList pages;
        pages.push_back(Job(Manual));
        pages.push_back(Job(Printing, c.copies));
        pages.push_back(Job(Auto));
        ASSERT_EQ(CountFinishedCopy(pages), 1);
        EXPECT_EQ(pages[1]->m_state, c.countedState);
        EXPECT_EQ(pages[1]->m_copies, c.copies - 1);
        EXPECT_EQ(ApplyJobEnd(pages, c.result, 1), 1);
        EXPECT_EQ(pages[1]->m_state, c.endState);
        EXPECT_EQ(pages[1]->m_copies, c.endCopies);
        EXPECT_EQ(pages[2]->m_state, c.result == JobResult::Finished ? Auto : Manual);
    }
    // Counted, then gone from the list: nothing else is counted in its place.
    PageList pages;
    pages.push_back(Job(Printing, 3));
    EXPECT_EQ(ApplyJobEnd(pages, JobResult::Finished, -1), -1);
    EXPECT_EQ(pages[0]->m_copies, 3);
}

TEST(JobEnd, AJobTheCloseCancelledLeavesTheWaitingJobsAuto)
{
    PageList pages;
    pages.push_back(Job(Printing, 2));
    pages.push_back(Job(Auto));
    ApplyJobEnd(pages, JobResult::Failed, std::nullopt, true);
    EXPECT_EQ(States(pages), (std::vector<int32_t>{Manual, Auto}));
    EXPECT_EQ(pages[0]->m_copies, 2);
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

TEST(PlottingJob, OnlyThePrintingJobAndOnlyWhileTheMachinePlots)
{
    PageList pages;
    pages.push_back(Job(Manual));
    pages.push_back(Job(Printing));
    PageList idle;
    idle.push_back(Job(Auto));
    struct Case {
        uint8_t status;
        const PageList& pages;
        int want;
    } cases[] = {
        {MachineState::Plotting, pages, 1}, {0x13, pages, 1},  // high bits are not the state
        {MachineState::Paused, pages, -1},  {MachineState::Ready, pages, -1},
        {MachineState::Plotting, idle, -1},
    };
    for (const Case& c : cases) EXPECT_EQ(PlottingJob(c.status, c.pages), c.want) << int(c.status);
}
