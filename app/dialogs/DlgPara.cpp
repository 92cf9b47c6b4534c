#include "app/dialogs/DlgPara.h"

#include <QCheckBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/text/CodeText.h"
#include "jobs/DataDirCheck.h"
#include "app/dialogs/DialogHooks.h"
#include "app/dialogs/DlgGetPwd.h"
#include "app/dialogs/DlgProtectPara.h"
#include "app/dialogs/IpAddressEdit.h"
#include "app/dialogs/ParaRules.h"
#include "app/dialogs/ScreenCapture.h"
#include "link/KeyQueue.h"
#include "link/LinkState.h"
#include "model/Settings.h"
#include "widgets/EventGuard.h"
#include "widgets/HyperLink.h"

namespace {
QString U16(const std::u16string& s)
{
    return QString::fromStdU16String(s);
}

constexpr int kWriteParams = 27;
}  // namespace

CDlgPara::CDlgPara(QWidget* parent) : QDialog(parent)
{
    Build();
    LoadFromGlobals();
    m_openedOnline = LinkConnected.load() != 0;
    m_cancel.Open(m_openedOnline);
    for (const auto& b : m_form.Bindings()) m_enabled.insert(b.spec.id);
    if (!m_openedOnline) {
        for (int id : ParaOfflineIds()) {
            m_enabled.erase(id);
            if (QWidget* w = Control(id)) w->setEnabled(false);
        }
    }
    m_address->SetOctets(IpOctets(m_machineIp));
    m_dir1 = U16(theSettings.DataDirMm);
    m_dir2 = U16(theSettings.DataDirMil);
    m_dir1Link->setText(m_dir1);
    m_dir1Link->SetTargetUrl(m_dir1);
    m_dir2Link->setText(m_dir2);
    m_dir2Link->SetTargetUrl(m_dir2);
}

