// Guards a close during a job leaving the machine inside it, a signal while the close asks that ends nothing
// (or nothing but the program), and the last-task file lagging the list or lost by an early close.
#include <QStatusBar>
#include <QTest>
#include <filesystem>

#include "app/preview/PreviewView.h"
#include "tests/app/frame/FrameSimFixture.h"

using namespace appfix;
using namespace JobState;

namespace {

class CloseOnSim : public FrameSimFixture {
protected:
    // A job of many bands: a metre square.
    void AddBigJob()
    {
        auto big = Job(Auto);
        big->m_curves[0]->m_points = {{0, 0}, {40000, 0}, {40000, 40000}, {0, 40000}, {0, 0}};
        big->m_curves[0]->CalcBoundRect();
        big->CalcPageBounds();
        doc.m_pages.push_back(std::move(big));
    }
    bool MachineInJobWithBands()
    {
        return sim.WithMachine([](CSimMachine& m) { return m.InJob() && !m.job.bands.empty(); });
    }
    // The list as kept, once the keeper's writer has put it on disk.
    std::vector<int32_t> StatesOnDisk()
    {
        CLastTaskKeeper& keeper = frame->Service().Keeper();
        EXPECT_TRUE(keeper.WaitDurable(keeper.Ticket(), std::chrono::seconds(10)));
        PageList pages;
        EXPECT_EQ(LoadTaskFile(theSettings.Path(Slot::LastTaskPath), pages), TaskFileStatus::Ok);
        return States(pages);
    }
};

}  // namespace

TEST_F(CloseOnSim, ACloseAgreedDuringAJobCancelsItAndLeavesTheMachineFree)
{
    struct Case {
        const char* machine;
        int lateMs;   // slows the job so the close finds it plotting
        bool pause;   // the operator paused it on the machine
    };
    const Case cases[] = {{"plotting", 5, false}, {"paused", 0, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.machine);
        if (c.lateMs > 0) {
            SimFaults f;
            f.lateMs = c.lateMs;
            sim.SetFaults(f);
        }
        AddBigJob();
        doc.m_pages.push_back(Job(Auto));
        frame->show();
        frame->StartWorkers();
        ASSERT_TRUE(PumpUntil([&] { return MachineInJobWithBands(); }, 20000));
        if (c.pause) sim.WithMachine([](CSimMachine& m) { m.state = MachineState::Paused; });
        answer = true;
        // Returning at all shows the process was not ended under the test.
        EXPECT_TRUE(frame->close());
        EXPECT_EQ(questions.size(), 1);
        EXPECT_EQ(g_pSendJobThread, nullptr);
        EXPECT_TRUE(sim.WithMachine([](CSimMachine& m) { return m.job.aborted && !m.InJob(); }));
        EXPECT_EQ(sim.WithMachine([](CSimMachine& m) { return m.Status(SimFaults{}, 0); }), MachineState::Ready);
        // Stored as a close stores a running job; the Auto job behind it stays Auto.
        EXPECT_EQ(StatesOnDisk(), (std::vector<int32_t>{Manual, Auto}));

        // The next case on a fresh frame.
        frame.reset();
        doc.DeleteAllPages();
        std::filesystem::remove(LastTaskPath());
        questions.clear();
        sim.SetFaults(SimFaults{});
        g_jobActive = false;
        MachineStatus = 0;
        LinkConnected = 0;
        theSettings.Set(Slot::Quitting, 0);
        frame = std::make_unique<CMainFrame>(service);
        frame->askQuestion = [this](const QString&, const QString& text) {
            questions << text;
            return answer;
        };
        frame->Service().jobLink.timings.readyPauseMs = 2;
        frame->Service().jobLink.timings.pollRetryMs = 50;
        frame->Service().jobLink.timings.linkLostMs = 500;
    }
}

TEST_F(CloseOnSim, ASignalWhileTheCloseAsksEndsInTheCloseAnAgreedOneMakes)
{
    struct Case {
        const char* question;
        bool job;       // a job runs: the machine question
        bool failSave;  // the list cannot be saved: the close-anyway question
    };
    const Case cases[] = {{"the machine is running", true, false}, {"the list cannot be saved", false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.question);
        if (c.failSave) {
            theSettings.SetPath(Slot::LastTaskPath, FromUtf8(program.Path() + "gone/last2107.orlattask"));
            frame->Service().Begin();
            doc.m_pages.push_back(Job(Manual));
        }
        if (c.job) {
            AddBigJob();
            frame->show();
            frame->StartWorkers();
            ASSERT_TRUE(PumpUntil([&] { return MachineInJobWithBands(); }, 20000));
            sim.WithMachine([](CSimMachine& m) { m.state = MachineState::Paused; });
        }
        // The signal comes while the box is open: it rejects the box.
        frame->askQuestion = [this](const QString&, const QString& text) {
            questions << text;
            frame->CloseFromSignal();
            return false;
        };
        EXPECT_TRUE(frame->close());
        ASSERT_EQ(questions.size(), 1);
        EXPECT_EQ(theSettings.Get(Slot::Quitting), 1);
        EXPECT_EQ(g_pSendJobThread, nullptr);
        if (c.job) {
            EXPECT_TRUE(sim.WithMachine([](CSimMachine& m) { return m.job.aborted && !m.InJob(); }))
                << "the machine was not told";
            EXPECT_EQ(StatesOnDisk(), (std::vector<int32_t>{Manual}));
            EXPECT_TRUE(frame->CloseFailure().isEmpty()) << frame->CloseFailure().toStdString();
        } else {
            EXPECT_TRUE(frame->CloseFailure().contains(QStringLiteral("gone/last2107.orlattask")))
                << frame->CloseFailure().toStdString();
        }
        frame.reset();
        doc.DeleteAllPages();
        questions.clear();
        theSettings.Set(Slot::Quitting, 0);
        frame = std::make_unique<CMainFrame>(service);
        frame->Service().jobLink.timings.readyPauseMs = 2;
        frame->Service().jobLink.timings.pollRetryMs = 50;
        frame->Service().jobLink.timings.linkLostMs = 500;
    }
}

