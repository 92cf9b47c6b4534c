// Guards: the settings dialog storing anything while a value is refused, or storing where it should not.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>

#include "app/dialogs/DataExchange.h"
#include "app/dialogs/DlgPara.h"
#include "app/dialogs/IpAddressEdit.h"
#include "tests/app/dialogs/DialogFixture.h"
#include "widgets/HyperLink.h"

namespace {
using namespace ParaIds;

class ParaDialog : public DialogTest {
protected:
    static void ClickOk(CDlgPara& d) { QTest::mouseClick(d.Control(1), Qt::LeftButton); }
    static void ClickCancel(CDlgPara& d) { QTest::mouseClick(d.Control(2), Qt::LeftButton); }
};

struct Refusal {
    int id;
    QString text;
    QString message;
};

// Each edit's bounds one step beyond, and texts that are no number at all.
std::vector<Refusal> Refusals()
{
    std::vector<Refusal> r;
    for (const FieldBinding& b : ParaBindings()) {
        const FieldSpec& s = b.spec;
        if (s.kind == FieldKind::Check) continue;
        const bool isDouble = s.kind == FieldKind::Double;
        const double step = isDouble ? 0.1 : 1;
        const QString range = isDouble ? CDataExchange::NumberRange(0, s.lo, s.hi)
                                       : CDataExchange::IntegerRange(0, s.lo, s.hi);
        const QString below = CDataExchange::Format(s.kind == FieldKind::UInt ? FieldKind::Int : s.kind, s.lo - step);
        const bool negativeUInt = s.kind == FieldKind::UInt && s.lo - step < 0;
        r.push_back({s.id, below, negativeUInt ? CDataExchange::NotPositiveInteger(0) : range});
        r.push_back({s.id, CDataExchange::Format(s.kind, s.hi + step), range});
        const QString notIt = isDouble ? CDataExchange::NotNumber(0)
                              : s.kind == FieldKind::UInt ? CDataExchange::NotPositiveInteger(0)
                                                          : CDataExchange::NotInteger(0);
        for (const char* bad : {"", "abc", "1,5", "0x10", "nan", "1e999"}) r.push_back({s.id, bad, notIt});
    }
    r.push_back({CleanThickness, "-1", QString::fromUtf8("请输入一个正整数。")});
    r.push_back({LineWidth, "2.5", QString::fromUtf8("请输入一个整数。")});
    r.push_back({OutputPerMeterY, "6553.6", QString::fromUtf8("请输入一个 100 至 6553.5 之间的数字。")});
    r.push_back({OutputPerMeterY, "10000", QString::fromUtf8("请输入一个 100 至 6553.5 之间的数字。")});
    r.push_back({DxfUnit, "0", QString::fromUtf8("请输入一个 1 至 2000 之间的整数。")});
    return r;
}

TEST_F(ParaDialog, EveryBadValueIsRefusedWithItsMessageAndFocusAndNothingChanges)
{
    const MachineParams block = Live();
    const SettingsImage settings = SettingsImage::Take();
    const auto cases = Refusals();
    ASSERT_GT(cases.size(), 180u);
    for (const Refusal& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 '%2'").arg(c.id).arg(c.text).toStdString());
        CDlgPara d;
        d.show();
        Type(d.Edit(c.id), c.text);
        shown.clear();
        ClickOk(d);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].text, c.message);
        EXPECT_EQ(shown[0].caption, "OrlatCenter");
        EXPECT_EQ(d.focusWidget(), d.Edit(c.id));
        EXPECT_EQ(d.Edit(c.id)->selectedText(), d.Edit(c.id)->text());
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(d.result(), 0);
        EXPECT_TRUE(SameBlock(Live(), block));
        EXPECT_TRUE(SettingsImage::Take() == settings);
        EXPECT_EQ(KeyQueueCount(), 0);
    }
}

TEST_F(ParaDialog, EnglishMessagesFollowTheLanguage)
{
    theSettings.Set(Slot::Language, 1);
    CDlgPara d;
    Type(d.Edit(OutputPerMeterY), "6553.6");
    ClickOk(d);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Please enter a number between 100 and 6553.5.");
}

