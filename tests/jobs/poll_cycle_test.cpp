// Guards: a poll cycle that scans or loads out of order, pauses wrongly, or deletes Done jobs at another rate.
#include <gtest/gtest.h>

#include <vector>

#include "jobs/PollCycle.h"

namespace {
std::vector<int> Steps(CPollCycle& cycle, int calls, bool lastTask, bool autoDel, std::vector<int>* pauses = nullptr)
{
    std::vector<int> steps;
    for (int i = 0; i < calls; ++i) {
        const PollAction a = cycle.Next(lastTask, autoDel);
        steps.push_back(a.step);
        if (pauses) pauses->push_back(a.pauseMs);
    }
    return steps;
}
}  // namespace

TEST(PollCycle, LastTaskFirstThenScansWithoutPause)
{
    using namespace PollStep;
    CPollCycle c;
    std::vector<int> pauses;
    EXPECT_EQ(Steps(c, 4, true, false, &pauses), (std::vector<int>{LoadLastTask, ScanMm, ScanMil, None}));
    EXPECT_EQ(pauses, (std::vector<int>{0, 400, 400, 800}));
    CPollCycle d;
    EXPECT_EQ(Steps(d, 3, false, false), (std::vector<int>{None, ScanMm, ScanMil}));
}

TEST(PollCycle, DoneDeletionEveryFourthCycle)
{
    CPollCycle c;
    c.Next(false, true);
    std::vector<int> cycles;
    for (int i = 1; i <= 12; ++i) {
        c.Next(false, true);
        c.Next(false, true);
        if (c.Next(false, true).step == PollStep::DeleteDone) cycles.push_back(i);
    }
    EXPECT_EQ(cycles, (std::vector<int>{4, 8, 12}));

    // The count stands still while the option is off.
    CPollCycle d;
    d.Next(false, true);
    for (int i = 0; i < 3; ++i) {
        d.Next(false, true), d.Next(false, true), d.Next(false, true);
        d.Next(false, false), d.Next(false, false), d.Next(false, false);
    }
    d.Next(false, true), d.Next(false, true);
    EXPECT_EQ(d.Next(false, true).step, PollStep::DeleteDone);
}
