// Guards a close that leaves the machine inside a job, or sends job codes to an idle machine.
#include <gtest/gtest.h>

#include <vector>

#include "jobs/CloseCancel.h"
#include "link/LinkCommand.h"
#include "link/LinkState.h"

namespace {

struct Fake {
    uint8_t status = MachineState::Plotting;
    int pumpsUntilEnd = 3;  // the thread ends after this many pumps
    std::vector<int> pushed;
    int pumps = 0;
    bool cleared = false;
    CloseCancelHooks Hooks()
    {
        CloseCancelHooks h;
        h.clearQueue = [this] { cleared = true; };
        h.push = [this](uint8_t code) {
            pushed.push_back(code);
            return 0;
        };
        h.ended = [this] { return pumpsUntilEnd >= 0 && pumps >= pumpsUntilEnd; };
        h.status = [this] { return status; };
        h.pump = [this] { ++pumps; };
        return h;
    }
};

}  // namespace

TEST(CloseCancel, AJobOnTheMachineIsPausedThenDeletedAndWaitedFor)
{
    struct Case {
        const char* what;
        uint8_t status;
        std::vector<int> pushed;
    };
    const Case cases[] = {
        {"plotting", MachineState::Plotting, {LinkCommand::Pause, LinkCommand::JobAbort}},
        {"paused", MachineState::Paused | 0x10, {LinkCommand::Pause, LinkCommand::JobAbort}},
        {"ready again after its end command", MachineState::Ready, {}},
        {"offline", MachineState::Offline, {}},
    };
    for (const Case& c : cases) {
        Fake f;
        f.status = c.status;
        EXPECT_TRUE(CancelJobForClose(f.Hooks(), std::chrono::hours(1))) << c.what;
        EXPECT_EQ(f.pushed, c.pushed) << c.what;
        EXPECT_EQ(f.cleared, !c.pushed.empty()) << c.what;
        EXPECT_EQ(f.pumps, 3) << c.what;
    }
}

TEST(CloseCancel, AThreadThatDoesNotEndIsGivenUp)
{
    Fake f;
    f.pumpsUntilEnd = -1;
    EXPECT_FALSE(CancelJobForClose(f.Hooks(), std::chrono::milliseconds(0)));
    Fake done;
    done.pumpsUntilEnd = 0;
    EXPECT_TRUE(CancelJobForClose(done.Hooks(), std::chrono::milliseconds(0)));
    EXPECT_TRUE(done.pushed.empty());  // nothing sent for a thread already gone
}
