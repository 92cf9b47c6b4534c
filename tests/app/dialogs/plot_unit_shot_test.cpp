// Guards: the plot-unit dialog and flat buttons on screen unlike their rendering, off screen or glyphless.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include <QFile>
#include <QImage>
#include <QRect>
#include <QStandardPaths>

#include "tests/app/support/Xvfb.h"

namespace fs = std::filesystem;

namespace {

const fs::path kShots = fs::path(ORLAT_BINARY_DIR) / "tests" / "app" / "support" / "ui-shots";
const fs::path kOut = fs::path(ORLAT_BINARY_DIR) / "test-output" / "plot-unit";

std::map<QString, QString> ReadNote(const fs::path& p)
{
    std::map<QString, QString> note;
    QFile f(QString::fromStdString(p.string()));
    if (!f.open(QIODevice::ReadOnly)) return note;
    for (const QByteArray& line : f.readAll().split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq > 0) note[QString::fromUtf8(line.left(eq))] = QString::fromUtf8(line.mid(eq + 1));
    }
    return note;
}

QRect RectOf(const QString& s)
{
    const QStringList v = s.split(',');
    return v.size() == 4 ? QRect(v[0].toInt(), v[1].toInt(), v[2].toInt(), v[3].toInt()) : QRect();
}

// Pixels clearly darker than the face around them: the ink of the text.
int InkPixels(const QImage& img, const QRect& r)
{
    int ink = 0;
    const QRect area = r.intersected(img.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(img.pixel(x, y)) < 110) ++ink;
    return ink;
}

int CountColour(const QImage& img, const QString& name, const QRect& within)
{
    const QRgb want = QColor(name).rgb() & 0xFFFFFF;
    int n = 0;
    const QRect area = within.intersected(img.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) == want) ++n;
    return n;
}

TEST(PlotUnitShot, DialogAndFlatButtonsUnderX)
{
    if (QStandardPaths::findExecutable("Xvfb").isEmpty()) GTEST_SKIP() << "Xvfb is not installed";
    ASSERT_TRUE(fs::exists(kShots)) << kShots;
    XvfbServer x("1024x768x24");
    ASSERT_TRUE(x.Running()) << x.Error();
    fs::remove_all(kOut);
    const std::string qmDir = ORLAT_TEST_QM_DIR;
    ASSERT_EQ(RunOnDisplay(x.Display(), kShots.string(), {kOut.string(), qmDir}), 0);

    const auto note = ReadNote(kOut / "shots.txt");
    for (const char* lang : {"zh", "en", "tr"}) {
        SCOPED_TRACE(lang);
        const QString p = QString::fromLatin1(lang) + "_";
        const QImage shot(QString::fromStdString((kOut / ("plot_unit_" + std::string(lang) + ".png")).string()));
        ASSERT_FALSE(shot.isNull());
        ASSERT_TRUE(note.count(p + "differ")) << "no note";
        // The screen shows what the dialog renders, whole on the screen.
        EXPECT_EQ(note.at(p + "fits"), "1");
        EXPECT_GE(note.at(p + "differ").toInt(), 0);
        EXPECT_LT(note.at(p + "differ").toInt(), shot.width() * shot.height() / 100);
        // The label drawn from real glyphs, its ink where the label is.
        EXPECT_EQ(note.at(p + "glyphs"), "1");
        const QRect label = RectOf(note.at(p + "label"));
        ASSERT_FALSE(label.isEmpty());
        EXPECT_GT(InkPixels(shot, label), 40);
    }
    EXPECT_EQ(note.at("zh_label_text"), QString::fromUtf8("绘图单位"));
    EXPECT_EQ(note.at("en_label_text"), "Plot unit");
    EXPECT_NE(note.at("tr_label_text"), note.at("zh_label_text")) << "Turkish shows the Chinese text";

    // The faces' colours on their own buttons: at rest, the lit face and the
    // green hover text on the hovered one only.
    const QImage buttons(QString::fromStdString((kOut / "buttons.png").string()));
    ASSERT_FALSE(buttons.isNull());
    EXPECT_EQ(note.at("hovered"), "1");
    const QRect rest = RectOf(note.at("button0")), hovered = RectOf(note.at("button1"));
    ASSERT_FALSE(rest.isEmpty());
    ASSERT_FALSE(hovered.isEmpty());
    const int area = hovered.width() * hovered.height();
    EXPECT_GT(CountColour(buttons, note.at("normal_back"), rest), area / 3);
    EXPECT_GT(CountColour(buttons, note.at("hover_back"), hovered), area / 3);
    EXPECT_LT(CountColour(buttons, note.at("hover_back"), rest), area / 10);
    EXPECT_GT(CountColour(buttons, note.at("hover_text"), hovered), 10);
    EXPECT_LT(CountColour(buttons, note.at("hover_text"), rest), 3);
}

}  // namespace