TEST_F(CloseOnSim, ACloseThatCannotSaveAndIsRefusedRunsOnAsBefore)
{
    theSettings.SetPath(Slot::LastTaskPath, FromUtf8(program.Path() + "gone/last2107.orlattask"));
    doc.m_pages.push_back(Job(Auto));
    frame->show();
    sim.WithMachine([](CSimMachine& m) { m.state = MachineState::Paused; });  // busy: the job waits
    frame->StartWorkers();
    answer = false;
    EXPECT_FALSE(frame->close());
    ASSERT_EQ(questions.size(), 1);
    EXPECT_FALSE(frame->Service().Closing()) << "no job would start again";
    EXPECT_EQ(theSettings.Get(Slot::Quitting), 0);
    EXPECT_TRUE(frame->Run().TimersActive());
}

TEST_F(CloseOnSim, AStartedJobIsInTheFileAsManualBeforeItsFirstBandAndDoneOnceItEnds)
{
    doc.m_pages.push_back(Job(Auto));
    frame->Service().Begin();
    MachineStatus = MachineState::Ready;
    frame->Service().StartTick();
    ASSERT_EQ(doc.m_pages[0]->m_state, Printing);
    // No event has run since the start: the list was handed with it.
    EXPECT_EQ(StatesOnDisk(), (std::vector<int32_t>{Manual}));
    ASSERT_TRUE(PumpUntil([&] { return doc.m_pages[0]->m_state == Done && g_pSendJobThread == nullptr; }, 20000));
    EXPECT_EQ(StatesOnDisk(), (std::vector<int32_t>{Done}));
}

TEST_F(FrameFixture, AnEditInThePreviewReachesTheLastTaskFileWithinTheClocksPeriod)
{
    doc.m_pages.push_back(Job(Manual));
    doc.m_pages[0]->m_curves[0]->m_bSelected = 1;
    frame->show();
    frame->Run().StartTimers();
    frame->Service().KeepNow();
    CLastTaskKeeper& keeper = frame->Service().Keeper();
    ASSERT_TRUE(keeper.WaitDurable(keeper.Ticket(), std::chrono::seconds(10)));
    auto kindOnDisk = [&] {
        PageList pages;
        if (LoadTaskFile(theSettings.Path(Slot::LastTaskPath), pages) != TaskFileStatus::Ok || pages.empty()) return -1;
        return pages[0]->m_curves[0]->m_kind;
    };
    ASSERT_EQ(kindOnDisk(), CurveKind::Plot);
    frame->PreviewView()->SetCurrentPage(0);
    frame->PreviewView()->setFocus();
    QTest::keyClick(frame->PreviewView(), Qt::Key_2, Qt::ControlModifier);  // selected curves to cut lines
    ASSERT_EQ(doc.m_pages[0]->m_curves[0]->m_kind, CurveKind::Cut);
    EXPECT_TRUE(PumpUntil([&] { return kindOnDisk() == CurveKind::Cut; }, 5 * CJobService::kKeepMs));
}

TEST_F(FrameFixture, ALastTaskFileThatCannotBeWrittenIsShownOnceInTheStatusBar)
{
    theSettings.SetPath(Slot::LastTaskPath, FromUtf8(program.Path() + "gone/last2107.orlattask"));
    frame->Service().Begin();
    doc.m_pages.push_back(Job(Manual));
    CLastTaskKeeper& keeper = frame->Service().Keeper();
    // Handed to the writer; its failure is told at the next look.
    frame->Service().KeepNow();
    EXPECT_FALSE(keeper.WaitDurable(keeper.Ticket(), std::chrono::seconds(10)));
    frame->Service().KeepNow();
    EXPECT_TRUE(frame->StatusText().contains(QStringLiteral("gone/last2107.orlattask"))) << frame->StatusText().toStdString();
    EXPECT_TRUE(messages.isEmpty());  // no box
    frame->statusBar()->clearMessage();
    doc.m_pages.back()->m_copies = 2;
    frame->Service().KeepNow();
    EXPECT_FALSE(keeper.WaitDurable(keeper.Ticket(), std::chrono::seconds(10)));
    frame->Service().KeepNow();
    EXPECT_FALSE(frame->StatusText().contains(QStringLiteral("gone/"))) << "reported twice";
}

TEST_F(FrameFixture, ACloseBeforeTheFirstPollKeepsTheLastRunsJobs)
{
    {
        PageList last;
        last.push_back(Job(Auto, 2));
        last.back()->m_strFileName = u"last run";
        ASSERT_EQ(SaveTaskFile(theSettings.Path(Slot::LastTaskPath), last), TaskFileStatus::Ok);
    }
    frame->show();
    frame->Run().StartTimers();  // no event runs before the close: the poll has not loaded the file
    EXPECT_TRUE(frame->close());
    PageList back;
    ASSERT_EQ(LoadTaskFile(theSettings.Path(Slot::LastTaskPath), back), TaskFileStatus::Ok);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0]->m_strFileName, u"last run");
    EXPECT_EQ(back[0]->m_state, Auto);
    EXPECT_EQ(back[0]->m_copies, 2);
}
