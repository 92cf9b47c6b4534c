#include "app/frame/JobRun.h"

#include <sys/stat.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <chrono>
#include <new>

#include "app/frame/FrameHub.h"
#include "app/frame/FrameViews.h"
#include "app/jobs/AutoJobStart.h"
#include "app/jobs/CloseCancel.h"
#include "app/jobs/JobEnd.h"
#include "app/jobs/LastTask.h"
#include "app/jobs/OrlatCenterDoc.h"
#include "app/text/AppMessage.h"
#include "app/text/CodeText.h"
#include "app/text/WaitCursor.h"
#include "link/CommPoll.h"
#include "link/LinkState.h"
#include "link/job/JobStart.h"
#include "model/Settings.h"
#include "model/Text.h"
#include "widgets/EventGuard.h"

int g_bInStartTick = 0;

namespace {

constexpr int kTickMs = 500;

QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }

bool FileExists(const std::u16string& path)
{
    struct stat st {};
    return ::stat(ToUtf8(path).c_str(), &st) == 0;
}

}  // namespace

CJobRun::CJobRun(COrlatCenterDoc& doc, const FrameViews& views) : m_doc(doc), m_views(views), m_lastTask(doc)
{
    m_lastTask.report = [this](const QString& m) { m_views.showStatus(m, 30000); };
    m_tickTimer.setSingleShot(true);
    m_pollTimer.setSingleShot(true);
    QObject::connect(&m_tickTimer, &QTimer::timeout, &m_tickTimer, [this] { OnTickTimer(); });
    QObject::connect(&m_pollTimer, &QTimer::timeout, &m_pollTimer, [this] { OnPollTimer(); });
    CFrameHub::Instance().SetObserver(this);
}

CJobRun::~CJobRun()
{
    CFrameHub::Instance().ForgetObserver(this);
    theSettings.Set(Slot::Quitting, 1);
    StopTimers();
    if (m_commPoll.joinable()) m_commPoll.join();
}

// --- Workers -----------------------------------------------------------------

void CJobRun::StartWorkers()
{
    // The list as start-up left it (a task file named on the command line).
    m_views.refreshList();
    m_views.showJob(0);
    theSettings.Set(Slot::Quitting, 0);
    if (!m_commPoll.joinable()) m_commPoll = std::thread([] { CommPollThread(); });
    StartTimers();
}

void CJobRun::StartTimers()
{
    theSettings.Set(Slot::Quitting, 0);
    m_tickTimer.start(kTickMs);
    m_pollTimer.start(0);
    m_lastTask.Start();
}

void CJobRun::StopTimers()
{
    m_tickTimer.stop();
    m_pollTimer.stop();
}

void CJobRun::JoinCommPoll()
{
    if (!m_commPoll.joinable()) return;
    // The link thread ends at its next pass; the window keeps painting meanwhile.
    QEventLoop loop;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (g_commPollThreadRunning.load() && std::chrono::steady_clock::now() < until)
        loop.processEvents(QEventLoop::AllEvents, 20);
    m_commPoll.join();
}

bool CJobRun::CancelJobForClose()
{
    if (g_pSendJobThread == nullptr) return true;
    // Cancelled on the machine, not left inside the job; the thread's last
    // report is dropped (Quitting), so the list keeps it as saved.
    const bool ended = ::CancelJobForClose(RealCloseCancelHooks([] {
                                               QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
                                               std::this_thread::sleep_for(std::chrono::milliseconds(5));
                                           }),
                                           kCloseCancelLimit);
    if (ended) {
        g_pSendJobThread->Join();
        g_pSendJobThread.reset();
        WorkPage.DeleteAllCurves();
    }
    return ended;
}

void CJobRun::OnTickTimer()
{
    if (theSettings.Get(Slot::Quitting) != 0) return;
    if (g_pSendJobThread == nullptr) GuardEvent("start tick", [this] { OnStartTick(); });
    // Re-armed once the handler has returned, as the blocking send paced it.
    if (theSettings.Get(Slot::Quitting) == 0) m_tickTimer.start(kTickMs);
}

void CJobRun::OnPollTimer()
{
    if (theSettings.Get(Slot::Quitting) != 0) return;
    const PollAction a = m_pollCycle.Next(FileExists(theSettings.Path(Slot::LastTaskPath)),
                                          theSettings.Get(Slot::AutoDelFinish) != 0);
    GuardEvent("data directories", [this, &a] {
        switch (a.step) {
        case PollStep::LoadLastTask: OnLoadLastTask(); break;
        case PollStep::ScanMm: OnScanDataDir(0); break;
        case PollStep::ScanMil: OnScanDataDir(1); break;
        case PollStep::DeleteDone: OnDeleteDoneJobs(); break;
        default: break;
        }
    });
    if (theSettings.Get(Slot::Quitting) == 0) m_pollTimer.start(a.pauseMs);
}

