// Guards: wrong check marks, a toolbar unlike the table, keys in the wrong view, zoom past its limits.
#include <QDialog>
#include <QDockWidget>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "app/controlbar/ControlBar.h"
#include "app/commands/CommandTable.h"
#include "app/commands/FrameCommands.h"
#include "app/joblist/JobListView.h"
#include "app/preview/PreviewView.h"
#include "link/KeyQueue.h"
#include "widgets/ButtonNolt.h"
#include "widgets/EventGuard.h"
#include "model/DispSet.h"
#include "tests/app/frame/FrameFixture.h"

using namespace appfix;
using namespace framecmd;

TEST(FrameCommandRules, CheckMarksFollowTheSettings)
{
    struct Case {
        int language, eth;
        bool bar;
        std::vector<uint16_t> checked;
    };
    const Case cases[] = {
        {0, 0, true, {kLangChinese, kLinkUsb, kToggleControlBar}},
        {1, 1, false, {kLangEnglish, kLinkEthernet}},
        {2, 7, true, {kLangTurkish, kLinkEthernet, kToggleControlBar}},
        {3, 0, false, {kLinkUsb}},  // no language mark for other values
    };
    const uint16_t all[] = {kLangChinese, kLangEnglish, kLangTurkish, kLinkUsb, kLinkEthernet, kToggleControlBar,
                            kMachineParams, kZoomIn};
    for (const Case& c : cases) {
        for (uint16_t id : all) {
            const bool want = std::find(c.checked.begin(), c.checked.end(), id) != c.checked.end();
            EXPECT_EQ(IsChecked(id, {c.language, c.eth, c.bar}), want) << "language " << c.language << " id " << id;
        }
    }
    EXPECT_FALSE(IsCheckable(kMachineParams));
    EXPECT_TRUE(IsCheckable(kToggleControlBar));
}

TEST(FrameCommandRules, LanguageChangeAndCursorText)
{
    EXPECT_FALSE(DecideLanguage(kLangEnglish, 1).act);
    const LanguageChange zh = DecideLanguage(kLangChinese, 1);
    EXPECT_TRUE(zh.act);
    EXPECT_EQ(zh.language, 0);
    EXPECT_EQ(zh.notice, u"语言设置改变，重启程序生效");
    // The notice belongs to the command, not to the language in use.
    const LanguageChange tr = DecideLanguage(kLangTurkish, 0);
    EXPECT_EQ(tr.language, 2);
    EXPECT_EQ(tr.notice, u"You Changed the language settings,please restart the Application");
    EXPECT_FALSE(DecideLanguage(kZoomIn, 0).act);

    EXPECT_EQ(CursorText(-39, 79, 1), u"Pos:(0mm,1mm)");
    EXPECT_EQ(CursorText(-40, 119, 0), u"位置:(-1mm,2mm)");
}

namespace {
class FrameCommands : public FrameFixture {
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        frame->runDialog = [this](QDialog& d) {
            dialogs << d.metaObject()->className();
            return dialogAnswer;
        };
        frame->writeSettings = [this](std::string*) {
            ++saves;
            return true;
        };
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    }
    QToolButton* ToolButton(uint16_t id)
    {
        auto* bar = frame->findChild<QToolBar*>(QStringLiteral("ToolBar128"));
        return bar ? qobject_cast<QToolButton*>(bar->widgetForAction(frame->Action(id))) : nullptr;
    }
    QStringList dialogs;
    bool dialogAnswer = true;
    int saves = 0;
};
}  // namespace

TEST_F(FrameCommands, MenusAndToolbarComeFromTheTable)
{
    ASSERT_EQ(frame->menuBar()->actions().size(), 4);
    EXPECT_EQ(frame->MainMenu(1)->title(), QStringLiteral("Language(&L)"));
    // One action per id: the toolbar's 309 is the menu's.
    EXPECT_EQ(frame->MainMenu(0)->actions().first(), frame->Action(309));
    EXPECT_EQ(frame->Action(315)->statusTip(), QStringLiteral("设置机器参数"));
    EXPECT_EQ(frame->Action(310)->toolTip(), QStringLiteral("导出为plt"));
    EXPECT_TRUE(frame->Action(316)->toolTip().isEmpty());

    auto* bar = frame->findChild<QToolBar*>(QStringLiteral("ToolBar128"));
    ASSERT_NE(bar, nullptr);
    EXPECT_FALSE(bar->isMovable());
    // The bar holds the table's buttons in its order, each the command's one action.
    const QList<QAction*> shown = bar->actions();
    const auto buttons = commandtable::ToolbarButtons();
    ASSERT_EQ(shown.size(), static_cast<qsizetype>(buttons.size()));
    for (size_t i = 0; i < buttons.size(); ++i) {
        QAction* a = shown[static_cast<qsizetype>(i)];
        if (buttons[i] == 0) {
            EXPECT_TRUE(a->isSeparator()) << i;
            continue;
        }
        EXPECT_EQ(a, frame->Action(buttons[i])) << i;
        EXPECT_FALSE(ToolButton(buttons[i])->icon().isNull()) << buttons[i];
    }
    EXPECT_EQ(ToolButton(314)->iconSize(), QSize(32, 32));
    EXPECT_FALSE(ToolButton(314)->icon().isNull());
}