TEST_F(ParaDialog, BoundsAreAcceptedAndConvertedOnTheWayInAndOut)
{
    CDlgPara d;
    EXPECT_EQ(d.Edit(HalfKnifeLengthX)->text(), "0.8");
    EXPECT_EQ(d.Edit(OutputPerMeterX)->text(), "1000");
    EXPECT_EQ(d.Edit(CutSEOft)->text(), "1");
    Type(d.Edit(CutSEOft), "1.5");
    Type(d.Edit(HalfKnifeLengthX), "2.3");
    Type(d.Edit(HalfKnifeLengthY), " 0.1 ");
    Type(d.Edit(OutputPerMeterY), "6553.5");
    Type(d.Edit(OutputPerMeterX), "100");
    Type(d.Edit(FullKnifeLength), "99.9");
    Type(d.Edit(MachineLength), "4000");
    Type(d.Edit(StartPoint), "0.7");
    Type(d.Edit(Head2Position), "250");
    Type(d.Edit(FullKnifePressure), "100");
    Type(d.Edit(PreFeed), "600");
    Type(d.Edit(DxfUnit), "1");
    Type(d.Edit(PaperLen), "600");
    Type(d.Edit(LineWidth), "5");
    QTest::mouseClick(d.Check(PlotOnly), Qt::LeftButton);
    QTest::mouseClick(d.Check(AutoDelFinish), Qt::LeftButton);
    ClickOk(d);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    const MachineParams p = Live();
    EXPECT_EQ(theSettings.Get(Slot::CutSEOftHpgl), 15);
    EXPECT_EQ(p.halfKnifeLengthX, 23);
    EXPECT_EQ(p.halfKnifeLengthY, 1);
    EXPECT_EQ(p.outputPerMeterY, 65535);
    EXPECT_EQ(p.outputPerMeterX, 1000);
    EXPECT_EQ(p.fullKnifeLengthMm, 99);
    EXPECT_EQ(p.machineLengthMm, 4000);
    EXPECT_EQ(p.startPointMm, 0);
    EXPECT_EQ(p.head2Position, 250);
    EXPECT_EQ(p.fullKnifePressure, 100);
    EXPECT_EQ(p.preFeedMm, 600);
    EXPECT_EQ(theSettings.Get(Slot::DxfUnit), 1);
    EXPECT_EQ(theSettings.Get(Slot::PaperLenMm), 600);
    EXPECT_EQ(theSettings.Get(Slot::LineWidth), 5);
    EXPECT_EQ(theSettings.Get(Slot::PlotOnly), 1);
    EXPECT_EQ(theSettings.Get(Slot::AutoDelFinish), 0);
    EXPECT_EQ(KeyQueuePop(), 27) << "online: the block is queued for the machine";
    EXPECT_TRUE(shown.empty());

    CDlgPara again;
    EXPECT_EQ(again.Edit(CutSEOft)->text(), "1.5");
    EXPECT_EQ(again.Edit(HalfKnifeLengthX)->text(), "2.3");
    EXPECT_EQ(again.Edit(OutputPerMeterY)->text(), "6553.5");
}

TEST_F(ParaDialog, HeadBoxesFollowTheRuleAndKeepTypedValues)
{
    for (auto [select, h1, h2] : {std::tuple{0, true, true}, {1, true, false}, {2, false, true}, {3, true, true}}) {
        UpdateMachineParams([s = select](MachineParams& p) { p.headSelect = uint8_t(s); });
        CDlgPara d;
        EXPECT_EQ(d.Check(Head1)->isChecked(), h1) << select;
        EXPECT_EQ(d.Check(Head2)->isChecked(), h2) << select;
    }
    UpdateMachineParams([](MachineParams& p) { p.headSelect = 1; });
    CDlgPara d;
    d.show();
    Type(d.Edit(CutSpeed), "4");
    QTest::mouseClick(d.Check(Head1), Qt::LeftButton);  // the only head off: head 2 comes on
    EXPECT_FALSE(d.Check(Head1)->isChecked());
    EXPECT_TRUE(d.Check(Head2)->isChecked());
    EXPECT_EQ(d.Edit(CutSpeed)->text(), "4") << "a head click leaves typed values alone";
    QTest::mouseClick(d.Check(Head2), Qt::LeftButton);  // again: head 1 comes back
    EXPECT_TRUE(d.Check(Head1)->isChecked());
    EXPECT_FALSE(d.Check(Head2)->isChecked());
    QTest::mouseClick(d.Check(Head1), Qt::LeftButton);
    ClickOk(d);
    EXPECT_EQ(Live().headSelect, 2);
    EXPECT_EQ(Live().cutSpeed, 4);
    QTest::mouseClick(d.Check(Head1), Qt::LeftButton);
}

