#include "app/controlbar/ControlBar.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include "app/controlbar/BarControls.h"
#include "app/controlbar/BarDecisions.h"
#include "app/controlbar/BarField.h"
#include "app/controlbar/BarIcons.h"
#include "jobs/OrlatCenterDoc.h"
#include "link/KeyQueue.h"
#include "link/LinkCommand.h"
#include "link/LinkState.h"
#include "link/job/JobStart.h"
#include "model/Page.h"
#include "model/Settings.h"
#include "widgets/ButtonNolt.h"
#include "widgets/EventGuard.h"

namespace {

// The bar's width: the template's 148 dialog units.
constexpr int kBarWidth = 222;
constexpr int kButtonSize = 32;

// The document's job list in list order; none without a document.
std::vector<COnePage*> DocumentJobs()
{
    std::vector<COnePage*> jobs;
    if (!g_pTaskDoc) return jobs;
    jobs.reserve(g_pTaskDoc->m_pages.size());
    for (const auto& p : g_pTaskDoc->m_pages) jobs.push_back(p.get());
    return jobs;
}
bool JobThreadRuns() { return g_pSendJobThread != nullptr; }

}  // namespace

CMyDlgBar::CMyDlgBar(QWidget* parent)
    : QWidget(parent), m_hold([](uint8_t code) { return KeyQueuePush(code); }), m_jobs(DocumentJobs),
      m_jobRunning(JobThreadRuns)
{
    setObjectName(QStringLiteral("controlBar130"));
    setFixedWidth(kBarWidth);

    // Group "machine state": automatic offline, state text, warning.
    auto* stateGroup = new QGroupBox(tr("机器状态"), this);
    m_autoOffline = new QCheckBox(tr("自动脱机"), stateGroup);
    m_autoOffline->setObjectName(QStringLiteral("check213"));
    m_stateText = new CBarField(BarControl::StateText, StateTextSamples(), stateGroup);
    m_warning = new CBarField(BarControl::Warning, WarningTextSamples(), stateGroup);
    auto* stateLayout = new QVBoxLayout(stateGroup);
    stateLayout->setSpacing(6);
    stateLayout->addWidget(m_autoOffline);
    stateLayout->addWidget(m_stateText);
    stateLayout->addWidget(m_warning);

    // Group "control": two rows of three, then the jog cross.
    auto* controlGroup = new QGroupBox(tr("控制:"), this);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(9);
    grid->setVerticalSpacing(6);
    struct Place {
        int id, row, col;
    };
    const Place places[] = {
        {BarControl::Start, 0, 0},   {BarControl::Pause, 0, 1},   {BarControl::Delete, 0, 2},
        {BarControl::Clean, 1, 0},   {BarControl::Knife, 1, 1},   {BarControl::Fan, 1, 2},
        {BarControl::JogUp, 3, 1},   {BarControl::JogLeft, 4, 0}, {BarControl::JogDown, 4, 1},
        {BarControl::JogRight, 4, 2},
    };
    for (const Place& pl : places) grid->addWidget(MakeButton(pl.id, controlGroup), pl.row, pl.col);
    grid->setRowMinimumHeight(2, 14);  // the gap above the jog cross
    auto* controlLayout = new QHBoxLayout(controlGroup);
    controlLayout->addStretch();
    controlLayout->addLayout(grid);
    controlLayout->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 12, 10, 8);
    layout->setSpacing(12);
    layout->addWidget(stateGroup);
    layout->addWidget(controlGroup);
    layout->addStretch();

    // Set-up in the template's order: the two toggles with their state icons
    // drawn over the bar, then the eight plain buttons with one icon, a lighter
    // hover background and green hover text.
    Button(BarControl::Fan)->SetCheckBoxMode(true);
    Button(BarControl::Fan)->AttachStateIcons(BarIcon(193), BarIcon(194));
    Button(BarControl::Fan)->EnableTransparentDraw(false);
    Button(BarControl::Knife)->SetCheckBoxMode(true);
    Button(BarControl::Knife)->AttachStateIcons(BarIcon(191), BarIcon(192));
    Button(BarControl::Knife)->EnableTransparentDraw(false);
    const std::pair<int, int> plain[] = {
        {BarControl::JogLeft, 182}, {BarControl::JogRight, 183}, {BarControl::JogUp, 180}, {BarControl::JogDown, 181},
        {BarControl::Start, 184},   {BarControl::Pause, 186},    {BarControl::Delete, 185}, {BarControl::Clean, 187},
    };
    for (const auto& [id, icon] : plain) {
        CButtonNolt* b = Button(id);
        b->AttachStateIcons(BarIcon(icon), CButtonNolt::Derived::None);
        b->ShiftStateColor(CButtonNolt::HoverBack, 30, true);
        b->SetStateColor(CButtonNolt::HoverText, QColor(0, 128, 0), true);
    }

    m_autoOffline->setChecked(theSettings.Get(Slot::AutoOffline) != 0);
    connect(m_autoOffline, &QCheckBox::clicked, this,
            [this](bool checked) { GuardEvent("control bar auto offline", [&] { OnAutoOffline(checked); }); });
    m_timer = new QTimer(this);
    m_timer->setInterval(kTimerMs);
    connect(m_timer, &QTimer::timeout, this, [this] { GuardEvent("control bar timer", [this] { Refresh(); }); });
    m_timer->start();
    Refresh();
}

