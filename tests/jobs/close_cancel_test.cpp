// Guards a close that leaves the machine inside a job (the thread never told), gives up on a thread that is
// still reporting or waiting for its list to be written, or waits for ever on one that is stuck.
#include <gtest/gtest.h>

#include "jobs/CloseCancel.h"

namespace {

// A sending thread as the close sees it: it ends after endAfter pumps; its
// reports move on for the first movingPumps, its list is written during the
// first savingPumps.
struct Thread {
    int endAfter = 3;  // -1: never
    int movingPumps = 0;
    int savingPumps = 0;
    int pumps = 0;
    int cancels = 0;
    uint64_t reports = 0;
    bool Ended() const { return endAfter >= 0 && pumps >= endAfter; }
    CloseCancelHooks Hooks()
    {
        CloseCancelHooks h;
        h.cancel = [this] { ++cancels; };
        h.ended = [this] { return Ended(); };
        // A report between any two looks while it moves.
        h.progress = [this] { return pumps < movingPumps ? ++reports : reports; };
        h.saving = [this] { return pumps < savingPumps; };
        h.pump = [this] { ++pumps; };
        return h;
    }
};

}  // namespace

TEST(CloseCancel, ARunningThreadIsToldOnceAndWaitedForUntilItsLastReport)
{
    Thread t;
    EXPECT_TRUE(CancelJobForClose(t.Hooks(), std::chrono::hours(1)));
    EXPECT_EQ(t.cancels, 1);
    EXPECT_EQ(t.pumps, 3);

    Thread gone;
    gone.endAfter = 0;
    EXPECT_TRUE(CancelJobForClose(gone.Hooks(), std::chrono::milliseconds(0)));
    EXPECT_EQ(gone.cancels, 0) << "nothing told to a thread already gone";
}

TEST(CloseCancel, TheLimitRunsFromTheThreadsLastSignOfLife)
{
    struct Case {
        const char* what;
        int endAfter, movingPumps, savingPumps;
        bool ended;
    };
    const Case cases[] = {
        {"stuck from the start", -1, 0, 0, false},
        {"reporting until it ends", 20, 20, 0, true},
        {"waiting for its list while it is written", 20, 0, 20, true},
        {"stuck once its reports stopped", -1, 5, 0, false},
    };
    for (const Case& c : cases) {
        Thread t;
        t.endAfter = c.endAfter;
        t.movingPumps = c.movingPumps;
        t.savingPumps = c.savingPumps;
        // No time at all after a sign of life: only the signs keep the close waiting.
        EXPECT_EQ(CancelJobForClose(t.Hooks(), std::chrono::milliseconds(0)), c.ended) << c.what;
        EXPECT_EQ(t.cancels, 1) << c.what;
        if (!c.ended) {
            EXPECT_LE(t.pumps, c.movingPumps + 1) << c.what;
        }
    }
}
