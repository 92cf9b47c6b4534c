// Guards the settings dialog's Cancel against putting the old block back while the operator's earlier OK still waits in the queue, so the write sends the old values.
#include <QLineEdit>

#include <cstring>
#include <mutex>
#include <thread>

#include "app/dialogs/DlgGetPwd.h"
#include "app/dialogs/DlgPara.h"
#include "app/dialogs/DlgParaCancel.h"
#include "app/dialogs/DlgProtectPara.h"
#include "tests/app/dialogs/LinkedDialogFixture.h"

namespace {

using R = ParaCancelRestore;

TEST(ParaCancelDecision, WhereCancelGoesBack)
{
    const struct {
        const char* name;
        ParaCancelInputs in;  // connected now, opened online, 27 at opening, 27 now, saved changed
        R restore;
    } cases[] = {
        {"offline: nothing", {false, true, true, true, false}, R::Nothing},
        {"offline, nothing queued", {false, false, false, false, false}, R::Nothing},
        {"no write anywhere: the saved copy", {true, true, false, false, false}, R::Saved},
        {"opened offline, nothing queued", {true, false, false, false, true}, R::Saved},
        {"write waiting: the block as opened", {true, true, true, true, false}, R::Opening},
        {"write queued while open is not this dialog's: as opened", {true, true, false, true, false}, R::Opening},
        {"waiting, a read meanwhile: still as opened", {true, true, true, true, true}, R::Opening},
        {"popped, not yet in the saved copy: as opened", {true, true, true, false, false}, R::Opening},
        {"written meanwhile: the saved copy", {true, true, true, false, true}, R::Saved},
        {"opened offline, write waiting: nothing", {true, false, false, true, true}, R::Nothing},
    };
    for (const auto& c : cases) EXPECT_EQ(DecideParaCancel(c.in), c.restore) << c.name;
}

class CancelWithWriteQueued : public LinkedDialogTest {
protected:
    void SetUp() override
    {
        LinkedDialogTest::SetUp();
        if (HasFatalFailure()) return;
        sim.WithMachine([](CSimMachine& m) { m.params.inkAccelMm = 70; });
        StartLink();
        ASSERT_TRUE(WaitFor([] { return LinkConnected.load() == 1; }));
        ASSERT_EQ(Live().head2Position, 180);
    }
    void TearDown() override
    {
        if (owner.owns_lock()) owner.unlock();
        LinkedDialogTest::TearDown();
    }
    // A job owns the link: the queue is not served until it lets go.
    void HoldTheLink() { owner = std::unique_lock<std::mutex>(g_linkOwnerLock); }
    void LetGo() { owner.unlock(); }
    // OK with head 2 at 200: the write waits in the queue.
    void ConfirmHead2At200()
    {
        CDlgPara d;
        Type(d.Edit(ParaIds::Head2Position), "200");
        QTest::mouseClick(d.Control(1), Qt::LeftButton);
        ASSERT_EQ(d.result(), QDialog::Accepted);
        ASSERT_TRUE(KeyQueueHolds(27));
    }
    // The advanced dialog opened from d, ink acceleration 33, OK.
    static void AdvancedInkAccel33(CDlgPara& d)
    {
        OnNextModal<CDlgGetPwd>([](CDlgGetPwd* pwd) {
            QTest::keyClicks(pwd->Edit(), "QK");
            QTest::keyClick(pwd->Edit(), Qt::Key_Return);
        });
        OnNextModal<CDlgProtectPara>([](CDlgProtectPara* a) {
            Type(a->Edit(ProtectIds::InkAccel), "33");
            QTest::mouseClick(a->Control(1), Qt::LeftButton);
        });
        QTest::mouseClick(d.Control(ParaIds::Advanced), Qt::LeftButton);
    }

    std::unique_lock<std::mutex> owner;
};

// OK, then during the job the dialog again, an advanced edit, Cancel: the
// machine gets the confirmed values, without the cancelled edit.
TEST_F(CancelWithWriteQueued, TheConfirmedChangeReachesTheMachine)
{
    HoldTheLink();
    ConfirmHead2At200();
    {
        CDlgPara again;
        EXPECT_EQ(again.Edit(ParaIds::Head2Position)->text(), "200");
        AdvancedInkAccel33(again);
        ASSERT_EQ(Live().inkAccelMm, 33);
        QTest::mouseClick(again.Control(2), Qt::LeftButton);
        EXPECT_EQ(again.result(), QDialog::Rejected);
    }
    EXPECT_EQ(Live().head2Position, 200) << "the screen keeps what was confirmed";
    EXPECT_EQ(Live().inkAccelMm, 70) << "the cancelled edit is gone";
    LetGo();
    ASSERT_TRUE(WaitFor([&] { return !Writes().empty(); }));
    const MachineParams w = Writes().front();
    EXPECT_EQ(w.head2Position, 200);
    EXPECT_EQ(w.inkAccelMm, 70);
    EXPECT_EQ(sim.WithMachine([](CSimMachine& m) { return m.params.head2Position; }), 200);
    ASSERT_TRUE(WaitFor([] { return SameBlock(Saved(), Live()); }));

    // Once the write has gone, Cancel is the saved copy again.
    CDlgPara later;
    AdvancedInkAccel33(later);
    QTest::mouseClick(later.Control(2), Qt::LeftButton);
    EXPECT_TRUE(SameBlock(Live(), Saved()));
    EXPECT_EQ(Live().inkAccelMm, 70);
    EXPECT_EQ(Live().head2Position, 200);
}

// The write is served while the second dialog is open, after an advanced
// edit there: that write carried the edit, so Cancel goes back to the saved
// copy, which is what the machine has.
TEST_F(CancelWithWriteQueued, WrittenWhileOpenCancelAgreesWithTheMachine)
{
    HoldTheLink();
    ConfirmHead2At200();
    CDlgPara again;
    AdvancedInkAccel33(again);
    LetGo();
    ASSERT_TRUE(WaitFor([&] { return !Writes().empty(); }));
    ASSERT_TRUE(WaitFor([] { return !KeyQueueHolds(27) && SameBlock(Saved(), Live()); }));
    QTest::mouseClick(again.Control(2), Qt::LeftButton);
    const MachineParams machine = sim.WithMachine([](CSimMachine& m) { return m.params; });
    EXPECT_EQ(machine.head2Position, 200);
    EXPECT_EQ(machine.inkAccelMm, 33);
    EXPECT_EQ(Live().head2Position, 200);
    EXPECT_EQ(Live().inkAccelMm, 33);
    EXPECT_TRUE(SameBlock(Live(), Saved()));
}

}  // namespace
