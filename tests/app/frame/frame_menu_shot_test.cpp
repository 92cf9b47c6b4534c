// Guards: main menus empty, clipped, off the 1024x768 screen, unlike their rendering or glyphless, in three languages.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSet>
#include <QStandardPaths>
#include <QTest>

#include "app/commands/CommandTable.h"
#include "app/controlbar/ControlBar.h"
#include "app/joblist/JobListView.h"
#include "app/shell/Translations.h"
#include "tests/app/frame/FrameFixture.h"
#include "tests/app/support/Glyphs.h"
#include "tests/app/support/ScreenMatch.h"
#include "tests/app/support/XvfbChild.h"

using namespace appfix;

namespace {

constexpr int kMenus = 4;
const char* const kLanguageNames[] = {"zh", "en", "tr"};

QString ShotDir() { return QStringLiteral(ORLAT_BINARY_DIR "/test-output/frame-menus"); }
QString ShotName(int language, int menu)
{
    return QStringLiteral("/frame-menu%1-%2.png").arg(menu).arg(kLanguageNames[language]);
}

// A menu item's shown text: the mnemonic marks gone, the tab a gap.
QString Shown(const QString& text)
{
    QString s = text;
    s.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    s.remove(QLatin1Char('&'));
    s.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    s.replace(QLatin1Char('\t'), QStringLiteral("    "));
    return s;
}

// Every item's text drawn and wide enough; on screen (when shown) the menu
// as it renders itself, each item with ink in its own row.
void CheckMenu(QMenu* menu)
{
    EXPECT_FALSE(menu->actions().isEmpty()) << menu->title().toStdString();
    QImage shown;
    if (menu->isVisible()) {
        EXPECT_TRUE(WholeOnScreen(menu)) << menu->title().toStdString();
        const QImage own = OwnImageOf(menu);
        for (int attempt = 0; attempt < 40; ++attempt) {
            QTest::qWait(25);
            shown = ScreenImageOf(menu);
            if (DifferingPixels(shown, own) == 0) break;
        }
        const int differ = DifferingPixels(shown, own);
        EXPECT_GE(differ, 0);
        EXPECT_LT(differ, own.width() * own.height() / 100) << menu->title().toStdString();
    }
    for (QAction* a : menu->actions()) {
        if (a->isSeparator()) continue;
        const QString text = Shown(a->text());
        EXPECT_EQ(MissingGlyphs(text, menu->font()), QString()) << text.toStdString();
        EXPECT_GE(menu->width(), menu->fontMetrics().horizontalAdvance(text)) << text.toStdString();
        if (!shown.isNull()) {
            EXPECT_GT(InkPixels(shown, menu->actionGeometry(a)), 15) << "no text in the row of " << text.toStdString();
        }
        if (a->menu()) CheckMenu(a->menu());
    }
}

class FrameMenuShot : public FrameFixture {};

// The child: the frame in each language, each main menu opened in turn.
TEST_F(FrameMenuShot, DISABLED_Child)
{
    if (!InXvfbChild()) GTEST_SKIP() << "runs under FrameMenuShots.AllLanguages";
    const QString dir = ShotDir();
    frame.reset();
    for (int language : {0, 1, 2}) {
        SCOPED_TRACE(language);
        theSettings.Set(Slot::Language, language);
        Translations translations;
        if (language != 0) {
            ASSERT_TRUE(translations.Install(language, QStringLiteral(ORLAT_TEST_QM_DIR)));
        }
        doc.m_pages.clear();
        doc.m_pages.push_back(Job(JobState::Manual));
        frame = std::make_unique<CMainFrame>(service);
        frame->move(0, 0);
        frame->resize(1000, 680);
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
        frame->ListView()->RefreshJobList();
        frame->ShowCursorPos(1234, -560);
        frame->ControlBar()->Refresh();
        QTest::qWait(200);

        for (QLabel* l : frame->findChildren<QLabel*>()) {
            if (!l->isVisible() || l->text().isEmpty() || l->wordWrap()) continue;
            for (const QString& line : l->text().split(QLatin1Char('\n'))) {
                EXPECT_EQ(MissingGlyphs(line, l->font()), QString()) << line.toStdString();
                EXPECT_GE(l->contentsRect().width(), l->fontMetrics().horizontalAdvance(line)) << line.toStdString();
            }
        }
        for (int i = 0; i < kMenus; ++i) {
            QMenu* menu = frame->MainMenu(i);
            ASSERT_NE(menu, nullptr);
            EXPECT_EQ(MissingGlyphs(Shown(menu->title()), frame->menuBar()->font()), QString());
            const QRect at = frame->menuBar()->actionGeometry(menu->menuAction());
            menu->popup(frame->menuBar()->mapToGlobal(at.bottomLeft()));
            ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
            QTest::qWait(250);
            CheckMenu(menu);
            const QPixmap shot = frame->screen()->grabWindow(0);
            EXPECT_TRUE(shot.save(dir + ShotName(language, i))) << ShotName(language, i).toStdString();
            menu->hide();
            QTest::qWait(50);
        }
        frame->close();
        frame.reset();
    }
}

TEST(FrameMenuShots, AllLanguages)
{
    if (InXvfbChild()) GTEST_SKIP();
    QDir().mkpath(ShotDir());
    for (int language : {0, 1, 2})
        for (int i = 0; i < kMenus; ++i) QFile::remove(ShotDir() + ShotName(language, i));
    const XvfbRun run = RunSelfUnderXvfb("FrameMenuShot.DISABLED_Child");
    if (run.missing) GTEST_SKIP() << run.error;
    ASSERT_EQ(run.status, 0) << run.error;

    for (int i = 0; i < kMenus; ++i) {
        QImage shots[3];
        for (int language : {0, 1, 2}) {
            const QString path = ShotDir() + ShotName(language, i);
            ASSERT_TRUE(shots[language].load(path)) << path.toStdString();
        }
        EXPECT_NE(shots[0], shots[1]) << "menu " << i << ": Chinese and English look the same";
        EXPECT_NE(shots[0], shots[2]) << "menu " << i << ": Chinese and Turkish look the same";
    }
}

}  // namespace