void CDlgPara::Build()
{
    using namespace ParaIds;
    setWindowTitle(tr("机器设置"));
    auto check = [this](int id, const char* text) {
        auto* c = new QCheckBox(tr(text), this);
        c->setObjectName(QStringLiteral("c%1").arg(id));
        m_checks[id] = c;
        return c;
    };
    auto edit = [this](int id) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QStringLiteral("c%1").arg(id));
        e->setFixedWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")));
        m_edits[id] = e;
        return e;
    };
    // One label-edit pair to a row, the edits in one column.
    auto pairs = [&](QGridLayout* grid, int firstRow, std::initializer_list<std::pair<int, const char*>> list) {
        int row = firstRow;
        for (const auto& [id, text] : list) {
            auto* label = new QLabel(tr(text), this);
            QLineEdit* e = edit(id);
            label->setBuddy(e);
            grid->addWidget(label, row, 0);
            grid->addWidget(e, row++, 1);
        }
        return row;
    };

    auto* ink = new QGroupBox(tr("喷墨参数"), this);
    auto* inkGrid = new QGridLayout(ink);
    auto* inkChecks = new QGridLayout;
    inkChecks->addWidget(check(PlotOnly, QT_TR_NOOP("只绘不切")), 0, 0);
    inkChecks->addWidget(check(PlotCutLine, QT_TR_NOOP("绘切割线")), 0, 1);
    inkChecks->addWidget(check(Head1, QT_TR_NOOP("启用1#喷头")), 1, 0);
    inkChecks->addWidget(check(Head2, QT_TR_NOOP("启用2#喷头")), 1, 1);
    inkChecks->addWidget(check(CleanAtStart, QT_TR_NOOP("开始打印前清洗喷头")), 2, 0);
    inkChecks->addWidget(check(CleanAtSection, QT_TR_NOOP("每段开始清洗喷头")), 2, 1);
    inkGrid->addLayout(inkChecks, 0, 0, 1, 2);
    pairs(inkGrid, 1,
          {{CleanThickness, QT_TR_NOOP("喷前清洗浓度(1~5)")},
           {LineWidth, QT_TR_NOOP("绘图线宽(1~5)")},
           {Head2Position, QT_TR_NOOP("2#喷头位置(100~250栅格)")},
           {BidirCorrection, QT_TR_NOOP("来回校正(0~10栅格)")},
           {HeadOverlapRows, QT_TR_NOOP("1#2#喷头X向重合点数(0~10)")},
           {FeedSpeed, QT_TR_NOOP("喷墨时进纸速度(1~3)")}});

    auto* cut = new QGroupBox(tr("切割参数"), this);
    auto* cutGrid = new QGridLayout(cut);
    pairs(cutGrid, 0,
          {{CutMode, QT_TR_NOOP("切割方式(0-不减速 1-减速抬刀)")},
           {CutSpeed, QT_TR_NOOP("切割速度(1~5)")},
           {FullKnifePressure, QT_TR_NOOP("全刀刀压(10~90)")},
           {HalfKnifePressure, QT_TR_NOOP("半刀刀压(1~90)")},
           {FullKnifeLength, QT_TR_NOOP("全刀切割长度(20~100)(mm)")},
           {HalfKnifeLengthX, QT_TR_NOOP("X向半刀切割长度(0.1~3.0)(mm)")},
           {HalfKnifeLengthY, QT_TR_NOOP("Y向半刀切割长度(0.1~3.0)(mm)")},
           {PaperCutStart, QT_TR_NOOP("裁纸起点(mm)")},
           {PaperCutEnd, QT_TR_NOOP("裁纸终点(mm)")},
           {CutSEOft, QT_TR_NOOP("起刀，终刀补偿(0~2.0mm)")}});

    auto* other = new QGroupBox(tr("其它参数"), this);
    auto* otherGrid = new QGridLayout(other);
    int row = pairs(otherGrid, 0,
                    {{OutputPerMeterX, QT_TR_NOOP("X向1米实际输出(200~5000mm)")},
                     {OutputPerMeterY, QT_TR_NOOP("Y向1米实际输出(200~5000mm)")},
                     {PreFeed, QT_TR_NOOP("分段预送纸长度(0~1000mm)")},
                     {PaperLen, QT_TR_NOOP("自动分页宽度(纸宽)(mm)")},
                     {MachineLength, QT_TR_NOOP("机器实际长度(mm)")},
                     {StartPoint, QT_TR_NOOP("起始点/右边距(0~1000mm)")},
                     {DxfUnit, QT_TR_NOOP("DXF文件单位(1,4,10,40,100,400,1000)")}});
    auto* ipLabel = new QLabel(tr("绘图仪IP(修改后重启绘图仪生效);"), this);
    m_address = new CIpAddressEdit(this);
    m_address->setObjectName(QStringLiteral("c%1").arg(ParaIds::Address));
    ipLabel->setBuddy(m_address->Field(0));
    otherGrid->addWidget(ipLabel, row, 0);
    otherGrid->addWidget(m_address, row++, 1, Qt::AlignLeft);
    otherGrid->addWidget(check(SearchOutline, QT_TR_NOOP("读取绘图文件时自动将外轮廓识别为切割线")), row++, 0, 1, 2);
    otherGrid->addWidget(check(AutoAddToList, QT_TR_NOOP("自动将数据目录下的文件加入工作列表")), row++, 0, 1, 2);
    otherGrid->addWidget(check(AutoStart, QT_TR_NOOP("文件加入列表后自动开始打印")), row++, 0, 1, 2);
    otherGrid->addWidget(check(AutoRotate, QT_TR_NOOP("宽幅模式(分页前自动旋转)")), row++, 0, 1, 2);
    otherGrid->addWidget(check(AutoDelFinish, QT_TR_NOOP("自动删除列表中已经完成的项")), row++, 0, 1, 2);

    auto button = [this](int id, const char* text) {
        auto* b = new QPushButton(tr(text), this);
        b->setObjectName(QStringLiteral("c%1").arg(id));
        b->setAutoDefault(false);
        m_buttons[id] = b;
        return b;
    };
    m_dir1Link = new CHyperLink(this);
    m_dir1Link->setObjectName(QStringLiteral("c%1").arg(DataDir1Link));
    m_dir2Link = new CHyperLink(this);
    m_dir2Link->setObjectName(QStringLiteral("c%1").arg(DataDir2Link));
    otherGrid->addWidget(button(DataDir1, QT_TR_NOOP("数据目录1(0.0250mm)(常规)")), row++, 0, 1, 2, Qt::AlignLeft);
    otherGrid->addWidget(m_dir1Link, row++, 0, 1, 2, Qt::AlignLeft);
    otherGrid->addWidget(button(DataDir2, QT_TR_NOOP("数据目录2(0.0254mm)(专用)")), row++, 0, 1, 2, Qt::AlignLeft);
    otherGrid->addWidget(m_dir2Link, row++, 0, 1, 2, Qt::AlignLeft);
    auto* dirNote = new QLabel(tr("大多数CAD软件输出的绘图文件单位为0.0250mm, 请使用数据目录1; "
                                  "某些软件输出的单位为0.0254mm(1mil), 请使用数据目录2."),
                               this);
    dirNote->setWordWrap(true);
    otherGrid->addWidget(dirNote, row++, 0, 1, 2);
    otherGrid->setRowStretch(row, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(button(Advanced, QT_TR_NOOP("高级参数")));
    buttons->addWidget(button(Screenshot, QT_TR_NOOP("截图保存")));
    buttons->addStretch(1);
    QPushButton* ok = button(1, QT_TR_NOOP("确定"));
    ok->setDefault(true);
    buttons->addWidget(ok);
    buttons->addWidget(button(2, QT_TR_NOOP("取消")));

    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(ink);
    left->addWidget(cut);
    left->addStretch(1);
    columns->addLayout(left);
    columns->addWidget(other);
    auto* top = new QVBoxLayout(this);
    top->addLayout(columns);
    top->addLayout(buttons);

    connect(m_checks[Head1], &QCheckBox::clicked, this, [this] { GuardEvent("CDlgPara head 1", [&] { OnHead1(); }); });
    connect(m_checks[Head2], &QCheckBox::clicked, this, [this] { GuardEvent("CDlgPara head 2", [&] { OnHead2(); }); });
    connect(m_buttons[DataDir1], &QPushButton::clicked, this,
            [this] { GuardEvent("CDlgPara data directory 1", [&] { OnDataDir1(); }); });
    connect(m_buttons[DataDir2], &QPushButton::clicked, this,
            [this] { GuardEvent("CDlgPara data directory 2", [&] { OnDataDir2(); }); });
    connect(m_buttons[Advanced], &QPushButton::clicked, this,
            [this] { GuardEvent("CDlgPara advanced", [&] { OnAdvancedPara(); }); });
    connect(m_buttons[Screenshot], &QPushButton::clicked, this,
            [this] { GuardEvent("CDlgPara screenshot", [&] { OnScreenshot(); }); });
    connect(ok, &QPushButton::clicked, this, &CDlgPara::accept);
    connect(m_buttons[2], &QPushButton::clicked, this, &CDlgPara::reject);
}

