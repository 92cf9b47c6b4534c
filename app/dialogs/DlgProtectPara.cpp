#include "app/dialogs/DlgProtectPara.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/dialogs/DialogHooks.h"
#include "app/dialogs/ScreenCapture.h"
#include "model/Settings.h"
#include "widgets/EventGuard.h"

CDlgProtectPara::CDlgProtectPara(QWidget* parent) : QDialog(parent), m_form(ProtectBindings())
{
    using namespace ProtectIds;
    setWindowTitle(tr("高级参数"));
    auto edit = [this](int id) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QStringLiteral("c%1").arg(id));
        e->setFixedWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")));
        m_edits[id] = e;
        return e;
    };
    auto rows = [&](QGridLayout* grid, int first, std::initializer_list<std::pair<int, const char*>> list) {
        int row = first;
        for (const auto& [id, text] : list) {
            auto* label = new QLabel(tr(text), this);
            QLineEdit* e = edit(id);
            label->setBuddy(e);
            grid->addWidget(label, row, 0);
            grid->addWidget(e, row++, 1);
        }
        return row;
    };
    auto button = [this](int id, const char* text) {
        auto* b = new QPushButton(tr(text), this);
        b->setObjectName(QStringLiteral("c%1").arg(id));
        b->setAutoDefault(false);
        m_buttons[id] = b;
        return b;
    };

    auto* ink = new QGroupBox(tr("高级喷墨参数"), this);
    auto* inkGrid = new QGridLayout(ink);
    m_biDir = new QCheckBox(tr("双向打印"), this);
    m_biDir->setObjectName(QStringLiteral("c%1").arg(BiDirPlot));
    inkGrid->addWidget(m_biDir, 0, 0, 1, 2);
    rows(inkGrid, 1,
         {{Head1Gap, QT_TR_NOOP("1#喷头左右两列距离(20~40栅格)")},
          {Head2Gap, QT_TR_NOOP("2#喷头左右两列距离(20~40栅格)")},
          {InkAccel, QT_TR_NOOP("喷墨加速距离(30~100mm)")},
          {InkInterval, QT_TR_NOOP("喷墨间隔脉冲数")},
          {BoardVersion, QT_TR_NOOP("小车板软件版本(0~2)")},
          {ProtectIds::InkBox2Left, QT_TR_NOOP("2#喷头位置(0-靠右，1-靠左)")}});

    auto* cut = new QGroupBox(tr("高级切割参数"), this);
    auto* cutGrid = new QGridLayout(cut);
    rows(cutGrid, 0,
         {{InkCutOverlapX, QT_TR_NOOP("喷切重合(X)(0.0~10.0)(mm)")},
          {InkCutOverlapY, QT_TR_NOOP("喷切重合(Y)(0.0~10.0)(mm)")},
          {BandsPerCut, QT_TR_NOOP("切割分段(喷多少次切割一段)")},
          {AngleComp, QT_TR_NOOP("角度补偿(0~2)(mm)")}});

    auto* gear = new QGroupBox(tr("齿轮比调整"), this);
    auto* gearGrid = new QGridLayout(gear);
    const int gearRow = rows(gearGrid, 0, {{PulsesX, QT_TR_NOOP("走纸轴每mm脉冲数(30~200)")}, {PulsesY, QT_TR_NOOP("小车轴每mm脉冲数(30~200)")}});
    gearGrid->addWidget(button(ChangeGear, QT_TR_NOOP("修改齿轮比")), gearRow, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(button(Defaults, QT_TR_NOOP("恢复默认")));
    buttons->addWidget(button(Screenshot, QT_TR_NOOP("截图保存")));
    buttons->addStretch(1);
    QPushButton* ok = button(1, QT_TR_NOOP("确定"));
    ok->setDefault(true);
    buttons->addWidget(ok);
    buttons->addWidget(button(2, QT_TR_NOOP("取消")));

    auto* top = new QVBoxLayout(this);
    top->addWidget(ink);
    top->addWidget(cut);
    top->addWidget(gear);
    top->addLayout(buttons);

    connect(m_buttons[ChangeGear], &QPushButton::clicked, this,
            [this] { GuardEvent("CDlgProtectPara gear ratio", [&] { OnChangeGearRatio(); }); });
    connect(m_buttons[Defaults], &QPushButton::clicked, this,
            [this] { GuardEvent("CDlgProtectPara defaults", [&] { OnRestoreDefaults(); }); });
    connect(m_buttons[Screenshot], &QPushButton::clicked, this,
            [this] { GuardEvent("CDlgProtectPara screenshot", [&] { OnScreenshot(); }); });
    connect(ok, &QPushButton::clicked, this, &CDlgProtectPara::accept);
    connect(m_buttons[2], &QPushButton::clicked, this, &CDlgProtectPara::reject);

    m_form.Load(SnapshotMachineParams());
    for (const auto& b : m_form.Bindings()) m_enabled.insert(b.spec.id);
    // The gear ratios open only on purpose.
    for (int id : {PulsesX, PulsesY}) {
        m_enabled.erase(id);
        m_edits[id]->setEnabled(false);
    }
    ShowValues();
}

QWidget* CDlgProtectPara::Control(int id) const
{
    if (auto it = m_edits.find(id); it != m_edits.end()) return it->second;
    if (auto it = m_buttons.find(id); it != m_buttons.end()) return it->second;
    if (id == ProtectIds::BiDirPlot) return m_biDir;
    return nullptr;
}

QLineEdit* CDlgProtectPara::Edit(int id) const
{
    const auto it = m_edits.find(id);
    return it == m_edits.end() ? nullptr : it->second;
}

void CDlgProtectPara::ShowValues()
{
    for (auto& [id, e] : m_edits) e->setText(m_form.Text(id));
    m_biDir->setChecked(m_form.Value(ProtectIds::BiDirPlot) != 0);
}

void CDlgProtectPara::OnChangeGearRatio()
{
    for (int id : {ProtectIds::PulsesX, ProtectIds::PulsesY}) {
        m_enabled.insert(id);
        m_edits[id]->setEnabled(true);
    }
}

void CDlgProtectPara::OnRestoreDefaults()
{
    for (const auto& [id, v] : ProtectDefaults()) m_form.SetValue(id, v);
    ShowValues();
}

bool CDlgProtectPara::OnOK()
{
    const int language = theSettings.Get(Slot::Language);
    std::map<int, QString> texts;
    for (auto& [id, e] : m_edits) texts[id] = e->text();
    CFieldForm form = m_form;
    const ExchangeFailure failure =
        form.Exchange(texts, {{ProtectIds::BiDirPlot, m_biDir->isChecked()}}, m_enabled, language);
    if (failure.id != 0) {
        AppMessage(this, failure.message);
        QWidget* c = Control(failure.id);
        c->setFocus(Qt::OtherFocusReason);
        if (auto* e = qobject_cast<QLineEdit*>(c)) e->selectAll();
        return false;
    }
    m_form = form;
    // Every value goes, the locked gear ratios too: what the dialog shows
    // (after "restore defaults", the defaults) is what the block holds.
    std::set<int> all;
    for (const auto& b : form.Bindings()) all.insert(b.spec.id);
    UpdateMachineParams([&](MachineParams& p) { form.Store(p, all); });
    return true;
}

void CDlgProtectPara::accept()
{
    bool close = false;
    GuardEvent("CDlgProtectPara OK", [&] { close = OnOK(); });
    if (close) QDialog::accept();
}

void CDlgProtectPara::OnScreenshot()
{
    ScheduleScreenshot(this, ScreenshotKind::ProtectPara);
}