CMyDlgBar::~CMyDlgBar() = default;

CButtonNolt* CMyDlgBar::MakeButton(int controlId, QWidget* parent)
{
    auto* b = new CButtonNolt(controlId, parent);
    b->setObjectName(QStringLiteral("button%1").arg(controlId));
    b->setFixedSize(kButtonSize, kButtonSize);
    b->setFocusPolicy(Qt::NoFocus);
    m_buttons[controlId] = b;
    // The hold signal comes before clicked(): a release's stop is queued
    // ahead of the click's own code.
    connect(b, &CButtonNolt::holdButton, this, [this](int id, int pressed) {
        GuardEvent("control bar hold", [&] { OnHoldButton(id, pressed); });
    });
    // The jog buttons act by their hold alone.
    using Toggle = void (CMyDlgBar::*)(bool);
    using Command = void (CMyDlgBar::*)();
    Toggle toggle = nullptr;
    Command command = nullptr;
    switch (controlId) {
    case BarControl::Knife: toggle = &CMyDlgBar::OnKnifeUpDown; break;
    case BarControl::Fan: toggle = &CMyDlgBar::OnFanOnOff; break;
    case BarControl::Clean: command = &CMyDlgBar::OnCleanNozzles; break;
    case BarControl::Delete: command = &CMyDlgBar::OnDeleteTask; break;
    case BarControl::Pause: command = &CMyDlgBar::OnPause; break;
    case BarControl::Start: command = &CMyDlgBar::OnStartWork; break;
    default: break;
    }
    connect(b, &CButtonNolt::clicked, this, [this, toggle, command](bool checked) {
        GuardEvent("control bar click", [&] {
            if (toggle) (this->*toggle)(checked);
            if (command) (this->*command)();
        });
    });
    return b;
}

CButtonNolt* CMyDlgBar::Button(int controlId) const
{
    const auto it = m_buttons.find(controlId);
    return it == m_buttons.end() ? nullptr : it->second;
}

void CMyDlgBar::SetJobSource(JobList jobs, JobRunning running)
{
    m_jobs = jobs ? std::move(jobs) : JobList(DocumentJobs);
    m_jobRunning = running ? std::move(running) : JobRunning(JobThreadRuns);
}

void CMyDlgBar::Refresh()
{
    UpdateMachineState();
    UpdateControls();
}

void CMyDlgBar::UpdateMachineState()
{
    const BarView v = ComputeBarView(ReadBarInputs());
    m_stateText->ShowText(v.stateText);
    if (v.warning) m_warning->ShowText(*v.warning);
    SetWarningMark(v.yellow);
}

