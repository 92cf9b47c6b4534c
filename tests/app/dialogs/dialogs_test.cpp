// Guards: the plot-unit and number dialogs storing on Cancel, closing on a bad number or losing the value typed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/text/AppMessage.h"
#include "app/dialogs/DlgGetIntInput.h"
#include "app/dialogs/DlgSetPltUnit.h"
#include "model/Settings.h"

namespace {

// Keeps the globals the dialogs touch and takes their message boxes.
class Dialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetAppMessageHook([this](QMessageBox::Icon, const QString& text) { messages << text; });
        theSettings.Set(Slot::Language, 0);
    }
    void TearDown() override
    {
        SetAppMessageHook(nullptr);
        theSettings.Set(Slot::Language, 0);
        PltFileUnit = 0;
        UnitNoHintNextTime = 1;
    }
    static QPushButton* ButtonWithText(QDialog& d, const QString& text)
    {
        for (QPushButton* b : d.findChildren<QPushButton*>())
            if (b->text() == text) return b;
        return nullptr;
    }
    QStringList messages;
};

TEST_F(Dialogs, PlotUnitShowsAndStoresTheSettings)
{
    PltFileUnit = 1;
    UnitNoHintNextTime = 1;
    CDlgSetPltUnit d;
    d.open();
    EXPECT_EQ(d.windowTitle(), "PLT文件单位");
    EXPECT_FALSE(d.UnitBox()->isEditable());
    EXPECT_EQ(d.UnitBox()->itemText(0), "0.0250mm(常规)");
    EXPECT_EQ(d.UnitBox()->itemText(1), "0.0254mm(专用)");
    EXPECT_EQ(d.UnitBox()->currentIndex(), 1);
    EXPECT_TRUE(d.NoHintBox()->isChecked());

    d.UnitBox()->setCurrentIndex(0);
    QTest::mouseClick(d.NoHintBox(), Qt::LeftButton);
    QTest::mouseClick(ButtonWithText(d, "确定"), Qt::LeftButton);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(PltFileUnit.load(), 0);
    EXPECT_EQ(UnitNoHintNextTime.load(), 0);
}

TEST_F(Dialogs, PlotUnitCancelStoresNothingAndAStrangeValueSelectsNothing)
{
    theSettings.Set(Slot::Language, 1);
    PltFileUnit = 5;
    UnitNoHintNextTime = 0;
    {
        CDlgSetPltUnit d;
        d.open();
        EXPECT_EQ(d.UnitBox()->itemText(0), "0.0250mm");
        EXPECT_EQ(d.UnitBox()->itemText(1), "0.0254mm");
        EXPECT_EQ(d.UnitBox()->currentIndex(), -1);
        d.NoHintBox()->setChecked(true);
        QTest::keyClick(&d, Qt::Key_Escape);
        EXPECT_EQ(d.result(), QDialog::Rejected);
        EXPECT_EQ(PltFileUnit.load(), 5);
        EXPECT_EQ(UnitNoHintNextTime.load(), 0);
    }
    CDlgSetPltUnit d;
    d.open();
    QTest::mouseClick(ButtonWithText(d, "确定"), Qt::LeftButton);
    EXPECT_EQ(PltFileUnit.load(), -1);  // nothing selected; -1 reads files as 0.0250 mm
}

TEST_F(Dialogs, NumberInputAcceptsANumberAndStaysOpenOtherwise)
{
    CDlgGetIntInput d;
    d.SetPrompt(QString(300, QChar(u'份')));
    EXPECT_EQ(d.Prompt().size(), CDlgGetIntInput::kMaxPromptChars);
    d.SetValue(3);
    d.open();
    EXPECT_EQ(d.ValueEdit()->text(), "3");

    d.ValueEdit()->setText("abc");
    QTest::keyClick(d.ValueEdit(), Qt::Key_Return);
    EXPECT_EQ(messages, QStringList{"请输入一个数字。"});
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.Value(), 3);

    theSettings.Set(Slot::Language, 2);  // Turkish: the code texts are English
    d.ValueEdit()->setText("inf");
    QTest::mouseClick(d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    EXPECT_EQ(messages.last(), "Please enter a number.");
    EXPECT_TRUE(d.isVisible());

    d.ValueEdit()->setText(" 2.5 ");
    QTest::keyClick(d.ValueEdit(), Qt::Key_Return);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.Value(), 2.5);
}

TEST_F(Dialogs, NumberInputEscapeAndCloseCancel)
{
    for (bool viaClose : {false, true}) {
        CDlgGetIntInput d;
        d.SetValue(7);
        d.open();
        d.ValueEdit()->setText("9");
        if (viaClose) d.close();
        else QTest::keyClick(&d, Qt::Key_Escape);
        EXPECT_EQ(d.result(), QDialog::Rejected);
        EXPECT_EQ(d.Value(), 7);
    }
    EXPECT_TRUE(messages.isEmpty());
}

}  // namespace
