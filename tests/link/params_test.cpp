// Guards: a failed parameter read that changes values, a failed write the operator is not told of, a block written torn.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#include "link/LinkClock.h"
#include "link/MyCommu.h"
#include "link/ParamsLink.h"
#include "model/Message.h"
#include "model/Settings.h"
#include "tests/link/support/CountingClock.h"
#include "tests/link/support/ScriptedPort.h"

namespace {


std::string g_lastKey;
std::u16string g_lastMessage;  // both texts, Chinese first
void Capture(const char* key, const std::u16string& chinese, const std::u16string& english)
{
    g_lastKey = key;
    g_lastMessage = chinese + u"|" + english;
}

class ParamsOverLink : public ::testing::Test {
protected:
    ParamsOverLink()
    {
        theSettings.Set(Slot::ConnectViaEth, 0);
        MachineParams d{};
        FillDefaultMachineParams(d);
        d.machineIp = 0x0401A8C0;
        StoreMachineParams(d);
        g_machineParamsSaved = d;
        SetMessageSink(&Capture);
        g_lastMessage.clear();
    }
    ~ParamsOverLink() override { SetMessageSink(nullptr); }

    CScriptedPort usb, eth;
    CMyCommu commu{usb, eth};
    CCountingClock clock;
};

TEST_F(ParamsOverLink, FailedReadChangesNothing)
{
    const MachineParams before = SnapshotMachineParams();
    usb.replies.push_back(std::vector<uint8_t>(57, 0xAB));  // one byte short
    EXPECT_EQ(ReadMachineParams(commu), -1);
    usb.replies.push_back(std::vector<uint8_t>(59, 0xAB));  // one byte long
    EXPECT_EQ(ReadMachineParams(commu), -1);
    const MachineParams after = SnapshotMachineParams();
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
    EXPECT_EQ(std::memcmp(&before, &g_machineParamsSaved, sizeof before), 0);
}

TEST_F(ParamsOverLink, FailedWriteStillUpdatesSavedAndTellsTheOperator)
{
    MachineParams edited = SnapshotMachineParams();
    edited.cutSpeed = 5;
    StoreMachineParams(edited);
    usb.writeResults.push_back(-1);
    EXPECT_EQ(WriteMachineParams(commu, clock), -1);
    // The sink gets both texts; the program's sink picks by the language slot.
    EXPECT_EQ(g_lastKey, "SaveParamsFailed");
    EXPECT_EQ(g_lastMessage, u"保存参数失败!|Failed To Save Parameter!");
    EXPECT_EQ(g_machineParamsSaved.cutSpeed, 5);
    EXPECT_EQ(clock.slept, 300);

    g_lastMessage.clear();
    EXPECT_EQ(WriteMachineParams(commu, clock), -1);  // no reply at all
    EXPECT_EQ(g_lastMessage, u"保存参数失败!|Failed To Save Parameter!");
    EXPECT_EQ(clock.slept, 600);

    g_lastMessage.clear();
    usb.replies.push_back({1});
    EXPECT_EQ(WriteMachineParams(commu, clock), 0);
    EXPECT_TRUE(g_lastMessage.empty());
}

// A dialog storing the block while the link writes it: every block that goes
// out is one of the two whole blocks, never a mix.
TEST_F(ParamsOverLink, WrittenBlockIsNeverTorn)
{
    MachineParams a{}, b{};
    std::memset(&a, 0x11, sizeof a);
    std::memset(&b, 0xEE, sizeof b);
    StoreMachineParams(a);
    std::atomic<bool> stop{false};
    std::thread editor([&] {
        for (int i = 0; !stop; ++i) StoreMachineParams(i % 2 ? a : b);
    });
    for (int i = 0; i < 300; ++i) {
        usb.replies.push_back({1});
        WriteMachineParams(commu, clock);
    }
    stop = true;
    editor.join();
    ASSERT_EQ(usb.frames.size(), 300u);
    for (const auto& f : usb.frames) {
        ASSERT_EQ(f.size(), 60u);
        const bool isA = std::memcmp(f.data() + 2, &a, 56) == 0;
        const bool isB = std::memcmp(f.data() + 2, &b, 56) == 0;
        ASSERT_TRUE(isA || isB);
    }
}

}  // namespace