TEST_F(ParaDialog, AddressBothWays)
{
    CDlgPara d;
    const std::array<int, 4> shownOctets = d.Address()->Octets();
    EXPECT_EQ(shownOctets, (std::array<int, 4>{192, 168, 1, 215}));
    EXPECT_EQ(d.Address()->Field(0)->text(), "192");
    Type(d.Address()->Field(0), "10");
    Type(d.Address()->Field(2), "");  // blank counts 0
    Type(d.Address()->Field(3), "7");
    ClickOk(d);
    EXPECT_EQ(Live().machineIp, 0x0700A80Au);

    // Typed in one go, dots moving from field to field.
    CDlgPara typed;
    typed.show();
    typed.Address()->Field(0)->setFocus();
    typed.Address()->Field(0)->selectAll();
    for (char c : std::string("10.0.0.9")) QTest::keyClick(typed.focusWidget(), c);
    EXPECT_EQ(typed.Address()->Octets(), (std::array<int, 4>{10, 0, 0, 9}));

    CDlgPara bad;
    Type(bad.Address()->Field(1), "256");
    Type(bad.Address()->Field(2), "x");  // not even typed: digits only
    EXPECT_EQ(bad.Address()->Field(2)->text(), "");
    ClickOk(bad);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, QString::fromUtf8("请输入一个 0 至 255 之间的整数。"));
    EXPECT_EQ(bad.focusWidget(), bad.Address()->Field(1));
    EXPECT_EQ(Live().machineIp, 0x0700A80Au);
}

TEST_F(ParaDialog, OfflineOpeningDisablesExactlyTheMachineControlsAndStoresTheRest)
{
    LinkConnected = 0;
    const MachineParams block = Live();
    CDlgPara d;
    const std::set<int> off{205, 212, 200, 201, 203, 211, 421, 405, 403, 404, 410, 411, 420,
                            409, 412, 413, 415, 416, 417, 407, 408, 400, 401, 462, 406, 419};
    ASSERT_EQ(off.size(), 26u);
    EXPECT_EQ(std::set<int>(ParaOfflineIds().begin(), ParaOfflineIds().end()), off);
    for (int id : off) EXPECT_FALSE(d.Control(id)->isEnabled()) << id;
    for (int id : {SearchOutline, AutoAddToList, AutoStart, AutoRotate, AutoDelFinish, DxfUnit, PaperLen, CutSEOft,
                   Address, DataDir1, DataDir2, Advanced, Screenshot, 1, 2})
        EXPECT_TRUE(d.Control(id)->isEnabled()) << id;

    // Disabled fields are neither checked nor stored, even out of range.
    d.Edit(Head2Position)->setText("9999");
    Type(d.Edit(DxfUnit), "10");
    QTest::mouseClick(d.Check(AutoStart), Qt::LeftButton);
    ClickOk(d);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, QString::fromUtf8("脱机状态无法保存参数"));
    EXPECT_EQ(theSettings.Get(Slot::DxfUnit), 10);
    EXPECT_EQ(theSettings.Get(Slot::AutoStart), 0);
    EXPECT_TRUE(SameBlock(Live(), block)) << "the address unchanged, nothing else of the block is stored";
    EXPECT_EQ(KeyQueueCount(), 0);

    theSettings.Set(Slot::Language, 1);
    CDlgPara en;
    Type(en.Address()->Field(3), "9");
    ClickOk(en);
    EXPECT_EQ(shown.back().text, "Offline!");
    EXPECT_EQ(Live().machineIp, 0x0901A8C0u) << "a changed address is stored offline";
}

