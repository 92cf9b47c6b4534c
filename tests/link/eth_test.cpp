// Guards: TCP exchanges with wrong frames or byte order, replies that spill into the next exchange, hangs on a dead or endless machine, job data in wrong chunks.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <algorithm>
#include <cstring>
#include <thread>

#include "link/JobCommands.h"
#include "link/LinkClock.h"
#include "link/LinkFrame.h"
#include "link/LinkState.h"
#include "link/MyCommu.h"
#include "link/MyEth.h"
#include "link/MyUSB.h"
#include "link/ParamsLink.h"
#include "model/Settings.h"
#include "tests/link/support/LoopbackServer.h"
#include "tools/machine-sim/MachineSim.h"
#include "tests/support/GlobalsGuard.h"

namespace {

// A TCP socket bound to a free loopback port (written into a); -1 on failure.
int BindLoopback(sockaddr_in& a)
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    a = sockaddr_in{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
        if (fd >= 0) close(fd);
        return -1;
    }
    return fd;
}

class NullClock final : public CLinkClock {
public:
    int64_t NowMs() override { return 0; }
    void SleepMs(int) override {}
};

// The TCP transport against the simulated machine over real loopback sockets.
class EthLink : public ::testing::Test {
protected:
    void SetUp() override
    {
        sim.SetLogToStderr(false);
        ASSERT_GT(sim.Start(0), 0);
        UsePort(sim.Port());
        theEthOptions.addressOverride = INADDR_LOOPBACK;
        theEthOptions.connectTimeoutMs = 300;
        theEthOptions.replyTimeoutMs = 250;
        theSettings.Set(Slot::ConnectViaEth, 1);
        g_jobActive = false;
        MachineStatus = 0;
    }
    void TearDown() override { sim.Stop(); }
    static void UsePort(int port) { theEthOptions.port = port; }
    std::vector<uint8_t> Unit(size_t i) { return sim.Received().at(i).bytes; }
    void Fault(const char* text)
    {
        SimFaults f;
        ASSERT_TRUE(ApplyFault(text, f)) << text;
        sim.SetFaults(f);
    }
    int ReadParams26()
    {
        const uint8_t ask = 58;
        uint8_t reply[58];
        return commu.SendCommand(26, 1, &ask, 58, reply);
    }

    testsupport::GlobalsGuard guard;
    CMachineSim sim;
    CMyUSB usb;
    CMyEth eth;
    CMyCommu commu{usb, eth};
};

TEST_F(EthLink, ShortCommandIsTwoBytesAnsweredByStatus)
{
    ASSERT_EQ(commu.SendShortCommand(58), 0);
    EXPECT_EQ(Unit(0), (std::vector<uint8_t>{2, 58}));
    EXPECT_EQ(MachineStatus.load(), MachineState::Ready);

    Fault("mem-error");
    ASSERT_EQ(commu.SendShortCommand(58), 0);
    EXPECT_EQ(MachineStatus.load(), MachineState::MemError);
}

TEST_F(EthLink, CommandsCarryTheirPayloadLittleEndian)
{
    ASSERT_EQ(SendJobStart(commu, 72600, 4321), 0);
    EXPECT_EQ(MachineStatus.load(), MachineState::Plotting);
    ASSERT_EQ(SendBandHeader(commu, 7, true), 0);
    ASSERT_EQ(SendKnifeHeader(commu, 300), 0);
    EXPECT_EQ(Unit(0), (std::vector<uint8_t>{10, 16, 0x98, 0x1B, 0x01, 0, 0xE1, 0x10, 0, 0}));
    EXPECT_EQ(Unit(1), (std::vector<uint8_t>{8, 17, 7, 0, 0, 0, 1, 1}));
    EXPECT_EQ(Unit(2), (std::vector<uint8_t>{6, 18, 0x2C, 0x01, 0, 0}));
    sim.WithMachine([](CSimMachine& m) {
        EXPECT_EQ(m.job.lengthPulses, 72600);
        EXPECT_EQ(m.job.bandColumns, 4321);
        ASSERT_EQ(m.job.bands.size(), 1u);
        EXPECT_EQ(m.job.bands[0].band, 7);
        m.state = MachineState::Ready;
        m.headPosition = -123456;
    });

    MachineStatus = 9;
    int32_t position = 0;
    ASSERT_EQ(ReadHeadPosition(commu, position), 0);
    EXPECT_EQ(Unit(3), (std::vector<uint8_t>{3, 19, 4}));
    EXPECT_EQ(position, -123456);
    EXPECT_EQ(MachineStatus.load(), 9) << "a four-byte reply is not a status";
}

