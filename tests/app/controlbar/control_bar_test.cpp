// Guards: a control bar that enables, sends or stops jogs other than the machine state says, or drops a stop.
#include <gtest/gtest.h>

#include <memory>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "app/controlbar/BarControls.h"
#include "app/controlbar/BarIcons.h"
#include "app/controlbar/ControlBar.h"
#include "jobs/OrlatCenterDoc.h"
#include "model/Page.h"
#include "tests/app/controlbar/BarFixture.h"
#include "widgets/ButtonNolt.h"

namespace {

using Codes = std::vector<int>;

class ControlBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        KeyQueueClear();
        moment.Apply();
        bar = std::make_unique<CMyDlgBar>();
        bar->SetJobSource([this] { return Pages(); }, [this] { return jobRunning; });
        bar->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(bar.get()));
        bar->activateWindow();
        bar->Timer()->stop();  // the tests say when the bar looks again
        bar->Refresh();
        KeyQueueClear();
    }
    void TearDown() override
    {
        bar.reset();
        KeyQueueClear();
        BarMoment().Apply();
    }

    // A new machine moment, seen by the bar at its next tick.
    void Tick(const BarMoment& m)
    {
        moment = m;
        moment.Apply();
        bar->Refresh();
    }
    BarMoment With(uint8_t status) const
    {
        BarMoment m = moment;
        m.status = status;
        return m;
    }

    CButtonNolt* B(int id) const { return bar->Button(id); }
    void Press(int id) { QTest::mousePress(B(id), Qt::LeftButton, {}, B(id)->rect().center()); }
    void Release(int id) { QTest::mouseRelease(B(id), Qt::LeftButton, {}, B(id)->rect().center()); }
    void Click(int id) { QTest::mouseClick(B(id), Qt::LeftButton, {}, B(id)->rect().center()); }

    std::vector<COnePage*> Pages()
    {
        std::vector<COnePage*> v;
        for (auto& p : jobs) v.push_back(p.get());
        return v;
    }
    void AddJob(int32_t state)
    {
        jobs.push_back(std::make_unique<COnePage>());
        jobs.back()->m_state = state;
    }

    BarMoment moment;
    std::unique_ptr<CMyDlgBar> bar;
    std::vector<std::unique_ptr<COnePage>> jobs;
    bool jobRunning = false;
};

TEST_F(ControlBarTest, ShowsTheMachineAndEnablesByState)
{
    BarMoment m;
    m.status = 3;
    m.count = 8;
    m.stepped = 2;
    m.headSelect = 1;
    Tick(m);
    EXPECT_EQ(bar->StateField()->text(), QStringLiteral("工作中...完成25.0%\n"));
    EXPECT_EQ(bar->WarningField()->text(), QStringLiteral("警告：只有一个墨盒被选中"));
    EXPECT_TRUE(bar->WarningMarked());
    EXPECT_EQ(bar->WarningField()->palette().color(QPalette::Window), QColor(255, 255, 0));
    EXPECT_TRUE(B(BarControl::Pause)->isEnabled());
    for (int id : {BarControl::Start, BarControl::Delete, BarControl::Clean, BarControl::Knife, BarControl::Fan,
                   BarControl::JogUp, BarControl::JogLeft})
        EXPECT_FALSE(B(id)->isEnabled()) << id;
    EXPECT_TRUE(bar->AutoOfflineBox()->isEnabled());

    // The job is over: the warning stays, its yellow goes.
    m.status = 1;
    m.position = 800;
    m.language = 1;
    Tick(m);
    EXPECT_EQ(bar->StateField()->text(), QStringLiteral("Ready  Pos:20.00mm"));
    EXPECT_EQ(bar->WarningField()->text(), QStringLiteral("警告：只有一个墨盒被选中"));
    EXPECT_FALSE(bar->WarningMarked());
    EXPECT_NE(bar->WarningField()->palette().color(QPalette::Window), QColor(255, 255, 0));
    for (int id : {BarControl::Start, BarControl::Clean, BarControl::Knife, BarControl::Fan, BarControl::JogUp})
        EXPECT_TRUE(B(id)->isEnabled()) << id;
    EXPECT_FALSE(B(BarControl::Pause)->isEnabled());

    // Automatic offline, link down: start stays, the rest follow the state.
    m.status = 0;
    m.link = 0;
    m.autoOffline = 1;
    Tick(m);
    EXPECT_EQ(bar->StateField()->text(), QStringLiteral("Offline"));
    EXPECT_TRUE(B(BarControl::Start)->isEnabled());
    EXPECT_FALSE(B(BarControl::JogUp)->isEnabled());
    EXPECT_FALSE(B(BarControl::Clean)->isEnabled());
}

