#include "jobs/JobService.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <new>

#include "jobs/AutoJobStart.h"
#include "jobs/CloseCancel.h"
#include "jobs/DataDirScanName.h"
#include "jobs/DataDirCheck.h"
#include "jobs/JobEnd.h"
#include "jobs/PlotFileRead.h"
#include "jobs/StopPoint.h"
#include "jobs/TakenAtStart.h"
#include "jobs/TakenSourcesFile.h"
#include "jobs/TaskFileReason.h"
#include "jobs/Texts.h"
#include "link/CommPoll.h"
#include "link/KeyQueue.h"
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

// Why files are left in the folders when it is no write's errno.
constexpr int kNotOurs = -1;  // the last run's list is not the keeper's

}  // namespace

CJobService::CJobService() = default;

CJobService::~CJobService()
{
    theSettings.Set(Slot::Quitting, 1);
    // A job still sending uses this service's keeper (its waits): it is
    // cancelled and waited for (its reports are dropped now) before the
    // service goes. The close has normally ended it already.
    if (g_pSendJobThread != nullptr && m_cancel != nullptr) {
        m_cancel->store(true);
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!g_pSendJobThread->Done() && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (g_pSendJobThread->Done()) {
            g_pSendJobThread->Join();
            g_pSendJobThread.reset();
        }
    }
    if (m_linkThread.joinable()) m_linkThread.join();
}

void CJobService::Note(std::u16string text, int ms, bool box)
{
    m_lastNoteNs = m_scanner.nowNs();
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
    m_closing = false;
    if (!m_begun) {
        // Before this run writes any list: which one the last run left.
        m_begun = true;
        m_listAtStart = StampOfPath(ToUtf8(theSettings.Path(Slot::LastTaskPath)));
    }
    m_keeper.Begin();
}

int CJobService::PollTick()
{
    if (Quitting() || m_closing) return CPollCycle::kCycleEndPauseMs;
    const PollAction a =
        m_pollCycle.Next(FileExists(theSettings.Path(Slot::LastTaskPath)), theSettings.Get(Slot::AutoDelFinish) != 0);
    if (a.step == PollStep::LoadLastTask) LoadLastTask();
    LoadTakenOnce();
    RemoveDurableSources();
    switch (a.step) {
    case PollStep::ScanMm: ScanDataDir(0); break;
    case PollStep::ScanMil: ScanDataDir(1); break;
    case PollStep::DeleteDone: DeleteDoneJobs(); break;
    default: break;
    }
    return a.pauseMs;
}

void CJobService::StartTick()
{
    if (Quitting() || m_closing || g_pSendJobThread != nullptr || g_bInStartTick) return;
    g_bInStartTick = 1;
    struct Clear {
        ~Clear() { g_bInStartTick = 0; }
    } clear;
    try {
        CJobObserver& reports = m_reportsTo != nullptr ? *m_reportsTo : *this;
        AutoStartLink link = RealAutoStartLink(reports, jobLink);
        link.startPlot = [this, &reports](const COnePage& job) { return StartKept(job, reports); };
        const AutoStartResult r = StartNextAutoJob(m_doc.m_pages, link);
        if (r.started >= 0) ListChanged(r.started);
        else if (r.removed) ListChanged(CJobServiceObserver::kKeepShown);
    } catch (const std::bad_alloc&) {
        Note(Tr(u"内存不足, 任务无法开始", u"Out of memory: the job cannot start"), 10000);
    }
}

int CJobService::StartKept(const COnePage& job, CJobObserver& reports)
{
    // The job is Printing (kept as Manual): that list goes to the disk now,
    // and the sending thread waits for it before the machine hears of the job.
    KeepNow();
    m_stepTicket.store(m_keeper.Ticket());
    m_cancel = std::make_shared<std::atomic<bool>>(false);
    m_counted.reset();
    JobLink link = jobLink;
    link.cancel = m_cancel;
    // The thread ends before the service: the close waits for it, or ends
    // the process without destructors.
    link.waitDurable = [this] { return m_keeper.WaitDurable(m_stepTicket.load(), kKeptWaitLimit); };
    return StartPlot(job, reports, link);
}

