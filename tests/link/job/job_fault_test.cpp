// Guards: a job that hangs or keeps the link after a lost link, a machine fault, an unplugged cable or failing bands.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include <chrono>
#include <thread>

#include "link/CommPoll.h"
#include "link/LinkClock.h"
#include "link/LinkCommand.h"
#include "tests/link/job/JobFixture.h"
#include "tests/link/support/UsbDouble.h"
#include "link/job/JobPlan.h"
#include "tests/support/TempFolder.h"
#include "tools/machine-sim/JobRecord.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

// About 250 mm of feed: 10 bands, two cut segments.
void FillLongPage(COnePage& page)
{
    for (int32_t y = 400; y <= 8000; y += 1900) AddCurve(page, {{400, y}, {9500, y}}, CurveKind::Plot);
    AddCurve(page, {{1000, 1000}, {9500, 1000}, {9500, 7000}, {1000, 7000}, {1000, 1000}}, CurveKind::Cut);
    page.CalcPageBounds();
}

using JobFaults = JobOnSim;

struct LinkFaultCase {
    const char* fault;
    bool fromBand1;  // set once band 1 has gone, else from the start
};

TEST_F(JobFaults, LostLinkEndsTheJobInBoundedTimeAndTheNextJobRuns)
{
    const LinkFaultCase cases[] = {
        {"drop-after-bands=2", false},
        {"silent-after-bands=2", false},
        {"close-mid-exchange", true},
        {"refuse", true},
    };
    COnePage job;
    FillLongPage(job);
    for (const LinkFaultCase& c : cases) {
        SCOPED_TRACE(c.fault);
        sim.SetFaults({});
        if (!c.fromBand1) Fault(c.fault);
        RecordingObserver obs;
        obs.onBand = [&](int32_t band) {
            if (c.fromBand1 && band == 1) Fault(c.fault);
        };
        const auto t0 = SteadyClock::now();
        const int connectionsBefore = sim.Connections();
        EXPECT_EQ(RunJob(job, obs), 2);
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - t0).count();
        // linkLostMs 300, reply time-out 150: a few of each at most.
        EXPECT_LT(ms, 4000);
        EXPECT_FALSE(g_jobActive.load());
        EXPECT_FALSE(eth.Connected()) << "the socket is closed";
        // Polls spaced 50 ms apart over 300 ms, not a busy loop.
        EXPECT_LT(sim.Connections() - connectionsBefore, 16);

        sim.SetFaults({});
        RecordingObserver next;
        EXPECT_EQ(RunJob(job, next), 1) << "the next job after " << c.fault;
        EXPECT_TRUE(Job().finished);
    }
}

TEST_F(JobFaults, MachineFaultsMidJob)
{
    // Lines across the paper too, so every band's data takes several chunks.
    COnePage job;
    FillLongPage(job);
    for (int32_t x = 500; x < 9500; x += 300) AddCurve(job, {{x, 400}, {x, 8000}}, CurveKind::Plot);
    job.CalcPageBounds();
    RecordingObserver plain;
    ASSERT_EQ(RunJob(job, plain), 1);
    ASSERT_GT(Job().chunks.size(), 3 * Job().bands.size());
    const DecodedJob want = DecodeJob(Job(), SimParams());
    ASSERT_EQ(want.decodeErrors, 0);

    struct Case {
        const char* fault;
        int result;
        int failedBands;
    };
    // The record is decoded band by band as the data arrives, each band from
    // only the data in hand: it must be the replay of the whole job's chunks.
    testsupport::TempFolder dir;
    sim.SetRecordDir(dir.path().string());
    // A chunk of band 1 answered 1: that band goes again, the print is whole.
    // A memory error: the next wait aborts the job.
    for (const Case& c : {Case{"answer-one-after=4", 1, 1}, Case{"mem-error", 2, 0}}) {
        SCOPED_TRACE(c.fault);
        sim.SetFaults({});
        RecordingObserver obs;
        obs.onBand = [&](int32_t band) {
            if (band == 0) Fault(c.fault);
        };
        const auto t0 = SteadyClock::now();
        EXPECT_EQ(RunJob(job, obs), c.result);
        EXPECT_LT(SteadyClock::now() - t0, std::chrono::seconds(4));
        EXPECT_EQ(obs.failedBands, c.failedBands);
        EXPECT_FALSE(g_jobActive.load());
        const DecodedJob replay = DecodeJob(Job(), SimParams());
        std::ifstream pbm(dir.path() / "print.pbm", std::ios::binary);
        const std::string recorded((std::istreambuf_iterator<char>(pbm)), std::istreambuf_iterator<char>());
        EXPECT_TRUE(recorded == PbmOf(replay)) << "decoded as it came = decoded from every chunk";
        if (c.result != 1) continue;
        const DecodedJob got = DecodeJob(Job(), SimParams());
        EXPECT_EQ(got.decodeErrors, 0);
        EXPECT_EQ(got.bands, want.bands);
        EXPECT_TRUE(got.bits == want.bits) << "the band sent again prints as the first try would have";
    }
    sim.SetFaults({});
}

