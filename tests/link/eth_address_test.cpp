// Guards: the TCP link following a new machine address while it is up, or keeping the old one after it dropped.
//
// Which address the TCP transport connects to: the one the link came up on,
// while the link is up, whatever the block says meanwhile.
#include <gtest/gtest.h>

#include "link/LinkState.h"
#include "link/MyCommu.h"
#include "link/MyEth.h"
#include "link/MyUSB.h"
#include "model/MachineParams.h"
#include "model/Settings.h"
#include "tools/machine-sim/MachineSim.h"

namespace {
constexpr uint32_t kFirst = 0x0100007F;   // 127.0.0.1, first octet low
constexpr uint32_t kSecond = 0x0200007F;  // 127.0.0.2

TEST(EthAddress, KeptWhileTheLinkIsUpTakenAfreshOnceItDropped)
{
    CMachineSim one, two;
    one.SetLogToStderr(false);
    two.SetLogToStderr(false);
    const int port = one.Start(0);
    ASSERT_GT(port, 0);
    ASSERT_EQ(two.Start(port, 0x7F000002), port);
    const MachineParams before = SnapshotMachineParams();
    theEthOptions.port = port;
    theEthOptions.addressOverride = 0;
    theSettings.Set(Slot::ConnectViaEth, 1);
    CMyUSB usb;
    CMyEth eth;
    CMyCommu commu{usb, eth};

    LinkConnected = 0;
    UpdateMachineParams([](MachineParams& p) { p.machineIp = kFirst; });
    ASSERT_EQ(commu.SendShortCommand(58), 0);  // the link comes up on 127.0.0.1
    LinkConnected = 1;
    UpdateMachineParams([](MachineParams& p) { p.machineIp = kSecond; });
    ASSERT_EQ(commu.SendShortCommand(58), 0);
    EXPECT_EQ(one.Received().size(), 2u);
    EXPECT_TRUE(two.Received().empty());

    LinkConnected = 0;  // dropped: the next connect follows the block
    ASSERT_EQ(commu.SendShortCommand(58), 0);
    EXPECT_EQ(one.Received().size(), 2u);
    EXPECT_EQ(two.Received().size(), 1u);

    theSettings.Set(Slot::ConnectViaEth, 0);
    theEthOptions.port = 5188;
    StoreMachineParams(before);
}
}  // namespace