void CJobService::KeepTick() { KeepNow(); }

void CJobService::KeepNow()
{
    if (Quitting()) return;
    const KeepOutcome o = m_keeper.Keep();
    if (o.kind == KeepOutcome::Failed) m_keepError = o.error;
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
    if (unitFlag != 0 && SameFolder(ToUtf8(dir), ToUtf8(theSettings.DataDirMm))) {
        // One folder for both: its files are taken once, as the first folder's.
        if (m_sameFolderNoted != dir) {
            m_sameFolderNoted = dir;
            Note(Tr(u"数据目录2与数据目录1是同一个目录, 其中的文件只按数据目录1 (0.0250mm) 导入一次: ",
                    u"Data directory 2 is the same folder as data directory 1; its files are taken once, in "
                    u"0.0250 mm units: ") +
                     dir,
                 10000);
        }
        return;
    }
    LoadTakenOnce();
    if (!CanTake()) return;
    ScanOutcome o = m_scanner.ScanOnce(dir, unitFlag != 0);
    if (o.page) Take(o);
    if (!o.message.empty()) Note(std::move(o.message), 10000);
}

// --- Watched files: save, then delete --------------------------------------------

std::string CJobService::TakenPath() const
{
    const std::u16string& folder = theSettings.Path(Slot::ProgramDir);
    if (folder.empty()) return {};
    std::string path = ToUtf8(folder);
    if (path.back() != '/') path += '/';
    return path + kTakenSourcesName;
}

void CJobService::LoadTakenOnce()
{
    // The loaded list must be the keeper's: the jobs of the last run are in it.
    if (m_takenLoaded || !m_keeper.Owned()) return;
    m_takenLoaded = true;
    const std::string path = TakenPath();
    if (path.empty()) return;
    RemoveTakenTemporaries(path);
    TakenRead r = ReadTakenSources(path);
    if (r.status == TakenRead::Damaged || r.status == TakenRead::Unreadable) {
        std::u16string text = Tr(u"已取文件的记录已损坏, 已忽略: ", u"The record of taken files is damaged and was ignored: ") +
                              FromUtf8(path);
        if (r.status == TakenRead::Unreadable) text += u" (" + FromUtf8(std::strerror(r.error)) + u")";
        Note(std::move(text), 10000);
    }
    bool changed = r.status != TakenRead::Ok;
    for (TakenSource& source : r.sources) {
        const bool rewritten = !(source.listBefore == m_listAtStart);
        switch (TakenAtStart(source, StampOfPath(source.path), rewritten, ListHoldsJob(m_doc.m_pages, source))) {
        case TakenVerdict::Remember: m_scanner.Hold(source); break;
        case TakenVerdict::Forget: changed = true; break;
        case TakenVerdict::Delete:
            changed = true;
            if (!m_scanner.removeFile(source.path)) {
                source.kept = true;
                m_scanner.Hold(source);
                const size_t slash = source.path.rfind('/');
                Note(Tr(u"已导入, 但文件无法删除: ", u"Imported, but the file cannot be deleted: ") +
                         ShownFileName(source.path.substr(slash + 1)),
                     10000);
            }
            break;
        }
    }
    m_scanner.TakeRecordChanged();
    if (changed && r.status != TakenRead::Missing) SaveTaken();
}

int CJobService::SaveTaken()
{
    const std::string path = TakenPath();
    m_scanner.TakeRecordChanged();
    const int error = path.empty() ? ENOENT : WriteTakenSources(path, m_scanner.TakenRecord());
    m_recordDirty = error != 0;
    return error;
}

