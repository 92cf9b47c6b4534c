// Screenshots of the control bar alone, in Chinese and English, taken in a
// child process on a private X server and checked here.
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
#include <QSet>
#include <QStandardPaths>
#include <QTest>
#include <QTextLayout>

#include "app/controlbar/ControlBar.h"
#include "app/shell/Translations.h"
#include "widgets/ButtonNolt.h"
#include "tests/app/BarFixture.h"
#include "tests/app/support/Xvfb.h"

namespace {

const char* kShotDirVar = "ORLAT_BAR_SHOT_DIR";

QString ShotDir() { return QStringLiteral(ORLAT_BINARY_DIR "/test-output/control-bar"); }

// Characters of `text` that no font in use can draw (glyph 0 after fallback).
QString MissingGlyphs(const QString& text, const QFont& font)
{
    QString missing;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (line.isEmpty()) continue;
        QTextLayout layout(line, font);
        layout.beginLayout();
        while (layout.createLine().isValid()) {
        }
        layout.endLayout();
        for (const QGlyphRun& run : layout.glyphRuns())
            for (quint32 g : run.glyphIndexes())
                if (g == 0) missing += line;
    }
    return missing;
}

// The child: one shot per language of a bar showing a one-head job.
TEST(ControlBarShot, DISABLED_Child)
{
    const QString dir = qEnvironmentVariable(kShotDirVar);
    ASSERT_FALSE(dir.isEmpty());
    for (int language : {0, 1}) {
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
            ASSERT_TRUE(translations.Install(language, QStringLiteral(ORLAT_BINARY_DIR "/app")))
                << "build the program first: its translations are beside it";
        }
        CMyDlgBar bar;
        EXPECT_EQ(bar.AutoOfflineBox()->text(),
                  language == 0 ? QStringLiteral("自动脱机") : QStringLiteral("Auto offline"));
        bar.setWindowTitle(QStringLiteral("control bar"));
        bar.resize(bar.width(), 560);
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
            EXPECT_TRUE(MissingGlyphs(t, bar.font()).isEmpty()) << t.toStdString();
        EXPECT_LE(bar.AutoOfflineBox()->sizeHint().width(), bar.AutoOfflineBox()->width());
        for (QLabel* f : {bar.StateField(), bar.WarningField()}) {
            const QRect room = f->contentsRect().adjusted(f->margin(), f->margin(), -f->margin(), -f->margin());
            const QRect need = f->fontMetrics().boundingRect(QRect(0, 0, room.width(), 1000), Qt::TextWordWrap,
                                                             f->text().trimmed());
            EXPECT_LE(need.height(), room.height()) << f->text().toStdString();
        }
        const QString png = dir + QStringLiteral("/control-bar-%1.png").arg(language == 0 ? "zh" : "en");
        EXPECT_TRUE(bar.grab().save(png)) << png.toStdString();

        // Ready, with the fan switched on: the enabled faces.
        m.status = 1;
        m.position = 12345;
        m.Apply();
        bar.Refresh();
        QTest::mouseClick(bar.Button(207), Qt::LeftButton, {}, bar.Button(207)->rect().center());
        KeyQueueClear();
        QTest::qWait(50);
        EXPECT_TRUE(MissingGlyphs(bar.StateField()->text(), bar.font()).isEmpty());
        const QString ready = dir + QStringLiteral("/control-bar-ready-%1.png").arg(language == 0 ? "zh" : "en");
        EXPECT_TRUE(bar.grab().save(ready)) << ready.toStdString();
    }
    BarMoment().Apply();
}

// Dark pixels (text and icon strokes) in a band of rows.
int DarkPixels(const QImage& img, int top, int bottom)
{
    int n = 0;
    for (int y = std::max(0, top); y < std::min(img.height(), bottom); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 100) ++n;
    return n;
}

TEST(ControlBarShot, ChineseAndEnglish)
{
    if (QStandardPaths::findExecutable("Xvfb").isEmpty()) GTEST_SKIP() << "Xvfb is not installed";
    XvfbServer x("1024x768x24");
    ASSERT_TRUE(x.Running()) << x.Error();
    QDir().mkpath(ShotDir());
    for (const char* f : {"control-bar-zh.png", "control-bar-en.png"}) QFile::remove(ShotDir() + "/" + f);
    ::setenv(kShotDirVar, ShotDir().toUtf8().constData(), 1);
    const std::string self = QCoreApplication::applicationFilePath().toStdString();
    const int rc = RunOnDisplay(x.Display(), self,
                                {"--gtest_filter=ControlBarShot.DISABLED_Child", "--gtest_also_run_disabled_tests"});
    ::unsetenv(kShotDirVar);
    ASSERT_EQ(rc, 0) << "the child's checks failed (its output is above)";

    QImage shots[2];
    for (int i = 0; i < 2; ++i) {
        const QString path = ShotDir() + (i == 0 ? "/control-bar-zh.png" : "/control-bar-en.png");
        ASSERT_TRUE(shots[i].load(path)) << path.toStdString();
        QSet<QRgb> colours;
        for (int y = 0; y < shots[i].height(); y += 2)
            for (int x0 = 0; x0 < shots[i].width(); x0 += 2) colours.insert(shots[i].pixel(x0, y));
        EXPECT_GT(colours.size(), 20) << "not blank";
        // The group title and the check box: glyph strokes in the top rows.
        EXPECT_GT(DarkPixels(shots[i], 0, 50), 40) << path.toStdString();
        // The yellow warning field.
        int yellow = 0;
        for (int y = 0; y < shots[i].height(); ++y)
            for (int x0 = 0; x0 < shots[i].width(); ++x0)
                if (shots[i].pixel(x0, y) == qRgb(255, 255, 0)) ++yellow;
        EXPECT_GT(yellow, 500);
    }
    EXPECT_NE(shots[0], shots[1]) << "the languages look the same";
}

}  // namespace
