#pragma once
// Starting a job: the working page prepared from the job, the link handed to
// a new sending thread, which sends the job and reports its end.
#include <atomic>
#include <memory>
#include <thread>

#include "link/job/JobSender.h"

class CJobObserver;
class COnePage;

// The running (or just finished) sending thread. The job-active flag the link
// thread honours is g_jobActive (LinkState.h): set by StartPlot before the
// thread starts, cleared by the thread before its last report.
class CSendJobThread {
public:
    explicit CSendJobThread(std::unique_ptr<CJobSender> sender);
    // A thread still inside its last report (the UI clears the handle from the
    // job-finished handler) is let go; it touches nothing shared afterwards.
    ~CSendJobThread();
    CSendJobThread(const CSendJobThread&) = delete;
    CSendJobThread& operator=(const CSendJobThread&) = delete;

    // Waits for the thread to end (tools and tests; never from a report).
    void Join();
    // True once the thread has made its last report and returned from it.
    bool Done() const { return m_done->load(); }

private:
    // Written by the sending thread when it ends; read by the UI thread. Shared,
    // so a thread let go can still set it.
    std::shared_ptr<std::atomic<bool>> m_done = std::make_shared<std::atomic<bool>>(false);
    std::thread m_thread;
};

// Set by StartPlot, cleared by the main frame's job-finished handler; both on
// the UI thread (tools and tests: their main thread). Null while no job runs.
extern std::unique_ptr<CSendJobThread> g_pSendJobThread;

// Copies `job` into WorkPage, prepares it, counts its bands, takes the link
// from the link thread and starts the sending thread, which reports to
// `observer` (it must outlive the job). The job's parameters and settings are
// those of this moment. Returns 0, or -1 (nothing done) while a job runs.
int StartPlot(const COnePage& job, CJobObserver& observer, const JobLink& link = {});

// The thread procedure for a prepared sender: runs the job, returns 0.
int SendJobThread(CJobSender& sender);
