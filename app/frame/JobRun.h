#pragma once
// The jobs' side of the main window: the start tick and the UI poll on
// single-shot timers of the UI thread, the link thread, the watched data
// directories, the last task, the deletion of Done jobs, and the sending
// thread's reports (through the hub, on the UI thread). It works on the
// document and shows its work through the frame's views; it never sees the
// frame itself.
#include <QString>
#include <QTimer>
#include <thread>

#include "app/frame/JobStopNote.h"
#include "app/jobs/DataDirScan.h"
#include "app/jobs/LastTaskClock.h"
#include "app/jobs/PollCycle.h"
#include "link/job/JobObserver.h"
#include "link/job/JobSender.h"

class COrlatCenterDoc;
struct FrameViews;

// Set while OnStartTick runs: dialogs and menus run nested event loops, in
// which the next tick must not start a second job. UI thread only.
extern int g_bInStartTick;

class CJobRun final : public CJobObserver {
public:
    CJobRun(COrlatCenterDoc& doc, const FrameViews& views);
    ~CJobRun() override;
    CJobRun(const CJobRun&) = delete;
    CJobRun& operator=(const CJobRun&) = delete;

    // Starts the link thread and the two timers (once the window exists).
    void StartWorkers();
    // For tests: the timers alone.
    void StartTimers();
    // The close: the timers stopped, then the link thread joined while the
    // window keeps painting.
    void StopTimers();
    void JoinCommPoll();
    // The close during a job: the job cancelled on the machine and its thread
    // ended, a few seconds at most (false: the machine would not let it go).
    bool CancelJobForClose();
    bool TimersActive() const { return m_tickTimer.isActive() || m_pollTimer.isActive(); }

    // --- Thread messages (UI thread) ---------------------------------------
    void OnBandSent();
    void OnJobFinished(int result);
    void OnStartTick();
    void OnLoadLastTask();
    void OnDeleteDoneJobs();
    void OnScanDataDir(int unitFlag);
    void ShowJobMessage(const QString& text);

    // The sending thread's reports, as the hub hands them over on the UI thread.
    void BandSent(int32_t band, int result, int32_t bytes) override;
    void CutPassSent(int32_t pass, int32_t records, int result) override;
    void Message(const char* key, const std::u16string& text) override;
    void JobFinished(int result) override;

    CDataDirScanner& Scanner() { return m_scanner; }
    CLastTaskClock& LastTask() { return m_lastTask; }
    // How jobs reach the machine (tests shorten the time-outs).
    JobLink jobLink;

private:
    void OnTickTimer();
    void OnPollTimer();

    COrlatCenterDoc& m_doc;
    const FrameViews& m_views;

    // The two clocks, re-armed when each handler returns (UI thread).
    QTimer m_tickTimer;
    QTimer m_pollTimer;
    CPollCycle m_pollCycle;
    CDataDirScanner m_scanner;
    // Keeps the last-task file true while the program runs (UI thread).
    CLastTaskClock m_lastTask;

    // What the reports of the job being sent have told so far; written by
    // the reports and read by OnJobFinished (UI thread), cleared at each end.
    JobEndFacts m_end;

    // The link thread (CommPollThread); started by StartWorkers on the UI
    // thread, joined there at close or by the destructor.
    std::thread m_commPoll;
};
