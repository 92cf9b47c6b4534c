#include "app/frame/MainFrame.h"

#include <unistd.h>

#include <QAction>
#include <QCloseEvent>
#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSplitter>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QToolBar>
#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "app/commands/FrameCommands.h"
#include "app/commands/ToolbarIcons.h"
#include "app/frame/StatusPane.h"
#include "app/controlbar/ControlBar.h"
#include "app/dialogs/DlgAboutBrelt.h"
#include "app/dialogs/DlgPara.h"
#include "app/joblist/JobListView.h"
#include "jobs/OrlatCenterDoc.h"
#include "app/preview/PreviewView.h"
#include "app/text/AppMessage.h"
#include "app/text/CodeText.h"
#include "app/text/WaitCursor.h"
#include "link/LinkState.h"
#include "link/job/JobStart.h"
#include "model/Settings.h"
#include "model/SettingsFile.h"
#include "model/Text.h"
#include "widgets/EventGuard.h"

CMainFrame* g_pMainFrame = nullptr;

// Resources of a static library are registered by hand.
static void InitFrameResources() { Q_INIT_RESOURCE(icons); }

namespace {

constexpr int kListHeight = 200;

QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }

// A slot body that reports an exception instead of letting it into Qt.
template <class F>
auto Guarded(const char* where, F f)
{
    return [where, f] { GuardEvent(where, f); };
}

}  // namespace

CMainFrame::CMainFrame(CJobService& service, QWidget* parent)
    : QMainWindow(parent), m_service(service), m_doc(service.Doc())
{
    InitFrameResources();
    setWindowTitle(QString::fromLatin1(kTitle));
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.png")));
    resize(800, 600);
    BuildClient();
    BuildMenuAndToolBar();

    SetProgramAsks(*this, this);
    writeSettings = [](std::string* error) { return SaveSettings(error); };

    WireViews();
    m_run = std::make_unique<CJobRun>(m_service, m_views);
    m_files = std::make_unique<CFileCommands>(m_service, *this, m_views);
    g_pMainFrame = this;
}

CMainFrame::~CMainFrame()
{
    if (g_pMainFrame == this) g_pMainFrame = nullptr;
    // The run stops its clocks and joins the link thread before the panes go.
    m_run.reset();
}

