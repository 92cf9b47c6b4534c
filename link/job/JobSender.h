#pragma once
// The sending thread's work for one job: the job-start command, ink bands and
// knife passes interleaved segment by segment, waiting for the machine between
// steps, and the end command. It alone talks to the machine while it runs.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "link/output/BandEngine.h"
#include "link/job/JobPlan.h"
#include "model/KnifePoint.h"

class CBandPipeline;
class CJobObserver;
class CKeyQueue;
class CLinkClock;
class CMyCommu;
class COnePage;

struct JobTimings {
    int readyPauseMs = 10;     // between polls while the machine is not yet ready for a step
    int pollRetryMs = 100;     // between failed status polls
    int linkLostMs = 10000;    // failed polls for this long end the job
    // A band failing this often in a row, and for at least this long, ends
    // the job (whichever comes last): a busy machine may refuse 50 chunks in
    // half a second.
    int maxBandFailures = 50;
    int bandFailingMs = 10000;
};

// The link a job uses; null members take the program's own (theCommu,
// KeyQueue, the real clock).
struct JobLink {
    CMyCommu* commu = nullptr;
    CKeyQueue* queue = nullptr;
    CLinkClock* clock = nullptr;
    JobTimings timings;
    // Called on the sending thread before the job start and again before the
    // end command (after LastStepSent): waits until the job list that
    // accounts for the step is on disk. False before the start refuses the
    // job ("ListNotKept") with nothing sent; before the end the command goes
    // out all the same (the machine has made the copy). Null: no wait.
    std::function<bool()> waitDurable;
    // Set by the job's owner (any thread) to end the job as the operator's
    // delete would: before the job start nothing is sent; at the next wait
    // between steps the machine is paused, then the job deleted and aborted;
    // once the last step is done it no longer counts (the copy is made).
    std::shared_ptr<const std::atomic<bool>> cancel;
};

class CJobSender {
public:
    CJobSender(const JobPlan& plan, const COnePage& page, CJobObserver& observer, const JobLink& link);
    ~CJobSender();

    // The whole job (SendJobThread's steps); reports JobFinished last and
    // returns its value: 1 finished, 2 failed, refused or cancelled.
    int Run();

    // 0 every step done, 1 aborted.
    int SendBands();
    // 0 the machine is plotting and waits for the next step, 1 abort.
    int WaitMachineReady();
    // 0 sent (or nothing to send), -1 failed.
    int SendInkBand(int32_t band);
    // 0 sent (or nothing to cut), -1 failed.
    int SendCutPass(int32_t pass);

private:
    int RunSteps();
    void Report(const char* key);
    // Takes every queued code after a failed poll; true when one was a cancel.
    bool DrainQueueForCancel();
    bool Cancelled() const { return m_cancel != nullptr && m_cancel->load(); }
    // Gives the link back and closes a kept TCP connection.
    void ReleaseLink();

    JobPlan m_plan;
    const COnePage& m_page;
    CJobObserver& m_observer;
    CMyCommu& m_commu;
    CKeyQueue& m_queue;
    CLinkClock& m_clock;
    JobTimings m_timings;
    std::function<bool()> m_waitDurable;
    std::shared_ptr<const std::atomic<bool>> m_cancel;
    // The sending thread's own engine (the band and knife buffers are the thread's globals).
    BandEngine m_engine;
    // While SendBands runs: band j + 1 made on its worker while band j goes
    // out (null: each band made when it is sent, in the global buffers).
    std::unique_ptr<CBandPipeline> m_pipeline;
    int32_t m_bandBytes = 0;  // packed bytes of the last band sent or tried
    // The knife path of the current cut pass: built, sent and counted by the
    // sending thread only; the next pass starts it anew.
    std::vector<KnifePoint> m_knifePath;
};