TEST_F(EthLink, ParameterBlockRoundTrip)
{
    MachineParams mine{};
    FillDefaultMachineParams(mine);
    mine.pulsesPerMmX = 77.25;
    mine.machineLengthMm = 1800;
    mine.cutMode = 1;
    mine.reserved = 0x42;
    StoreMachineParams(mine);
    NullClock clock;
    ASSERT_EQ(WriteMachineParams(commu, clock), 0);
    const std::vector<uint8_t> frame = Unit(0);
    ASSERT_EQ(frame.size(), 60u);
    EXPECT_EQ(frame[0], 60);
    EXPECT_EQ(frame[1], 27);
    EXPECT_EQ(std::memcmp(frame.data() + 2, &mine, 56), 0);
    EXPECT_EQ(frame[58], 0);
    EXPECT_EQ(frame[59], 0);
    sim.WithMachine([&](CSimMachine& m) { EXPECT_EQ(std::memcmp(&m.params, &mine, 56), 0); });

    MachineParams theirs{};
    sim.WithMachine([&](CSimMachine& m) {
        m.params.startPointMm = 33;
        m.params.machineIp = 0x0100007F;
        m.paramsTail = {0xEE, 0xFF};
        theirs = m.params;
    });
    ASSERT_EQ(ReadMachineParams(commu), 0);
    EXPECT_EQ(Unit(1), (std::vector<uint8_t>{3, 26, 58}));
    const MachineParams live = SnapshotMachineParams();
    EXPECT_EQ(std::memcmp(&live, &theirs, 56), 0);
    EXPECT_EQ(std::memcmp(&g_machineParamsSaved, &theirs, 56), 0);
}

TEST_F(EthLink, EachExchangeConnectsAndClosesWhileNoJobRuns)
{
    ASSERT_EQ(commu.SendShortCommand(58), 0);
    EXPECT_FALSE(eth.Connected());
    ASSERT_EQ(commu.SendShortCommand(58), 0);
    EXPECT_EQ(sim.Connections(), 2);

    g_jobActive = true;
    for (int i = 0; i < 3; ++i) ASSERT_EQ(commu.SendShortCommand(58), 0);
    EXPECT_TRUE(eth.Connected());
    EXPECT_EQ(sim.Connections(), 3);
    g_jobActive = false;
    ASSERT_EQ(commu.SendShortCommand(58), 0);
    EXPECT_FALSE(eth.Connected());
}

// Every fault gives a failure code, never a hang, and the next exchange after
// the fault is gone works on a fresh connection.
TEST_F(EthLink, MisbehavingMachine)
{
    struct Case {
        const char* fault;
        int shortResult;
        int commandResult;
    };
    const Case cases[] = {
        {"split-reply", 0, 0},   {"late=40", 0, 0},          {"late=700", -2, -1},
        {"short-reply", -2, -1}, {"close-mid-exchange", -2, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        Fault(c.fault);
        EXPECT_EQ(commu.SendShortCommand(58), c.shortResult);
        EXPECT_EQ(ReadParams26(), c.commandResult);
        sim.SetFaults({});
        theEthOptions.replyTimeoutMs = 1000;  // a late reply may still hold the machine
        EXPECT_EQ(ReadParams26(), 0);
        theEthOptions.replyTimeoutMs = 250;
    }
    Fault("refuse");
    EXPECT_NE(commu.SendShortCommand(58), 0);
    EXPECT_EQ(ReadParams26(), -1);
}

// During a job the connection is the job's session: a late reply is
// resynchronised on it, never taken for the next answer, and the connection
// is made anew only when the machine closed it.
TEST_F(EthLink, LateReplyDuringAJobKeepsTheConnection)
{
    g_jobActive = true;
    Fault("late=700");
    EXPECT_EQ(commu.SendShortCommand(58), -2);
    EXPECT_TRUE(eth.Connected());
    sim.SetFaults({});
    sim.WithMachine([](CSimMachine& m) { m.state = MachineState::Paused; });
    theEthOptions.replyTimeoutMs = 1000;
    ASSERT_EQ(commu.SendShortCommand(58), 0);
    EXPECT_EQ(MachineStatus.load(), MachineState::Paused);
    // Wrong-length replies too.
    Fault("short-reply");
    EXPECT_EQ(ReadParams26(), -1);
    sim.SetFaults({});
    theEthOptions.replyTimeoutMs = 250;
    EXPECT_EQ(ReadParams26(), 0);
    ASSERT_EQ(commu.SendShortCommand(58), 0);
    EXPECT_EQ(MachineStatus.load(), MachineState::Paused);
    EXPECT_EQ(sim.Connections(), 1);

    // A machine that closes the connection gets a new one.
    Fault("close-mid-exchange");
    EXPECT_NE(commu.SendShortCommand(58), 0);
    EXPECT_FALSE(eth.Connected());
    sim.SetFaults({});
    ASSERT_EQ(commu.SendShortCommand(58), 0);
    EXPECT_EQ(sim.Connections(), 2);
    g_jobActive = false;
}

TEST_F(EthLink, NoMachineGivesMinusOneAndRetriesWithANewSocket)
{
    // A bound port nobody listens on refuses connections.
    sockaddr_in a{};
    const int fd = BindLoopback(a);
    ASSERT_GE(fd, 0);
    UsePort(ntohs(a.sin_port));
    EXPECT_EQ(commu.SendShortCommand(58), -1);
    EXPECT_EQ(ReadParams26(), -1);
    close(fd);
    UsePort(sim.Port());
    EXPECT_EQ(commu.SendShortCommand(58), 0);
}

TEST_F(EthLink, HungConnectTimesOut)
{
    // A listener with a full backlog drops further connection requests.
    sockaddr_in a{};
    const int fd = BindLoopback(a);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(listen(fd, 0), 0);
    std::vector<int> fillers;
    for (int i = 0; i < 3; ++i) {
        const int f = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        connect(f, reinterpret_cast<sockaddr*>(&a), sizeof a);
        fillers.push_back(f);
    }
    UsePort(ntohs(a.sin_port));
    theEthOptions.connectTimeoutMs = 100;
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(commu.SendShortCommand(58), -1);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(900));
    for (int f : fillers) close(f);
    close(fd);
}

