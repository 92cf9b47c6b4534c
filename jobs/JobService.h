#pragma once
// The job service: the one owner of the job list (the document), the watched
// folders' scanner, the last-task keeper and the poll cycle, and the one place
// the start and end rules are applied. It is driven by calls on one thread
// (the program's UI thread, a test's own): the clocks' ticks, the sending
// thread's reports once they have crossed to that thread, and the commands.
// It tells its observer what changed and never shows anything itself.
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "jobs/DataDirScan.h"
#include "jobs/FileStamp.h"
#include "jobs/JobRef.h"
#include "jobs/JobServiceObserver.h"
#include "jobs/JobStopNote.h"
#include "jobs/LastTask.h"
#include "jobs/LastTaskKeeper.h"
#include "jobs/OrlatCenterDoc.h"
#include "jobs/PollCycle.h"
#include "link/job/JobObserver.h"
#include "link/job/JobSender.h"

// Set while StartTick runs: dialogs and menus run nested event loops, in
// which the next tick must not start a second job. The service's thread only.
extern int g_bInStartTick;

class CJobService final : public CJobObserver {
public:
    // The clocks that drive the service: the start tick, and the look that
    // keeps the last-task file true.
    static constexpr int kStartTickMs = 500;
    static constexpr int kKeepMs = 1000;
    // How long the sending thread waits for the list that accounts for its
    // next step; a start still waiting then is refused.
    static constexpr std::chrono::seconds kKeptWaitLimit{60};

    CJobService();
    ~CJobService() override;
    CJobService(const CJobService&) = delete;
    CJobService& operator=(const CJobService&) = delete;

    COrlatCenterDoc& Doc() { return m_doc; }
    const COrlatCenterDoc& Doc() const { return m_doc; }
    CDataDirScanner& Scanner() { return m_scanner; }
    CLastTaskKeeper& Keeper() { return m_keeper; }

    // Whoever shows the work (null: nobody).
    void SetObserver(CJobServiceObserver* observer) { m_observer = observer; }
    // Where the sending thread reports: something that brings each report to
    // the service's thread and calls the service there (the program's hub).
    // Unset, the reports come to the service on the sending thread itself,
    // which only a caller that waits for the job without touching the
    // service may allow.
    void SetReportsTo(CJobObserver* crossing) { m_reportsTo = crossing; }
    // How jobs reach the machine (tests shorten the time-outs).
    JobLink jobLink;

    // --- The clocks ----------------------------------------------------------
    // Before the first poll: Quitting and the close cleared, the keeper looks for the file.
    void Begin();
    // One step of the poll cycle (the last task once, then the two folders
    // and the deletion of Done jobs); returns the pause before the next.
    int PollTick();
    // The start of the next Auto job, while none is being sent.
    void StartTick();
    // The look at the list that keeps the last-task file true.
    void KeepTick();

    // --- The steps, also commands -----------------------------------------
    // A plot file added by hand (HP-GL in 0.0254 mm units with mil): it joins
    // the list as read, and what went wrong is said in a box; a file that
    // holds no drawing is said once in the status bar. The file stays.
    void AddPrintFile(const std::u16string& path, bool mil);
    void LoadLastTask();
    // One look at a watched folder. A file is taken only while the list can
    // be kept: its job joins the list, the record of taken sources and then
    // the list go to the disk, and the file is deleted once that list is
    // durable. While either cannot be written no file is taken (left where it
    // is) and the status bar says why, until a write succeeds again.
    void ScanDataDir(int unitFlag);
    void DeleteDoneJobs();
    // Writes the last-task file now when the list has changed.
    void KeepNow();
    // A list edit made through the views (rows, curves): the file follows.
    void ListEdited();

    // --- The sending thread's reports, on the service's thread ---------------
    void BandSent(int32_t band, int result, int32_t bytes) override;
    void CutPassSent(int32_t pass, int32_t records, int result) override;
    // The copy is made: counted in the list, which is kept; the sending
    // thread sends the end command once that list is on disk.
    void LastStepSent() override;
    void Message(const char* key, const std::u16string& text) override;
    void JobFinished(int result) override;
    bool JobRunning() const;

