// Guards: USB transfers with wrong frames, reply lengths or endpoints, replugs not found, rescans that never stop, other devices taken.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "link/LinkState.h"
#include "link/MyCommu.h"
#include "link/MyEth.h"
#include "link/MyUSB.h"
#include "link/ParamsLink.h"
#include "model/Settings.h"
#include "tests/link/support/UsbDouble.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The USB transport against the libusb double. The device is plugged and
// listed before the transport is built, so its first scan reports one change.
class UsbLink : public ::testing::Test {
protected:
    UsbLink()
    {
        UsbDouble::Reset();
        UsbDouble::Plug();
        theSettings.Set(Slot::ConnectViaEth, 0);
        MachineStatus = 0;
    }
    ~UsbLink() override { UsbDouble::Reset(); }
    UsbDouble::Stats& Rec() { return UsbDouble::Record(); }

    CMyUSB usb;
    CMyEth eth;
    CMyCommu commu{usb, eth};
};

TEST_F(UsbLink, ShortCommandIsTwoTransfersEachOpeningTheDevice)
{
    UsbDouble::QueueReply({3});
    ASSERT_EQ(commu.SendShortCommand(58), 0);
    EXPECT_EQ(MachineStatus.load(), 3);
    ASSERT_EQ(Rec().writes.size(), 1u);
    EXPECT_EQ(Rec().writes[0].endpoint, 0x02);
    EXPECT_EQ(Rec().writes[0].bytes, (Bytes{2, 58}));
    EXPECT_EQ(Rec().writes[0].timeoutMs, 50);
    EXPECT_EQ(Rec().readSizes, (std::vector<int>{64}));
    EXPECT_EQ(Rec().readEndpoints, (std::vector<int>{0x81}));
    EXPECT_EQ(Rec().readTimeouts, (std::vector<int>{1000}));
    EXPECT_EQ(Rec().opens, 2);
    EXPECT_EQ(Rec().claims, 2);
    EXPECT_EQ(Rec().releases, 2);
    EXPECT_EQ(Rec().closes, 2);
    EXPECT_FALSE(UsbDouble::HandleOpen());
}

TEST_F(UsbLink, CommandAsksExactlyItsReplyLength)
{
    Bytes block(58);
    for (size_t i = 0; i < block.size(); ++i) block[i] = uint8_t(i + 1);
    UsbDouble::QueueReply(block);
    ASSERT_EQ(ReadMachineParams(commu), 0);
    EXPECT_EQ(Rec().writes[0].bytes, (Bytes{3, 26, 58}));
    EXPECT_EQ(Rec().readSizes, (std::vector<int>{58}));
    const MachineParams p = SnapshotMachineParams();
    EXPECT_EQ(std::memcmp(&p, block.data(), 56), 0);
    EXPECT_EQ(MachineStatus.load(), 0) << "a 58-byte reply is not a status";
}

