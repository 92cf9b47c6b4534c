// Guards the advanced dialog against showing restored defaults it then does not store (the locked gear ratios), so screen and machine disagree.
#include <QLineEdit>
#include <QTest>

#include "app/dialogs/DlgGetPwd.h"
#include "app/dialogs/DlgPara.h"
#include "app/dialogs/DlgProtectPara.h"
#include "tests/app/dialogs/DialogFixture.h"

namespace {
using namespace ProtectIds;

class ProtectDefaults : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        // A machine whose every advanced value differs from the defaults.
        UpdateMachineParams([](MachineParams& p) {
            p.pulsesPerMmX = 55.123456789;
            p.pulsesPerMmY = 33.3;
            p.head1ColumnGap = 21;
            p.head2ColumnGap = 22;
            p.inkAccelMm = 90;
            p.inkIntervalPulses = 3;
            p.boardVersion = 0;
            p.bandsPerCutSegment = 12;
            p.inkCutOverlapX = 11;
            p.inkCutOverlapY = 12;
            p.angleComp = 13;
        });
        theSettings.Set(Slot::BiDirPlot, 0);
        ::InkBox2Left = 1;
    }
    static void ExpectDefaultsStored()
    {
        const MachineParams p = Live();
        EXPECT_EQ(p.pulsesPerMmX, 60.5);
        EXPECT_EQ(p.pulsesPerMmY, 41.36);
        EXPECT_EQ(p.head1ColumnGap, 25);
        EXPECT_EQ(p.head2ColumnGap, 25);
        EXPECT_EQ(p.inkAccelMm, 60);
        EXPECT_EQ(p.inkIntervalPulses, 7);
        EXPECT_EQ(p.boardVersion, 2);
        EXPECT_EQ(p.bandsPerCutSegment, 8);
        EXPECT_EQ(p.inkCutOverlapX, 50);
        EXPECT_EQ(p.inkCutOverlapY, 50);
        EXPECT_EQ(p.angleComp, 5);
        EXPECT_EQ(theSettings.Get(Slot::BiDirPlot), 1);
        EXPECT_EQ(::InkBox2Left.load(), 0);
    }
};

// "恢复默认" with the gear ratios still locked, then OK: every default the
// dialog shows is in the block, the two gear ratios too.
TEST_F(ProtectDefaults, RestoredDefaultsAreStoredWithTheGearRatiosLocked)
{
    CDlgProtectPara d;
    d.show();
    QTest::mouseClick(d.Control(Defaults), Qt::LeftButton);
    ASSERT_FALSE(d.Edit(PulsesX)->isEnabled());
    ASSERT_FALSE(d.Edit(PulsesY)->isEnabled());
    EXPECT_EQ(d.Edit(PulsesX)->text(), "60.5");
    EXPECT_EQ(d.Edit(PulsesY)->text(), "41.36");
    QTest::mouseClick(d.Control(1), Qt::LeftButton);
    ASSERT_EQ(d.result(), QDialog::Accepted);
    ExpectDefaultsStored();
    // Opened again, it shows what the block holds.
    CDlgProtectPara again;
    EXPECT_EQ(again.Edit(PulsesX)->text(), "60.5");
    EXPECT_EQ(again.Edit(PulsesY)->text(), "41.36");
}

// Locked and untouched, a gear ratio keeps every digit the machine gave,
// whatever the edit's text rounds it to.
TEST_F(ProtectDefaults, UntouchedLockedGearRatiosKeepTheirExactValue)
{
    CDlgProtectPara d;
    d.show();
    QTest::mouseClick(d.Control(1), Qt::LeftButton);
    ASSERT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(Live().pulsesPerMmX, 55.123456789);
    EXPECT_EQ(Live().pulsesPerMmY, 33.3);
}

// The whole road while connected: settings dialog, code, advanced dialog,
// defaults, OK, OK: the queued write carries what the operator saw.
TEST_F(ProtectDefaults, TheQueuedWriteCarriesTheShownDefaults)
{
    OnNextModal<CDlgGetPwd>([](CDlgGetPwd* pwd) {
        QTest::keyClicks(pwd->Edit(), "WZQD");
        QTest::keyClick(pwd->Edit(), Qt::Key_Return);
    });
    OnNextModal<CDlgProtectPara>([](CDlgProtectPara* d) {
        QTest::mouseClick(d->Control(Defaults), Qt::LeftButton);
        QTest::mouseClick(d->Control(1), Qt::LeftButton);
    });
    CDlgPara para;
    para.show();
    QTest::mouseClick(para.Control(ParaIds::Advanced), Qt::LeftButton);
    QTest::mouseClick(para.Control(1), Qt::LeftButton);
    ASSERT_EQ(para.result(), QDialog::Accepted);
    EXPECT_EQ(KeyQueuePop(), 27);
    ExpectDefaultsStored();
}

}  // namespace
