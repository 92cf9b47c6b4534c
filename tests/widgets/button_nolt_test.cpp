// Guards: buttons that report holds, clicks or releases out of order or while disabled, show the wrong images or colours, or leave an event half handled.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <QVBoxLayout>

#include <stdexcept>

#include "widgets/ButtonImages.h"
#include "widgets/ButtonNolt.h"
#include "widgets/EventGuard.h"

namespace {

// A parent window with one button and a line edit after it; every signal
// of the button is logged in order.
class ButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        layout = new QVBoxLayout(&window);
        button = new CButtonNolt(1007, &window);
        button->setText(QStringLiteral("Jog"));
        edit = new QLineEdit(&window);
        layout->addWidget(button);
        layout->addWidget(edit);
        QObject::connect(button, &CButtonNolt::holdButton, [this](int id, int pressed) {
            log.push_back("hold " + std::to_string(id) + " " + std::to_string(pressed));
            downDuringHold.push_back(button->isDown());
        });
        QObject::connect(button, &QAbstractButton::pressed, [this] { log.push_back("pressed"); });
        QObject::connect(button, &QAbstractButton::released, [this] { log.push_back("released"); });
        QObject::connect(button, &QAbstractButton::clicked, [this] { log.push_back("clicked"); });
        window.resize(200, 100);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    void Send(QEvent::Type type, Qt::MouseButton b = Qt::LeftButton)
    {
        const QPoint at = button->rect().center();
        const Qt::MouseButtons held = (type == QEvent::MouseButtonRelease) ? Qt::NoButton : Qt::MouseButtons(b);
        QMouseEvent e(type, at, button->mapToGlobal(at), b, held, Qt::NoModifier);
        QApplication::sendEvent(button, &e);
    }

    using Log = std::vector<std::string>;
    Log Holds() const
    {
        Log holds;
        for (const std::string& s : log)
            if (s.rfind("hold", 0) == 0) holds.push_back(s);
        return holds;
    }
    QWidget window;
    QVBoxLayout* layout = nullptr;
    CButtonNolt* button = nullptr;
    QLineEdit* edit = nullptr;
    Log log;
    std::vector<bool> downDuringHold;
};

TEST_F(ButtonTest, HoldIsToldBeforeTheFaceAndBeforeTheClick)
{
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(log, (Log{"hold 1007 1", "pressed", "hold 1007 0", "released", "clicked"}));
    EXPECT_EQ(downDuringHold, (std::vector<bool>{false, true}));  // not yet drawn pressed; still down at release
    log.clear();
    QTest::mouseClick(button, Qt::RightButton);
    EXPECT_TRUE(log.empty());
}

TEST_F(ButtonTest, DoubleClickIsTwoPressesAndTwoClicks)
{
    // Both orders platforms deliver: the double click in place of the second
    // press, or after it.
    const std::vector<std::vector<QEvent::Type>> sequences = {
        {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease},
        {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonPress, QEvent::MouseButtonDblClick,
         QEvent::MouseButtonRelease},
    };
    for (const auto& seq : sequences) {
        log.clear();
        for (QEvent::Type t : seq) Send(t);
        EXPECT_EQ(Holds(), (Log{"hold 1007 1", "hold 1007 0", "hold 1007 1", "hold 1007 0"}));
        EXPECT_EQ(std::count(log.begin(), log.end(), "clicked"), 2);
    }
}

TEST_F(ButtonTest, DisabledButtonSendsNothing)
{
    button->setEnabled(false);
    QTest::mouseClick(button, Qt::LeftButton);
    Send(QEvent::MouseButtonPress);
    Send(QEvent::MouseButtonRelease);
    EXPECT_TRUE(log.empty());
}

