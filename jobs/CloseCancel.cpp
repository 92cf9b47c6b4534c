#include "jobs/CloseCancel.h"

bool CancelJobForClose(const CloseCancelHooks& hooks, std::chrono::milliseconds limit)
{
    if (hooks.ended()) return true;
    hooks.cancel();
    auto until = std::chrono::steady_clock::now() + limit;
    uint64_t seen = hooks.progress();
    while (!hooks.ended()) {
        const uint64_t moved = hooks.progress();
        if (moved != seen || hooks.saving()) {
            seen = moved;
            until = std::chrono::steady_clock::now() + limit;
        } else if (std::chrono::steady_clock::now() >= until) {
            return false;
        }
        hooks.pump();
    }
    return true;
}
