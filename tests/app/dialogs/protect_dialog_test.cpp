// Guards: advanced parameters opened without the access code or stored when refused; an About box that fails.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "app/dialogs/DlgAboutBrelt.h"
#include "app/dialogs/DlgGetPwd.h"
#include "app/dialogs/DlgPara.h"
#include "app/dialogs/DlgProtectPara.h"
#include "tests/app/dialogs/DialogFixture.h"
#include "widgets/HyperLink.h"

namespace {
using namespace ProtectIds;

class ProtectDialog : public DialogTest {
protected:
    // Types code into the password box; act runs on the advanced dialog if it opens.
    bool Ask(const QString& code, std::function<void(CDlgProtectPara*)> act = nullptr)
    {
        bool opened = false;
        OnNextModal<CDlgGetPwd>([code](CDlgGetPwd* pwd) {
            QTest::keyClicks(pwd->Edit(), code);
            QTest::keyClick(pwd->Edit(), Qt::Key_Return);
        });
        CDlgPara para;
        if (IsAccessCode(code) || act) {
            OnNextModal<CDlgProtectPara>([&opened, act](CDlgProtectPara* d) {
                opened = true;
                if (act) {
                    act(d);
                } else {
                    d->reject();
                }
            });
        }
        para.OnAdvancedPara();
        return opened;
    }
};

TEST_F(ProtectDialog, CodesInAnyCaseOpenItOthersSayWhy)
{
    for (const char* code : {"WZQD", "wzqd", "Qk", "qk"}) {
        shown.clear();
        EXPECT_TRUE(Ask(code)) << code;
        EXPECT_TRUE(shown.empty()) << code;
    }
    for (const char* code : {"QK ", "WZQ", "", "QKQK"}) {
        shown.clear();
        EXPECT_FALSE(IsAccessCode(code));
        Ask(code);
        ASSERT_EQ(shown.size(), 1u) << code;
        EXPECT_EQ(shown[0].text, QString::fromUtf8("密码错误"));
    }
    theSettings.Set(Slot::Language, 1);
    shown.clear();
    Ask("nope");
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Password Not Correct");
}

TEST_F(ProtectDialog, EscapeIsSilentAndTheCodeIsMaskedAndAtMost64)
{
    OnNextModal<CDlgGetPwd>([](CDlgGetPwd* pwd) {
        EXPECT_EQ(pwd->Edit()->echoMode(), QLineEdit::Password);
        QTest::keyClicks(pwd->Edit(), QString(65, QLatin1Char('q')));
        EXPECT_EQ(pwd->Edit()->text().size(), 64);
        QTest::keyClick(pwd, Qt::Key_Escape);
    });
    CDlgPara para;
    para.OnAdvancedPara();
    EXPECT_TRUE(shown.empty());
}

TEST_F(ProtectDialog, GearRatiosOpenOnlyOnPurpose)
{
    CDlgProtectPara d;
    d.show();
    EXPECT_FALSE(d.Edit(PulsesX)->isEnabled());
    EXPECT_FALSE(d.Edit(PulsesY)->isEnabled());
    EXPECT_EQ(d.Edit(PulsesY)->text(), "41.36");
    QTest::mouseClick(d.Control(ChangeGear), Qt::LeftButton);
    EXPECT_TRUE(d.Edit(PulsesX)->isEnabled());
    EXPECT_TRUE(d.Edit(PulsesY)->isEnabled());
    Type(d.Edit(PulsesX), "100.5");
    QTest::mouseClick(d.Control(1), Qt::LeftButton);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, QString::fromUtf8("请输入一个 20 至 100 之间的数字。"));
    EXPECT_EQ(d.focusWidget(), d.Edit(PulsesX));
    Type(d.Edit(PulsesX), "20");
    Type(d.Edit(InkCutOverlapX), "10.0");
    Type(d.Edit(Head1Gap), "30");
    QTest::mouseClick(d.Control(1), Qt::LeftButton);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(Live().pulsesPerMmX, 20.0);
    EXPECT_EQ(Live().inkCutOverlapX, 100);
    EXPECT_EQ(Live().head1ColumnGap, 30);
    EXPECT_EQ(KeyQueueCount(), 0) << "nothing is queued here";
    CDlgProtectPara again;
    EXPECT_EQ(again.Edit(InkCutOverlapX)->text(), "10");
}

TEST_F(ProtectDialog, DefaultsThenCancelChangesNothing)
{
    UpdateMachineParams([](MachineParams& p) {
        p.inkAccelMm = 90;
        p.angleComp = 12;
    });
    theSettings.Set(Slot::BiDirPlot, 0);
    ::InkBox2Left = 1;
    const MachineParams block = Live();
    CDlgProtectPara d;
    EXPECT_EQ(d.Edit(AngleComp)->text(), "1.2");
    QTest::mouseClick(d.Control(Defaults), Qt::LeftButton);
    EXPECT_EQ(d.Edit(InkAccel)->text(), "60");
    EXPECT_EQ(d.Edit(AngleComp)->text(), "0.5");
    EXPECT_EQ(d.Edit(PulsesX)->text(), "60.5");
    EXPECT_EQ(d.Edit(ProtectIds::InkBox2Left)->text(), "0");
    QTest::mouseClick(d.Control(2), Qt::LeftButton);
    EXPECT_TRUE(SameBlock(Live(), block));
    EXPECT_EQ(theSettings.Get(Slot::BiDirPlot), 0);
    EXPECT_EQ(::InkBox2Left.load(), 1);
}