TEST_F(FrameCommands, PageKeysZoomWithinTheLimitsWhereverTheFocusIs)
{
    frame->ListView()->setFocus();
    QApplication::processEvents();
    theDispSet.m_scale = 1;
    theDispSet.m_scrollX = 7;
    theDispSet.m_scrollY = -5;
    QTest::keyClick(frame->ListView(), Qt::Key_PageUp);
    EXPECT_DOUBLE_EQ(theDispSet.m_scale, 2);
    EXPECT_EQ(theDispSet.m_scrollX, 7);  // zoom in leaves the offsets
    QTest::keyClick(frame->ListView(), Qt::Key_PageDown);
    EXPECT_DOUBLE_EQ(theDispSet.m_scale, 1);
    EXPECT_EQ(theDispSet.m_scrollX, 3);  // odd offsets lose one toward zero
    EXPECT_EQ(theDispSet.m_scrollY, -2);

    theDispSet.m_scale = 64;
    frame->OnCommand(kZoomIn);
    frame->OnCommand(kZoomIn);
    EXPECT_DOUBLE_EQ(theDispSet.m_scale, 100);  // the ceiling, never infinity

    theDispSet.m_scale = 0.001;
    theDispSet.m_scrollX = 9;
    frame->OnCommand(kZoomOut);
    EXPECT_DOUBLE_EQ(theDispSet.m_scale, 0.001);  // the floor: nothing
    EXPECT_EQ(theDispSet.m_scrollX, 9);
}

TEST_F(FrameCommands, ArrowsPanThePreviewOnlyWhileItHasTheFocus)
{
    doc.m_pages.push_back(Job(JobState::Manual));
    doc.m_pages.push_back(Job(JobState::Manual));
    frame->ListView()->RefreshJobList();
    theDispSet.m_scrollX = 0;
    theDispSet.m_scrollY = 0;

    QTest::mouseClick(frame->PreviewView(), Qt::LeftButton, {}, QPoint(10, 10));
    ASSERT_TRUE(frame->PreviewView()->hasFocus());
    QTest::keyClick(frame->PreviewView(), Qt::Key_Left);
    QTest::keyClick(frame->PreviewView(), Qt::Key_Up);
    EXPECT_NE(theDispSet.m_scrollX, 0);
    EXPECT_NE(theDispSet.m_scrollY, 0);

    theDispSet.m_scrollX = 0;
    theDispSet.m_scrollY = 0;
    frame->ListView()->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(frame->ListView()->hasFocus());
    QTest::keyClick(frame->ListView(), Qt::Key_Left);
    QTest::keyClick(frame->ListView(), Qt::Key_Down);
    EXPECT_EQ(theDispSet.m_scrollX, 0);
    EXPECT_EQ(theDispSet.m_scrollY, 0);
}

TEST_F(FrameCommands, LanguageAlreadySetDoesNothing)
{
    frame->Action(kLangEnglish)->trigger();
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(frame->Action(kLangEnglish)->isChecked());
}

TEST_F(FrameCommands, ConnectionMarksFollowTheChoice)
{
    theSettings.Set(Slot::ConnectViaEth, 0);
    frame->Action(kLinkEthernet)->trigger();
    EXPECT_EQ(theSettings.Get(Slot::ConnectViaEth), 1);
    EXPECT_TRUE(frame->Action(kLinkEthernet)->isChecked());
    EXPECT_FALSE(frame->Action(kLinkUsb)->isChecked());
    // Clicking the item already marked keeps its mark.
    frame->Action(kLinkEthernet)->trigger();
    EXPECT_TRUE(frame->Action(kLinkEthernet)->isChecked());
    // A change made elsewhere shows when the menu opens.
    theSettings.Set(Slot::ConnectViaEth, 0);
    emit frame->MainMenu(2)->aboutToShow();
    EXPECT_TRUE(frame->Action(kLinkUsb)->isChecked());
    EXPECT_FALSE(frame->Action(kLinkEthernet)->isChecked());
}

