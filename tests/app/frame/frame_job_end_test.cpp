// The end of a job on the real frame: a view that fails at the end kept the
// job's handle set, so no job ever started again; a job that stopped part-way
// went back to Manual with nothing said.
#include <QStatusBar>
#include <stdexcept>

#include "tests/app/frame/FrameSimFixture.h"

using namespace appfix;
using namespace JobState;

namespace {

class FrameJobEnd : public FrameSimFixture {
protected:
    // Every note the status bar was given that says a job stopped.
    void RecordNotes()
    {
        QObject::connect(frame->statusBar(), &QStatusBar::messageChanged, frame.get(), [this](const QString& m) {
            if (m.contains(QStringLiteral("stopped")) || m.contains(QStringLiteral("已停止"))) notes << m;
        });
    }
    QStringList notes;
};

class FrameJobEndLinkDrops : public FrameJobEnd {
protected:
    void SetUp() override
    {
        faults = "drop-after-bands=1";
        FrameJobEnd::SetUp();
    }
};

}  // namespace

TEST_F(FrameJobEnd, AListRefreshThatFailsAtTheEndStillLetsTheNextJobStart)
{
    doc.m_pages.push_back(SquareJob(Auto, 400, u"first.plt"));
    doc.m_pages.push_back(SquareJob(Auto, 400, u"second.plt"));
    RecordNotes();
    FrameViews& views = frame->Views();
    const std::function<void()> refresh = views.refreshList;
    int failures = 0;
    int doneRefreshes = 0;
    // Fails once, at the first job's end: the second refresh that finds it
    // Done (the first comes as its copy is counted, before the end command).
    views.refreshList = [&] {
        if (doc.m_pages[0]->m_state == Done) ++doneRefreshes;
        if (failures == 0 && doneRefreshes == 2) {
            ++failures;
            throw std::runtime_error("the list cannot be rebuilt");
        }
        refresh();
    };
    frame->StartWorkers();
    ASSERT_TRUE(PumpUntil([&] { return doc.m_pages[1]->m_state == Done && g_pSendJobThread == nullptr; }, 20000))
        << "states " << doc.m_pages[0]->m_state << " " << doc.m_pages[1]->m_state;
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(sim.JobsEnded(), 2);
    PumpUntil([] { return g_pSendJobThread == nullptr; }, 5000);
    EXPECT_EQ(g_pSendJobThread, nullptr);
    EXPECT_TRUE(notes.isEmpty()) << notes.join(QLatin1Char('|')).toStdString();  // finished jobs need no note
}

TEST_F(FrameJobEndLinkDrops, AJobCutShortByTheLinkIsNamedOnceInTheStatusBar)
{
    doc.m_pages.push_back(SquareJob(Auto, 40000, u"/markers/PlotDirMm/big.plt"));
    doc.m_pages.push_back(SquareJob(Auto, 400, u"next.plt"));
    RecordNotes();
    frame->StartWorkers();
    ASSERT_TRUE(PumpUntil([&] { return doc.m_pages[0]->m_state == Manual; }, 20000))
        << "state " << doc.m_pages[0]->m_state;
    ASSERT_TRUE(PumpUntil([] { return g_pSendJobThread == nullptr; }, 5000));
    EXPECT_EQ(States(doc.m_pages), (std::vector<int32_t>{Manual, Manual}));
    ASSERT_EQ(notes.size(), 1) << notes.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(notes[0].startsWith(QStringLiteral("Job \"big.plt\" stopped: the machine stopped answering.")))
        << notes[0].toStdString();
    EXPECT_EQ(frame->StatusText(), notes[0]);  // stays until something else is said
    EXPECT_TRUE(messages.isEmpty());           // the thread itself said nothing
}

TEST_F(FrameJobEnd, TheThreadsMessageIsRepeatedInTheLanguageOfNow)
{
    // Wider than the machine: refused at the start, with the thread's message.
    doc.m_pages.push_back(SquareJob(Auto, 120000, u"wide.plt"));
    RecordNotes();
    MachineStatus = MachineState::Ready;
    frame->Service().StartTick();  // the thread takes English from the settings now
    ASSERT_EQ(doc.m_pages[0]->m_state, Printing);
    // Its reports wait for the UI thread: the operator switches to Chinese first.
    theSettings.Set(Slot::Language, 0);
    ASSERT_TRUE(PumpUntil([&] { return g_pSendJobThread == nullptr; }, 20000));
    EXPECT_EQ(doc.m_pages[0]->m_state, Manual);
    EXPECT_EQ(messages, QStringList{QStringLiteral("Plot width (add start position) bigger than machine width!")});
    ASSERT_EQ(notes.size(), 1);
    EXPECT_EQ(notes[0], QStringLiteral("任务 \"wide.plt\" 已停止: 超出机器幅宽！请重新设置右边据和纸张宽度。"
                                       "该任务及等待的任务已改为手动。"));
}
