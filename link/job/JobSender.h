#pragma once
// The sending thread's work for one job: the job-start command, ink bands and
// knife passes interleaved segment by segment, waiting for the machine between
// steps, and the end command. It alone talks to the machine while it runs.
#include <cstdint>
#include <vector>

#include "link/output/BandEngine.h"
#include "link/job/JobPlan.h"
#include "model/KnifePoint.h"

class CJobObserver;
class CKeyQueue;
class CLinkClock;
class CMyCommu;
class COnePage;

struct JobTimings {
    int readyPauseMs = 10;     // between polls while the machine is not yet ready for a step
    int pollRetryMs = 100;     // between failed status polls
    int linkLostMs = 10000;    // failed polls for this long end the job
    int maxBandFailures = 50;  // a band failing this often in a row ends the job
};

// The link a job uses; null members take the program's own (theCommu,
// KeyQueue, the real clock).
struct JobLink {
    CMyCommu* commu = nullptr;
    CKeyQueue* queue = nullptr;
    CLinkClock* clock = nullptr;
    JobTimings timings;
};

class CJobSender {
public:
    CJobSender(const JobPlan& plan, const COnePage& page, CJobObserver& observer, const JobLink& link);

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
    // Gives the link back and closes a kept TCP connection.
    void ReleaseLink();

    JobPlan m_plan;
    const COnePage& m_page;
    CJobObserver& m_observer;
    CMyCommu& m_commu;
    CKeyQueue& m_queue;
    CLinkClock& m_clock;
    JobTimings m_timings;
    // The sending thread's own engine (the band and knife buffers are the thread's globals).
    BandEngine m_engine;
    // The knife path of the current cut pass: built, sent and counted by the
    // sending thread only; the next pass starts it anew.
    std::vector<KnifePoint> m_knifePath;
};