void CMainFrame::BringToFront()
{
    if (m_tray != nullptr) m_tray->hide();
    if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void CMainFrame::WireViews()
{
    m_views.refreshList = [this] { m_listPane->RefreshJobList(); };
    m_views.showJob = [this](int index) { m_previewPane->SetCurrentPage(index); };
    m_views.redrawPreview = [this] { m_previewPane->RedrawBuffered(); };
    m_views.shownJob = [this] { return m_previewPane->CurrentPage(); };
    m_views.drawBandOverlay = [this] { m_previewPane->DrawBandOverlay(); };
    m_views.refreshBar = [this] { UpdateMachineState(); };
    m_views.showStatus = [this](const QString& text, int ms) { statusBar()->showMessage(text, ms); };
    m_views.window = this;
}

void CMainFrame::BuildClient()
{
    m_splitter = new QSplitter(Qt::Vertical, this);
    m_listPane = new CMyListView(m_doc, m_splitter);
    m_previewPane = new COrlatCenterView(m_doc, m_splitter);
    connect(m_listPane, &CMyListView::jobClicked, m_previewPane, &COrlatCenterView::SetCurrentPage);
    connect(m_listPane, &CMyListView::jobsChanged, m_previewPane, &COrlatCenterView::RedrawBuffered);
    connect(m_listPane, &CMyListView::deleteDoneRequested, this,
            Guarded("delete done", [this] { m_service.DeleteDoneJobs(); }));
    connect(m_previewPane, &COrlatCenterView::cursorMoved, this, &CMainFrame::ShowCursorPos);
    connect(m_previewPane, &COrlatCenterView::jobListChanged, m_listPane, &CMyListView::RefreshJobList);
    m_splitter->addWidget(m_listPane);
    m_splitter->addWidget(m_previewPane);
    // The list keeps its height; the preview takes what the window gains.
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({kListHeight, 600 - kListHeight});
    setCentralWidget(m_splitter);

    m_dock = new QDockWidget(this);
    m_dock->setObjectName(QStringLiteral("ControlBarDock"));
    m_dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    m_dock->setTitleBarWidget(new QWidget(m_dock));
    m_bar = new CMyDlgBar(m_dock);
    m_bar->SetJobSource(
        [this] {
            std::vector<COnePage*> jobs;
            jobs.reserve(m_doc.m_pages.size());
            for (const auto& p : m_doc.m_pages) jobs.push_back(p.get());
            return jobs;
        },
        [] { return g_pSendJobThread != nullptr; });
    connect(m_bar, &CMyDlgBar::jobListChanged, this, Guarded("bar job list", [this] { m_listPane->RefreshJobList(); }));
    m_dock->setWidget(m_bar);
    addDockWidget(Qt::RightDockWidgetArea, m_dock);

    m_statusPane = new CStatusPane(statusBar());
}

void CMainFrame::BuildMenuAndToolBar()
{
    for (const MenuEntry& top : commandtable::MainMenu()) {
        QMenu* menu = menuBar()->addMenu(commandtable::Translate(top.text));
        AddMenuItems(menu, top.items);
        // The check marks as the menu opens.
        connect(menu, &QMenu::aboutToShow, this, Guarded("check marks", [this] { UpdateCheckMarks(); }));
        m_menus.push_back(menu);
    }

    QToolBar* bar = addToolBar(tr("工具栏"));
    bar->setObjectName(QStringLiteral("ToolBar128"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->toggleViewAction()->setEnabled(false);
    bar->setIconSize(QSize(32, 32));
    for (uint16_t id : commandtable::ToolbarButtons()) {
        if (id == 0) {
            bar->addSeparator();
            continue;
        }
        QAction* a = ActionFor(id);
        a->setIcon(ToolbarIcon(id));
        bar->addAction(a);
    }

    // Page Up, Page Down and Ctrl+O anywhere in the window. The arrows and
    // Ctrl+1 / Ctrl+2 belong to the view with the focus: the preview takes
    // them itself, the list keeps its own arrows.
    for (const AcceleratorEntry& k : commandtable::Accelerators()) {
        if (k.command != framecmd::kZoomIn && k.command != framecmd::kZoomOut && k.command != framecmd::kOpenTaskFile)
            continue;
        QAction* a = ActionFor(k.command);
        a->setShortcut(QKeySequence(QString::fromLatin1(k.key)));
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
    }
    UpdateCheckMarks();
}

QAction* CMainFrame::ActionFor(uint16_t id)
{
    if (auto it = m_actions.find(id); it != m_actions.end()) return it->second;
    auto* a = new QAction(this);
    a->setData(int{id});
    const QString status = commandtable::StatusPromptOf(id);
    if (!status.isEmpty()) a->setStatusTip(status);
    const QString tip = commandtable::ToolTipOf(id);
    if (!tip.isEmpty()) a->setToolTip(tip);
    if (framecmd::IsCheckable(id)) a->setCheckable(true);
    // A checkable action flips itself on a click; the marks follow the settings instead.
    connect(a, &QAction::triggered, this, [this, id] {
        OnCommand(id);
        UpdateCheckMarks();
    });
    m_actions.emplace(id, a);
    return a;
}

void CMainFrame::AddMenuItems(QMenu* menu, std::span<const MenuEntry> entries)
{
    for (const MenuEntry& e : entries) {
        switch (e.kind) {
        case MenuEntry::Kind::Separator: menu->addSeparator(); break;
        case MenuEntry::Kind::SubMenu: AddMenuItems(menu->addMenu(commandtable::Translate(e.text)), e.items); break;
        case MenuEntry::Kind::Command: {
            QAction* a = ActionFor(e.id);
            a->setText(commandtable::Translate(e.text));
            menu->addAction(a);
            break;
        }
        }
    }
}

QAction* CMainFrame::Action(uint16_t id) const
{
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

QMenu* CMainFrame::MainMenu(int index) const
{
    return index >= 0 && index < static_cast<int>(m_menus.size()) ? m_menus[static_cast<size_t>(index)] : nullptr;
}

void CMainFrame::UpdateCheckMarks()
{
    framecmd::CheckInputs in;
    in.language = theSettings.Get(Slot::Language);
    in.connectViaEth = theSettings.Get(Slot::ConnectViaEth);
    in.barVisible = m_bCtrlBarVisible;
    for (auto& [id, a] : m_actions)
        if (a->isCheckable()) a->setChecked(framecmd::IsChecked(id, in));
}

void CMainFrame::OnCommand(uint16_t id)
{
    GuardEvent("command", [this, id] {
        if (id >= framecmd::kTestFileFirst && id <= framecmd::kTestFileLast) {
            m_files->OnTestPlt(id - framecmd::kTestFileFirst);
            return;
        }
        switch (id) {
        case framecmd::kAddPrintFile: m_files->OnAddPrintFile(); break;
        case framecmd::kExportListAsPlt: m_files->OnExportListAsPlt(); break;
        case framecmd::kOpenTaskFile: m_files->OnOpenTaskFile(); break;
        case framecmd::kSaveTaskFile: m_files->OnSaveTaskFile(); break;
        case framecmd::kExit: close(); break;
        case framecmd::kLangChinese: OnLanguageChinese(); break;
        case framecmd::kLangEnglish: OnLanguageEnglish(); break;
        case framecmd::kLangTurkish: OnLanguageTurkish(); break;
        case framecmd::kLinkUsb: OnLinkUsb(); break;
        case framecmd::kLinkEthernet: OnLinkEthernet(); break;
        case framecmd::kMachineParams: OnMachineParams(); break;
        case framecmd::kPlotUnit: OnPlotUnit(); break;
        case framecmd::kFitToScreen: OnFitToScreen(); break;
        case framecmd::kZoomIn: OnZoomIn(); break;
        case framecmd::kZoomOut: OnZoomOut(); break;
        case framecmd::kToggleControlBar: OnToggleControlBar(); break;
        case framecmd::kHideToTray: OnHideToTray(); break;
        case framecmd::kAbout: OnAppAbout(); break;
        default: break;
        }
    });
}

// --- Commands of the menus and toolbar ---------------------------------------

void CMainFrame::OnLanguage(uint16_t id)
{
    const framecmd::LanguageChange c = framecmd::DecideLanguage(id, theSettings.Get(Slot::Language));
    if (!c.act) return;
    theSettings.Set(Slot::Language, c.language);
    ShowAppMessage(this, QMessageBox::Information, Q(c.notice));
    // The close asks first while a job runs; refused, the program runs on
    // with the new value in memory, written at the next exit.
    close();
}

void CMainFrame::OnLinkUsb() { theSettings.Set(Slot::ConnectViaEth, 0); }

void CMainFrame::OnLinkEthernet() { theSettings.Set(Slot::ConnectViaEth, 1); }

void CMainFrame::SaveAfterDialog()
{
    std::string error;
    if (!writeSettings(&error))
        ShowAppMessage(this, QMessageBox::Warning,
                       CodeText("设置无法保存: ", "The settings cannot be saved: ") + QString::fromStdString(error));
}

void CMainFrame::OnMachineParams()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (LinkConnected.load() == 0)
        ShowAppMessage(this, QMessageBox::Information,
                       CodeText("已脱机,将显示默认参数", "Offline!Show default parameter"));
    // The dialog and the save may fail; the view is fitted and repainted in every case.
    struct Refit {
        CMainFrame* f;
        ~Refit()
        {
            f->m_previewPane->FitToWindow();
            f->m_previewPane->RedrawBuffered();
            f->update();
        }
    } refit{this};
    CDlgPara dlg(this);
    if (runDialog(dlg)) SaveAfterDialog();
}

void CMainFrame::OnPlotUnit()
{
    if (askPltUnit()) SaveAfterDialog();
}

void CMainFrame::OnFitToScreen() { m_previewPane->OnFitToScreen(); }

void CMainFrame::OnZoomIn() { m_previewPane->OnZoomIn(); }

void CMainFrame::OnZoomOut() { m_previewPane->OnZoomOut(); }

void CMainFrame::OnToggleControlBar()
{
    // Hiding the bar ends any jog held on it (the bar sends the stop).
    m_bCtrlBarVisible = !m_bCtrlBarVisible;
    m_dock->setVisible(m_bCtrlBarVisible);
    UpdateCheckMarks();
}

void CMainFrame::OnAppAbout()
{
    CDlgAboutBrelt dlg(this);
    runDialog(dlg);
}

void CMainFrame::UpdateMachineState()
{
    if (m_bar != nullptr) m_bar->Refresh();
}

void CMainFrame::StartWorkers() { m_run->StartWorkers(); }

// --- Status pane and tray ----------------------------------------------------

void CMainFrame::ShowCursorPos(int x, int y)
{
    m_statusPane->ShowText(Q(framecmd::CursorText(x, y, theSettings.Get(Slot::Language))));
    m_statusPane->repaint();
}

QString CMainFrame::StatusText() const
{
    const QString temporary = statusBar()->currentMessage();
    return temporary.isEmpty() ? m_statusPane->text() : temporary;
}

void CMainFrame::OnHideToTray()
{
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        // No tray to come back from: never hide the window.
        showMinimized();
        return;
    }
    if (m_tray == nullptr) {
        m_tray = new QSystemTrayIcon(QIcon(QStringLiteral(":/icons/app.png")), this);
        m_tray->setToolTip(QStringLiteral("OrlatCenter"));
        connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason why) {
            if (why != QSystemTrayIcon::DoubleClick) return;
            m_tray->hide();
            show();
            activateWindow();
        });
    }
    m_tray->show();
    hide();
}

