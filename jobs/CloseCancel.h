#pragma once
// A close agreed while a job runs: the job is cancelled on the machine as the
// operator would do it (pause, then delete), so the machine is not left
// inside a job the next start cannot end, and the sending thread is given a
// few seconds to finish its abort.
#include <chrono>
#include <cstdint>
#include <functional>

struct CloseCancelHooks {
    std::function<void()> clearQueue;           // codes the operator queued are moot now
    std::function<int(uint8_t code)> push;      // 0 when queued
    std::function<bool()> ended;                // the sending thread has returned
    std::function<uint8_t()> status;            // the machine's last status byte
    std::function<void()> pump;                 // keeps the window painting while waiting
};

// True once the thread has ended, false when limit passed first.
bool CancelJobForClose(const CloseCancelHooks& hooks, std::chrono::milliseconds limit);

// The program's own hooks: KeyQueue, and g_pSendJobThread's end.
CloseCancelHooks RealCloseCancelHooks(std::function<void()> pump);

constexpr std::chrono::milliseconds kCloseCancelLimit{4000};