TEST_F(ButtonTest, AHeldButtonThatCannotSeeItsReleaseReleasesAtOnce)
{
    // Disabled, hidden, or cut off by a modal window: the release (0) goes
    // out at once, and the late real release neither repeats it nor clicks.
    const std::vector<std::function<void()>> cutOffs = {
        [&] { button->setEnabled(false); },
        [&] { button->hide(); },
        [&] {
            auto* dialog = new QDialog(&window);
            dialog->setAttribute(Qt::WA_DeleteOnClose);
            dialog->setModal(true);
            dialog->show();
            QApplication::processEvents();
            dialog->close();
        },
    };
    for (const auto& cutOff : cutOffs) {
        button->setEnabled(true);
        button->show();
        QApplication::processEvents();
        log.clear();
        Send(QEvent::MouseButtonPress);
        ASSERT_TRUE(button->IsHeld());
        cutOff();
        EXPECT_EQ(Holds(), (Log{"hold 1007 1", "hold 1007 0"}));
        EXPECT_FALSE(button->IsHeld());
        EXPECT_FALSE(button->isDown());
        button->setEnabled(true);
        button->show();
        Send(QEvent::MouseButtonRelease);
        EXPECT_EQ(Holds(), (Log{"hold 1007 1", "hold 1007 0"}));
        EXPECT_EQ(std::count(log.begin(), log.end(), "clicked"), 0);
    }
}

TEST_F(ButtonTest, DisablingMovesTheFocusOnlyFromTheButton)
{
    window.activateWindow();
    edit->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(edit->hasFocus());
    button->setEnabled(false);
    EXPECT_TRUE(edit->hasFocus());

    button->setEnabled(true);
    button->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(button->hasFocus());
    button->setEnabled(false);
    EXPECT_FALSE(button->hasFocus());
    EXPECT_TRUE(edit->hasFocus());
}

