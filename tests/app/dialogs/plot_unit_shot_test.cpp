#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include <QFile>
#include <QImage>
#include <QRect>
#include <QStandardPaths>

#include "tests/app/support/Xvfb.h"

namespace fs = std::filesystem;

namespace {

const fs::path kShots = fs::path(ORLAT_BINARY_DIR) / "tests" / "app" / "support" / "ui-shots";
const fs::path kOut = fs::path(ORLAT_BINARY_DIR) / "test-output" / "screenshots";

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

int Distinct(const QImage& img)
{
    std::set<QRgb> colours;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) colours.insert(img.pixel(x, y));
    return static_cast<int>(colours.size());
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

int CountColour(const QImage& img, const QString& name)
{
    const QRgb want = QColor(name).rgb() & 0xFFFFFF;
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) == want) ++n;
    return n;
}

TEST(Screenshot, PlotUnitDialogAndFlatButtonsUnderX)
{
    if (QStandardPaths::findExecutable("Xvfb").isEmpty()) GTEST_SKIP() << "Xvfb is not installed";
    ASSERT_TRUE(fs::exists(kShots)) << kShots;
    XvfbServer x;
    ASSERT_TRUE(x.Running()) << x.Error();
    fs::remove_all(kOut);
    const std::string qmDir = (fs::path(ORLAT_BINARY_DIR) / "app").string();
    ASSERT_EQ(RunOnDisplay(x.Display(), kShots.string(), {kOut.string(), qmDir}), 0);

    const auto note = ReadNote(kOut / "shots.txt");
    const QImage zh(QString::fromStdString((kOut / "plot_unit_zh.png").string()));
    const QImage en(QString::fromStdString((kOut / "plot_unit_en.png").string()));
    const QImage buttons(QString::fromStdString((kOut / "buttons.png").string()));
    ASSERT_FALSE(zh.isNull());
    ASSERT_FALSE(en.isNull());
    ASSERT_FALSE(buttons.isNull());

    // Not blank, and the Chinese label drawn from real CJK glyphs.
    EXPECT_GT(Distinct(zh), 8);
    EXPECT_EQ(note.at("zh_label_text"), QString::fromUtf8("绘图单位"));
    EXPECT_EQ(note.at("zh_glyphs"), "1");
    const QRect label = RectOf(note.at("zh_label"));
    ASSERT_FALSE(label.isEmpty());
    EXPECT_GT(InkPixels(zh, label), 40);
    EXPECT_EQ(note.at("en_label_text"), "Plot unit");
    EXPECT_GT(Distinct(en), 8);

    // The faces' colours: at rest, the lit face and the green hover text.
    EXPECT_EQ(note.at("hovered"), "1");
    EXPECT_GT(CountColour(buttons, note.at("normal_back")), 500);
    EXPECT_GT(CountColour(buttons, note.at("hover_back")), 500);
    EXPECT_GT(CountColour(buttons, note.at("hover_text")), 10);
}

}  // namespace
