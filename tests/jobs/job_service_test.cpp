// Guards the job service's road without a window: a dropped file that is not
// listed, kept and shown; a job whose end is not counted, kept or told; a
// failure that leaves jobs restarting by themselves or says nothing.
#include <sys/stat.h>
#include <utime.h>

#include <filesystem>

#include "tests/jobs/ServiceFixture.h"

using namespace servicefix;
using namespace JobState;

namespace {

std::unique_ptr<COnePage> Square(int32_t state, int32_t units, const char16_t* name, int32_t copies = 1)
{
    auto job = Job(state, copies);
    job->m_curves[0]->m_points = {{0, 0}, {units, 0}, {units, units}, {0, units}, {0, 0}};
    job->m_curves[0]->CalcBoundRect();
    job->CalcPageBounds();
    job->m_strFileName = name;
    return job;
}

}  // namespace

TEST_F(ServiceTest, ADroppedFileIsListedKeptAndShownBeforeTheNextScan)
{
    const std::string source = ToUtf8(theSettings.DataDirMm) + "a.plt";
    {
        std::ofstream(source) << Square(400);
    }
    const struct utimbuf old {1000000000, 1000000000};
    ASSERT_EQ(::utime(source.c_str(), &old), 0);

    for (int i = 0; i < 8 && doc.m_pages.empty(); ++i) service.PollTick();
    ASSERT_EQ(doc.m_pages.size(), 1u);
    EXPECT_EQ(doc.m_pages[0]->m_state, Auto);
    EXPECT_FALSE(std::filesystem::exists(source));
    EXPECT_EQ(StatesOnDisk(), (std::vector<int32_t>{Auto}));
    EXPECT_EQ(told.Count("list 0"), 1);
    EXPECT_TRUE(told.notes.empty()) << told.LastNote();
}

TEST_F(ServiceTest, AJobOfTwoCopiesGoesToTheMachineTwiceAndEndsDoneOnDisk)
{
    StartMachine();
    doc.m_pages.push_back(Square(Auto, 4000, u"/m/two.plt", 2));
    doc.m_pages.push_back(Square(Manual, 4000, u"/m/waits.plt"));
    ASSERT_TRUE(RunUntil([&] { return doc.m_pages[0]->m_state == Done && g_pSendJobThread == nullptr; }));
    EXPECT_EQ(sim.JobsEnded(), 2);
    EXPECT_EQ(doc.m_pages[0]->m_copies, 0);
    EXPECT_EQ(doc.m_pages[1]->m_state, Manual);
    EXPECT_EQ(StatesOnDisk(), (std::vector<int32_t>{Done, Manual}));
    // Each start shows the job started, each end the list from the top.
    EXPECT_GE(told.Count("machine"), 2);
    EXPECT_EQ(told.Count("list 0"), 4);
    EXPECT_TRUE(told.notes.empty()) << told.LastNote();
}

TEST_F(ServiceTest, AJobTheMachineDropsGoesBackToManualWithTheWaitingJobsAndSaysWhich)
{
    StartMachine("drop-after-bands=1");
    doc.m_pages.push_back(Square(Auto, 40000, u"/m/dropped.plt"));
    doc.m_pages.push_back(Square(Auto, 4000, u"/m/next.plt"));
    ASSERT_TRUE(RunUntil([&] { return doc.m_pages[0]->m_state == Manual && g_pSendJobThread == nullptr; }));
    EXPECT_EQ(States(doc.m_pages), (std::vector<int32_t>{Manual, Manual}));
    EXPECT_EQ(StatesOnDisk(), (std::vector<int32_t>{Manual, Manual}));
    ASSERT_FALSE(told.notes.empty());
    const JobNote& note = told.notes.back();
    EXPECT_FALSE(note.box);
    EXPECT_GT(note.ms, 0) << "a note that never times out hides the cursor position for good";
    EXPECT_NE(told.LastNote().find("Job \"dropped.plt\" stopped"), std::string::npos) << told.LastNote();
}

TEST_F(ServiceTest, TheSendingThreadsMessageIsABoxAndNamesTheCause)
{
    doc.m_pages.push_back(Square(Printing, 4000, u"/m/wide.plt"));
    WorkPage.m_strFileName = u"/m/wide.plt";
    service.Message("WidthExceeded", u"too wide");
    g_pSendJobThread.reset();
    service.JobFinished(2);
    ASSERT_EQ(told.notes.size(), 2u);
    EXPECT_TRUE(told.notes[0].box);
    EXPECT_NE(ToUtf8(told.notes[1].text).find("bigger than machine width"), std::string::npos)
        << ToUtf8(told.notes[1].text);
    EXPECT_EQ(doc.m_pages[0]->m_state, Manual);
}
