#include "app/frame/JobRun.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QWidget>
#include <chrono>
#include <thread>

#include "app/frame/FrameHub.h"
#include "app/frame/FrameViews.h"
#include "app/text/AppMessage.h"
#include "app/text/WaitCursor.h"
#include "model/Settings.h"
#include "widgets/EventGuard.h"

namespace {

bool Quitting() { return theSettings.Get(Slot::Quitting) != 0; }

}  // namespace

CJobRun::CJobRun(CJobService& service, const FrameViews& views) : m_service(service), m_views(views)
{
    m_tickTimer.setSingleShot(true);
    m_pollTimer.setSingleShot(true);
    m_keepTimer.setInterval(CJobService::kKeepMs);
    QObject::connect(&m_tickTimer, &QTimer::timeout, &m_tickTimer, [this] { OnTickTimer(); });
    QObject::connect(&m_pollTimer, &QTimer::timeout, &m_pollTimer, [this] { OnPollTimer(); });
    QObject::connect(&m_keepTimer, &QTimer::timeout, &m_keepTimer, [this] {
        if (Quitting()) m_keepTimer.stop();
        else GuardEvent("last task", [this] { m_service.KeepTick(); });
    });
    m_service.SetObserver(this);
    m_service.SetReportsTo(&CFrameHub::Instance());
    CFrameHub::Instance().SetObserver(&m_service);
}

CJobRun::~CJobRun()
{
    CFrameHub::Instance().ForgetObserver(&m_service);
    m_service.SetObserver(nullptr);
    theSettings.Set(Slot::Quitting, 1);
    StopTimers();
}

// --- Clocks ------------------------------------------------------------------

void CJobRun::StartWorkers()
{
    // The list as start-up left it (a task file named on the command line).
    ListChanged(0);
    m_service.Begin();
    m_service.StartLinkThread();
    StartTimers();
}

void CJobRun::StartTimers()
{
    m_service.Begin();
    m_tickTimer.start(CJobService::kStartTickMs);
    m_pollTimer.start(0);
    m_keepTimer.start();
}

void CJobRun::StopTimers()
{
    m_tickTimer.stop();
    m_pollTimer.stop();
    m_keepTimer.stop();
}

void CJobRun::JoinCommPoll()
{
    QEventLoop loop;
    m_service.JoinLinkThread([&loop] { loop.processEvents(QEventLoop::AllEvents, 20); });
}

namespace {

// The close's waits: events handled (the sending thread's reports among
// them), never a wait on a save.
void PumpWhileClosing()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

}  // namespace

bool CJobRun::CancelJobForClose() { return m_service.CancelJobForClose(PumpWhileClosing); }

KeepOutcome CJobRun::SaveForClose() { return m_service.SaveForClose(PumpWhileClosing); }

void CJobRun::OnTickTimer()
{
    if (Quitting()) return;
    GuardEvent("start tick", [this] { m_service.StartTick(); });
    // Re-armed once the call has returned, as the blocking send paced it.
    if (!Quitting()) m_tickTimer.start(CJobService::kStartTickMs);
}

void CJobRun::OnPollTimer()
{
    if (Quitting()) return;
    int pauseMs = CPollCycle::kCycleEndPauseMs;
    GuardEvent("data directories", [this, &pauseMs] { pauseMs = m_service.PollTick(); });
    if (!Quitting()) m_pollTimer.start(pauseMs);
}

// --- What the service tells ----------------------------------------------------

void CJobRun::ListChanged(int showIndex)
{
    m_views.refreshList();
    if (showIndex >= 0) m_views.showJob(showIndex);
    else m_views.redrawPreview();
}

void CJobRun::JobProgress(int index)
{
    if (index == m_views.shownJob()) m_views.drawBandOverlay();
}

void CJobRun::MachineChanged() { m_views.refreshBar(); }

void CJobRun::Noted(const JobNote& note)
{
    const QString text = QString::fromStdU16String(note.text);
    if (note.box) ShowAppMessage(m_views.window, QMessageBox::Warning, text);
    else m_views.showStatus(text, note.ms);
}

void CJobRun::Working(bool busy)
{
    if (busy) m_busy = std::make_unique<WaitCursor>();
    else m_busy.reset();
}
