// Guards: a link thread that polls, retries or drops the link at other rates than the machine expects, sends codes out of turn, or runs while a job owns the link.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "link/CommPoll.h"
#include "link/KeyQueue.h"
#include "link/LinkClock.h"
#include "link/LinkPort.h"
#include "link/LinkState.h"
#include "link/MyCommu.h"
#include "model/Settings.h"
#include "tools/machine-sim/SimMachine.h"
#include "tests/support/GlobalsGuard.h"

namespace {

// A clock whose sleeps only advance time and are recorded.
class FakeClock final : public CLinkClock {
public:
    int64_t NowMs() override { return now; }
    void SleepMs(int ms) override
    {
        now += ms;
        sleeps.push_back(ms);
        if (yield) std::this_thread::yield();
    }
    int64_t now = 0;
    std::vector<int> sleeps;
    bool yield = false;
};

// The simulated machine's behaviour behind a transport, without sockets.
class SimPort final : public CLinkPort {
public:
    SimPort(CSimMachine& m, FakeClock& c) : machine(m), clock(c) {}
    int Begin() override
    {
        ++begins;
        return down ? -1 : 0;
    }
    int WriteFrame(const uint8_t* b, int n) override
    {
        SimUnit u;
        u.bytes.assign(b, b + n);
        codes.push_back(b[1]);
        pending = machine.Handle(u, faults, clock.now);
        return n;
    }
    int ReadReply(uint8_t* reply, int want, int) override
    {
        const int n = static_cast<int>(pending.size());
        for (int i = 0; i < n && i < want; ++i) reply[i] = pending[size_t(i)];
        return n;
    }
    int WriteData(const uint8_t*, int n) override { return n; }
    void End(bool) override {}
    bool ChunkedData() const override { return true; }

    CSimMachine& machine;
    FakeClock& clock;
    SimFaults faults;
    bool down = false;
    // Counted by the thread that talks through the port (the link thread in
    // QuittingEndsTheThread), watched by the test's own thread.
    std::atomic<int> begins{0};
    std::vector<uint8_t> codes;
    std::vector<uint8_t> pending;
};

class LinkThread : public ::testing::Test {
protected:
    LinkThread()
    {
        for (int s : {Slot::ConnectViaEth, Slot::AutoOffline, Slot::Quitting}) theSettings.Set(s, 0);
        LinkConnected = 0;
        MachineStatus = 0;
        HeadPosition = 0;
        g_jobActive = false;
    }
    ~LinkThread() override { LinkConnected = 0; }
    void Passes(int n)
    {
        for (int i = 0; i < n; ++i) ASSERT_TRUE(poller.RunPass());
    }
    // Brings the link up and forgets what that sent.
    void Online()
    {
        Passes(1);
        ASSERT_EQ(LinkConnected.load(), 1);
        usb.codes.clear();
        eth.codes.clear();
        clock.sleeps.clear();
    }
    int Count(const SimPort& p, uint8_t code) { return int(std::count(p.codes.begin(), p.codes.end(), code)); }

    testsupport::GlobalsGuard guard;
    CSimMachine machine;
    FakeClock clock;
    SimPort usb{machine, clock}, eth{machine, clock};
    CMyCommu commu{usb, eth};
    CKeyQueue queue;
    CCommPoller poller{commu, clock, queue};
};

TEST_F(LinkThread, OfflineTriesToReadTheBlockEvery300ms)
{
    queue.Push(5);
    usb.down = true;
    Passes(4);
    EXPECT_EQ(usb.begins.load(), 4);
    EXPECT_EQ(clock.sleeps, (std::vector<int>{300, 300, 300, 300}));
    EXPECT_EQ(LinkConnected.load(), 0);
    EXPECT_EQ(queue.Count(), 0) << "the first pass empties the queue";

    usb.down = false;
    machine.params.startPointMm = 44;
    Passes(1);
    EXPECT_EQ(usb.codes, (std::vector<uint8_t>{26}));
    EXPECT_EQ(LinkConnected.load(), 1);
    EXPECT_EQ(SnapshotMachineParams().startPointMm, 44);
}

TEST_F(LinkThread, IdleSendsOneCodePerPassAndPollsOnThe102ndPass)
{
    Online();
    machine.headPosition = 4242;
    for (uint8_t c : {5, 8, 0}) queue.Push(c);
    queue.Push(99);  // unknown: dropped
    Passes(4);
    EXPECT_EQ(usb.codes, (std::vector<uint8_t>{5, 8, 0}));
    EXPECT_EQ(queue.Count(), 0);
    Passes(97);
    EXPECT_EQ(Count(usb, 58), 0);
    Passes(1);
    EXPECT_EQ(usb.codes.size(), 5u);
    EXPECT_EQ(usb.codes[3], 58);
    EXPECT_EQ(usb.codes[4], 19) << "head position read while Ready";
    EXPECT_EQ(HeadPosition.load(), 4242);
    EXPECT_EQ(MachineStatus.load(), MachineState::Ready);
    EXPECT_EQ(std::count(clock.sleeps.begin(), clock.sleeps.end(), 2), 102);

    machine.state = MachineState::Plotting;
    Passes(102);
    EXPECT_EQ(Count(usb, 58), 2);
    EXPECT_EQ(Count(usb, 19), 1) << "no head position unless exactly Ready";
}

// 0-13 go out as short commands, 27 writes the block (and waits 300 ms),
// every other code is dropped unsent.
TEST_F(LinkThread, PumpSendsControlCodesWritesTheBlockDropsTheRest)
{
    struct Case {
        uint8_t code;
        std::vector<uint8_t> sent;
        std::vector<int> sleeps;
    };
    const Case cases[] = {
        {0, {0}, {}},    {10, {10}, {}}, {13, {13}, {}}, {27, {27}, {300}},
        {14, {}, {}},    {15, {}, {}},   {26, {}, {}},   {58, {}, {}},
        {255, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.code));
        usb.codes.clear();
        clock.sleeps.clear();
        ASSERT_EQ(queue.Push(c.code), 0);
        poller.PumpKeyQueue();
        EXPECT_EQ(usb.codes, c.sent);
        EXPECT_EQ(clock.sleeps, c.sleeps);
        EXPECT_EQ(queue.Count(), 0);
    }
}

