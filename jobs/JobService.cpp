#include "jobs/JobService.h"

#include <sys/stat.h>

#include <new>

#include "jobs/AutoJobStart.h"
#include "jobs/CloseCancel.h"
#include "jobs/JobEnd.h"
#include "jobs/PlotFileRead.h"
#include "jobs/TaskFileReason.h"
#include "jobs/Texts.h"
#include "link/CommPoll.h"
#include "link/LinkState.h"
#include "link/job/JobStart.h"
#include "model/Settings.h"
#include "model/Text.h"

int g_bInStartTick = 0;

namespace {

bool FileExists(const std::u16string& path)
{
    struct stat st {};
    return ::stat(ToUtf8(path).c_str(), &st) == 0;
}

bool Quitting() { return theSettings.Get(Slot::Quitting) != 0; }

std::u16string FileNameOf(const std::u16string& path)
{
    const size_t slash = path.find_last_of(u'/');
    return slash == std::u16string::npos ? path : path.substr(slash + 1);
}

}  // namespace

CJobService::CJobService() = default;

CJobService::~CJobService()
{
    theSettings.Set(Slot::Quitting, 1);
    if (m_linkThread.joinable()) m_linkThread.join();
}

void CJobService::Note(std::u16string text, int ms, bool box)
{
    if (m_observer != nullptr) m_observer->Noted(JobNote{std::move(text), ms, box});
}

void CJobService::ListChanged(int showIndex)
{
    if (m_observer != nullptr) m_observer->ListChanged(showIndex);
}

// --- The clocks ----------------------------------------------------------------

void CJobService::Begin()
{
    theSettings.Set(Slot::Quitting, 0);
    m_keeper.Begin();
}

int CJobService::PollTick()
{
    if (Quitting()) return CPollCycle::kCycleEndPauseMs;
    const PollAction a =
        m_pollCycle.Next(FileExists(theSettings.Path(Slot::LastTaskPath)), theSettings.Get(Slot::AutoDelFinish) != 0);
    switch (a.step) {
    case PollStep::LoadLastTask: LoadLastTask(); break;
    case PollStep::ScanMm: ScanDataDir(0); break;
    case PollStep::ScanMil: ScanDataDir(1); break;
    case PollStep::DeleteDone: DeleteDoneJobs(); break;
    default: break;
    }
    return a.pauseMs;
}

void CJobService::StartTick()
{
    if (Quitting() || g_pSendJobThread != nullptr || g_bInStartTick) return;
    g_bInStartTick = 1;
    struct Clear {
        ~Clear() { g_bInStartTick = 0; }
    } clear;
    try {
        CJobObserver& reports = m_reportsTo != nullptr ? *m_reportsTo : *this;
        const AutoStartResult r = StartNextAutoJob(m_doc.m_pages, RealAutoStartLink(reports, jobLink));
        if (r.started >= 0) KeepNow();  // before its first band is out
        if (r.started >= 0) ListChanged(r.started);
        else if (r.removed) ListChanged(CJobServiceObserver::kKeepShown);
    } catch (const std::bad_alloc&) {
        Note(Tr(u"内存不足, 任务无法开始", u"Out of memory: the job cannot start"), 10000);
    }
}

void CJobService::KeepTick() { KeepNow(); }

void CJobService::KeepNow()
{
    if (Quitting()) return;
    const KeepOutcome o = m_keeper.Keep();
    if (o.kind == KeepOutcome::Failed && o.report)
        Note(TaskFileSaveText(theSettings.Path(Slot::LastTaskPath), o.status), 30000);
}

void CJobService::ListEdited()
{
    m_doc.NoteChange();
    KeepNow();
}

// --- The steps -------------------------------------------------------------------

void CJobService::LoadLastTask()
{
    const std::u16string path = theSettings.Path(Slot::LastTaskPath);
    if (m_observer != nullptr) m_observer->Working(true);
    LastTaskLoad r;
    try {
        r = m_keeper.Load();
    } catch (...) {
        if (m_observer != nullptr) m_observer->Working(false);
        throw;
    }
    if (m_observer != nullptr) m_observer->Working(false);
    if (r.status != TaskFileStatus::Ok) {
        std::u16string text = Tr(u"上次的任务列表无法读入: ", u"The last task list cannot be read: ") + path + u" (" +
                              FromUtf8(TaskFileStatusName(r.status)) + u")";
        if (!r.keptAs.empty()) text += Tr(u"\n文件已保存为 ", u"\nThe file was kept as ") + r.keptAs;
        Note(std::move(text), 0, true);
    }
    ListChanged(0);
}

