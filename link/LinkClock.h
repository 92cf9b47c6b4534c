#pragma once
// Time for the link's pacing (the link thread's sleeps, the pause after a
// parameter write). Tests pass a clock whose sleeps only advance a counter.
#include <chrono>
#include <cstdint>

class CLinkClock {
public:
    virtual ~CLinkClock() = default;
    // Milliseconds on a monotonic scale.
    virtual int64_t NowMs() = 0;
    virtual void SleepMs(int ms) = 0;
};

// The steady clock and std::this_thread::sleep_for.
CLinkClock& RealLinkClock();
