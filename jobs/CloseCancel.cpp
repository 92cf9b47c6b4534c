#include "jobs/CloseCancel.h"

#include "link/KeyQueue.h"
#include "link/LinkCommand.h"
#include "link/LinkState.h"
#include "link/job/JobStart.h"

bool CancelJobForClose(const CloseCancelHooks& hooks, std::chrono::milliseconds limit)
{
    if (hooks.ended()) return true;
    // A job past its end command (the machine Ready again) needs no cancel:
    // the codes would reach an idle machine through the link thread.
    const uint8_t state = MachineStateOf(hooks.status());
    if (state == MachineState::Plotting || state == MachineState::Paused) {
        hooks.clearQueue();
        // The delete code is taken by a paused machine; a paused one ignores the pause.
        hooks.push(LinkCommand::Pause);
        hooks.push(LinkCommand::JobAbort);
    }
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
    h.status = [] { return MachineStatus.load(); };
    h.pump = std::move(pump);
    return h;
}
