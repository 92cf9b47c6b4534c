#pragma once
// A link clock whose sleeps only advance its time: pacing without waiting,
// and a record of how long the code under test meant to sleep.
#include <cstdint>

#include "link/LinkClock.h"

class CCountingClock final : public CLinkClock {
public:
    int64_t NowMs() override { return slept; }
    void SleepMs(int ms) override { slept += ms; }
    int64_t slept = 0;
};
