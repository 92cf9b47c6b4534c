#pragma once
// The link thread: while no job runs it owns the link, brings it up by reading
// the parameter block, sends the queued control codes one per pass, polls the
// machine's state every 102nd pass and its head position while it is Ready.
#include <atomic>
#include <cstdint>

class CMyCommu;
class CLinkClock;
class CKeyQueue;

// Sends one queued code: 0-13 as a short command, 27 as a parameter write;
// anything else is dropped. Used by the link thread and the sending thread.
void ServeQueuedCode(CMyCommu& commu, CLinkClock& clock, uint8_t code);

class CCommPoller {
public:
    // Re-check pause of the states that only wait (offline with AutoOffline
    // set, a job owning the link), so they do not spin.
    static constexpr int kIdlePauseMs = 10;
    static constexpr int kRetryPauseMs = 300;
    static constexpr int kPumpPauseMs = 2;
    static constexpr int kUsbPollFailuresToDrop = 4;

    CCommPoller(CMyCommu& commu, CLinkClock& clock, CKeyQueue& queue)
        : m_commu(commu), m_clock(clock), m_queue(queue)
    {
    }

    // One pass of the loop; false once Quitting is set (the thread ends).
    bool RunPass();
    // Passes until Quitting.
    void Run();

    // Sends one queued code, if any.
    void PumpKeyQueue();
    // Status poll (58), then the head position (19) when the status is exactly Ready.
    void PollMachineStatus();

private:
    void DropLink();

    CMyCommu& m_commu;
    CLinkClock& m_clock;
    CKeyQueue& m_queue;
    // The three below are the link thread's own (no other thread touches them).
    int m_passCounter = 0;   // idle passes since the last status poll
    int m_pollFailures = 0;  // consecutive failed polls over USB
    bool m_queueCleared = false;
};

// True while CommPollThread runs. Written by the link thread; read by the
// program at shutdown and by tests.
extern std::atomic<bool> g_commPollThreadRunning;

// The thread procedure: the program's poller (theCommu, the real clock,
// KeyQueue) unless one is given. Returns 0 when Quitting ends it.
int CommPollThread(CCommPoller* poller = nullptr);
