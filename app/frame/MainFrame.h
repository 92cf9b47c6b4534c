#pragma once
// The main window: job list over preview in a vertical splitter, menu 128,
// toolbar 128 and the window-wide keys from the command table, one status
// pane, the control bar in a fixed dock on the right. It runs the start tick and the UI poll on single-shot
// timers of the UI thread, takes the sending thread's reports through the
// hub, imports files by hand and from the data directories, and closes the
// program.
#include <QMainWindow>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>
#include <thread>

#include <span>

#include "app/commands/CommandTable.h"
#include "app/jobs/DataDirScan.h"
#include "app/jobs/LastTaskClock.h"
#include "app/jobs/PollCycle.h"
#include "link/job/JobSender.h"

class COrlatCenterDoc;
class CMyListView;
class COrlatCenterView;
class QLabel;
class QSplitter;
class QDockWidget;
class QSystemTrayIcon;
class QAction;
class QDialog;
class QMenu;
class CMainFrame;
class CMyDlgBar;

// The one main window while it exists. UI thread only.
extern CMainFrame* g_pMainFrame;

// Set while OnStartTick runs: dialogs and menus run nested event loops, in
// which the next tick must not start a second job. UI thread only.
extern int g_bInStartTick;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "OrlatCenterII";

    explicit CMainFrame(COrlatCenterDoc& doc, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Restored when minimised, shown even when hidden to the tray, raised.
    void BringToFront();

    // Starts the link thread and the two timers (once the window exists).
    void StartWorkers();
    // For tests: the timers alone, or none of the workers.
    void StartTimers();

    // --- Thread messages (UI thread) ---------------------------------------
    void OnBandSent();
    void OnJobFinished(int result);
    void OnStartTick();
    void OnLoadLastTask();
    void OnDeleteDoneJobs();
    void OnScanDataDir(int unitFlag);
    void ShowJobMessage(const QString& text);

    // --- Commands --------------------------------------------------------------
    void OnAddPrintFile();                 // 309
    void AddPrintFile(const QString& path);  // the chosen file
    void ImportPltFile(const QString& path);
    void ImportDxfFile(const QString& path);
    void OnTestPlt(int index);             // 32700 + index: 10x10 .. 50x50
    void OnExportListAsPlt();              // 310
    void OnOpenTaskFile();                 // 57601
    void OnSaveTaskFile();                 // 57603
    void OnHideToTray();                   // 317
    void ShowCursorPos(int x, int y);
    // The close of a signal: the question while a job runs is taken as OK.
    void CloseFromSignal();

    void OnLanguageChinese() { OnLanguage(3000); }  // 3000
    void OnLanguageEnglish() { OnLanguage(3001); }  // 3001
    void OnLanguageTurkish() { OnLanguage(3002); }  // 3002
    void OnLinkUsb();                      // 3201
    void OnLinkEthernet();                 // 3202
    void OnMachineParams();                // 315
    void OnPlotUnit();                     // 3003
    void OnFitToScreen();                  // 314
    void OnZoomIn();                       // 312
    void OnZoomOut();                      // 313
    void OnToggleControlBar();             // 316
    void OnAppAbout();                     // 57664
    // Runs the handler of a command id, reporting any failure.
    void OnCommand(uint16_t id);
    // The check marks of the commands, as a menu opening refreshes them.
    void UpdateCheckMarks();

    // The bar's state display and enabling.
    void UpdateMachineState();

    // The add-file dialog's filters: "All file" matches every name, the
    // others their extension in any case.
    static QString AddFileFilters();

    // Where a test file is: ProgramDir/TestPlt/ or TestPlt/ beside the program.
    static QString TestFilePath(int index);

    // Dialogs, replaceable by tests. Empty string: cancelled.
    std::function<QString(const QString& title, const QString& filters)> askOpenFile;
    std::function<QString(const QString& title, const QString& filters)> askSaveFile;
    // OK/Cancel (or Yes/No) question; true for OK.
    std::function<bool(const QString& title, const QString& text)> askQuestion;
    // Shows the unit dialog for a hand import; false when cancelled.
    std::function<bool()> askPltUnit;
    // Writes the settings file before a close that cannot wait for the
    // sending thread (the normal exit writes it after the event loop).
    std::function<void()> saveSettings;
    // Runs a modal dialog (parameters, About); true for OK.
    std::function<bool(QDialog&)> runDialog;
    // Writes the settings file after an accepted dialog; false and the reason on failure.
    std::function<bool(std::string*)> writeSettings;
    // How jobs reach the machine (tests shorten the time-outs).
    JobLink jobLink;

    // For tests and the screenshot.
    CMyListView* ListView() const { return m_listPane; }
    COrlatCenterView* PreviewView() const { return m_previewPane; }
    QDockWidget* ControlDock() const { return m_dock; }
    CMyDlgBar* ControlBar() const { return m_bar; }
    bool ControlBarVisible() const { return m_bCtrlBarVisible; }
    QAction* Action(uint16_t id) const;
    QMenu* MainMenu(int index) const;
    QSplitter* Splitter() const { return m_splitter; }
    QString StatusText() const;
    COrlatCenterDoc& Document() { return m_doc; }
    CDataDirScanner& Scanner() { return m_scanner; }
    CLastTaskClock& LastTask() { return m_lastTask; }
    bool TimersActive() const { return m_tickTimer.isActive() || m_pollTimer.isActive(); }

protected:
    void closeEvent(QCloseEvent* e) override;
    // No menu of bars to hide: the control bar is shown and hidden by 316 only.
    QMenu* createPopupMenu() override { return nullptr; }

private:
    void BuildMenuAndToolBar();
    QAction* ActionFor(uint16_t id);
    void AddMenuItems(QMenu* menu, std::span<const MenuEntry> entries);
    void OnLanguage(uint16_t id);
    void SaveAfterDialog();
    void ShowIdlePrompt(const QString& message);
    void SetPaneText(const QString& text);
    void BuildClient();
    void OnTickTimer();
    void OnPollTimer();
    // The views: the list rebuilt, the preview showing job i, redrawn.
    void RefreshJobList();
    void SetCurrentPage(int index);
    void RedrawBuffered();
    void ShowImported(const QString& message);
    // The close steps once the operator has agreed; false: stay open.
    bool PrepareToClose(bool forced);
    void JoinCommPoll();

    COrlatCenterDoc& m_doc;
    QSplitter* m_splitter = nullptr;
    CMyListView* m_listPane = nullptr;
    COrlatCenterView* m_previewPane = nullptr;
    QDockWidget* m_dock = nullptr;
    CMyDlgBar* m_bar = nullptr;
    bool m_bCtrlBarVisible = true;
    std::map<uint16_t, QAction*> m_actions;  // one per command id
    std::vector<QMenu*> m_menus;             // the main menu's drop-downs
    QLabel* m_statusPane = nullptr;
    QSystemTrayIcon* m_tray = nullptr;

    // The two clocks, re-armed when each handler returns (UI thread).
    QTimer m_tickTimer;
    QTimer m_pollTimer;
    CPollCycle m_pollCycle;
    CDataDirScanner m_scanner;
    // Keeps the last-task file true while the program runs (UI thread).
    CLastTaskClock m_lastTask;

    // The link thread; started by StartWorkers, joined at close.
    std::thread m_commPoll;
    bool m_closing = false;    // the close steps have run
    bool m_forceClose = false; // a signal asked for the close
    bool m_inClose = false;    // the close steps are running (they pump events)
};