// --- Close -------------------------------------------------------------------

namespace {

// What the close could not save, with the system's reason when it gave one.
QString ListNotSavedText(const KeepOutcome& saved)
{
    QString why = QLatin1String(TaskFileStatusName(saved.status));
    if (saved.error != 0) why += QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(saved.error));
    return CodeText("任务列表无法保存到 ", "The job list cannot be saved to ") +
           Q(theSettings.Path(Slot::LastTaskPath)) + QStringLiteral(" (") + why + QStringLiteral(")");
}

}  // namespace

void CMainFrame::CloseFromSignal()
{
    m_forceClose = true;
    m_signalled = true;
    // A close already running (its question open, or waiting for the
    // machine) takes it up: its box is rejected and it goes on as agreed.
    if (m_inClose) return;
    close();
}

bool CMainFrame::PrepareToClose(bool forced)
{
    // A signal that comes while a question is open answers it: the box is
    // rejected, and the close goes on as if OK had been given.
    const auto agreed = [&](const QString& title, const QString& text) {
        if (forced || m_forceClose) return true;
        return askQuestion(title, text) || m_forceClose;
    };
    if (g_pSendJobThread != nullptr &&
        !agreed(QStringLiteral("提示"), QStringLiteral("机器正在运行,强行关闭可能造成任务失败!\n是否强行关闭程序?")))
        return false;
    // No job starts and no watched file is taken from here on.
    m_service.SetClosing(true);
    // The job cancelled on the machine first, and its thread's last report
    // taken (Quitting is not set yet: the hub lets it through), so the list
    // saved next says what the machine did.
    m_run->CancelJobForClose();
    // The list as a close keeps it; a last-task file the poll has not read
    // yet is read into it first, so its jobs are never dropped.
    const KeepOutcome saved = WhileBusy([&] { return m_run->SaveForClose(); });
    if (saved.kind == KeepOutcome::Failed) {
        const QString text = ListNotSavedText(saved);
        if (!agreed(CodeText("提示", "Note"), text + QStringLiteral("\n") + CodeText("仍然退出?", "Close all the same?"))) {
            m_service.SetClosing(false);
            return false;
        }
        m_closeFailure = text;
    }
    theSettings.Set(Slot::Quitting, 1);
    m_run->StopTimers();
    m_run->JoinCommPoll();
    if (saveSettings) saveSettings();
    if (g_pSendJobThread != nullptr) {
        // The machine did not let the job go: the sending thread still uses
        // the link and WorkPage, so static destructors must not run under it.
        if (!m_closeFailure.isEmpty()) std::fprintf(stderr, "OrlatCenter: %s\n", qPrintable(m_closeFailure));
        std::fflush(nullptr);
        std::quick_exit(m_closeFailure.isEmpty() ? 0 : 1);
    }
    return true;
}

void CMainFrame::closeEvent(QCloseEvent* e)
{
    if (m_closing) {
        e->accept();
        if (m_signalled) QCoreApplication::quit();
        return;
    }
    if (m_inClose) {
        // A second close while the first runs: that one decides (a signal
        // has told it through m_forceClose).
        e->ignore();
        return;
    }
    const bool forced = m_forceClose;
    m_forceClose = false;
    bool ok = false;
    m_inClose = true;
    try {
        ok = PrepareToClose(forced);
    } catch (...) {
        ok = forced || m_forceClose;
    }
    m_inClose = false;
    if (!ok) {
        e->ignore();
        return;
    }
    m_closing = true;
    if (m_tray != nullptr) m_tray->hide();
    e->accept();
    // A signal ends the program even when the window is hidden in the tray
    // (its close quits nothing by itself).
    if (m_signalled) QCoreApplication::quit();
}