TEST_F(ParaDialog, FullQueueAppliesNothingAndSaysSo)
{
    for (int i = 0; i < CKeyQueue::kSlots; ++i) ASSERT_EQ(KeyQueuePush(6), 0);
    const MachineParams block = Live();
    const SettingsImage settings = SettingsImage::Take();
    CDlgPara d;
    d.show();
    Type(d.Edit(CutSpeed), "5");
    Type(d.Edit(DxfUnit), "4");
    ClickOk(d);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, QString::fromUtf8("控制队列已满，参数未发送，请再按确定"));
    EXPECT_TRUE(d.isVisible());
    EXPECT_TRUE(SameBlock(Live(), block));
    EXPECT_TRUE(SettingsImage::Take() == settings);
    KeyQueuePop();
    ClickOk(d);
    EXPECT_EQ(d.result(), QDialog::Accepted) << "room again: the same OK goes through";
    EXPECT_EQ(Live().cutSpeed, 5);
}

TEST_F(ParaDialog, CancelRestoresTheSavedBlockOnlyWhileConnected)
{
    UpdateMachineParams([](MachineParams& p) { p.inkAccelMm = 99; });  // as the advanced dialog would
    {
        LinkConnected = 0;
        CDlgPara d;
        ClickCancel(d);
        EXPECT_EQ(Live().inkAccelMm, 99);
    }
    LinkConnected = 1;
    CDlgPara d;
    Type(d.Edit(CutSpeed), "1");
    QTest::keyClick(&d, Qt::Key_Escape);
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_TRUE(SameBlock(Live(), Saved()));
    EXPECT_EQ(Live().inkAccelMm, 60);
}

class DataDirDialog : public ParaDialog {
protected:
    void SetUp() override
    {
        ParaDialog::SetUp();
        ASSERT_TRUE(tmp_.isValid());
        root_ = tmp_.path().toStdString();
        std::filesystem::create_directories(root_ + "/prog");
        std::filesystem::create_directories(root_ + "/empty");
        std::filesystem::create_directories(root_ + "/full");
        std::ofstream(root_ + "/full/a.plt") << "IN;";
        std::filesystem::create_directory_symlink(root_ + "/prog", root_ + "/alias");
        savedProgramDir_ = theSettings.Path(Slot::ProgramDir);
        theSettings.SetPath(Slot::ProgramDir, QString::fromStdString(root_ + "/prog/").toStdU16String());
        theSettings.DataDirMm = u"/old/one/";
        theSettings.DataDirMil = u"/old/two/";
    }
    void TearDown() override
    {
        theSettings.SetPath(Slot::ProgramDir, savedProgramDir_);
        ParaDialog::TearDown();
    }
    QTemporaryDir tmp_;
    std::string root_;
    std::u16string savedProgramDir_;
};

TEST_F(DataDirDialog, ProgramFolderAndRootRefused)
{
    CDlgPara d;
    EXPECT_EQ(d.DirLink(1)->text(), "/old/one/");
    EXPECT_EQ(d.DirLink(1)->TargetUrl(), "/old/one/");
    const QString r = QString::fromStdString(root_);
    for (const QString& f : {r + "/prog", r + "/prog/./", r + "/alias", QStringLiteral("/")}) {
        shown.clear();
        folder = f;
        QTest::mouseClick(d.Control(DataDir1), Qt::LeftButton);
        ASSERT_EQ(shown.size(), 1u) << f.toStdString();
        EXPECT_EQ(shown[0].text, "Error");
        QTest::mouseClick(d.Control(DataDir2), Qt::LeftButton);
        EXPECT_EQ(shown.back().text, QString::fromUtf8("非法的临时文件目录"));
    }
    EXPECT_EQ(theSettings.DataDirMm, u"/old/one/");
    EXPECT_EQ(theSettings.DataDirMil, u"/old/two/");
    folder.clear();  // browser cancelled
    QTest::mouseClick(d.Control(DataDir1), Qt::LeftButton);
    EXPECT_EQ(theSettings.DataDirMm, u"/old/one/");
}