TEST_F(ControlBarTest, TimerAndAutoOffline)
{
    EXPECT_TRUE(CMyDlgBar(nullptr).Timer()->isActive());
    EXPECT_EQ(bar->Timer()->interval(), 500);
    theSettings.Set(Slot::AutoOffline, 1);
    EXPECT_TRUE(CMyDlgBar(nullptr).AutoOfflineBox()->isChecked()) << "taken from the setting at set-up";
    theSettings.Set(Slot::AutoOffline, 0);
    const QPoint box(6, bar->AutoOfflineBox()->height() / 2);  // on the indicator
    QTest::mouseClick(bar->AutoOfflineBox(), Qt::LeftButton, {}, box);
    EXPECT_EQ(theSettings.Get(Slot::AutoOffline), 1);
    QTest::mouseClick(bar->AutoOfflineBox(), Qt::LeftButton, {}, box);
    EXPECT_EQ(theSettings.Get(Slot::AutoOffline), 0);
    EXPECT_TRUE(DrainKeyQueue().empty());
}

TEST_F(ControlBarTest, HoldSequences)
{
    Press(BarControl::JogUp);
    EXPECT_EQ(DrainKeyQueue(), (Codes{1})) << "queued at once";
    Release(BarControl::JogUp);
    EXPECT_EQ(DrainKeyQueue(), (Codes{0}));

    Press(BarControl::Start);
    EXPECT_TRUE(DrainKeyQueue().empty());
    Release(BarControl::Start);
    EXPECT_EQ(DrainKeyQueue(), (Codes{0}));

    // A double click: press, release, the double-click press, release.
    Click(BarControl::JogRight);
    QTest::mouseDClick(B(BarControl::JogRight), Qt::LeftButton, {}, B(BarControl::JogRight)->rect().center());
    Release(BarControl::JogRight);
    EXPECT_EQ(DrainKeyQueue(), (Codes{4, 0, 4, 0}));

    Tick(With(3));
    Click(BarControl::Pause);
    EXPECT_EQ(DrainKeyQueue(), (Codes{0, 13})) << "the release's stop comes before the click's code";
}

TEST_F(ControlBarTest, EachWayAHoldEndsGivesOneStop)
{
    // Disabled by the enable rules: the state changed mid-jog.
    Press(BarControl::JogRight);
    Tick(With(3));
    EXPECT_FALSE(B(BarControl::JogRight)->isEnabled());
    EXPECT_EQ(DrainKeyQueue(), (Codes{4, 0})) << "stopped before the release";
    Release(BarControl::JogRight);
    EXPECT_TRUE(DrainKeyQueue().empty());
    Tick(With(1));

    // The bar hidden.
    Press(BarControl::JogLeft);
    bar->hide();
    EXPECT_EQ(DrainKeyQueue(), (Codes{3, 0})) << "stopped before the release";
    Release(BarControl::JogLeft);
    EXPECT_TRUE(DrainKeyQueue().empty());
    bar->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(bar.get()));
    bar->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(bar.get()));

    // A modal box opened while the button is held.
    Press(BarControl::JogDown);
    {
        QDialog box;
        box.setModal(true);
        box.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
        QApplication::processEvents();
        box.hide();
    }
    EXPECT_EQ(DrainKeyQueue(), (Codes{2, 0})) << "stopped before the release";
    Release(BarControl::JogDown);
    EXPECT_TRUE(DrainKeyQueue().empty());
    bar->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(bar.get()));

    // Another window taking the activation.
    Press(BarControl::JogUp);
    {
        QWidget other;
        other.show();
        other.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    }
    EXPECT_EQ(DrainKeyQueue(), (Codes{1, 0})) << "stopped before the release";
    Release(BarControl::JogUp);
    EXPECT_TRUE(DrainKeyQueue().empty());
}

