#include "app/frame/MainFrame.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSplitter>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QToolBar>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "app/text/AppMessage.h"
#include "app/jobs/AutoJobStart.h"
#include "app/jobs/CloseCancel.h"
#include "app/text/CodeText.h"
#include "app/controlbar/ControlBar.h"
#include "app/dialogs/DlgAboutBrelt.h"
#include "app/dialogs/DlgPara.h"
#include "app/commands/FrameCommands.h"
#include "app/commands/ToolbarIcons.h"
#include "app/dialogs/DlgSetPltUnit.h"
#include "app/jobs/ExportName.h"
#include "app/frame/FrameHub.h"
#include "app/joblist/JobListView.h"
#include "app/preview/PreviewView.h"
#include "app/jobs/JobEnd.h"
#include "app/jobs/LastTask.h"
#include "app/jobs/OrlatCenterDoc.h"
#include "app/jobs/PlotFileRead.h"
#include "link/CommPoll.h"
#include "link/LinkState.h"
#include "link/job/JobStart.h"
#include "model/Settings.h"
#include "model/SettingsFile.h"
#include "model/Text.h"
#include "widgets/EventGuard.h"

int g_bInStartTick = 0;
CMainFrame* g_pMainFrame = nullptr;

// Resources of a static library are registered by hand.
static void InitFrameResources() { Q_INIT_RESOURCE(icons); }

namespace {

constexpr int kTickMs = 500;
constexpr int kListHeight = 200;
const char* const kTestFiles[] = {"10x10.plt", "20x20.plt", "30x30.plt", "40x40.plt", "50x50.plt"};

QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }
std::u16string U(const QString& s) { return s.toStdU16String(); }

// A slot body that reports an exception instead of letting it into Qt.
template <class F>
auto Guarded(const char* where, F f)
{
    return [where, f] { GuardEvent(where, f); };
}

QString Text(const UserMessage& m) { return Q(m.Text(theSettings.Get(Slot::Language))); }

bool FileExists(const std::u16string& path)
{
    struct stat st {};
    return ::stat(ToUtf8(path).c_str(), &st) == 0;
}

}  // namespace

CMainFrame::CMainFrame(COrlatCenterDoc& doc, QWidget* parent) : QMainWindow(parent), m_doc(doc), m_lastTask(doc)
{
    InitFrameResources();
    setWindowTitle(QString::fromLatin1(kTitle));
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.png")));
    resize(800, 600);
    BuildClient();
    BuildMenuAndToolBar();

    askOpenFile = [this](const QString& title, const QString& filters) {
        return QFileDialog::getOpenFileName(this, title, QString(), filters, nullptr,
                                            QFileDialog::HideNameFilterDetails);
    };
    askSaveFile = [this](const QString& title, const QString& filters) {
        return QFileDialog::getSaveFileName(this, title, QString(), filters, nullptr,
                                            QFileDialog::HideNameFilterDetails);
    };
    askQuestion = [this](const QString& title, const QString& text) {
        return QMessageBox::question(this, title, text, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel) ==
               QMessageBox::Ok;
    };
    askPltUnit = [this] {
        CDlgSetPltUnit dlg(this);
        return dlg.exec() == QDialog::Accepted;
    };
    runDialog = [](QDialog& dlg) { return dlg.exec() == QDialog::Accepted; };
    writeSettings = [](std::string* error) { return SaveSettings(error); };

    m_tickTimer.setSingleShot(true);
    m_pollTimer.setSingleShot(true);
    connect(&m_tickTimer, &QTimer::timeout, this, [this] { OnTickTimer(); });
    connect(&m_pollTimer, &QTimer::timeout, this, [this] { OnPollTimer(); });
    m_lastTask.report = [this](const QString& m) { statusBar()->showMessage(m, 30000); };

    CFrameHub::Instance().SetFrame(this);
    g_pMainFrame = this;
}

CMainFrame::~CMainFrame()
{
    if (g_pMainFrame == this) g_pMainFrame = nullptr;
    CFrameHub::Instance().ForgetFrame(this);
    theSettings.Set(Slot::Quitting, 1);
    m_tickTimer.stop();
    m_pollTimer.stop();
    if (m_commPoll.joinable()) m_commPoll.join();
}