QWidget* CDlgPara::Control(int id) const
{
    if (auto it = m_edits.find(id); it != m_edits.end()) return it->second;
    if (auto it = m_checks.find(id); it != m_checks.end()) return it->second;
    if (auto it = m_buttons.find(id); it != m_buttons.end()) return it->second;
    if (id == ParaIds::Address) return m_address;
    if (id == ParaIds::DataDir1Link) return m_dir1Link;
    if (id == ParaIds::DataDir2Link) return m_dir2Link;
    return nullptr;
}

QLineEdit* CDlgPara::Edit(int id) const
{
    const auto it = m_edits.find(id);
    return it == m_edits.end() ? nullptr : it->second;
}

QCheckBox* CDlgPara::Check(int id) const
{
    const auto it = m_checks.find(id);
    return it == m_checks.end() ? nullptr : it->second;
}

void CDlgPara::LoadFromGlobals()
{
    const MachineParams p = SnapshotMachineParams();
    m_form.Load(p);
    m_machineIp = p.machineIp;
    ShowValues();
}

void CDlgPara::ShowValues()
{
    for (auto& [id, e] : m_edits) e->setText(m_form.Text(id));
    for (auto& [id, c] : m_checks) c->setChecked(m_form.Value(id) != 0);
}

void CDlgPara::OnHead(int id)
{
    m_form.HeadClicked(id);
    // Only the two boxes: values typed elsewhere stay as they are.
    m_checks[ParaIds::Head1]->setChecked(m_form.Value(ParaIds::Head1) != 0);
    m_checks[ParaIds::Head2]->setChecked(m_form.Value(ParaIds::Head2) != 0);
}

void CDlgPara::RefuseAt(QWidget* control, const QString& message)
{
    AppMessage(this, message, QMessageBox::Warning);
    control->setFocus(Qt::OtherFocusReason);
    if (auto* e = qobject_cast<QLineEdit*>(control)) e->selectAll();
}

