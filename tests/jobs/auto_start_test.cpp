// Guards: an Auto job started when the machine is not exactly ready, twice, or while the last one is still ending;
// a job not yet Printing when its start is kept.
#include <gtest/gtest.h>

#include "jobs/AutoJobStart.h"
#include "link/LinkState.h"
#include "tests/app/support/AppFixture.h"

using namespace appfix;
using namespace JobState;

namespace {

struct Machine {
    bool running = false;
    int readResult = 0;
    int pollResult = 0;
    uint8_t status = MachineState::Ready;
    int reads = 0, starts = 0;
    int startResult = 0;
    std::vector<const COnePage*> started;
    std::vector<int32_t> stateAtStart;  // what the job's start keeps

    AutoStartLink Link()
    {
        AutoStartLink l;
        l.jobRunning = [this] { return running; };
        l.readParams = [this] { return ++reads, readResult; };
        l.pollStatus = [this] { return pollResult; };
        l.status = [this] { return status; };
        l.startPlot = [this](const COnePage& p) {
            ++starts;
            started.push_back(&p);
            stateAtStart.push_back(p.m_state);
            return startResult;
        };
        return l;
    }
};

}  // namespace

TEST(AutoStart, FirstAutoJobWithCurvesStartsOnlyWhenExactlyReady)
{
    SettingsGuard g;
    theSettings.Set(Slot::Quitting, 0);
    theSettings.Set(Slot::AutoOffline, 0);
    PageList pages;
    pages.push_back(Job(Manual));
    pages.push_back(Job(Auto, 1, false));  // empty: removed on the way
    pages.push_back(Job(Auto));
    pages.push_back(Job(Auto));
    Machine m;
    for (uint8_t s : {uint8_t(MachineState::Plotting), uint8_t(0x11), uint8_t(MachineState::Offline)}) {
        m.status = s;
        const AutoStartResult r = StartNextAutoJob(pages, m.Link());
        EXPECT_EQ(r.result, 0);
        EXPECT_EQ(r.started, -1);
    }
    EXPECT_EQ(States(pages), (std::vector<int32_t>{Manual, Auto, Auto}));
    m.status = MachineState::Ready;
    const AutoStartResult r = StartNextAutoJob(pages, m.Link());
    EXPECT_EQ(r.started, 1);
    EXPECT_EQ(States(pages), (std::vector<int32_t>{Manual, Printing, Auto}));
    ASSERT_EQ(m.started.size(), 1u);
    EXPECT_EQ(m.started[0], pages[1].get());
    EXPECT_EQ(m.stateAtStart, (std::vector<int32_t>{Printing}));
}

TEST(AutoStart, AStartThatFailsLeavesTheJobAuto)
{
    SettingsGuard g;
    theSettings.Set(Slot::Quitting, 0);
    theSettings.Set(Slot::AutoOffline, 0);
    PageList pages;
    pages.push_back(Job(Auto));
    Machine m;
    m.startResult = -1;
    EXPECT_EQ(StartNextAutoJob(pages, m.Link()).started, -1);
    EXPECT_EQ(m.starts, 1);
    EXPECT_EQ(States(pages), (std::vector<int32_t>{Auto}));
}

TEST(AutoStart, NothingWhileTheLastJobsEndIsPendingOrQuitting)
{
    // The sending thread has already given the link back (g_jobActive clear)
    // but its job-finished report has not run: WorkPage and the Printing job
    // still belong to the old job.
    SettingsGuard g;
    theSettings.Set(Slot::AutoOffline, 0);
    PageList pages;
    pages.push_back(Job(Printing));
    pages.push_back(Job(Auto));
    Machine m;
    m.running = true;
    theSettings.Set(Slot::Quitting, 0);
    EXPECT_EQ(StartNextAutoJob(pages, m.Link()).result, -1);
    m.running = false;
    theSettings.Set(Slot::Quitting, 1);
    EXPECT_EQ(StartNextAutoJob(pages, m.Link()).result, -1);
    EXPECT_EQ(m.starts, 0);
    EXPECT_EQ(States(pages), (std::vector<int32_t>{Printing, Auto}));
}

TEST(AutoStart, AutoOfflineConnectsOnDemand)
{
    SettingsGuard g;
    theSettings.Set(Slot::Quitting, 0);
    theSettings.Set(Slot::AutoOffline, 1);
    PageList pages;
    pages.push_back(Job(Auto));
    Machine m;
    m.readResult = -1;  // machine switched off: every tick -1, the job stays Auto
    for (int i = 0; i < 3; ++i) EXPECT_EQ(StartNextAutoJob(pages, m.Link()).result, -1);
    EXPECT_EQ(m.reads, 3);
    EXPECT_EQ(pages[0]->m_state, Auto);

    m.readResult = 0;
    m.pollResult = -1;
    LinkConnected = 1;
    MachineStatus = 1;
    EXPECT_EQ(StartNextAutoJob(pages, m.Link()).result, -1);
    EXPECT_EQ(LinkConnected.load(), 0);
    EXPECT_EQ(MachineStatus.load(), 0);

    m.pollResult = 0;
    EXPECT_EQ(StartNextAutoJob(pages, m.Link()).started, 0);
    EXPECT_EQ(LinkConnected.load(), 1);
    LinkConnected = 0;
}

TEST(AutoStart, NoAutoJobWithCurves)
{
    SettingsGuard g;
    theSettings.Set(Slot::Quitting, 0);
    PageList pages;
    pages.push_back(Job(Manual, 1, false));  // a Manual empty job stays
    pages.push_back(Job(Auto, 1, false));
    Machine m;
    const AutoStartResult r = StartNextAutoJob(pages, m.Link());
    EXPECT_EQ(r.result, -1);
    EXPECT_TRUE(r.removed);
    EXPECT_EQ(States(pages), (std::vector<int32_t>{Manual}));
}