TEST_F(ControlBarTest, AFullQueueStillTakesTheStop)
{
    Press(BarControl::JogUp);
    for (int i = 0; i < 4; ++i) KeyQueuePush(7);
    EXPECT_EQ(KeyQueueFree(), 0);
    Release(BarControl::JogUp);
    EXPECT_EQ(DrainKeyQueue(), (Codes{1, 7, 7, 7, 7, 0}));
}

TEST_F(ControlBarTest, TogglesShowOnlyWhatWasSent)
{
    Click(BarControl::Knife);
    EXPECT_TRUE(B(BarControl::Knife)->GetCheckValue());
    Click(BarControl::Knife);
    EXPECT_FALSE(B(BarControl::Knife)->GetCheckValue());
    EXPECT_EQ(DrainKeyQueue(), (Codes{0, 8, 0, 9}));
    Click(BarControl::Fan);
    EXPECT_TRUE(B(BarControl::Fan)->GetCheckValue());
    EXPECT_EQ(DrainKeyQueue(), (Codes{0, 5}));

    // The state changed after the last tick: the click does not act.
    moment.status = 3;
    moment.Apply();
    ASSERT_TRUE(B(BarControl::Fan)->isEnabled());
    Click(BarControl::Fan);
    EXPECT_TRUE(B(BarControl::Fan)->GetCheckValue()) << "back to on: no off was sent";
    EXPECT_EQ(DrainKeyQueue(), (Codes{0}));

    // A full queue refuses the code.
    Tick(With(1));
    for (int i = 0; i < 5; ++i) KeyQueuePush(7);
    Click(BarControl::Knife);
    EXPECT_FALSE(B(BarControl::Knife)->GetCheckValue());
    EXPECT_EQ(DrainKeyQueue(), (Codes{7, 7, 7, 7, 7, 0}));
}

TEST_F(ControlBarTest, ButtonsActOnlyInTheirState)
{
    Click(BarControl::Clean);
    Tick(With(4));
    Click(BarControl::Delete);
    EXPECT_EQ(DrainKeyQueue(), (Codes{0, 7, 0, 11}));
    // Enabled a tick ago, but the machine has moved on.
    moment.status = 1;
    moment.Apply();
    Click(BarControl::Delete);
    EXPECT_EQ(DrainKeyQueue(), (Codes{0}));
}

TEST_F(ControlBarTest, StartTurnsTheFirstManualJobAuto)
{
    // The program's own source: the document's job list.
    COrlatCenterDoc doc;
    for (int32_t st : {JobState::Done, JobState::Manual, JobState::Manual}) {
        doc.m_pages.push_back(std::make_unique<COnePage>());
        doc.m_pages.back()->m_state = st;
    }
    bar->SetJobSource(nullptr, [this] { return jobRunning; });
    QSignalSpy changed(bar.get(), &CMyDlgBar::jobListChanged);
    Click(BarControl::Start);
    EXPECT_EQ(doc.m_pages[0]->m_state, JobState::Done);
    EXPECT_EQ(doc.m_pages[1]->m_state, JobState::Auto);
    EXPECT_EQ(doc.m_pages[2]->m_state, JobState::Manual);
    EXPECT_EQ(changed.count(), 1);
    Click(BarControl::Start);
    EXPECT_EQ(doc.m_pages[2]->m_state, JobState::Manual);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(DrainKeyQueue(), (Codes{0, 0}));
}

TEST_F(ControlBarTest, StartResumesAPausedJob)
{
    AddJob(JobState::Printing);
    AddJob(JobState::Manual);
    jobRunning = true;
    Tick(With(3));
    Tick(With(4));
    Click(BarControl::Start);
    EXPECT_EQ(DrainKeyQueue(), (Codes{0, 12}));
    EXPECT_EQ(jobs[1]->m_state, JobState::Manual);
}

}  // namespace

namespace {

TEST(BarIcons, EveryIdHasItsOwnPicture)
{
    const int ids[] = {180, 181, 182, 183, 184, 185, 186, 187, 191, 192, 193, 194};
    std::vector<QImage> seen;
    for (int id : ids) {
        const QPixmap pm = BarIcon(id);
        ASSERT_FALSE(pm.isNull()) << id;
        const QImage img = pm.toImage();
        for (const QImage& other : seen) EXPECT_NE(img, other) << id;
        seen.push_back(img);
    }
    EXPECT_TRUE(BarIcon(188).isNull());
}

}  // namespace
