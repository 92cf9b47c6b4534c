// Guards: settings confirmed with OK that the simulated machine never receives, or receives wrong.
#include <QLineEdit>

#include <cstring>
#include <mutex>
#include <thread>

#include "app/dialogs/DlgPara.h"
#include "app/dialogs/IpAddressEdit.h"
#include "tests/app/dialogs/LinkedDialogFixture.h"

namespace {
using namespace ParaIds;

constexpr uint32_t kLoopback2 = 0x0200007F;  // 127.0.0.2

class LinkedDialog : public LinkedDialogTest {
protected:
    void SetUp() override
    {
        LinkedDialogTest::SetUp();
        if (HasFatalFailure()) return;
        sim.WithMachine([](CSimMachine& m) { m.params.cutSpeed = 5; });
    }
    void TearDown() override
    {
        StopLink();
        second.Stop();
        LinkedDialogTest::TearDown();
    }
    static int Reads(CMachineSim& m)
    {
        int n = 0;
        for (const SimUnit& u : m.Received()) n += !u.chunk && u.bytes.size() >= 2 && u.bytes[1] == 26;
        return n;
    }
    static bool Up() { return WaitFor([] { return LinkConnected.load() == 1; }); }

    CMachineSim second;
};

TEST_F(LinkedDialog, OkOnlineSendsTheEditedFieldsAndTheRestAsRead)
{
    StartLink();
    ASSERT_TRUE(Up());
    ASSERT_EQ(Live().head2Position, 180);
    CDlgPara d;
    Type(d.Edit(Head2Position), "200");
    Type(d.Edit(HalfKnifeLengthX), "2.3");
    QTest::mouseClick(d.Control(1), Qt::LeftButton);
    ASSERT_EQ(d.result(), QDialog::Accepted);
    ASSERT_TRUE(WaitFor([&] { return !Writes(sim).empty(); }));
    const MachineParams w = Writes(sim).front();
    EXPECT_EQ(w.head2Position, 200);
    EXPECT_EQ(w.halfKnifeLengthX, 23);
    EXPECT_EQ(w.cutSpeed, 5) << "as read from the machine";
    EXPECT_EQ(w.machineIp, kLoopback1);
    EXPECT_EQ(sim.WithMachine([](CSimMachine& m) { return m.params.head2Position; }), 200);
    EXPECT_TRUE(SameBlock(Saved(), Live()));
    EXPECT_TRUE(shown.empty());
}

TEST_F(LinkedDialog, FullQueueSendsNothingAndChangesNothing)
{
    StartLink();
    ASSERT_TRUE(Up());
    const MachineParams block = Live();
    {
        // The link thread waits for the lock before its next pass: the queue stays full.
        std::lock_guard<std::mutex> hold(g_linkOwnerLock);
        for (int i = 0; i < CKeyQueue::kSlots; ++i) ASSERT_EQ(KeyQueuePush(6), 0);
        CDlgPara d;
        Type(d.Edit(Head2Position), "201");
        QTest::mouseClick(d.Control(1), Qt::LeftButton);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_NE(d.result(), QDialog::Accepted);
        EXPECT_TRUE(SameBlock(Live(), block));
        KeyQueueClear();
    }
    QTest::qWait(400);
    EXPECT_TRUE(Writes(sim).empty());
    EXPECT_EQ(sim.WithMachine([](CSimMachine& m) { return m.params.head2Position; }), 180);
}

TEST_F(LinkedDialog, OpenedOfflineThenLinkUpWritesNoDefaults)
{
    SimFaults refuse;
    refuse.refuse = true;
    sim.SetFaults(refuse);
    StartLink();
    QTest::qWait(350);
    ASSERT_EQ(LinkConnected.load(), 0);
    CDlgPara d;
    EXPECT_EQ(d.Edit(Head2Position)->text(), "145") << "the defaults, disabled";
    EXPECT_FALSE(d.Edit(Head2Position)->isEnabled());
    sim.SetFaults({});
    ASSERT_TRUE(Up());
    Type(d.Edit(DxfUnit), "10");
    QTest::mouseClick(d.Control(1), Qt::LeftButton);
    ASSERT_EQ(d.result(), QDialog::Accepted);
    ASSERT_TRUE(WaitFor([&] { return !Writes(sim).empty(); }));
    const MachineParams w = Writes(sim).front();
    EXPECT_EQ(w.head2Position, 180);
    EXPECT_EQ(w.cutSpeed, 5);
    EXPECT_EQ(w.machineIp, kLoopback1);
    EXPECT_EQ(theSettings.Get(Slot::DxfUnit), 10);
}

TEST_F(LinkedDialog, NewAddressIsWrittenToTheOldOneAndUsedAfterTheLinkDrops)
{
    ASSERT_EQ(second.Start(sim.Port(), 0x7F000002), sim.Port());
    second.SetLogToStderr(false);
    second.WithMachine([](CSimMachine& m) { m.params.machineIp = kLoopback2; });
    StartLink();
    ASSERT_TRUE(Up());
    CDlgPara d;
    Type(d.Address()->Field(3), "2");
    QTest::mouseClick(d.Control(1), Qt::LeftButton);
    ASSERT_EQ(d.result(), QDialog::Accepted);
    ASSERT_TRUE(WaitFor([&] { return !Writes(sim).empty(); }));
    EXPECT_EQ(Writes(sim).front().machineIp, kLoopback2) << "the old address carries the new one";
    EXPECT_TRUE(shown.empty());
    QTest::qWait(300);
    EXPECT_EQ(second.Received().size(), 0u) << "nothing goes to the new address while the link is up";

    sim.Stop();  // the machine restarts on its new address
    ASSERT_TRUE(WaitFor([&] { return Reads(second) > 0 && LinkConnected.load() == 1; }));
    EXPECT_EQ(Live().machineIp, kLoopback2);
}
}  // namespace