TEST_F(LinkThread, UsbDropsTheLinkOnTheFourthFailedPollInARow)
{
    Online();
    usb.down = true;
    Passes(3 * 102);
    EXPECT_EQ(LinkConnected.load(), 1);
    usb.down = false;
    Passes(102);  // a good poll resets the count
    usb.down = true;
    Passes(3 * 102);
    EXPECT_EQ(LinkConnected.load(), 1);
    MachineStatus = 3;
    Passes(102);
    EXPECT_EQ(LinkConnected.load(), 0);
    EXPECT_EQ(MachineStatus.load(), 0);
}

TEST_F(LinkThread, TcpDropsTheLinkOnTheFirstFailedPoll)
{
    theSettings.Set(Slot::ConnectViaEth, 1);
    Online();
    eth.down = true;
    Passes(102);
    EXPECT_EQ(LinkConnected.load(), 0);
    eth.down = false;
    Passes(1);
    EXPECT_EQ(eth.codes.back(), 26) << "the next pass reads the block again";
    EXPECT_EQ(LinkConnected.load(), 1);
    EXPECT_TRUE(usb.codes.empty());
}

TEST_F(LinkThread, AutoOfflineTakesTheLinkDownWithinAPass)
{
    Online();
    MachineStatus = 1;
    theSettings.Set(Slot::AutoOffline, 1);
    Passes(1);
    EXPECT_EQ(LinkConnected.load(), 0);
    EXPECT_EQ(MachineStatus.load(), 0);
    clock.sleeps.clear();
    Passes(5);
    EXPECT_EQ(usb.begins.load(), 1) << "no exchange while offline by choice";
    EXPECT_EQ(clock.sleeps, std::vector<int>(5, CCommPoller::kIdlePauseMs)) << "paced, not spinning";
}

// Online the link is dropped only for AutoOffline exactly 1; offline any
// non-zero value keeps it from reconnecting.
TEST_F(LinkThread, AutoOfflineOtherThanOneKeepsAnOnlineLinkButBlocksAReconnect)
{
    Online();
    theSettings.Set(Slot::AutoOffline, 2);
    Passes(102);
    EXPECT_EQ(LinkConnected.load(), 1);
    EXPECT_EQ(Count(usb, 58), 1);
    LinkConnected = 0;
    usb.codes.clear();
    Passes(3);
    EXPECT_TRUE(usb.codes.empty());
}

TEST_F(LinkThread, StandsStillWhileAJobOwnsTheLink)
{
    Online();
    queue.Push(13);
    BeginJobLink();
    Passes(300);
    EXPECT_TRUE(usb.codes.empty());
    EXPECT_EQ(queue.Count(), 1) << "the queue is the sending thread's";
    EXPECT_EQ(clock.sleeps, std::vector<int>(300, CCommPoller::kIdlePauseMs));
    LinkConnected = 0;
    Passes(3);
    EXPECT_TRUE(usb.codes.empty()) << "no reconnect under a job either";
    EndJobLink();
    Passes(1);
    EXPECT_EQ(usb.codes, (std::vector<uint8_t>{26}));
}

TEST_F(LinkThread, QuittingEndsTheThread)
{
    clock.yield = true;
    std::thread t([&] { CommPollThread(&poller); });
    while (usb.begins < 3) std::this_thread::yield();
    EXPECT_TRUE(g_commPollThreadRunning.load());
    theSettings.Set(Slot::Quitting, 1);
    t.join();
    EXPECT_FALSE(g_commPollThreadRunning.load());
    EXPECT_FALSE(poller.RunPass());
}

}  // namespace