TEST_F(JobFaults, QueuedCancelEndsAJobWhoseLinkIsLost)
{
    COnePage job;
    FillLongPage(job);
    Fault("drop-after-bands=1");
    RecordingObserver obs;
    obs.onBand = [this](int32_t band) {
        if (band == 0) queue.Push(LinkCommand::JobAbort);
    };
    JobLink link = Link();
    link.timings.linkLostMs = 60000;
    const auto t0 = SteadyClock::now();
    ASSERT_EQ(StartPlot(job, obs, link), 0);
    EXPECT_EQ(obs.WaitResult(5000), 2);
    EXPECT_LT(SteadyClock::now() - t0, std::chrono::seconds(2));
    EXPECT_EQ(queue.Count(), 0);
}

TEST_F(JobFaults, UnpluggedUsbEndsTheJob)
{
    theSettings.Set(Slot::ConnectViaEth, 0);
    UsbDouble::Reset();
    UsbDouble::Plug();
    UsbDouble::ListNow();
    // Job start, the first poll, band 0's header: then the cable is pulled.
    for (int k = 0; k < 3; ++k) UsbDouble::QueueReply({MachineState::Plotting});
    COnePage job;
    FillLongPage(job);
    RecordingObserver obs;
    obs.onBand = [](int32_t band) {
        if (band == 0) UsbDouble::Unplug();
    };
    const auto t0 = SteadyClock::now();
    EXPECT_EQ(RunJob(job, obs), 2);
    EXPECT_LT(SteadyClock::now() - t0, std::chrono::seconds(2));
    EXPECT_EQ(obs.steps, std::vector<std::string>{"B0"});
    EXPECT_FALSE(UsbDouble::HandleOpen());
    EXPECT_LT(UsbDouble::Record().failedOpens, 25);
    UsbDouble::Reset();
}

TEST_F(JobFaults, LinkThreadStandsStillWhileAJobOwnsTheLink)
{
    COnePage job;
    FillLongPage(job);
    theSettings.Set(Slot::Quitting, 0);
    theSettings.Set(Slot::AutoOffline, 0);
    LinkConnected = 0;
    CCommPoller poller(commu, RealLinkClock(), queue);
    std::thread link([&] { CommPollThread(&poller); });
    // Let it connect (a parameter read) before the job.
    EXPECT_TRUE(WaitUntil([] { return LinkConnected.load() != 0; }));
    ASSERT_EQ(LinkConnected.load(), 1);

    RecordingObserver obs;
    obs.onBand = [this](int32_t band) {
        if (band != 1) return;
        // Offline again in the middle of the job, and paused for a while: a
        // link thread that did not stand still would read the block now.
        LinkConnected = 0;
        queue.Push(LinkCommand::Pause);
    };
    sim.ClearReceived();
    ASSERT_EQ(StartPlot(job, obs, Link()), 0);
    EXPECT_TRUE(WaitSimState(MachineState::Paused));
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    queue.Push(LinkCommand::Resume);
    EXPECT_EQ(obs.WaitResult(8000), 1);
    theSettings.Set(Slot::Quitting, 1);
    link.join();
    theSettings.Set(Slot::Quitting, 0);

    const std::vector<int> codes = Codes();
    bool inJob = false;
    for (int code : codes) {
        if (code == LinkCommand::JobStart) inJob = true;
        if (code == LinkCommand::JobFinished) inJob = false;
        if (inJob) {
            EXPECT_NE(code, LinkCommand::ReadParams);
        }
    }
    EXPECT_EQ(codes.front(), LinkCommand::JobStart);
}