TEST_F(ButtonTest, HoverLightsAndClears)
{
    const QPoint inside = button->rect().center();
    QMouseEvent move(QEvent::MouseMove, inside, button->mapToGlobal(inside), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(button, &move);
    EXPECT_TRUE(button->IsHovered());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);
    EXPECT_FALSE(button->IsHovered());

    // Coming in with the left button already down does not light it.
    QMouseEvent drag(QEvent::MouseMove, inside, button->mapToGlobal(inside), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(button, &drag);
    EXPECT_FALSE(button->IsHovered());

    // A classic (not flat) button never lights.
    button->SetFlat(false);
    QApplication::sendEvent(button, &move);
    EXPECT_FALSE(button->IsHovered());
}

TEST(ButtonImages, ChoiceTable)
{
    struct Row {
        bool checkMode, pressed, hovered, hasNormal;
        int want;
    };
    const Row rows[] = {
        {false, false, false, true, ButtonImage::Normal},  // plain at rest
        {false, false, true, true, ButtonImage::Hover},
        {false, true, false, true, ButtonImage::Hover},
        {true, false, false, true, ButtonImage::Normal},   // toggle off
        {true, false, true, true, ButtonImage::Normal},    // toggle off, hovered
        {true, true, false, true, ButtonImage::Hover},     // toggle checked, no hover
        {false, false, false, false, ButtonImage::Hover},  // one image only
        {true, false, false, false, ButtonImage::Hover},
    };
    for (const Row& r : rows)
        EXPECT_EQ(ChooseStateImage(r.checkMode, r.pressed, r.hovered, r.hasNormal), r.want)
            << r.checkMode << r.pressed << r.hovered << r.hasNormal;
}

TEST_F(ButtonTest, ToggleShowsItsImagesByCheckValue)
{
    QPixmap hover(16, 16), normal(16, 16);
    hover.fill(Qt::red);
    normal.fill(Qt::blue);
    ASSERT_EQ(button->AttachStateIcons(hover, normal), CButtonNolt::Ok);
    EXPECT_EQ(button->ShownImage(), ButtonImage::Normal);
    button->SetCheckValue(true);  // a plain button has no check value
    EXPECT_FALSE(button->GetCheckValue());
    button->SetCheckBoxMode(true);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(button->GetCheckValue());
    EXPECT_EQ(button->ShownImage(), ButtonImage::Hover);
    button->SetCheckValue(false);
    EXPECT_EQ(button->ShownImage(), ButtonImage::Normal);
    EXPECT_EQ(button->AttachStateIcons(QPixmap(), normal), CButtonNolt::BadImage);
    EXPECT_TRUE(button->NormalImage().isNull());
}

TEST(ButtonImages, DerivedImagesKeepBlack)
{
    QImage src(3, 1, QImage::Format_ARGB32);
    src.setPixel(0, 0, qRgb(0, 0, 0));
    src.setPixel(1, 0, qRgb(200, 100, 40));
    src.setPixel(2, 0, qRgba(255, 255, 255, 128));
    const QImage grey = GreyImage(src);
    EXPECT_EQ(grey.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(grey.pixel(1, 0), qRgb(123, 123, 123));  // int(59.8 + 58.7 + 4.56)
    EXPECT_EQ(qAlpha(grey.pixel(2, 0)), 128);
    const QImage dark = DarkerImage(src);
    EXPECT_EQ(dark.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(dark.pixel(1, 0), qRgb(150, 75, 30));
}

TEST_F(ButtonTest, ColourSettersAndTheirCodes)
{
    button->SetStateColor(CButtonNolt::HoverBack, QColor(250, 100, 0));
    EXPECT_EQ(button->ShiftStateColor(0, 30), CButtonNolt::Ok);
    EXPECT_EQ(button->StateColor(0), QColor(255, 105, 5));
    button->SetStateColor(2, QColor(240, 240, 240));
    button->ShiftStateColor(2, 30);
    EXPECT_EQ(button->StateColor(2), QColor(255, 255, 255));
    button->SetStateColor(4, QColor(10, 50, 90));
    button->ShiftStateColor(4, -20);
    EXPECT_EQ(button->StateColor(4), QColor(0, 40, 80));

    EXPECT_EQ(button->ShiftStateColor(0, 256), CButtonNolt::BadOffset);
    EXPECT_EQ(button->ShiftStateColor(0, -256), CButtonNolt::BadOffset);
    EXPECT_EQ(button->ShiftStateColor(6, 1), CButtonNolt::BadIndex);
    EXPECT_EQ(button->SetStateColor(6, Qt::red), CButtonNolt::BadIndex);
    EXPECT_EQ(button->SetStateColor(-1, Qt::red), CButtonNolt::BadIndex);  // 255 as a byte
    EXPECT_EQ(button->SetStateColor(257, Qt::green), CButtonNolt::Ok);      // 1 as a byte
    EXPECT_EQ(button->StateColor(1), QColor(Qt::green));
    EXPECT_EQ(button->StateColor(0), QColor(255, 105, 5));

    EXPECT_EQ(button->SetPressShift(1), CButtonNolt::Ok);
    EXPECT_EQ(button->PressShift(), QPoint(0, 2));
    EXPECT_EQ(button->SetPressShift(2), CButtonNolt::BadStyle);
    EXPECT_EQ(button->PressShift(), QPoint(0, 2));
}

TEST_F(ButtonTest, ColoursResetOnAnApplicationPaletteChangeOnly)
{
    CButtonNolt* late = new CButtonNolt(2, &window);
    late->SetStateColor(1, QColor(0, 128, 0));
    layout->addWidget(late);  // polish, show and their palette events
    late->show();
    late->ensurePolished();
    QApplication::processEvents();
    EXPECT_EQ(late->StateColor(1), QColor(0, 128, 0));

    const QPalette old = QApplication::palette();
    QPalette changed = old;
    changed.setColor(QPalette::ButtonText, QColor(1, 2, 3));
    QApplication::setPalette(changed);
    QApplication::processEvents();
    EXPECT_EQ(late->StateColor(1), QColor(1, 2, 3));
    QApplication::setPalette(old);
}

TEST_F(ButtonTest, AThrowingHandlerDoesNotLeaveTheEvent)
{
    QStringList reported;
    SetEventFailureReporter([&](const QString& where, const QString& what) { reported << where + ": " + what; });
    QObject::connect(button, &CButtonNolt::holdButton, [](int, int pressed) {
        if (pressed) throw std::runtime_error("jog refused");
    });
    Send(QEvent::MouseButtonPress);
    Send(QEvent::MouseButtonRelease);
    SetEventFailureReporter(nullptr);
    ASSERT_EQ(reported.size(), 1);
    EXPECT_TRUE(reported[0].contains("jog refused"));
    EXPECT_EQ(log.back(), "hold 1007 0");  // the release still reaches the parent
    EXPECT_FALSE(button->IsHeld());
}

}  // namespace