TEST_F(UsbLink, FailureCodes)
{
    struct Case {
        const char* name;
        void (*script)();
        int shortResult;
    };
    const Case cases[] = {
        {"no device", [] { UsbDouble::Unplug(); }, -1},
        {"claim fails", [] { UsbDouble::SetClaimResult(-16); }, -1},
        {"short write", [] { UsbDouble::QueueWriteResult(1); }, -1},
        {"write error", [] { UsbDouble::QueueWriteResult(-110); }, -1},
        {"read times out", [] { UsbDouble::QueueReadError(-110); }, -2},
        {"empty reply", [] { UsbDouble::QueueReply({}); }, -2},
        {"two-byte reply", [] { UsbDouble::QueueReply({1, 1}); }, -2},
        {"read claims more than asked", [] { UsbDouble::QueueRawRead({1}, 500); }, -2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UsbDouble::Reset();
        UsbDouble::Plug();
        UsbDouble::ListNow();
        c.script();
        MachineStatus = 9;
        EXPECT_EQ(commu.SendShortCommand(58), c.shortResult);
        EXPECT_EQ(MachineStatus.load(), 9);
        EXPECT_FALSE(UsbDouble::HandleOpen());
    }
    // A command's wrong reply length is -1.
    UsbDouble::Reset();
    UsbDouble::Plug();
    UsbDouble::ListNow();
    UsbDouble::QueueReply({1, 2, 3});
    const uint8_t four = 4;
    uint8_t reply[4] = {};
    EXPECT_EQ(commu.SendCommand(19, 1, &four, 4, reply), -1);
    UsbDouble::QueueRawRead({1, 2, 3, 4}, 300);
    EXPECT_EQ(commu.SendCommand(19, 1, &four, 4, reply), -1);
}

TEST_F(UsbLink, JobDataIsOneBulkWriteOnTheDataEndpoint)
{
    std::vector<uint16_t> words(3000, 0x1234);
    EXPECT_EQ(commu.SendData(words.data(), 6000), 6000);
    ASSERT_EQ(Rec().writes.size(), 1u);
    EXPECT_EQ(Rec().writes[0].endpoint, 0x03);
    EXPECT_EQ(Rec().writes[0].timeoutMs, 1000);
    EXPECT_EQ(Rec().writes[0].bytes.size(), 6000u);
    EXPECT_TRUE(Rec().readSizes.empty()) << "no reply over USB";
    UsbDouble::QueueWriteResult(512);
    EXPECT_EQ(commu.SendData(words.data(), 6000), 512);
    UsbDouble::Unplug();
    EXPECT_EQ(commu.SendData(words.data(), 6000), -1);
}

TEST_F(UsbLink, ReplugIsFoundOnlyByARescan)
{
    // The first scan reported one change: no rescan, so a replugged device
    // (a new device to the bus) stays out of reach.
    UsbDouble::QueueReply({1});
    ASSERT_EQ(commu.SendShortCommand(58), 0);
    UsbDouble::Unplug();
    UsbDouble::Plug();
    EXPECT_EQ(commu.SendShortCommand(58), -1);
    EXPECT_EQ(Rec().findDevices, 1);

    // A transport whose scan reported anything but one rescans at each open.
    UsbDouble::Reset();
    UsbDouble::SetFindDevicesResult(0);
    CMyUSB rescanning;
    CMyCommu other(rescanning, eth);
    UsbDouble::Plug();
    UsbDouble::QueueReply({1});
    EXPECT_EQ(other.SendShortCommand(58), 0);
    EXPECT_EQ(Rec().findDevices, 3);  // the constructor, then one per transfer
}

TEST_F(UsbLink, RescansStopOnceAScanReportsOneChange)
{
    // Built with nothing on the bus: its scan saw no change, so opens rescan.
    UsbDouble::Reset();
    CMyUSB late;
    CMyCommu other(late, eth);
    EXPECT_EQ(other.SendShortCommand(58), -1);
    EXPECT_EQ(Rec().findDevices, 2);
    // Plugged in: the next rescan lists it (one change) and finds it...
    UsbDouble::Plug();
    UsbDouble::QueueReply({1});
    ASSERT_EQ(other.SendShortCommand(58), 0);
    EXPECT_EQ(Rec().findDevices, 3);
    // ...and no transfer rescans after that, so a replug is out of reach.
    UsbDouble::QueueReply({1});
    ASSERT_EQ(other.SendShortCommand(58), 0);
    EXPECT_EQ(Rec().findDevices, 3);
    UsbDouble::Unplug();
    UsbDouble::Plug();
    EXPECT_EQ(other.SendShortCommand(58), -1);
    EXPECT_EQ(Rec().findDevices, 3);
}

// Each command's frame on the command endpoint, and a read of exactly its
// reply length; only a one-byte reply is a status.
TEST_F(UsbLink, CommandFramesAndReplyLengths)
{
    struct Case {
        uint8_t code;
        Bytes payload;
        Bytes reply;
    };
    const Case cases[] = {
        {16, {1, 2, 3, 4, 5, 6, 7, 8}, {3}},
        {17, {9, 0, 0, 0, 1, 1}, {4}},
        {18, {44, 1, 0, 0}, {3}},
        {19, {4}, {0x10, 0x20, 0x30, 0x40}},
        {27, Bytes(58, 0x5A), {1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.code));
        UsbDouble::Reset();
        UsbDouble::Plug();
        UsbDouble::ListNow();
        UsbDouble::QueueReply(c.reply);
        MachineStatus = 9;
        Bytes got(c.reply.size());
        ASSERT_EQ(commu.SendCommand(c.code, uint8_t(c.payload.size()), c.payload.data(), uint8_t(c.reply.size()),
                                    got.data()),
                  0);
        Bytes frame{uint8_t(c.payload.size() + 2), c.code};
        frame.insert(frame.end(), c.payload.begin(), c.payload.end());
        ASSERT_EQ(Rec().writes.size(), 1u);
        EXPECT_EQ(Rec().writes[0].endpoint, 0x02);
        EXPECT_EQ(Rec().writes[0].bytes, frame);
        EXPECT_EQ(Rec().readSizes, (std::vector<int>{int(c.reply.size())}));
        EXPECT_EQ(got, c.reply);
        EXPECT_EQ(MachineStatus.load(), c.reply.size() == 1 ? c.reply[0] : 9);
    }
}

TEST_F(UsbLink, OtherDevicesAreIgnored)
{
    UsbDouble::Reset();
    UsbDouble::Plug(0x1234, 0x0505);
    UsbDouble::ListNow();
    EXPECT_EQ(usb.FindDevice(), nullptr);
    EXPECT_EQ(usb.OpenDevice(), -1);
}

}  // namespace
