#include "link/LinkClock.h"

#include <thread>

namespace {
class CRealClock final : public CLinkClock {
public:
    int64_t NowMs() override
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    void SleepMs(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};
}  // namespace

CLinkClock& RealLinkClock()
{
    static CRealClock clock;
    return clock;
}
