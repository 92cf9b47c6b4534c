// Guards: command frames with wrong lengths or codes, payloads that overrun, machine states or the parameter block misread.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "link/LinkCommand.h"
#include "link/LinkFrame.h"
#include "link/LinkState.h"
#include "link/ParamsLink.h"

TEST(LinkFrame, BuildsLengthCodePayload)
{
    FrameBuffer f;
    EXPECT_EQ(BuildFrame(58, nullptr, 0, f), 2);
    EXPECT_EQ(f[0], 2);
    EXPECT_EQ(f[1], 58);

    uint8_t payload[8];
    PutInt32(payload, 123456789);
    PutInt32(payload + 4, -2);
    ASSERT_EQ(BuildFrame(16, payload, 8, f), 10);
    const std::vector<uint8_t> want{10, 16, 0x15, 0xCD, 0x5B, 0x07, 0xFE, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(std::vector<uint8_t>(f.begin(), f.begin() + 10), want);
    EXPECT_EQ(GetInt32(payload + 4), -2);
}

TEST(LinkFrame, RefusesPayloadsThatDoNotFit)
{
    FrameBuffer f;
    uint8_t big[63] = {};
    EXPECT_EQ(BuildFrame(27, big, 62, f), 64);
    EXPECT_EQ(BuildFrame(27, big, 63, f), -1);
    EXPECT_EQ(BuildFrame(27, big, -1, f), -1);
    EXPECT_EQ(BuildFrame(27, nullptr, 4, f), -1);
}

TEST(MachineStateOf, LowNibbleWithHighStatesDisconnected)
{
    EXPECT_EQ(MachineStateOf(0x13), MachineState::Plotting);
    EXPECT_EQ(MachineStateOf(0x07), MachineState::SeekZero);
    for (int s = 8; s < 16; ++s) EXPECT_EQ(MachineStateOf(uint8_t(0xA0 | s)), MachineState::Disconnected);
}

TEST(ParamsWire, FiftySixBytesThenTwoZeros)
{
    MachineParams p{};
    FillDefaultMachineParams(p);
    p.machineIp = 0x0401A8C0;
    p.cutMode = 1;
    const ParamsWire w = EncodeMachineParams(p);
    EXPECT_EQ(std::memcmp(w.data(), &p, 56), 0);
    EXPECT_EQ(w[16], 0xC0);  // first octet in the low byte
    EXPECT_EQ(w[20], 0x10);  // outputPerMeterX 10000 little-endian
    EXPECT_EQ(w[21], 0x27);
    EXPECT_EQ(w[56], 0);
    EXPECT_EQ(w[57], 0);
    ParamsWire back = w;
    back[56] = 0xEE;
    back[57] = 0xFF;
    const MachineParams q = DecodeMachineParams(back);
    EXPECT_EQ(std::memcmp(&q, &p, sizeof p), 0);
}
