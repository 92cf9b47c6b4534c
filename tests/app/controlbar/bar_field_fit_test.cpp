// Guards the control bar's state and warning fields against texts that wrap past their height or run past their width and lose a line.
#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include "app/controlbar/ControlBar.h"
#include "tests/app/controlbar/BarFixture.h"

namespace {

// Every moment that gives the state field a different text, with the widest
// numbers each can show (100.0 %, the carriage far out at a gear ratio of
// one pulse per mm).
std::vector<BarMoment> EveryStateText(int32_t language)
{
    std::vector<BarMoment> out;
    for (int s = 0; s < 16; ++s) {
        for (int32_t count : {0, 8}) {
            BarMoment m;
            m.status = static_cast<uint8_t>(s);
            m.count = count;
            m.stepped = count;
            m.position = INT_MIN;
            m.pulsesPerMmY = 1;
            m.headSelect = 1;
            m.language = language;
            out.push_back(m);
        }
    }
    return out;
}

// The text as the field lays it out in the room it has.
::testing::AssertionResult Fits(const QLabel* field)
{
    const int m = field->margin();
    const QRect room = field->contentsRect().adjusted(m, m, -m, -m);
    // A trailing line break (the plotting texts end in one) shows nothing.
    QString shown = field->text();
    while (shown.endsWith(QLatin1Char('\n'))) shown.chop(1);
    const QRect need = field->fontMetrics().boundingRect(room, int(field->alignment()) | Qt::TextWordWrap, shown);
    if (need.height() <= room.height() && need.width() <= room.width()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << '"' << field->text().toStdString() << "\" needs " << need.width() << 'x'
                                         << need.height() << ", the field has " << room.width() << 'x' << room.height();
}

class BarFieldFit : public ::testing::Test {
protected:
    void TearDown() override
    {
        KeyQueueClear();
        BarMoment().Apply();
    }
    void Build()
    {
        bar = std::make_unique<CMyDlgBar>();
        bar->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(bar.get()));
        bar->Timer()->stop();
    }
    void ExpectEveryTextFits(int32_t language)
    {
        for (const BarMoment& m : EveryStateText(language)) {
            m.Apply();
            bar->Refresh();
            QApplication::processEvents();
            SCOPED_TRACE(testing::Message() << "language " << language << ", status " << int(m.status) << ", bands "
                                            << m.count);
            ASSERT_FALSE(bar->StateField()->text().isEmpty());
            EXPECT_TRUE(Fits(bar->StateField()));
            EXPECT_TRUE(Fits(bar->WarningField()));
        }
    }
    std::unique_ptr<CMyDlgBar> bar;
};

TEST_F(BarFieldFit, EveryStateTextFitsInEachLanguage)
{
    Build();
    for (int32_t language : {0, 1, 2}) ExpectEveryTextFits(language);

    // The longest one wraps: both of its lines are in the room.
    BarMoment m;
    m.status = 3;
    m.count = 0;
    m.Apply();
    bar->Refresh();
    const QLabel* f = bar->StateField();
    ASSERT_EQ(f->text(), QStringLiteral("打印中断或其他电脑正在联机打印\n"));
    const QRect oneLine = f->fontMetrics().boundingRect(QStringLiteral("打印"));
    const QRect room = f->contentsRect().adjusted(f->margin(), f->margin(), -f->margin(), -f->margin());
    EXPECT_GE(room.height(), 2 * oneLine.height());
    EXPECT_TRUE(Fits(f));
    QDir().mkpath(QStringLiteral(ORLAT_BINARY_DIR "/test-output/control-bar"));
    EXPECT_TRUE(bar->grab().save(QStringLiteral(ORLAT_BINARY_DIR "/test-output/control-bar/state-wrapped-zh.png")));
}

// The Turkish texts of the bar's own labels change its layout; the state
// messages stay the program's English ones and must fit as well.
TEST_F(BarFieldFit, WithTheTurkishTextsEverythingFits)
{
    QTranslator turkish;
    ASSERT_TRUE(turkish.load(QStringLiteral(ORLAT_BINARY_DIR "/app/OrlatCenter_tr.qm")));
    QCoreApplication::installTranslator(&turkish);
    Build();
    // The Turkish file is in force: the box no longer shows the Chinese text.
    EXPECT_TRUE(bar->AutoOfflineBox()->text().startsWith(QStringLiteral("Otomatik")));
    EXPECT_LE(bar->AutoOfflineBox()->sizeHint().width(), bar->AutoOfflineBox()->width());
    ExpectEveryTextFits(2);
    bar.reset();
    QCoreApplication::removeTranslator(&turkish);
}

}  // namespace
