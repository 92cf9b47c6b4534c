// Guards: a job run from the bar that the simulated machine does not see run and end; a language change mid-job.
#include <netinet/in.h>

#include <QLabel>
#include <QTest>

#include "app/controlbar/BarControls.h"
#include "app/controlbar/ControlBar.h"
#include "app/commands/FrameCommands.h"
#include "link/KeyQueue.h"
#include "link/MyEth.h"
#include "model/SettingsFile.h"
#include "tests/app/frame/FrameFixture.h"
#include "tools/machine-sim/MachineSim.h"
#include "widgets/ButtonNolt.h"

using namespace appfix;
using namespace JobState;

namespace {

class FrameBarOnSim : public FrameFixture {
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        sim.SetLogToStderr(false);
        SimFaults f;
        // The machine stays busy after the first band until the job is
        // cancelled: the job is still running whenever the bar acts on it.
        ASSERT_TRUE(ApplyFault("hold-after-bands=1", f));
        sim.SetFaults(f);
        ASSERT_GT(sim.Start(0), 0);
        theEthOptions.port = sim.Port();
        theEthOptions.addressOverride = INADDR_LOOPBACK;
        theSettings.Set(Slot::ConnectViaEth, 1);
        theSettings.Set(Slot::AutoOffline, 0);
        theSettings.Set(Slot::Language, 0);
        g_jobActive = false;
        MachineStatus = 0;
        LinkConnected = 0;
        KeyQueueClear();
        frame->Run().jobLink.timings.readyPauseMs = 2;
        frame->Run().jobLink.timings.pollRetryMs = 50;
        frame->Run().jobLink.timings.linkLostMs = 2000;
    }
    void TearDown() override
    {
        answer = true;
        frame->close();
        FrameFixture::TearDown();
        sim.Stop();
        theEthOptions.port = 5188;
        theEthOptions.addressOverride = 0;
        g_jobActive = false;
        LinkConnected = 0;
        MachineStatus = 0;
        KeyQueueClear();
    }
    CButtonNolt* B(int id) const { return frame->ControlBar()->Button(id); }
    bool Click(int id)
    {
        if (!QTest::qWaitFor([&] { return B(id)->isEnabled(); }, 5000)) return false;
        QTest::mouseClick(B(id), Qt::LeftButton, {}, B(id)->rect().center());
        return true;
    }
    bool WaitText(const QString& start, int ms = 10000)
    {
        return QTest::qWaitFor(
            [&] { return frame->ControlBar()->StateField()->text().startsWith(start); }, ms);
    }
    std::string Text() const { return frame->ControlBar()->StateField()->text().toStdString(); }

    CMachineSim sim;
};

std::unique_ptr<COnePage> BigJob(int32_t state)
{
    auto job = Job(state);
    job->m_curves[0]->m_points = {{0, 0}, {60000, 0}, {60000, 60000}, {0, 60000}, {0, 0}};
    job->m_curves[0]->CalcBoundRect();
    job->CalcPageBounds();
    return job;
}

}  // namespace

TEST_F(FrameBarOnSim, AJobRunsFromTheBarAloneAndALanguageChangeWaits)
{
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    doc.m_pages.push_back(BigJob(Manual));
    doc.m_pages.push_back(Job(Manual));
    frame->StartWorkers();
    ASSERT_TRUE(WaitText(QStringLiteral("准备就绪"))) << Text();

    // Start: the first Manual job turns Auto, the clock starts it.
    ASSERT_TRUE(Click(BarControl::Start));
    EXPECT_EQ(doc.m_pages[1]->m_state, Manual);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sim.WithMachine([](CSimMachine& m) { return m.InJob(); }); }, 10000));
    EXPECT_EQ(doc.m_pages[0]->m_state, Printing);

    // Pause, then resume with the start button.
    ASSERT_TRUE(Click(BarControl::Pause));
    ASSERT_TRUE(WaitText(QStringLiteral("暂停...完成"))) << Text();
    ASSERT_TRUE(Click(BarControl::Start));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return sim.WithMachine([](CSimMachine& m) { return m.state == MachineState::Plotting; }); }, 5000));

    // English while the job runs: the notice, then the close question; Cancel keeps the program running.
    answer = false;
    frame->Action(framecmd::kLangEnglish)->trigger();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QStringLiteral("You Changed the language settings,please restart the Application"));
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].contains(QStringLiteral("机器正在运行")));
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(theSettings.Get(Slot::Language), 1);
    EXPECT_TRUE(frame->Action(framecmd::kLangEnglish)->isChecked());

    // Delete takes a paused job (the bar speaks English already): it ends
    // failed, the jobs stay Manual.
    ASSERT_TRUE(Click(BarControl::Pause));
    ASSERT_TRUE(WaitText(QStringLiteral("Paused..."))) << Text();
    ASSERT_TRUE(Click(BarControl::Delete));
    ASSERT_TRUE(QTest::qWaitFor([] { return g_pSendJobThread == nullptr; }, 20000));
    EXPECT_TRUE(sim.WithMachine([](CSimMachine& m) { return m.job.aborted; }));
    EXPECT_EQ(States(doc.m_pages), (std::vector<int32_t>{Manual, Manual}));

    // The normal exit writes the new language.
    answer = true;
    EXPECT_TRUE(frame->close());
    std::string error;
    ASSERT_TRUE(SaveSettings(&error)) << error;
    EXPECT_EQ(ReadLanguageSetting(SettingsFilePath()), 1);
}