// A machine that always answers Plotting but takes no band data: the first
// `failing` data writes fail, the rest go through.
class FailingDataPort final : public CLinkPort {
public:
    explicit FailingDataPort(int failing) : m_failing(failing) {}
    int Begin() override { return 0; }
    int WriteFrame(const uint8_t* b, int n) override
    {
        codes.push_back(n >= 2 ? b[1] : -1);
        return n;
    }
    int ReadReply(uint8_t* reply, int, int) override
    {
        reply[0] = MachineState::Plotting;
        return 1;
    }
    int WriteData(const uint8_t*, int n) override
    {
        ++dataWrites;
        return dataWrites <= m_failing ? 0 : n;
    }
    void End(bool) override {}
    bool ChunkedData() const override { return false; }

    std::vector<int> codes;
    int dataWrites = 0;

private:
    int m_failing;
};

class NoSleepClock final : public CLinkClock {
public:
    int64_t NowMs() override { return m_now; }
    void SleepMs(int ms) override { m_now += ms; }

private:
    int64_t m_now = 0;
};

// A band gives up after 50 failures in a row and 10 s of failing, whichever
// comes last. Each try takes the wait's 10 ms (or 1 s) of the link clock.
TEST(JobBandFailures, ABandFailingFiftyTimesAndTenSecondsAbortsTheJob)
{
    struct Case {
        int failing;
        int pauseMs;     // link-clock time of one try
        int result;      // JobFinished
        int dataWrites;  // sends of band 0
        int lastCode;
    };
    const Case cases[] = {
        // Answered 1 for 12 s, 10 ms a try: the 50th failure is not enough,
        // the failure at 10 s is (the first at t, the 1001st at t + 10 s).
        {1200, 10, 2, 1001, LinkCommand::JobAbort},
        {1000, 10, 1, 1001, LinkCommand::JobFinished},
        // One failure a second: 10 s pass before 50 failures do.
        {49, 1000, 1, 50, LinkCommand::JobFinished},
        {50, 1000, 2, 50, LinkCommand::JobAbort},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failing);
        theSettings.Set(Slot::ConnectViaEth, 0);
        FailingDataPort port(c.failing);
        CMyCommu commu{port, port};
        CKeyQueue queue;
        NoSleepClock clock;
        JobPlan plan;
        FillDefaultMachineParams(plan.snap.params);
        plan.snap.lineWidth = 2;
        plan.bandCount = 1;
        plan.inkBandCount = 1;
        plan.bandColumns = 240;
        COnePage empty;
        RecordingObserver obs;
        JobLink link;
        link.commu = &commu;
        link.queue = &queue;
        link.clock = &clock;
        link.timings.readyPauseMs = c.pauseMs;
        BeginJobLink();
        CJobSender sender(plan, empty, obs, link);
        EXPECT_EQ(sender.Run(), c.result);
        EXPECT_EQ(obs.result, c.result);
        EXPECT_EQ(port.dataWrites, c.dataWrites);
        EXPECT_EQ(obs.failedBands, std::min(c.failing, c.dataWrites));
        ASSERT_FALSE(port.codes.empty());
        EXPECT_EQ(port.codes.back(), c.lastCode);
        EXPECT_FALSE(g_jobActive.load());
    }
}

}  // namespace