TEST_F(EthLink, RepliesLongerThanExpectedAreErrorsAndDoNotSpill)
{
    CLoopbackServer server({{1, 9}, {3}, {0, 0, 0, 0, 5}, {4}});
    UsePort(server.Port());
    g_jobActive = true;
    MachineStatus = 7;
    EXPECT_EQ(commu.SendShortCommand(58), -2);
    EXPECT_EQ(MachineStatus.load(), 7);
    ASSERT_EQ(commu.SendShortCommand(58), 0);
    EXPECT_EQ(MachineStatus.load(), 3);
    const uint8_t four = 4;
    uint8_t reply[4];
    EXPECT_EQ(commu.SendCommand(19, 1, &four, 4, reply), -1);
    ASSERT_EQ(commu.SendShortCommand(58), 0);
    EXPECT_EQ(MachineStatus.load(), 4);
}

// A machine that answers a frame with an endless stream: the exchange fails in
// bounded time instead of draining for ever, and the stream is dropped (at the
// latest when the next exchange finds it still flowing), even during a job.
TEST_F(EthLink, EndlessReplyIsAnErrorNotAHang)
{
    const int lfd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    ASSERT_EQ(bind(lfd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_EQ(listen(lfd, 4), 0);
    getsockname(lfd, reinterpret_cast<sockaddr*>(&a), &len);
    std::atomic<bool> dropped{false};
    std::thread flood([lfd, &dropped] {
        pollfd p{lfd, POLLIN, 0};
        if (poll(&p, 1, 2000) <= 0) return;
        const int fd = accept(lfd, nullptr, nullptr);
        if (fd < 0) return;
        uint8_t frame[2];
        recv(fd, frame, sizeof frame, MSG_WAITALL);
        std::vector<uint8_t> junk(64 * 1024, 3);
        while (send(fd, junk.data(), junk.size(), MSG_NOSIGNAL) > 0) {
        }
        dropped = true;
        close(fd);
    });
    UsePort(ntohs(a.sin_port));
    g_jobActive = true;
    EXPECT_EQ(commu.SendShortCommand(58), -2);
    for (int i = 0; i < 5 && !dropped; ++i) {
        commu.SendShortCommand(58);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(dropped.load());
    if (!dropped) eth.Disconnect();
    flood.join();
    close(lfd);
}

TEST_F(EthLink, JobDataGoesIn1400ByteChunks)
{
    g_jobActive = true;
    uint8_t p16[8] = {};
    uint8_t reply[1];
    ASSERT_EQ(commu.SendCommand(16, 8, p16, 1, reply), 0);
    std::vector<uint16_t> words(2200);
    for (size_t i = 0; i < words.size(); ++i) words[i] = uint16_t(i * 7 + 1);
    const auto* bytes = reinterpret_cast<const uint8_t*>(words.data());

    EXPECT_EQ(commu.SendData(words.data(), 1400), 1400);
    EXPECT_EQ(commu.SendData(words.data(), 1401), 1401);
    uint8_t p17[6] = {3, 0, 0, 0, 0, 1};
    ASSERT_EQ(commu.SendCommand(17, 6, p17, 1, reply), 0);
    const std::vector<SimUnit> got = sim.Received();
    ASSERT_EQ(got.size(), 5u);
    for (int i : {1, 2, 3}) {
        EXPECT_TRUE(got[i].chunk);
        ASSERT_EQ(got[i].bytes.size(), 1400u);
    }
    EXPECT_EQ(std::memcmp(got[1].bytes.data(), bytes, 1400), 0);
    EXPECT_EQ(std::memcmp(got[2].bytes.data(), bytes, 1400), 0);
    EXPECT_EQ(got[3].bytes[0], bytes[1400]);
    EXPECT_EQ(std::count(got[3].bytes.begin() + 1, got[3].bytes.end(), 0), 1399) << "padded with zeros";
    EXPECT_FALSE(got[4].chunk);
    EXPECT_EQ(got[4].bytes[1], 17);

    sim.ClearReceived();
    Fault("answer-one-after=3");
    EXPECT_EQ(commu.SendData(words.data(), 4400), 1);
    EXPECT_EQ(MachineStatus.load(), 1);
    EXPECT_EQ(sim.Received().size(), 1u) << "sending stops at the answer 1";
}

}  // namespace
