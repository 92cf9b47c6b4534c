// Guards: copies printed a wrong number of times, or a lost link leaving jobs Auto or Printing.
#include <condition_variable>
#include <filesystem>
#include <mutex>

#include "app/frame/FrameHub.h"
#include "tests/app/frame/FrameSimFixture.h"

using namespace appfix;
using namespace JobState;

namespace {

class FrameOnSim : public FrameSimFixture {};

}  // namespace

TEST_F(FrameOnSim, TwoCopiesPrintTwiceThenDone)
{
    doc.m_pages.push_back(Job(Manual));
    doc.m_pages.push_back(Job(Auto, 2));
    frame->StartWorkers();
    // Done as its last copy is counted, ended once the machine has the end command.
    ASSERT_TRUE(PumpUntil([&] { return doc.m_pages[1]->m_state == Done && g_pSendJobThread == nullptr; }, 20000))
        << "state " << doc.m_pages[1]->m_state;
    EXPECT_EQ(doc.m_pages[1]->m_copies, 0);
    EXPECT_EQ(doc.m_pages[0]->m_state, Manual);
    EXPECT_EQ(sim.JobsEnded(), 2);
    EXPECT_EQ(g_pSendJobThread, nullptr);
    EXPECT_TRUE(WorkPage.m_curves.empty());
}

TEST_F(FrameOnSim, LinkLostMidJobTurnsAutoJobsManual)
{
    SimFaults f;
    ASSERT_TRUE(ApplyFault("drop-after-bands=1", f));
    sim.SetFaults(f);
    auto big = Job(Auto);
    big->m_curves[0]->m_points = {{0, 0}, {40000, 0}, {40000, 40000}, {0, 40000}, {0, 0}};
    big->m_curves[0]->CalcBoundRect();
    big->CalcPageBounds();
    doc.m_pages.push_back(std::move(big));
    doc.m_pages.push_back(Job(Auto));
    doc.m_pages.push_back(Job(Done, 0));
    frame->StartWorkers();
    ASSERT_TRUE(PumpUntil([&] { return doc.m_pages[0]->m_state == Manual; }, 20000))
        << "state " << doc.m_pages[0]->m_state;
    EXPECT_EQ(States(doc.m_pages), (std::vector<int32_t>{Manual, Manual, Done}));
    EXPECT_EQ(doc.m_pages[0]->m_copies, 1);
    PumpUntil([] { return g_pSendJobThread == nullptr; }, 2000);
    EXPECT_EQ(g_pSendJobThread, nullptr);
}

namespace {
// Stands for the sending thread's last report: it has given the link back
// (g_jobActive clear) and waits until the test lets it go.
class HeldLastReport final : public CJobObserver {
public:
    void JobFinished(int) override
    {
        std::unique_lock<std::mutex> l(m_lock);
        reached = true;
        m_cv.notify_all();
        m_cv.wait(l, [&] { return released; });
    }
    void WaitReached()
    {
        std::unique_lock<std::mutex> l(m_lock);
        m_cv.wait_for(l, std::chrono::seconds(20), [&] { return reached; });
    }
    void Release()
    {
        std::lock_guard<std::mutex> l(m_lock);
        released = true;
        m_cv.notify_all();
    }
    bool reached = false;
    bool released = false;

private:
    std::mutex m_lock;
    std::condition_variable m_cv;
};
}  // namespace

TEST_F(FrameOnSim, NoNewJobBeforeTheLastJobsEndIsHandled)
{
    doc.m_pages.push_back(Job(Printing));
    doc.m_pages.push_back(Job(Auto));
    HeldLastReport sender;
    ASSERT_EQ(StartPlot(*doc.m_pages[0], sender, frame->Service().jobLink), 0);
    sender.WaitReached();
    ASSERT_TRUE(sender.reached);
    EXPECT_FALSE(g_jobActive.load());  // the link flag says the job is over
    MachineStatus = MachineState::Ready;
    frame->Service().StartTick();
    EXPECT_EQ(States(doc.m_pages), (std::vector<int32_t>{Printing, Auto}));
    EXPECT_FALSE(WorkPage.m_curves.empty());  // still the old job's

    sender.Release();
    frame->Service().JobFinished(1);
    EXPECT_EQ(States(doc.m_pages), (std::vector<int32_t>{Done, Auto}));
    EXPECT_EQ(g_pSendJobThread, nullptr);
    MachineStatus = MachineState::Ready;
    frame->Service().StartTick();
    EXPECT_EQ(doc.m_pages[1]->m_state, Printing);
    ASSERT_TRUE(PumpUntil([&] { return doc.m_pages[1]->m_state == Done && g_pSendJobThread == nullptr; }, 20000));
    EXPECT_EQ(sim.JobsEnded(), 2);
}

TEST_F(FrameOnSim, CloseWhileAJobRunsAsksAndCancelKeepsEverything)
{
    frame->show();
    doc.m_pages.push_back(Job(Printing));
    HeldLastReport sender;
    ASSERT_EQ(StartPlot(*doc.m_pages[0], sender, frame->Service().jobLink), 0);
    sender.WaitReached();
    answer = false;
    EXPECT_FALSE(frame->close());
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].contains(QStringLiteral("机器正在运行")));
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(theSettings.Get(Slot::Quitting), 0);
    EXPECT_FALSE(std::filesystem::exists(LastTaskPath()));
    sender.Release();
    frame->Service().JobFinished(1);
    EXPECT_EQ(doc.m_pages[0]->m_state, Done);
}
