// Guards: a job run from the bar that the simulated machine does not see run and end; a language change mid-job.
#include <QLabel>
#include <QTest>

#include "app/controlbar/BarControls.h"
#include "app/controlbar/ControlBar.h"
#include "app/commands/FrameCommands.h"
#include "link/KeyQueue.h"
#include "model/SettingsFile.h"
#include "tests/app/frame/FrameSimFixture.h"
#include "widgets/ButtonNolt.h"

using namespace appfix;
using namespace JobState;

namespace {

class FrameBarOnSim : public FrameSimFixture {
protected:
    FrameBarOnSim()
    {
        // The machine stays busy after the first band until the job is
        // cancelled: the job is still running whenever the bar acts on it.
        faults = "hold-after-bands=1";
        linkLostMs = 2000;
    }
    void SetUp() override
    {
        FrameSimFixture::SetUp();
        if (HasFatalFailure()) return;
        theSettings.Set(Slot::Language, 0);
        KeyQueueClear();
    }
    void TearDown() override
    {
        FrameSimFixture::TearDown();
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