void CJobService::Take(ScanOutcome& o)
{
    TakenSource source = o.source;
    source.listBefore = StampOfPath(ToUtf8(theSettings.Path(Slot::LastTaskPath)));
    m_doc.m_pages.push_back(std::move(o.page));
    m_scanner.Hold(source);
    // The record first: a kill from here on finds the file in it.
    if (const int error = SaveTaken(); error != 0) {
        // Not taken after all: the job goes, the file stays for a later look.
        m_scanner.Release(source.path);
        m_doc.m_pages.pop_back();
        o.message.clear();
        Block(error);
        NoteBlocked();
        StopPoint("take-refused");
        return;
    }
    StopPoint("source-recorded");
    KeepNow();
    m_scanner.SetTicket(source.path, m_keeper.Ticket());
    if (m_keeper.Failing()) Block(m_keepError);
    RemoveDurableSources();
    ListChanged(0);
}

void CJobService::RemoveDurableSources()
{
    const std::vector<std::u16string> stuck =
        m_scanner.RemoveDurable([this](KeepTicket t) { return m_keeper.Durable(t); });
    // A record that could not be written while files wait is tried again by
    // CanTake, at its pace; one left behind names deleted files (forgotten at
    // the next start) or pending ones that are kept now (kept again then).
    const bool changed = m_scanner.TakeRecordChanged();
    if (m_takenLoaded && (changed || (m_recordDirty && !m_blocked))) {
        if (const int error = SaveTaken(); error != 0) Block(error);
    }
    for (const std::u16string& name : stuck)
        Note(Tr(u"已导入, 但文件无法删除: ", u"Imported, but the file cannot be deleted: ") + name, 10000);
}

bool CJobService::CanTake()
{
    if (!m_keeper.Owned()) {
        // The last run's list is still unread, or could be neither read nor
        // set aside: nothing taken now could be kept.
        Block(kNotOurs);
    } else if (m_blocked || m_keeper.Failing()) {
        const int64_t now = m_scanner.nowNs();
        if (!m_blocked || now >= m_nextRetryNs) {
            int error = m_recordDirty || m_blocked ? SaveTaken() : 0;
            if (error == 0 && m_keeper.Failing()) {
                m_doc.NoteChange();  // written again, changed or not
                KeepNow();
                // The writer's answer, briefly: a list that fails again fails
                // at once; one still being written is judged at the next try.
                const std::optional<KeepOutcome> o = m_keeper.Flush(kRetryWait);
                if (o && o->kind == KeepOutcome::Failed && o->error != 0) m_keepError = o->error;
                if (m_keeper.Failing() || !m_keeper.Durable(m_keeper.Ticket()))
                    error = m_keepError != 0 ? m_keepError : m_blockError;
            }
            if (error == 0 && !m_keeper.Failing() && m_keeper.Durable(m_keeper.Ticket())) {
                if (m_blocked) {
                    m_blocked = false;
                    Note(Tr(u"任务列表已能保存, 数据目录中的文件继续导入",
                            u"The job list can be saved again; files in the watched folders are taken again"),
                         10000);
                }
                return true;
            }
            Block(error);
        }
    } else {
        return true;
    }
    NoteBlocked();
    StopPoint("take-refused");
    return false;
}

void CJobService::Block(int error)
{
    if (!m_blocked) {
        m_blocked = true;
        m_blockNoted = false;
    }
    m_blockError = error;
    m_nextRetryNs = m_scanner.nowNs() + kRetryNs;
}

void CJobService::NoteBlocked()
{
    // Said at once, then again while no other note has stood for a while.
    if (m_blockNoted && m_scanner.nowNs() - m_lastNoteNs < kBlockedNoteNs) return;
    m_blockNoted = true;
    const std::u16string reason = m_blockError > 0           ? FromUtf8(std::strerror(m_blockError))
                                  : m_blockError == kNotOurs ? Tr(u"上次的任务列表未能读入", u"the last task list could not be read")
                                                             : TaskFileReasonText(TaskFileStatus::WriteFailed);
    Note(Tr(u"任务列表无法保存到 ", u"The job list cannot be saved in ") + theSettings.Path(Slot::ProgramDir) +
             u" (" + reason + u")" +
             Tr(u": 数据目录中的文件留在原处, 直到能保存为止",
                u": files in the watched folders stay where they are until it can be saved"),
         10000);
}