// --- Thread messages ---------------------------------------------------------

void CJobRun::BandSent(int32_t, int, int32_t) { OnBandSent(); }

void CJobRun::CutPassSent(int32_t, int32_t, int result)
{
    if (result != 0) m_end.cutPassFailed = true;
}

void CJobRun::Message(const char* key, const std::u16string& text)
{
    m_end.messageKey = key != nullptr ? key : "";
    m_end.messageText = text;
    ShowJobMessage(Q(text));
}

void CJobRun::JobFinished(int result) { OnJobFinished(result); }

void CJobRun::OnBandSent()
{
    // The bar's progress and enabling after every band, the outline only while plotting.
    m_views.refreshBar();
    if ((MachineStatus.load() & 0x0F) != MachineState::Plotting) return;
    if (BandOverlayWanted(MachineStatus.load(), m_doc.m_pages, m_views.shownJob())) m_views.drawBandOverlay();
}

void CJobRun::OnJobFinished(int result)
{
    // Only once the views have been told has the job ended, and whatever they
    // do it has: a handle left set would keep every later job from starting.
    struct EndOfJob {
        JobEndFacts& facts;
        ~EndOfJob()
        {
            facts = {};
            g_pSendJobThread.reset();
        }
    } endOfJob{m_end};
    m_end.result = result;
    m_end.machineStatus = MachineStatus.load();
    m_end.jobName = WorkPage.m_strFileName;
    const int printing = ApplyJobEnd(m_doc.m_pages, result);
    m_lastTask.KeepNow();
    if (printing >= 0) m_end.jobName = m_doc.m_pages[static_cast<size_t>(printing)]->m_strFileName;
    WorkPage.DeleteAllCurves();
    // Said once, before the views (which may fail).
    const QString note = JobStopNote(m_end);
    if (!note.isEmpty()) m_views.showStatus(note, 0);
    m_views.refreshList();
    m_views.showJob(0);
    m_views.refreshBar();
}

void CJobRun::OnStartTick()
{
    if (g_bInStartTick) return;
    g_bInStartTick = 1;
    struct Clear {
        ~Clear() { g_bInStartTick = 0; }
    } clear;
    try {
        const AutoStartResult r = StartNextAutoJob(m_doc.m_pages, RealAutoStartLink(CFrameHub::Instance(), jobLink));
        if (r.removed || r.started >= 0) m_views.refreshList();
        if (r.started >= 0) m_lastTask.KeepNow();  // before its first band is out
        if (r.started >= 0) m_views.showJob(r.started);
        else if (r.removed) m_views.redrawPreview();
    } catch (const std::bad_alloc&) {
        m_views.showStatus(CodeText("内存不足, 任务无法开始", "Out of memory: the job cannot start"), 10000);
    }
}

void CJobRun::OnLoadLastTask()
{
    const std::u16string path = theSettings.Path(Slot::LastTaskPath);
    const LastTaskLoad r = WhileBusy([&] { return m_lastTask.Load(); });
    if (r.status != TaskFileStatus::Ok) {
        QString text = CodeText("上次的任务列表无法读入: ", "The last task list cannot be read: ") + Q(path) +
                       QStringLiteral(" (") + QLatin1String(TaskFileStatusName(r.status)) + QStringLiteral(")");
        if (!r.keptAs.empty()) text += CodeText("\n文件已保存为 ", "\nThe file was kept as ") + Q(r.keptAs);
        ShowAppMessage(m_views.window, QMessageBox::Warning, text);
    }
    m_views.refreshList();
    m_views.showJob(0);
    if (m_views.window != nullptr) m_views.window->update();
}

void CJobRun::OnDeleteDoneJobs()
{
    if (theSettings.Get(Slot::Quitting) == 1) return;
    const DoneDeletion d = DeleteDoneJobs(m_doc.m_pages);
    if (d.deleted == 0) return;
    m_views.refreshList();
    m_views.showJob(d.printingIndex);
}

void CJobRun::OnScanDataDir(int unitFlag)
{
    if (theSettings.Get(Slot::AutoAddToList) == 0) return;
    const std::u16string& dir = unitFlag != 0 ? theSettings.DataDirMil : theSettings.DataDirMm;
    if (dir.empty()) return;
    ScanOutcome o = m_scanner.ScanOnce(dir, unitFlag != 0);
    if (o.page) {
        m_doc.m_pages.push_back(std::move(o.page));
        m_lastTask.KeepNow();  // its file is gone already
        m_views.refreshList();
        m_views.showJob(0);
    }
    if (!o.message.empty()) m_views.showStatus(Q(o.message), 10000);
}

void CJobRun::ShowJobMessage(const QString& text) { ShowAppMessage(m_views.window, QMessageBox::Warning, text); }
