// Guards: a control bar on screen unlike its rendering, its fields misplaced, clipped or glyphless, in 3 languages.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QTest>

#include "app/controlbar/ControlBar.h"
#include "app/shell/Translations.h"
#include "widgets/ButtonNolt.h"
#include "tests/app/controlbar/BarFixture.h"
#include "tests/app/support/Glyphs.h"
#include "tests/app/support/ScreenMatch.h"
#include "tests/app/support/XvfbChild.h"

namespace {

QString ShotDir() { return QStringLiteral(ORLAT_BINARY_DIR "/test-output/control-bar"); }
const char* const kLanguageNames[] = {"zh", "en", "tr"};

// The bar as the screen shows it, once the server has the last paint; the
// share of its pixels that differ from the bar's own rendering is checked.
QImage ScreenShot(CMyDlgBar& bar)
{
    QImage shown;
    const QImage own = OwnImageOf(&bar);
    for (int attempt = 0; attempt < 40; ++attempt) {
        QTest::qWait(25);
        shown = ScreenImageOf(&bar);
        if (DifferingPixels(shown, own) == 0) break;
    }
    const int differ = DifferingPixels(shown, own);
    EXPECT_GE(differ, 0) << "the screen shows another size";
    EXPECT_LT(differ, own.width() * own.height() / 100) << "the screen differs from the bar's rendering";
    return shown;
}

// The field's text area within the bar.
QRect FieldRect(CMyDlgBar& bar, QLabel* f)
{
    return QRect(f->mapTo(&bar, f->contentsRect().topLeft()), f->contentsRect().size());
}

int Yellow(const QImage& img, const QRect& r)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) n += img.rect().contains(x, y) && img.pixel(x, y) == qRgb(255, 255, 0);
    return n;
}

// The child: one shot per language of a bar showing a one-head job.
TEST(ControlBarShot, DISABLED_Child)
{
    if (!InXvfbChild()) GTEST_SKIP() << "runs under ControlBarShot.AllLanguages";
    const QString dir = ShotDir();
    for (int language : {0, 1, 2}) {
        SCOPED_TRACE(language);
        BarMoment m;
        m.status = 3;
        m.count = 40;
        m.stepped = 13;
        m.headSelect = 1;
        m.language = language;
        m.Apply();
        // The resource texts as the program loads them at start.
        Translations translations;
        if (language != 0) {
            ASSERT_TRUE(translations.Install(language, QStringLiteral(ORLAT_TEST_QM_DIR)));
        }
        CMyDlgBar bar;
        if (language < 2) {
            EXPECT_EQ(bar.AutoOfflineBox()->text(),
                      language == 0 ? QStringLiteral("自动脱机") : QStringLiteral("Auto offline"));
        }
        bar.setWindowTitle(QStringLiteral("control bar"));
        bar.resize(bar.width(), 560);
        bar.move(0, 0);
        bar.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
        bar.Refresh();
        QTest::qWait(50);

        QStringList texts = {bar.AutoOfflineBox()->text(), bar.StateField()->text(), bar.WarningField()->text()};
        for (QGroupBox* g : bar.findChildren<QGroupBox*>()) {
            texts << g->title();
            EXPECT_LE(g->fontMetrics().horizontalAdvance(g->title()) + 16, g->width()) << g->title().toStdString();
        }
        for (const QString& t : texts)
            EXPECT_EQ(MissingGlyphs(t, bar.font()), QString()) << t.toStdString();
        EXPECT_TRUE(WholeOnScreen(&bar));
        EXPECT_LE(bar.AutoOfflineBox()->sizeHint().width(), bar.AutoOfflineBox()->width());
        for (QLabel* f : {bar.StateField(), bar.WarningField()}) {
            const QRect room = f->contentsRect().adjusted(f->margin(), f->margin(), -f->margin(), -f->margin());
            const QRect need = f->fontMetrics().boundingRect(QRect(0, 0, room.width(), 1000), Qt::TextWordWrap,
                                                             f->text().trimmed());
            EXPECT_LE(need.height(), room.height()) << f->text().toStdString();
        }
        const QImage shot = ScreenShot(bar);
        // The state text where its field is, the warning field yellow in its place.
        EXPECT_GT(InkPixels(shot, FieldRect(bar, bar.StateField())), 20) << bar.StateField()->text().toStdString();
        const QRect warning = FieldRect(bar, bar.WarningField());
        EXPECT_GT(Yellow(shot, warning), warning.width() * warning.height() / 2);
        EXPECT_LT(Yellow(shot, shot.rect()) - Yellow(shot, warning), 50) << "yellow outside the warning field";
        const QString png = dir + QStringLiteral("/control-bar-%1.png").arg(kLanguageNames[language]);
        EXPECT_TRUE(shot.save(png)) << png.toStdString();

        // Ready, with the fan switched on: the enabled faces.
        m.status = 1;
        m.position = 12345;
        m.Apply();
        bar.Refresh();
        QTest::mouseClick(bar.Button(207), Qt::LeftButton, {}, bar.Button(207)->rect().center());
        KeyQueueClear();
        QTest::qWait(50);
        EXPECT_EQ(MissingGlyphs(bar.StateField()->text(), bar.font()), QString());
        const QImage readyShot = ScreenShot(bar);
        EXPECT_GT(InkPixels(readyShot, FieldRect(bar, bar.StateField())), 20);
        const QString ready = dir + QStringLiteral("/control-bar-ready-%1.png").arg(kLanguageNames[language]);
        EXPECT_TRUE(readyShot.save(ready)) << ready.toStdString();
    }
    BarMoment().Apply();
}

TEST(ControlBarShot, AllLanguages)
{
    if (InXvfbChild()) GTEST_SKIP();
    QDir().mkpath(ShotDir());
    for (const char* lang : kLanguageNames) QFile::remove(ShotDir() + QStringLiteral("/control-bar-%1.png").arg(lang));
    const XvfbRun run = RunSelfUnderXvfb("ControlBarShot.DISABLED_Child");
    if (run.missing) GTEST_SKIP() << run.error;
    ASSERT_EQ(run.status, 0) << run.error;

    QImage shots[3];
    for (int i = 0; i < 3; ++i) {
        const QString path = ShotDir() + QStringLiteral("/control-bar-%1.png").arg(kLanguageNames[i]);
        ASSERT_TRUE(shots[i].load(path)) << path.toStdString();
    }
    EXPECT_NE(shots[0], shots[1]) << "Chinese and English look the same";
    EXPECT_NE(shots[0], shots[2]) << "Chinese and Turkish look the same";
}

}  // namespace