TEST_F(FrameCommands, ParametersOfflineShowTheNoticeSaveOnOkAndAlwaysFit)
{
    LinkConnected = 0;
    theDispSet.m_scale = 50;
    dialogAnswer = false;
    frame->OnCommand(kMachineParams);
    EXPECT_EQ(messages, QStringList{QStringLiteral("Offline!Show default parameter")});
    EXPECT_EQ(dialogs, QStringList{QStringLiteral("CDlgPara")});
    EXPECT_EQ(saves, 0);
    EXPECT_NE(theDispSet.m_scale, 50);  // fitted even on Cancel

    LinkConnected = 1;
    dialogAnswer = true;
    frame->OnCommand(kMachineParams);
    EXPECT_EQ(messages.size(), 1);
    EXPECT_EQ(saves, 1);
    LinkConnected = 0;

    bool unitOk = false;
    frame->askPltUnit = [&] { return unitOk; };
    frame->OnCommand(kPlotUnit);
    EXPECT_EQ(saves, 1);
    unitOk = true;
    frame->OnCommand(kPlotUnit);
    EXPECT_EQ(saves, 2);

    frame->writeSettings = [](std::string* e) {
        *e = "disk full";
        return false;
    };
    frame->OnCommand(kPlotUnit);
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages[1].contains(QStringLiteral("disk full")));

    frame->OnCommand(kAbout);
    EXPECT_EQ(dialogs.last(), QStringLiteral("CDlgAboutBrelt"));
}

TEST_F(FrameCommands, AFailingHandlerLeavesTheFrameRunning)
{
    std::vector<QString> reported;
    SetEventFailureReporter([&](const QString& where, const QString&) { reported.push_back(where); });
    frame->runDialog = [](QDialog&) -> bool { throw std::runtime_error("broken dialog"); };
    theDispSet.m_scale = 50;
    frame->Action(kMachineParams)->trigger();
    SetEventFailureReporter({});
    EXPECT_EQ(reported.size(), 1u);
    EXPECT_NE(theDispSet.m_scale, 50);  // the view was still fitted
    EXPECT_TRUE(frame->isVisible());
}

TEST_F(FrameCommands, ToolbarTogglesTheBarTwice)
{
    QToolButton* b = ToolButton(kToggleControlBar);
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(b->isChecked());
    QTest::mouseClick(b, Qt::LeftButton);
    EXPECT_FALSE(frame->ControlDock()->isVisible());
    EXPECT_FALSE(frame->ControlBarVisible());
    EXPECT_FALSE(b->isChecked());
    QTest::mouseClick(b, Qt::LeftButton);
    EXPECT_TRUE(frame->ControlDock()->isVisible());
    EXPECT_TRUE(frame->ControlBar()->isVisible());
    EXPECT_TRUE(b->isChecked());
}

TEST_F(FrameCommands, HidingTheBarMidJogSendsOneStop)
{
    KeyQueueClear();
    MachineStatus = MachineState::Ready;
    LinkConnected = 1;
    frame->ControlBar()->Refresh();
    CButtonNolt* jog = frame->ControlBar()->Button(307);
    ASSERT_NE(jog, nullptr);
    ASSERT_TRUE(jog->isEnabled());
    QTest::mousePress(jog, Qt::LeftButton);
    frame->OnCommand(kToggleControlBar);
    QTest::mouseRelease(jog, Qt::LeftButton);
    std::vector<int> codes;
    for (int c = KeyQueuePop(); c >= 0; c = KeyQueuePop()) codes.push_back(c);
    EXPECT_EQ(codes, (std::vector<int>{4, 0}));
    MachineStatus = 0;
    LinkConnected = 0;
}

TEST_F(FrameCommands, StatusPaneShowsPromptsThenReadyAndFitsItsText)
{
    frame->ShowCursorPos(-39, 79);
    EXPECT_EQ(frame->StatusText(), QStringLiteral("Pos:(0mm,1mm)"));
    frame->statusBar()->showMessage(frame->Action(315)->statusTip());
    EXPECT_EQ(frame->StatusText(), QStringLiteral("设置机器参数"));
    frame->statusBar()->clearMessage();
    EXPECT_EQ(frame->StatusText(), QStringLiteral("就绪"));

    QFont big = frame->font();
    big.setPointSize(30);
    auto* pane = frame->statusBar()->findChild<QLabel*>(QStringLiteral("statusPane0"));
    ASSERT_NE(pane, nullptr);
    pane->setFont(big);
    frame->ShowCursorPos(-4000000, 4000000);
    EXPECT_GE(pane->minimumWidth(), pane->fontMetrics().horizontalAdvance(pane->text()));
}
