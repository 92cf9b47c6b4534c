// Guards: control bar codes that do not reach the simulated machine, or reach it twice, through the real link thread.
#include <gtest/gtest.h>

#include <netinet/in.h>

#include <memory>
#include <thread>

#include <QLabel>
#include <QTest>

#include "app/controlbar/BarControls.h"
#include "app/controlbar/ControlBar.h"
#include "link/CommPoll.h"
#include "link/MyEth.h"
#include "tests/app/controlbar/BarFixture.h"
#include "tools/machine-sim/MachineSim.h"
#include "widgets/ButtonNolt.h"

namespace {

class ControlBarOnSim : public ::testing::Test {
protected:
    void SetUp() override
    {
        sim.SetLogToStderr(false);
        ASSERT_GT(sim.Start(0), 0);
        theEthOptions.port = sim.Port();
        theEthOptions.addressOverride = INADDR_LOOPBACK;
        theEthOptions.connectTimeoutMs = 300;
        theEthOptions.replyTimeoutMs = 300;
        BarMoment offline;
        offline.status = 0;
        offline.link = 0;
        offline.Apply();
        theSettings.Set(Slot::ConnectViaEth, 1);
        theSettings.Set(Slot::Quitting, 0);
        KeyQueueClear();
        linkThread = std::thread([] { CommPollThread(); });
        bar = std::make_unique<CMyDlgBar>();
        bar->SetJobSource([] { return std::vector<COnePage*>{}; }, [] { return false; });
        bar->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(bar.get()));
        ASSERT_TRUE(WaitText(QStringLiteral("准备就绪"))) << bar->StateField()->text().toStdString();
    }
    void TearDown() override
    {
        bar.reset();
        theSettings.Set(Slot::Quitting, 1);
        if (linkThread.joinable()) linkThread.join();
        sim.Stop();
        theSettings.Set(Slot::Quitting, 0);
        theSettings.Set(Slot::ConnectViaEth, 0);
        theEthOptions.port = 5188;
        theEthOptions.addressOverride = 0;
        theEthOptions.connectTimeoutMs = 1000;
        theEthOptions.replyTimeoutMs = 2000;
        KeyQueueClear();
        BarMoment().Apply();
    }

    // The bar's own timer refreshes it; this only waits.
    bool WaitText(const QString& start, int ms = 5000)
    {
        return QTest::qWaitFor([&] { return bar->StateField()->text().startsWith(start); }, ms);
    }
    template <class F>
    bool WaitSim(F f, int ms = 5000)
    {
        return QTest::qWaitFor([&] { return sim.WithMachine(f); }, ms);
    }
    // The control codes the machine received, in order.
    std::vector<int> ControlCodes()
    {
        std::vector<int> codes;
        for (const SimUnit& u : sim.Received())
            if (!u.chunk && u.bytes.size() >= 2 && u.bytes[1] <= 13) codes.push_back(u.bytes[1]);
        return codes;
    }
    CButtonNolt* B(int id) const { return bar->Button(id); }
    QPoint Mid(int id) const { return B(id)->rect().center(); }

    CMachineSim sim;
    std::thread linkThread;
    std::unique_ptr<CMyDlgBar> bar;
};

TEST_F(ControlBarOnSim, HoldingJogRightMovesTheHeadUntilReleased)
{
    const int32_t start = sim.WithMachine([](CSimMachine& m) { return m.headPosition; });
    QTest::mousePress(B(BarControl::JogRight), Qt::LeftButton, {}, Mid(BarControl::JogRight));
    ASSERT_TRUE(WaitSim([&](CSimMachine& m) { return m.jog == 4 && m.headPosition != start; }));
    const QString moving = bar->StateField()->text();
    QTest::mouseRelease(B(BarControl::JogRight), Qt::LeftButton, {}, Mid(BarControl::JogRight));
    ASSERT_TRUE(WaitSim([](CSimMachine& m) { return m.jog == 0; }));
    const int32_t stopped = sim.WithMachine([](CSimMachine& m) { return m.headPosition; });
    QTest::qWait(600);
    EXPECT_EQ(sim.WithMachine([](CSimMachine& m) { return m.headPosition; }), stopped);
    EXPECT_EQ(ControlCodes(), (std::vector<int>{4, 0}));
    // The bar shows where the head stopped.
    ASSERT_TRUE(QTest::qWaitFor([&] { return HeadPosition.load() == stopped; }, 3000));
    ASSERT_TRUE(WaitText(QStringLiteral("准备就绪  位置")));
    EXPECT_TRUE(bar->StateField()->text().startsWith(QStringLiteral("准备就绪  位置-")))
        << bar->StateField()->text().toStdString() << " (was " << moving.toStdString() << ")";
}

TEST_F(ControlBarOnSim, FanAndKnifeSwitch)
{
    QTest::mouseClick(B(BarControl::Fan), Qt::LeftButton, {}, Mid(BarControl::Fan));
    EXPECT_TRUE(WaitSim([](CSimMachine& m) { return m.fanOn; }));
    QTest::mouseClick(B(BarControl::Knife), Qt::LeftButton, {}, Mid(BarControl::Knife));
    EXPECT_TRUE(WaitSim([](CSimMachine& m) { return m.knifeOn; }));
    QTest::mouseClick(B(BarControl::Fan), Qt::LeftButton, {}, Mid(BarControl::Fan));
    EXPECT_TRUE(WaitSim([](CSimMachine& m) { return !m.fanOn; }));
    EXPECT_TRUE(B(BarControl::Knife)->GetCheckValue());
    EXPECT_FALSE(B(BarControl::Fan)->GetCheckValue());
    EXPECT_EQ(ControlCodes(), (std::vector<int>{0, 5, 0, 8, 0, 6}));
}

TEST_F(ControlBarOnSim, CleaningShowsThenReturnsToReady)
{
    // The run lasts until the test has seen it, however slowly the bar
    // gets to show it, and then ends at once.
    sim.WithMachine([](CSimMachine& m) { return m.cleanMs = 600000; });
    QTest::mouseClick(B(BarControl::Clean), Qt::LeftButton, {}, Mid(BarControl::Clean));
    ASSERT_TRUE(WaitText(QStringLiteral("清洗喷头...")));
    EXPECT_FALSE(B(BarControl::Clean)->isEnabled());
    sim.WithMachine([](CSimMachine& m) { return m.cleanUntilMs = 0; });
    ASSERT_TRUE(WaitText(QStringLiteral("准备就绪")));
    EXPECT_TRUE(B(BarControl::Clean)->isEnabled());
}

}  // namespace