// The advanced OK writes the live block; the settings dialog's Cancel drops
// it again while connected, keeps it offline; the two settings stay either way.
TEST_F(ProtectDialog, SettingsCancelDropsAdvancedEditsOnlyWhileConnected)
{
    for (int connected : {1, 0}) {
        SCOPED_TRACE(connected);
        LinkConnected = connected;
        const MachineParams saved = Saved();
        theSettings.Set(Slot::BiDirPlot, 1);
        ::InkBox2Left = 0;
        OnNextModal<CDlgGetPwd>([](CDlgGetPwd* pwd) {
            QTest::keyClicks(pwd->Edit(), "qk");
            QTest::keyClick(pwd->Edit(), Qt::Key_Return);
        });
        OnNextModal<CDlgProtectPara>([](CDlgProtectPara* d) {
            Type(d->Edit(InkAccel), "33");
            Type(d->Edit(ProtectIds::InkBox2Left), "1");
            QWidget* box = d->Control(BiDirPlot);
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
            QTest::mouseClick(d->Control(1), Qt::LeftButton);
        });
        CDlgPara para;
        para.OnAdvancedPara();
        EXPECT_EQ(Live().inkAccelMm, 33);
        para.reject();
        if (connected) {
            EXPECT_TRUE(SameBlock(Live(), saved));
        } else {
            EXPECT_EQ(Live().inkAccelMm, 33);
        }
        EXPECT_EQ(theSettings.Get(Slot::BiDirPlot), 0);
        EXPECT_EQ(::InkBox2Left.load(), 1);
    }
}

TEST_F(ProtectDialog, AboutLinkHoversAndOpensThroughItsOpener)
{
    CDlgAboutBrelt about;
    about.show();
    CHyperLink* link = about.Link();
    QString opened;
    link->SetOpener([&](const QString& target) {
        opened = target;
        return CHyperLink::kSuccess;
    });
    EXPECT_EQ(about.windowTitle(), QString::fromUtf8("关于OrlatCenter"));
    EXPECT_TRUE(link->TargetUrl().contains("example.com"));
    EXPECT_EQ(link->toolTip(), link->TargetUrl());
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(link, &enter);
    EXPECT_EQ(link->CurrentColor(), QColor(255, 0, 0));
    EXPECT_TRUE(link->font().underline());
    QTest::mouseClick(link, Qt::LeftButton);
    EXPECT_EQ(opened, link->TargetUrl());
    EXPECT_TRUE(link->IsVisited());
    QTest::keyClick(&about, Qt::Key_Escape);
    EXPECT_FALSE(about.isVisible());
}
}  // namespace

namespace {
// The advanced edits: one step beyond each bound is refused, nothing stored;
// the bounds themselves go through and come back as typed.
TEST_F(ProtectDialog, BoundsAndOneStepBeyond)
{
    const MachineParams block = Live();
    for (const FieldBinding& b : ProtectBindings()) {
        const FieldSpec& s = b.spec;
        if (s.kind == FieldKind::Check) continue;
        const bool isDouble = s.kind == FieldKind::Double;
        const double step = isDouble ? 0.1 : 1;
        for (double v : {s.lo - step, s.hi + step}) {
            SCOPED_TRACE(QStringLiteral("%1 %2").arg(s.id).arg(v).toStdString());
            CDlgProtectPara d;
            d.show();
            QTest::mouseClick(d.Control(ChangeGear), Qt::LeftButton);
            Type(d.Edit(s.id), CDataExchange::Format(isDouble ? FieldKind::Double : FieldKind::Int, v));
            shown.clear();
            QTest::mouseClick(d.Control(1), Qt::LeftButton);
            ASSERT_EQ(shown.size(), 1u);
            const QString expected = v < 0 && s.kind == FieldKind::UInt ? CDataExchange::NotPositiveInteger(0)
                                     : isDouble ? CDataExchange::NumberRange(0, s.lo, s.hi)
                                                : CDataExchange::IntegerRange(0, s.lo, s.hi);
            EXPECT_EQ(shown[0].text, expected);
            EXPECT_EQ(d.focusWidget(), d.Edit(s.id));
            EXPECT_TRUE(SameBlock(Live(), block));
        }
    }
    for (bool high : {false, true}) {
        CDlgProtectPara d;
        QTest::mouseClick(d.Control(ChangeGear), Qt::LeftButton);
        for (const FieldBinding& b : ProtectBindings())
            if (b.spec.kind != FieldKind::Check)
                Type(d.Edit(b.spec.id), CDataExchange::Format(b.spec.kind, high ? b.spec.hi : b.spec.lo));
        shown.clear();
        QTest::mouseClick(d.Control(1), Qt::LeftButton);
        EXPECT_TRUE(shown.empty());
        CDlgProtectPara again;
        for (const FieldBinding& b : ProtectBindings()) {
            if (b.spec.kind == FieldKind::Check) continue;
            EXPECT_EQ(again.Edit(b.spec.id)->text(), CDataExchange::Format(b.spec.kind, high ? b.spec.hi : b.spec.lo))
                << b.spec.id;
        }
    }
}
}  // namespace
