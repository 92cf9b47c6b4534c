#pragma once
// The job service as the window drives and shows it: the clocks are
// single-shot timers of the UI thread that call the service, the sending
// thread's reports cross to the UI thread through the hub and go to the
// service, and what the service says changed reaches the frame's views.
// No job rule lives here.
#include <QTimer>
#include <memory>

#include "jobs/JobService.h"
#include "jobs/JobServiceObserver.h"

struct FrameViews;
class WaitCursor;

class CJobRun final : public CJobServiceObserver {
public:
    CJobRun(CJobService& service, const FrameViews& views);
    ~CJobRun() override;
    CJobRun(const CJobRun&) = delete;
    CJobRun& operator=(const CJobRun&) = delete;

    CJobService& Service() { return m_service; }

    // Starts the link thread and the clocks (once the window exists).
    void StartWorkers();
    // For tests: the clocks alone.
    void StartTimers();
    // The close: the clocks stopped, then the link thread joined while the
    // window keeps painting.
    void StopTimers();
    void JoinCommPoll();
    // The close during a job (see CJobService::CancelJobForClose) and the
    // close's save, the window painting and the reports coming meanwhile.
    bool CancelJobForClose();
    KeepOutcome SaveForClose();
    bool TimersActive() const { return m_tickTimer.isActive() || m_pollTimer.isActive(); }

    // What the service tells (UI thread).
    void ListChanged(int showIndex) override;
    void JobProgress(int index) override;
    void MachineChanged() override;
    void Noted(const JobNote& note) override;
    void Working(bool busy) override;

private:
    void OnTickTimer();
    void OnPollTimer();

    CJobService& m_service;
    const FrameViews& m_views;

    // The clocks; the tick and the poll re-armed when each call returns, the
    // keeper's look repeating (UI thread).
    QTimer m_tickTimer;
    QTimer m_pollTimer;
    QTimer m_keepTimer;
    std::unique_ptr<WaitCursor> m_busy;
};