void CMainFrame::BringToFront()
{
    if (m_tray != nullptr) m_tray->hide();
    if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void CMainFrame::BuildClient()
{
    m_splitter = new QSplitter(Qt::Vertical, this);
    m_listPane = new CMyListView(m_doc, m_splitter);
    m_previewPane = new COrlatCenterView(m_doc, m_splitter);
    connect(m_listPane, &CMyListView::jobClicked, m_previewPane, &COrlatCenterView::SetCurrentPage);
    connect(m_listPane, &CMyListView::jobsChanged, m_previewPane, &COrlatCenterView::RedrawBuffered);
    connect(m_listPane, &CMyListView::deleteDoneRequested, this, Guarded("delete done", [this] { OnDeleteDoneJobs(); }));
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
    connect(m_bar, &CMyDlgBar::jobListChanged, this, Guarded("bar job list", [this] { RefreshJobList(); }));
    m_dock->setWidget(m_bar);
    addDockWidget(Qt::RightDockWidgetArea, m_dock);

    m_statusPane = new QLabel(this);
    m_statusPane->setObjectName(QStringLiteral("statusPane0"));
    statusBar()->addWidget(m_statusPane, 1);
    SetPaneText(commandtable::Translate(commandtable::kIdlePrompt));
    connect(statusBar(), &QStatusBar::messageChanged, this,
            [this](const QString& m) { GuardEvent("status prompt", [&] { ShowIdlePrompt(m); }); });
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
        if (k.command != 312 && k.command != 313 && k.command != 57601) continue;
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
        if (id >= 32700 && id <= 32704) {
            OnTestPlt(id - 32700);
            return;
        }
        switch (id) {
        case 309: OnAddPrintFile(); break;
        case 310: OnExportListAsPlt(); break;
        case 57601: OnOpenTaskFile(); break;
        case 57603: OnSaveTaskFile(); break;
        case 57665: close(); break;
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

void CMainFrame::ShowIdlePrompt(const QString& message)
{
    // A prompt has ended: the pane shows the idle text until the next position.
    if (message.isEmpty()) SetPaneText(commandtable::Translate(commandtable::kIdlePrompt));
}

// --- The views ---------------------------------------------------------------

void CMainFrame::RefreshJobList() { m_listPane->RefreshJobList(); }

void CMainFrame::SetCurrentPage(int index) { m_previewPane->SetCurrentPage(index); }

void CMainFrame::RedrawBuffered() { m_previewPane->RedrawBuffered(); }

// --- Workers -----------------------------------------------------------------

void CMainFrame::StartWorkers()
{
    // The list as start-up left it (a task file named on the command line).
    RefreshJobList();
    SetCurrentPage(0);
    theSettings.Set(Slot::Quitting, 0);
    if (!m_commPoll.joinable()) m_commPoll = std::thread([] { CommPollThread(); });
    StartTimers();
}

void CMainFrame::StartTimers()
{
    theSettings.Set(Slot::Quitting, 0);
    m_tickTimer.start(kTickMs);
    m_pollTimer.start(0);
    m_lastTask.Start();
}

void CMainFrame::OnTickTimer()
{
    if (theSettings.Get(Slot::Quitting) != 0) return;
    if (g_pSendJobThread == nullptr) GuardEvent("start tick", [this] { OnStartTick(); });
    // Re-armed once the handler has returned, as the blocking send paced it.
    if (theSettings.Get(Slot::Quitting) == 0) m_tickTimer.start(kTickMs);
}

void CMainFrame::OnPollTimer()
{
    if (theSettings.Get(Slot::Quitting) != 0) return;
    const PollAction a = m_pollCycle.Next(FileExists(theSettings.Path(Slot::LastTaskPath)),
                                          theSettings.Get(Slot::AutoDelFinish) != 0);
    GuardEvent("data directories", [this, &a] {
        switch (a.step) {
        case PollStep::LoadLastTask: OnLoadLastTask(); break;
        case PollStep::ScanMm: OnScanDataDir(0); break;
        case PollStep::ScanMil: OnScanDataDir(1); break;
        case PollStep::DeleteDone: OnDeleteDoneJobs(); break;
        default: break;
        }
    });
    if (theSettings.Get(Slot::Quitting) == 0) m_pollTimer.start(a.pauseMs);
}

// --- Thread messages ---------------------------------------------------------

void CMainFrame::OnBandSent()
{
    // The bar's progress and enabling after every band, the outline only while plotting.
    UpdateMachineState();
    if ((MachineStatus.load() & 0x0F) != MachineState::Plotting) return;
    if (BandOverlayWanted(MachineStatus.load(), m_doc.m_pages, m_previewPane->CurrentPage()))
        m_previewPane->DrawBandOverlay();
}

void CMainFrame::OnJobFinished(int result)
{
    ApplyJobEnd(m_doc.m_pages, result);
    m_lastTask.KeepNow();
    WorkPage.DeleteAllCurves();
    RefreshJobList();
    SetCurrentPage(0);
    UpdateMachineState();
    // Only now has the job ended: the next tick may start another.
    g_pSendJobThread.reset();
}

void CMainFrame::OnStartTick()
{
    if (g_bInStartTick) return;
    g_bInStartTick = 1;
    struct Clear {
        ~Clear() { g_bInStartTick = 0; }
    } clear;
    try {
        const AutoStartResult r = StartNextAutoJob(m_doc.m_pages, RealAutoStartLink(CFrameHub::Instance(), jobLink));
        if (r.removed || r.started >= 0) RefreshJobList();
        if (r.started >= 0) m_lastTask.KeepNow();  // before its first band is out
        if (r.started >= 0) SetCurrentPage(r.started);
        else if (r.removed) RedrawBuffered();
    } catch (const std::bad_alloc&) {
        statusBar()->showMessage(CodeText("内存不足, 任务无法开始", "Out of memory: the job cannot start"), 10000);
    }
}

void CMainFrame::OnLoadLastTask()
{
    const std::u16string path = theSettings.Path(Slot::LastTaskPath);
    const LastTaskLoad r = m_lastTask.Load();
    if (r.status != TaskFileStatus::Ok) {
        QString text = CodeText("上次的任务列表无法读入: ", "The last task list cannot be read: ") + Q(path) +
                       QStringLiteral(" (") + QLatin1String(TaskFileStatusName(r.status)) + QStringLiteral(")");
        if (!r.keptAs.empty()) text += CodeText("\n文件已保存为 ", "\nThe file was kept as ") + Q(r.keptAs);
        ShowAppMessage(this, QMessageBox::Warning, text);
    }
    RefreshJobList();
    SetCurrentPage(0);
    update();
}

void CMainFrame::OnDeleteDoneJobs()
{
    if (theSettings.Get(Slot::Quitting) == 1) return;
    const DoneDeletion d = DeleteDoneJobs(m_doc.m_pages);
    if (d.deleted == 0) return;
    RefreshJobList();
    SetCurrentPage(d.printingIndex);
}

void CMainFrame::OnScanDataDir(int unitFlag)
{
    if (theSettings.Get(Slot::AutoAddToList) == 0) return;
    const std::u16string& dir = unitFlag != 0 ? theSettings.DataDirMil : theSettings.DataDirMm;
    if (dir.empty()) return;
    ScanOutcome o = m_scanner.ScanOnce(dir, unitFlag != 0);
    if (o.page) {
        m_doc.m_pages.push_back(std::move(o.page));
        m_lastTask.KeepNow();  // its file is gone already
        RefreshJobList();
        SetCurrentPage(0);
    }
    if (!o.message.empty()) statusBar()->showMessage(Q(o.message), 10000);
}

void CMainFrame::ShowJobMessage(const QString& text) { ShowAppMessage(this, QMessageBox::Warning, text); }

// --- Adding files ------------------------------------------------------------

void CMainFrame::OnAddPrintFile()
{
    const QString path = askOpenFile(QStringLiteral("Add File"), AddFileFilters());
    if (!path.isEmpty()) AddPrintFile(path);
}

void CMainFrame::AddPrintFile(const QString& path)
{
    if (IsDxfFileName(U(path))) ImportDxfFile(path);
    else ImportPltFile(path);
}

void CMainFrame::ShowImported(const QString& message)
{
    RefreshJobList();
    SetCurrentPage(0);
    if (!message.isEmpty()) ShowAppMessage(this, QMessageBox::Warning, message);
}

void CMainFrame::ImportPltFile(const QString& path)
{
    if (UnitNoHintNextTime.load() == 0 && !askPltUnit()) return;
    PlotReadResult r = ReadPlotFile(U(path), PltFileUnit.load() == 1, false);
    if (r.outcome == PlotRead::NotReady && !r.message)
        r.message = {"OpenFileFailed", u"文件打开失败!", u"Open File Failed!"};
    if (r.page) m_doc.m_pages.push_back(std::move(r.page));
    ShowImported(r.outcome == PlotRead::NoCurves ? QString() : Text(r.message));
}

void CMainFrame::ImportDxfFile(const QString& path)
{
    PlotReadResult r = ReadPlotFile(U(path), false, false);
    if (r.outcome == PlotRead::NotReady && !r.message)
        r.message = {"OpenFileFailed", u"文件打开失败!", u"Open File Failed!"};
    if (r.page) m_doc.m_pages.push_back(std::move(r.page));
    ShowImported(r.outcome == PlotRead::NoCurves ? QString() : Text(r.message));
}

QString CMainFrame::AddFileFilters()
{
    // "*.*" would pass only names with a dot; the shown names stay the
    // system's own (the patterns are hidden in the dialog).
    return QStringLiteral("All file(*.*) (*);;HP-GL(*.plt) (*.[pP][lL][tT]);;AutoCAD(*.dxf) (*.[dD][xX][fF])");
}

QString CMainFrame::TestFilePath(int index)
{
    const QString name = QStringLiteral("TestPlt/") + QLatin1String(kTestFiles[index]);
    const QString inProgramDir = Q(theSettings.Path(Slot::ProgramDir)) + name;
    if (QFileInfo::exists(inProgramDir)) return inProgramDir;
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/") + name;
    if (QFileInfo::exists(beside)) return beside;
    return inProgramDir;
}

void CMainFrame::OnTestPlt(int index)
{
    if (index < 0 || index > 4) return;
    if (!m_doc.m_pages.empty() &&
        !askQuestion(CodeText("提示", "Note"), CodeText("打开调机文件将清空当前任务列表, 是否继续?",
                                                          "Opening a test file empties the job list. Go on?")))
        return;
    m_doc.DeleteAllPages();
    RefreshJobList();
    SetCurrentPage(0);
    ImportPltFile(TestFilePath(index));
}

void CMainFrame::OnExportListAsPlt()
{
    const QString chosen = askSaveFile(QString(), QStringLiteral("All file(*.*) (*);;HP-GL(*.plt) (*.[pP][lL][tT])"));
    if (chosen.isEmpty()) return;
    const ExportName name = ExportNameFor(U(chosen));
    if (name.appended && FileExists(name.path) &&
        !askQuestion(CodeText("提示", "Note"),
                     Q(name.path) + CodeText(" 已存在, 是否替换?", " exists already. Replace it?")))
        return;
    std::string error;
    if (!m_doc.ExportHpgl(name.path, &error))
        ShowAppMessage(this, QMessageBox::Warning, QString::fromStdString(error));
}

void CMainFrame::OnOpenTaskFile()
{
    const QString path = askOpenFile(QString(), tr("立式切割机打印任务(*.orlattask)"));
    if (path.isEmpty()) return;
    const TaskFileStatus s = m_doc.OpenTaskFile(U(path));
    if (s != TaskFileStatus::Ok)
        ShowAppMessage(this, QMessageBox::Warning,
                       CodeText("任务文件无法打开: ", "The task file cannot be opened: ") + path + QStringLiteral(" (") +
                           QLatin1String(TaskFileStatusName(s)) + QStringLiteral(")"));
    RefreshJobList();
    SetCurrentPage(0);
}

void CMainFrame::OnSaveTaskFile()
{
    QString path = Q(m_doc.CurrentPath());
    if (path.isEmpty()) path = askSaveFile(QString(), tr("立式切割机打印任务(*.orlattask)"));
    if (path.isEmpty()) return;
    if (!path.endsWith(QStringLiteral(".orlattask"), Qt::CaseInsensitive)) path += QStringLiteral(".orlattask");
    const TaskFileStatus s = m_doc.SaveTaskFile(U(path));
    if (s != TaskFileStatus::Ok)
        ShowAppMessage(this, QMessageBox::Warning,
                       CodeText("任务文件无法保存: ", "The task file cannot be saved: ") + path + QStringLiteral(" (") +
                           QLatin1String(TaskFileStatusName(s)) + QStringLiteral(")"));
}

// --- Status pane and tray ----------------------------------------------------

void CMainFrame::ShowCursorPos(int x, int y)
{
    SetPaneText(Q(framecmd::CursorText(x, y, theSettings.Get(Slot::Language))));
    m_statusPane->repaint();
}

void CMainFrame::SetPaneText(const QString& text)
{
    m_statusPane->setText(text);
    // Measured with the pane's own font, so the text is never clipped.
    const int margins = m_statusPane->contentsMargins().left() + m_statusPane->contentsMargins().right() +
                        2 * m_statusPane->margin();
    m_statusPane->setMinimumWidth(m_statusPane->fontMetrics().horizontalAdvance(text) + margins + 2);
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

void CMainFrame::CloseFromSignal()
{
    m_forceClose = true;
    close();
}

void CMainFrame::JoinCommPoll()
{
    if (!m_commPoll.joinable()) return;
    // The link thread ends at its next pass; the window keeps painting meanwhile.
    QEventLoop loop;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (g_commPollThreadRunning.load() && std::chrono::steady_clock::now() < until)
        loop.processEvents(QEventLoop::AllEvents, 20);
    m_commPoll.join();
}

bool CMainFrame::PrepareToClose(bool forced)
{
    if (g_pSendJobThread != nullptr && !forced &&
        !askQuestion(QStringLiteral("提示"),
                     QStringLiteral("机器正在运行,强行关闭可能造成任务失败!\n是否强行关闭程序?")))
        return false;
    // The list as a close keeps it; a last-task file the poll has not read
    // yet is read into it first, so its jobs are never dropped.
    const KeepOutcome saved = m_lastTask.SaveForClose();
    if (saved.kind == KeepOutcome::Failed && !forced &&
        !askQuestion(CodeText("提示", "Note"),
                     CodeText("任务列表无法保存到 ", "The job list cannot be saved to ") +
                         Q(theSettings.Path(Slot::LastTaskPath)) + QStringLiteral(" (") +
                         QLatin1String(TaskFileStatusName(saved.status)) + QStringLiteral(")\n") +
                         CodeText("仍然退出?", "Close all the same?")))
        return false;
    theSettings.Set(Slot::Quitting, 1);
    m_tickTimer.stop();
    m_pollTimer.stop();
    if (g_pSendJobThread != nullptr) {
        // Cancelled on the machine, not left inside the job; the thread's
        // last report is dropped (Quitting), so the list keeps it as saved.
        const bool ended = CancelJobForClose(RealCloseCancelHooks([] {
                                                 QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
                                                 std::this_thread::sleep_for(std::chrono::milliseconds(5));
                                             }),
                                             kCloseCancelLimit);
        if (ended) {
            g_pSendJobThread->Join();
            g_pSendJobThread.reset();
            WorkPage.DeleteAllCurves();
        }
    }
    JoinCommPoll();
    if (saveSettings) saveSettings();
    if (g_pSendJobThread != nullptr) {
        // The machine did not let the job go: the sending thread still uses
        // the link and WorkPage, so static destructors must not run under it.
        std::fflush(nullptr);
        std::quick_exit(0);
    }
    return true;
}

void CMainFrame::closeEvent(QCloseEvent* e)
{
    if (m_closing) {
        e->accept();
        return;
    }
    if (m_inClose) {
        // A second close while the first waits for the machine: that one decides.
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
        ok = forced;
    }
    m_inClose = false;
    if (!ok) {
        e->ignore();
        return;
    }
    m_closing = true;
    if (m_tray != nullptr) m_tray->hide();
    e->accept();
}