void CMyDlgBar::SetWarningMark(bool yellow)
{
    if (yellow == m_yellow) return;
    m_yellow = yellow;
    QPalette pal = m_warning->palette();
    if (yellow)
        pal.setColor(QPalette::Window, QColor(255, 255, 0));
    else
        pal = m_stateText->palette();
    m_warning->setPalette(pal);
}

void CMyDlgBar::UpdateControls()
{
    const BarEnables e = EnableRules(ReadBarInputs());
    OnUpdateJogButtons(e);
    OnUpdateReadyButtons(e);
    OnUpdateDeleteTask(e);
    OnUpdatePause(e);
    OnUpdateStartWork(e);
}

void CMyDlgBar::OnUpdateJogButtons(const BarEnables& e)
{
    // A held jog button that is disabled here ends its hold with one stop.
    for (int id : {BarControl::JogUp, BarControl::JogDown, BarControl::JogLeft, BarControl::JogRight})
        Button(id)->setEnabled(e.jog);
}

void CMyDlgBar::OnUpdateReadyButtons(const BarEnables& e)
{
    for (int id : {BarControl::Clean, BarControl::Knife, BarControl::Fan}) Button(id)->setEnabled(e.ready);
}

void CMyDlgBar::OnUpdateDeleteTask(const BarEnables& e) { Button(BarControl::Delete)->setEnabled(e.deleteTask); }
void CMyDlgBar::OnUpdatePause(const BarEnables& e) { Button(BarControl::Pause)->setEnabled(e.pause); }
void CMyDlgBar::OnUpdateStartWork(const BarEnables& e) { Button(BarControl::Start)->setEnabled(e.start); }

void CMyDlgBar::OnHoldButton(int controlId, int pressed) { m_hold.Hold(controlId, pressed); }

void CMyDlgBar::OnAutoOffline(bool checked)
{
    // Read at once by the link thread: set, it drops the link when idle.
    theSettings.Set(Slot::AutoOffline, checked ? 1 : 0);
    UpdateControls();
}

void CMyDlgBar::OnToggle(int controlId, bool checked)
{
    CButtonNolt* b = Button(controlId);
    bool sent = false;
    // Decided at the click: the enabling may be a tick old.
    if (const auto code = ClickCode(controlId, MachineStatus.load(), checked)) sent = KeyQueuePush(*code) == 0;
    // A switch that went nowhere shows its previous state again.
    if (!sent) b->SetCheckValue(!checked);
    UpdateControls();
}

void CMyDlgBar::OnCommandButton(int controlId)
{
    if (const auto code = ClickCode(controlId, MachineStatus.load(), false)) KeyQueuePush(*code);
    UpdateControls();
}

void CMyDlgBar::OnStartWork()
{
    const std::vector<COnePage*> jobs = m_jobs();
    std::vector<int32_t> states;
    states.reserve(jobs.size());
    for (const COnePage* p : jobs) states.push_back(p ? p->m_state : JobState::Done);
    const StartDecision d = DecideStart(m_jobRunning(), MachineStatus.load(), states);
    if (d.kind == StartDecision::Resume) {
        KeyQueuePush(LinkCommand::Resume);
    } else if (d.kind == StartDecision::MakeAuto) {
        jobs[size_t(d.jobIndex)]->m_state = JobState::Auto;
        emit jobListChanged();
    }
    UpdateControls();
}

void CMyDlgBar::changeEvent(QEvent* e)
{
    // The window losing activation mid-hold (a box opened by a worker, the
    // operator switching windows) may never let the release arrive.
    GuardEvent("control bar activation", [&] {
        if (e->type() == QEvent::ActivationChange && !isActiveWindow()) m_hold.EndAll();
    });
    QWidget::changeEvent(e);
}

void CMyDlgBar::hideEvent(QHideEvent* e)
{
    GuardEvent("control bar hide", [&] { m_hold.EndAll(); });
    QWidget::hideEvent(e);
}
