#pragma once
// A close while a job runs: the sending thread is told to cancel the job as
// the operator would (pause, then delete: the machine is not left inside a
// job the next start cannot end), and its last report is let through, so the
// list the close saves says what the machine did. The thread is given a few
// seconds from its last sign of life; a list it waits for while that list is
// written does not count against them.
#include <chrono>
#include <cstdint>
#include <functional>

struct CloseCancelHooks {
    std::function<void()> cancel;         // tells the sending thread to end its job
    std::function<bool()> ended;          // its last report has run, or it has returned
    std::function<uint64_t()> progress;   // changes whenever one of its reports has run
    std::function<bool()> saving;         // it waits for a list that is still being written
    std::function<void()> pump;           // keeps the window painting (and the reports coming) meanwhile
};

// True once the thread has ended, false when limit passed without a sign of it.
bool CancelJobForClose(const CloseCancelHooks& hooks, std::chrono::milliseconds limit);

constexpr std::chrono::milliseconds kCloseCancelLimit{4000};