TEST_F(DataDirDialog, TheOtherDataDirectoryOrOneInsideEitherIsRefusedInTheLanguageInUse)
{
    const QString r = QString::fromStdString(root_);
    std::filesystem::create_directories(root_ + "/empty/inner");
    std::filesystem::create_directory_symlink(root_ + "/empty", root_ + "/same");
    CDlgPara d;
    folder = r + "/empty";
    QTest::mouseClick(d.Control(DataDir1), Qt::LeftButton);
    ASSERT_EQ(QString::fromStdU16String(theSettings.DataDirMm), r + "/empty/");
    const struct {
        QString chosen;
        int language;
        const char* says;
    } cases[] = {
        {r + "/empty", 0, "两个数据目录必须是不同的目录"},
        {r + "/same/", 1, "must be two different folders"},
        {r + "/empty/inner", 1, "neither inside the other"},
        {r, 0, "也不能一个在另一个里面"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chosen.toStdString());
        theSettings.Set(Slot::Language, c.language);
        shown.clear();
        folder = c.chosen;
        QTest::mouseClick(d.Control(DataDir2), Qt::LeftButton);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_TRUE(shown[0].text.contains(QString::fromUtf8(c.says))) << shown[0].text.toStdString();
        EXPECT_EQ(theSettings.DataDirMil, u"/old/two/");
        EXPECT_EQ(d.DirLink(2)->text(), "/old/two/");
    }
    // The first one is checked against the second the same way.
    folder = r + "/full";
    answers = {QMessageBox::Ok};
    QTest::mouseClick(d.Control(DataDir2), Qt::LeftButton);
    ASSERT_EQ(QString::fromStdU16String(theSettings.DataDirMil), r + "/full/");
    shown.clear();
    folder = r + "/full/";
    QTest::mouseClick(d.Control(DataDir1), Qt::LeftButton);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(QString::fromStdU16String(theSettings.DataDirMm), r + "/empty/");
}

TEST_F(DataDirDialog, NonEmptyAsksAndCancelOfTheDialogKeepsTheChoice)
{
    const QString r = QString::fromStdString(root_);
    CDlgPara d;
    folder = r + "/full";
    answers = {QMessageBox::Cancel};
    QTest::mouseClick(d.Control(DataDir1), Qt::LeftButton);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, QString::fromUtf8("警告！！！"));
    EXPECT_EQ(theSettings.DataDirMm, u"/old/one/");
    answers = {QMessageBox::Ok};
    QTest::mouseClick(d.Control(DataDir1), Qt::LeftButton);
    EXPECT_EQ(QString::fromStdU16String(theSettings.DataDirMm), r + "/full/");
    EXPECT_EQ(d.DirLink(1)->text(), r + "/full/");
    EXPECT_EQ(d.DirLink(1)->TargetUrl(), r + "/full/");

    shown.clear();
    folder = r + "/empty";
    QTest::mouseClick(d.Control(DataDir2), Qt::LeftButton);
    EXPECT_TRUE(shown.empty()) << "an empty folder is taken without asking";
    EXPECT_EQ(QString::fromStdU16String(theSettings.DataDirMil), r + "/empty/");
    ClickCancel(d);
    EXPECT_EQ(QString::fromStdU16String(theSettings.DataDirMil), r + "/empty/");
    EXPECT_EQ(QString::fromStdU16String(theSettings.DataDirMm), r + "/full/");
}
}  // namespace

namespace {
// Every edit at its lowest, then at its highest allowed value, goes through.
TEST_F(ParaDialog, EveryBoundIsAccepted)
{
    for (bool high : {false, true}) {
        SCOPED_TRACE(high);
        CDlgPara d;
        for (const FieldBinding& b : ParaBindings())
            if (b.spec.kind != FieldKind::Check)
                Type(d.Edit(b.spec.id), CDataExchange::Format(b.spec.kind, high ? b.spec.hi : b.spec.lo));
        ClickOk(d);
        EXPECT_TRUE(shown.empty()) << (shown.empty() ? "" : shown[0].text.toStdString());
        EXPECT_EQ(d.result(), QDialog::Accepted);
        CDlgPara again;
        for (const FieldBinding& b : ParaBindings()) {
            if (b.spec.kind == FieldKind::Check) continue;
            EXPECT_EQ(again.Edit(b.spec.id)->text(), CDataExchange::Format(b.spec.kind, high ? b.spec.hi : b.spec.lo))
                << b.spec.id;
        }
        KeyQueueClear();
    }
}
}  // namespace
