#include "app/jobs/CloseCancel.h"

#include "link/KeyQueue.h"
#include "link/LinkCommand.h"
#include "link/job/JobStart.h"

bool CancelJobForClose(const CloseCancelHooks& hooks, std::chrono::milliseconds limit)
{
    if (hooks.ended()) return true;
    hooks.clearQueue();
    // The delete code is taken by a paused machine; a paused one ignores the pause.
    hooks.push(LinkCommand::Pause);
    hooks.push(LinkCommand::JobAbort);
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!hooks.ended()) {
        if (std::chrono::steady_clock::now() >= until) return false;
        hooks.pump();
    }
    return true;
}

CloseCancelHooks RealCloseCancelHooks(std::function<void()> pump)
{
    CloseCancelHooks h;
    h.clearQueue = [] { KeyQueueClear(); };
    h.push = [](uint8_t code) { return KeyQueuePush(code); };
    h.ended = [] { return g_pSendJobThread == nullptr || g_pSendJobThread->Done(); };
    h.pump = std::move(pump);
    return h;
}