bool CDlgPara::OnOK()
{
    const int language = theSettings.Get(Slot::Language);
    std::map<int, QString> texts;
    for (auto& [id, e] : m_edits) texts[id] = e->text();
    std::map<int, bool> checks;
    for (auto& [id, c] : m_checks) checks[id] = c->isChecked();
    // The exchange runs on a copy: a refused value keeps nothing.
    CParaForm form = m_form;
    const ExchangeFailure failure = form.Exchange(texts, checks, m_enabled, language);
    if (failure.id != 0) {
        RefuseAt(Control(failure.id), failure.message);
        return false;
    }
    const std::array<int, 4> octets = m_address->Octets();
    for (int i = 0; i < 4; ++i) {
        if (octets[i] > 255) {
            RefuseAt(m_address->Field(i), CDataExchange::IntegerRange(language, 0, 255));
            return false;
        }
    }
    const uint32_t ip = IpFromOctets(octets);

    const bool online = LinkConnected.load() != 0;
    // The write must not be lost silently: with no room in the queue nothing
    // is applied and the operator presses OK again.
    if (online && KeyQueueFree() <= 0) {
        AppMessage(this, CodeText("控制队列已满，参数未发送，请再按确定", "Machine busy: parameters not sent, press OK again"));
        return false;
    }
    m_form = form;
    // Opened offline, the address shown came from the settings file: it goes
    // to the block only when the operator changed it, so a machine that came
    // up meanwhile keeps its own.
    const bool storeAddress = m_openedOnline || ip != m_machineIp;
    m_machineIp = ip;
    UpdateMachineParams([&](MachineParams& p) {
        form.Store(p, m_enabled);
        if (storeAddress) p.machineIp = ip;
    });
    if (online) {
        KeyQueuePush(kWriteParams);
    } else {
        AppMessage(this, CodeText("脱机状态无法保存参数", "Offline!"), QMessageBox::Information);
    }
    return true;
}

void CDlgPara::accept()
{
    bool close = false;
    GuardEvent("CDlgPara OK", [&] { close = OnOK(); });
    if (close) QDialog::accept();
}

void CDlgPara::reject()
{
    // Drops what the advanced dialog changed, keeping a confirmed block whose
    // write still waits in the queue.
    GuardEvent("CDlgPara Cancel", [&] { m_cancel.Cancel(); });
    QDialog::reject();
}

void CDlgPara::OnDataDir(int which)
{
    const QString title = QString::fromUtf8("选择绘图文件存放的目录");
    QString& dir = which == 1 ? m_dir1 : m_dir2;
    const QString chosen = TheDialogHooks().chooseFolder(this, title, dir);
    if (chosen.isEmpty()) return;
    const QString& other = which == 1 ? m_dir2 : m_dir1;
    const DataDirChoice c = CheckDataDir(QFile::encodeName(chosen).toStdString(),
                                         QFile::encodeName(U16(theSettings.Path(Slot::ProgramDir))).toStdString(),
                                         QFile::encodeName(other).toStdString());
    const QString path = QFile::decodeName(QByteArray::fromStdString(c.path));
    if (c.verdict == DataDirVerdict::Refused && c.refusal == DataDirRefusal::OtherDataDir) {
        AppMessage(this, CodeText("两个数据目录必须是不同的目录, 也不能一个在另一个里面:\n%1\n%2",
                                  "The two data directories must be two different folders, neither inside the "
                                  "other:\n%1\n%2")
                             .arg(path, other));
    } else if (c.verdict == DataDirVerdict::Refused) {
        AppMessage(this, which == 1 ? QStringLiteral("Error") : QString::fromUtf8("非法的临时文件目录"));
    } else if (c.verdict == DataDirVerdict::AskFirst) {
        const auto answer = TheDialogHooks().messageBox(
            this, QString::fromUtf8("警告！！！"),
            QString::fromUtf8("当前设置的目录非空，\n如果设置成自动绘图目录，\n当前目录下的文件将被删除。\n是否继续？"),
            QMessageBox::Warning, QMessageBox::Ok | QMessageBox::Cancel);
        if (answer == QMessageBox::Ok) dir = path;
    } else {
        dir = path;
    }
    // At once, not on OK: Cancel keeps the directory chosen.
    CHyperLink* link = which == 1 ? m_dir1Link : m_dir2Link;
    link->setText(dir);
    link->SetTargetUrl(dir);
    (which == 1 ? theSettings.DataDirMm : theSettings.DataDirMil) = dir.toStdU16String();
    update();
}

void CDlgPara::OnAdvancedPara()
{
    CDlgGetPwd pwd(this);
    if (pwd.exec() != QDialog::Accepted) return;
    if (IsAccessCode(pwd.Text())) {
        CDlgProtectPara advanced(this);
        advanced.exec();
    } else {
        AppMessage(this, CodeText("密码错误", "Password Not Correct"));
    }
}

void CDlgPara::OnScreenshot()
{
    ScheduleScreenshot(this, ScreenshotKind::Para);
}
