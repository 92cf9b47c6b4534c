// Guards: a control bar showing the wrong state, progress outside its scale or a position in the process locale.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

#include <QLocale>

#include "app/controlbar/BarState.h"

namespace {

struct Case {
    const char* name;
    uint8_t status;
    int32_t link;
    int32_t stepped, count;
    int32_t pos;
    double ppm;
    uint8_t headSelect;
    int32_t language;
    int32_t autoOffline;
    const char* text;
    std::optional<const char*> warning;  // none: the field keeps its text
    bool yellow;
    // jog, ready (300/206/207), delete, pause, start
    bool jog, ready, del, pause, start;
};

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

const Case kCases[] = {
    {"offline zh", 0x00, 0, 0, 0, 0, 40, 0, 0, 0, "脱机...", std::nullopt, false, false, false, false, false, false},
    {"offline en", 0x00, 0, 0, 0, 0, 40, 0, 1, 0, "Offline", std::nullopt, false, false, false, false, false, false},
    {"ready zh", 0x01, 1, 0, 0, 4010, 40, 0, 0, 0, "准备就绪  位置100.25mm", std::nullopt, false, true, true, false, false, true},
    {"ready turkish is english", 0x01, 1, 0, 0, -4010, 40, 0, 2, 0, "Ready  Pos:-100.25mm", std::nullopt, false, true, true, false, false, true},
    {"ready language 3", 0x01, 1, 0, 0, 20, 40, 0, 3, 0, "Ready  Pos:0.50mm", std::nullopt, false, true, true, false, false, true},
    {"ready, pulses 0", 0x01, 1, 0, 0, 4010, 0, 0, 0, 0, "准备就绪  位置--mm", std::nullopt, false, true, true, false, false, true},
    {"ready, pulses inf", 0x01, 1, 0, 0, 4010, kInf, 0, 1, 0, "Ready  Pos:--mm", std::nullopt, false, true, true, false, false, true},
    {"ready, pulses nan", 0x01, 1, 0, 0, 4010, kNaN, 0, 1, 0, "Ready  Pos:--mm", std::nullopt, false, true, true, false, false, true},
    {"ready, pulses tiny", 0x01, 1, 0, 0, 4010, 1e-320, 0, 1, 0, "Ready  Pos:--mm", std::nullopt, false, true, true, false, false, true},
    // Ready with the link flag down: the jogs follow the state, the rest do not.
    {"ready, link down", 0x01, 0, 0, 0, 0, 40, 0, 1, 0, "Ready  Pos:0.00mm", std::nullopt, false, true, false, false, false, false},
    {"cleaning", 0x02, 1, 0, 0, 0, 40, 0, 0, 0, "清洗喷头...", std::nullopt, false, false, false, false, false, false},
    {"plotting zh, two heads", 0x03, 1, 5, 20, 0, 40, 0, 0, 0, "工作中...完成25.0%\n", "", false, false, false, false, true, false},
    {"plotting en, one head", 0x03, 1, 1, 3, 0, 40, 1, 1, 0, "Plotting...33.3%\n", "Note:Only one ink box in use!", true, false, false, false, true, false},
    {"plotting zh, one head", 0x03, 1, 2, 3, 0, 40, 2, 0, 0, "工作中...完成66.6%\n", "警告：只有一个墨盒被选中", true, false, false, false, true, false},
    {"0x13 is plotting", 0x13, 1, 1, 1, 0, 40, 0, 1, 0, "Plotting...100.0%\n", "", false, false, false, false, true, false},
    {"stepped above count", 0x03, 1, 25, 20, 0, 40, 0, 1, 0, "Plotting...100.0%\n", "", false, false, false, false, true, false},
    {"stepped negative", 0x04, 1, -3, 20, 0, 40, 0, 1, 0, "Paused...0.0%", std::nullopt, false, true, false, true, false, true},
    {"plotting, no bands", 0x03, 1, 0, 0, 0, 40, 1, 0, 0, "打印中断或其他电脑正在联机打印\n", "警告：只有一个墨盒被选中", true, false, false, false, true, false},
    {"paused zh", 0x04, 1, 7, 8, 0, 40, 1, 0, 0, "暂停...完成87.5%", std::nullopt, false, true, false, true, false, true},
    {"paused, no bands", 0x04, 1, 7, 0, 0, 40, 1, 1, 0, "Print abort or other PC printing\n", std::nullopt, false, true, false, true, false, true},
    {"paused, link down", 0x04, 0, 1, 2, 0, 40, 0, 1, 0, "Paused...50.0%", std::nullopt, false, true, false, false, false, false},
    {"mem error", 0x05, 1, 0, 0, 0, 40, 0, 0, 0, "内存错误...", std::nullopt, false, false, false, false, false, false},
    {"disconnected zh", 0x06, 1, 0, 0, 0, 40, 0, 0, 0, "Disconnected...", std::nullopt, false, false, false, false, false, false},
    {"seek zero", 0x07, 1, 0, 0, 0, 40, 0, 1, 0, "Seek ZP......", std::nullopt, false, false, false, false, false, false},
    {"0x19 zh", 0x19, 1, 0, 0, 0, 40, 0, 0, 0, "Disconnected...", std::nullopt, false, false, false, false, false, false},
    {"0x19 en", 0x19, 1, 0, 0, 0, 40, 0, 1, 0, "Disconnected...", std::nullopt, false, false, false, false, false, false},
    {"0x0F", 0x0F, 1, 0, 0, 0, 40, 0, 1, 0, "Disconnected...", std::nullopt, false, false, false, false, false, false},
    // Automatic offline with the link down: start stays enabled.
    {"auto offline, link down", 0x00, 0, 0, 0, 0, 40, 0, 1, 1, "Offline", std::nullopt, false, false, false, false, false, true},
    {"auto offline, paused", 0x04, 0, 1, 2, 0, 40, 0, 1, 1, "Paused...50.0%", std::nullopt, false, true, false, false, false, true},
};

TEST(BarState, TableOfMachineMoments)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        BarInputs in;
        in.status = c.status;
        in.linkConnected = c.link;
        in.bandsStepped = c.stepped;
        in.bandCount = c.count;
        in.headPosition = c.pos;
        in.pulsesPerMmY = c.ppm;
        in.headSelect = c.headSelect;
        in.language = c.language;
        in.autoOffline = c.autoOffline;
        const BarView v = ComputeBarView(in);
        EXPECT_EQ(v.stateText, QString::fromUtf8(c.text));
        ASSERT_EQ(v.warning.has_value(), c.warning.has_value());
        if (c.warning) {
            EXPECT_EQ(*v.warning, QString::fromUtf8(*c.warning));
        }
        EXPECT_EQ(v.yellow, c.yellow);
        EXPECT_EQ(v.enables.jog, c.jog);
        EXPECT_EQ(v.enables.ready, c.ready);
        EXPECT_EQ(v.enables.deleteTask, c.del);
        EXPECT_EQ(v.enables.pause, c.pause);
        EXPECT_EQ(v.enables.start, c.start);
    }
}

TEST(BarState, ProgressStaysWithinTheScale)
{
    EXPECT_EQ(ProgressPermille(0, 20), 0);
    EXPECT_EQ(ProgressPermille(1, 3), 333);
    EXPECT_EQ(ProgressPermille(20, 20), 1000);
    EXPECT_EQ(ProgressPermille(21, 20), 1000);
    EXPECT_EQ(ProgressPermille(INT32_MAX, 1), 1000);
    EXPECT_EQ(ProgressPermille(-5, 20), 0);
    EXPECT_EQ(ProgressPermille(5, 0), 0);
    EXPECT_EQ(ProgressPermille(5, -1), 0);
}

TEST(BarState, PositionInTheCLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German));
    EXPECT_EQ(HeadPositionText(12345, 100), QStringLiteral("123.45"));
    QLocale::setDefault(saved);
    EXPECT_EQ(HeadPositionText(1, -kInf), QStringLiteral("--"));
    EXPECT_EQ(HeadPositionText(0, kNaN), QStringLiteral("--"));
}

}  // namespace