void CJobService::AddPrintFile(const std::u16string& path, bool mil)
{
    if (m_observer != nullptr) m_observer->Working(true);
    PlotReadResult r;
    try {
        r = ReadPlotFile(path, mil, false);
    } catch (...) {
        if (m_observer != nullptr) m_observer->Working(false);
        throw;
    }
    if (m_observer != nullptr) m_observer->Working(false);
    if (r.outcome == PlotRead::NotReady && !r.message)
        r.message = {"OpenFileFailed", u"文件打开失败!", u"Open File Failed!"};
    if (r.page) {
        m_doc.m_pages.push_back(std::move(r.page));
        KeepNow();
    }
    ListChanged(0);
    if (r.outcome == PlotRead::NoCurves) {
        // Nothing added, which the list alone would not show: said once, in passing.
        Note(Tr(u"文件中没有图形, 未加入任务列表: ", u"The file holds no drawing; nothing was added: ") + FileNameOf(path),
             10000);
    } else if (r.message) {
        Note(r.message.Text(theSettings.Get(Slot::Language)), 0, true);
    }
}

void CJobService::DeleteDoneJobs()
{
    if (theSettings.Get(Slot::Quitting) == 1) return;
    const DoneDeletion d = ::DeleteDoneJobs(m_doc.m_pages);
    if (d.deleted == 0) return;
    ListChanged(d.printingIndex);
}

void CJobService::ScanDataDir(int unitFlag)
{
    if (theSettings.Get(Slot::AutoAddToList) == 0) return;
    const std::u16string& dir = unitFlag != 0 ? theSettings.DataDirMil : theSettings.DataDirMm;
    if (dir.empty()) return;
    ScanOutcome o = m_scanner.ScanOnce(dir, unitFlag != 0);
    if (o.page) {
        m_doc.m_pages.push_back(std::move(o.page));
        KeepNow();  // its file is gone already
        ListChanged(0);
    }
    if (!o.message.empty()) Note(std::move(o.message), 10000);
}

// --- The sending thread's reports ---------------------------------------------

bool CJobService::JobRunning() const { return g_pSendJobThread != nullptr; }

void CJobService::BandSent(int32_t, int, int32_t)
{
    // The bar's progress and enabling after every band, the job's progress only while plotting.
    if (m_observer == nullptr) return;
    m_observer->MachineChanged();
    const int plotting = PlottingJob(MachineStatus.load(), m_doc.m_pages);
    if (plotting >= 0) m_observer->JobProgress(plotting);
}

void CJobService::CutPassSent(int32_t, int32_t, int result)
{
    if (result != 0) m_end.cutPassFailed = true;
}

void CJobService::Message(const char* key, const std::u16string& text)
{
    m_end.messageKey = key != nullptr ? key : "";
    m_end.messageText = text;
    Note(text, 0, true);
}

void CJobService::JobFinished(int result)
{
    // Once the views have been told the job has ended, whatever they do: a
    // handle left set would keep every later job from starting.
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
    KeepNow();
    if (printing >= 0) m_end.jobName = m_doc.m_pages[static_cast<size_t>(printing)]->m_strFileName;
    WorkPage.DeleteAllCurves();
    // Said once, before the views (which may fail).
    const std::u16string note = JobStopNote(m_end);
    if (!note.empty()) Note(note, 10000);
    ListChanged(0);
    if (m_observer != nullptr) m_observer->MachineChanged();
}

// --- The link thread and the close ---------------------------------------------

void CJobService::StartLinkThread()
{
    if (!m_linkThread.joinable()) m_linkThread = std::thread([] { CommPollThread(); });
}

void CJobService::JoinLinkThread(const std::function<void()>& pump)
{
    if (!m_linkThread.joinable()) return;
    // The link thread ends at its next pass; the caller keeps painting meanwhile.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (g_commPollThreadRunning.load() && std::chrono::steady_clock::now() < until) pump();
    m_linkThread.join();
}

bool CJobService::CancelJobForClose(const std::function<void()>& pump)
{
    if (g_pSendJobThread == nullptr) return true;
    // Cancelled on the machine, not left inside the job; the thread's last
    // report is dropped (Quitting), so the list keeps it as saved.
    const bool ended = ::CancelJobForClose(RealCloseCancelHooks(pump), kCloseCancelLimit);
    if (ended) {
        g_pSendJobThread->Join();
        g_pSendJobThread.reset();
        WorkPage.DeleteAllCurves();
    }
    return ended;
}