    // --- The link thread and the close ------------------------------------
    void StartLinkThread();
    // Quitting must be set; pump keeps the caller's window painting.
    void JoinLinkThread(const std::function<void()>& pump);
    // From the start of a close until it is refused: no job starts and no
    // watched file is taken, and the sending thread's messages are notes,
    // not boxes (a close never waits on one).
    void SetClosing(bool closing) { m_closing = closing; }
    bool Closing() const { return m_closing; }
    // The close during a job, before its save: the job cancelled on the
    // machine and the thread's last report run (pump brings the reports in
    // and keeps the window painting), a few seconds after its last sign of
    // life at most (false: the machine would not let it go).
    bool CancelJobForClose(const std::function<void()>& pump);
    // The list as a close keeps it (a last-task file not read yet joins it
    // first), on disk when this returns Written; pump runs while it is written.
    KeepOutcome SaveForClose(const std::function<void()>& pump);

    // How often a list or record that could not be written is tried again
    // while watched files wait, and how long the status bar's note of it
    // stands before it is shown again.
    static constexpr int64_t kRetryNs = int64_t{3} * 1000 * 1000 * 1000;
    static constexpr int64_t kBlockedNoteNs = int64_t{8} * 1000 * 1000 * 1000;
    // How long a retry waits for the writer's answer on the service's thread.
    static constexpr std::chrono::milliseconds kRetryWait{40};

private:
    void Note(std::u16string text, int ms, bool box = false);
    void ListChanged(int showIndex);
    // StartPlot for the job just made Printing, once its list is handed to the disk.
    int StartKept(const COnePage& job, CJobObserver& reports);

    // --- Watched files: save, then delete -----------------------------------
    // The record beside the last-task file ("" without a program folder).
    std::string TakenPath() const;
    // The start's look at the record (once the loaded list is the keeper's):
    // each file deleted, remembered or forgotten (TakenAtStart).
    void LoadTakenOnce();
    // Writes the record as the scanner holds it: 0 or errno.
    int SaveTaken();
    // A scanned file's job into the list, then the record, then the list.
    void Take(ScanOutcome& o);
    // Deletes the files whose list is on disk; says which cannot be.
    void RemoveDurableSources();
    // Whether a file may be taken now; tries the failed writes again when due.
    bool CanTake();
    void Block(int error);
    void NoteBlocked();

    // All below: the service's thread only.
    COrlatCenterDoc m_doc;
    CDataDirScanner m_scanner;
    CLastTaskKeeper m_keeper{m_doc};
    CPollCycle m_pollCycle;
    CJobServiceObserver* m_observer = nullptr;
    CJobObserver* m_reportsTo = nullptr;
    // What the reports of the job being sent have told so far; written by
    // the reports, read by JobFinished, cleared at each end.
    JobEndFacts m_end;
    // The job whose copy LastStepSent counted, until its end.
    std::optional<JobRef> m_counted;
    // Reports handled since the start (the close's sign of life).
    uint64_t m_reports = 0;
    bool m_closing = false;
    // The running job's cancel: made at its start, set by the close (the
    // service's thread); read by the sending thread.
    std::shared_ptr<std::atomic<bool>> m_cancel;
    // The ticket of the list the sending thread waits for before its next
    // step: written here at the job start and at the copy's count (before
    // the step's report returns), read by the sending thread.
    std::atomic<KeepTicket> m_stepTicket{0};

    // Watched files (all on the service's thread).
    bool m_begun = false;
    std::optional<FileStamp> m_listAtStart;  // the last-task file before this run wrote any
    bool m_takenLoaded = false;              // the record was read at start
    bool m_recordDirty = false;              // the record on disk is not the scanner's
    bool m_blocked = false;                  // files are left where they are
    int m_blockError = 0;                    // why: errno (0: not known; -1: the last run's list is not ours)
    bool m_blockNoted = false;               // said since it began
    int64_t m_nextRetryNs = 0;               // scanner clock
    int m_keepError = 0;                     // errno of the list's last failed write
    int64_t m_lastNoteNs = 0;                // scanner clock of the last note
    std::u16string m_sameFolderNoted;        // the folder named as both, when said

    // The link thread (CommPollThread): started and joined on the service's thread.
    std::thread m_linkThread;
};