// --- The sending thread's reports ---------------------------------------------

bool CJobService::JobRunning() const { return g_pSendJobThread != nullptr; }

void CJobService::BandSent(int32_t, int, int32_t)
{
    ++m_reports;
    // The bar's progress and enabling after every band, the job's progress only while plotting.
    if (m_observer == nullptr) return;
    m_observer->MachineChanged();
    const int plotting = PlottingJob(MachineStatus.load(), m_doc.m_pages);
    if (plotting >= 0) m_observer->JobProgress(plotting);
}

void CJobService::CutPassSent(int32_t, int32_t, int result)
{
    ++m_reports;
    if (result != 0) m_end.cutPassFailed = true;
}

void CJobService::LastStepSent()
{
    ++m_reports;
    const int counted = CountFinishedCopy(m_doc.m_pages);
    // Counted even when the job has left the list: its end must not count again.
    m_counted = JobRef::At(m_doc.m_pages, counted);
    KeepNow();
    m_stepTicket.store(m_keeper.Ticket());
    if (counted >= 0) ListChanged(CJobServiceObserver::kKeepShown);
}

void CJobService::Message(const char* key, const std::u16string& text)
{
    ++m_reports;
    m_end.messageKey = key != nullptr ? key : "";
    m_end.messageText = text;
    Note(text, m_closing ? 10000 : 0, !m_closing);
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
    ++m_reports;
    m_end.result = result;
    m_end.machineStatus = MachineStatus.load();
    m_end.jobName = WorkPage.m_strFileName;
    std::optional<int> counted;
    if (m_counted) counted = m_counted->Find(m_doc.m_pages);
    m_counted.reset();
    const int printing = ApplyJobEnd(m_doc.m_pages, result, counted, m_closing);
    KeepNow();
    if (printing >= 0) m_end.jobName = m_doc.m_pages[static_cast<size_t>(printing)]->m_strFileName;
    WorkPage.DeleteAllCurves();
    // Said once, before the views (which may fail); a close's own cancel
    // needs no word (and leaves the waiting jobs as they were).
    const std::u16string note = m_closing ? std::u16string() : JobStopNote(m_end);
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
    CloseCancelHooks h;
    h.cancel = [this] {
        // Codes the operator queued are moot now.
        KeyQueueClear();
        if (m_cancel) m_cancel->store(true);
    };
    h.ended = [] { return g_pSendJobThread == nullptr || g_pSendJobThread->Done(); };
    h.progress = [this] { return m_reports; };
    h.saving = [this] {
        const KeepTicket t = m_stepTicket.load();
        return !m_keeper.Durable(t) && !m_keeper.Failing();
    };
    h.pump = pump;
    const bool ended = ::CancelJobForClose(h, kCloseCancelLimit);
    if (ended && g_pSendJobThread != nullptr) {
        // Its last report did not come here (nobody took it): the list keeps
        // the job as Printing, which is kept as Manual.
        g_pSendJobThread->Join();
        g_pSendJobThread.reset();
        WorkPage.DeleteAllCurves();
    }
    return ended;
}

KeepOutcome CJobService::SaveForClose(const std::function<void()>& pump)
{
    KeepOutcome o = m_keeper.SaveForClose();
    if (o.kind != KeepOutcome::Written) return o;
    // Written may mean handed to the disk: the close ends once it is there.
    const KeepTicket t = m_keeper.Ticket();
    while (!m_keeper.WaitDurable(t, std::chrono::milliseconds(20))) {
        if (m_keeper.Failing()) {
            o.kind = KeepOutcome::Failed;
            if (o.status == TaskFileStatus::Ok) o.status = TaskFileStatus::WriteFailed;
            return o;
        }
        pump();
    }
    return o;
}
