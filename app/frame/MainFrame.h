#pragma once
// The main window: job list over preview in a vertical splitter, menu 128,
// toolbar 128 and the window-wide keys from the command table, one status
// pane, the control bar in a fixed dock on the right. It routes the commands,
// hands the jobs' clocks and reports to its job run and the File menu to its
// file commands, and closes the program.
#include <QMainWindow>
#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "app/commands/CommandTable.h"
#include "app/commands/FrameCommands.h"
#include "app/frame/FileCommands.h"
#include "app/frame/FrameAsks.h"
#include "app/frame/FrameViews.h"
#include "app/frame/JobRun.h"

class COrlatCenterDoc;
class CJobService;
class CMyListView;
class COrlatCenterView;
class CStatusPane;
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

// The questions (FrameAsks) are the frame's: it and its file commands put
// them, tests replace them here.
class CMainFrame : public QMainWindow, public FrameAsks {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "OrlatCenterII";

    explicit CMainFrame(CJobService& service, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Restored when minimised, shown even when hidden to the tray, raised.
    void BringToFront();

    // Starts the link thread and the two timers (once the window exists).
    void StartWorkers();

    // --- Commands --------------------------------------------------------------
    void OnHideToTray();                   // 317
    void ShowCursorPos(int x, int y);
    // The close of a signal: the questions are taken as OK, also one that is
    // open already (its box rejected); the application quits once it is done.
    void CloseFromSignal();
    // What the close could not save (empty: all of it was saved): the exit
    // says so on standard error and ends with status 1.
    QString CloseFailure() const { return m_closeFailure; }

    void OnLanguageChinese() { OnLanguage(framecmd::kLangChinese); }
    void OnLanguageEnglish() { OnLanguage(framecmd::kLangEnglish); }
    void OnLanguageTurkish() { OnLanguage(framecmd::kLangTurkish); }
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

    // Writes the settings file before a close that cannot wait for the
    // sending thread (the normal exit writes it after the event loop).
    std::function<void()> saveSettings;
    // Writes the settings file after an accepted dialog; false and the reason on failure.
    std::function<bool(std::string*)> writeSettings;

    // The jobs' clocks, the link thread and the sending thread's reports.
    CJobRun& Run() { return *m_run; }
    // The File menu's commands.
    CFileCommands& Files() { return *m_files; }
    // What the run and the file commands show their work on (tests wrap them).
    FrameViews& Views() { return m_views; }

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
    CJobService& Service() { return m_service; }

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
    void BuildClient();
    void WireViews();
    // The close steps once the operator has agreed; false: stay open.
    bool PrepareToClose(bool forced);

    CJobService& m_service;
    COrlatCenterDoc& m_doc;
    QSplitter* m_splitter = nullptr;
    CMyListView* m_listPane = nullptr;
    COrlatCenterView* m_previewPane = nullptr;
    QDockWidget* m_dock = nullptr;
    CMyDlgBar* m_bar = nullptr;
    bool m_bCtrlBarVisible = true;
    std::map<uint16_t, QAction*> m_actions;  // one per command id
    std::vector<QMenu*> m_menus;             // the main menu's drop-downs
    CStatusPane* m_statusPane = nullptr;
    QSystemTrayIcon* m_tray = nullptr;

    // The panes as the run and the file commands see them; before both.
    FrameViews m_views;
    std::unique_ptr<CJobRun> m_run;
    std::unique_ptr<CFileCommands> m_files;

    bool m_closing = false;    // the close steps have run
    bool m_forceClose = false; // a signal asked for the close
    bool m_signalled = false;  // a signal came: the application quits after the close
    bool m_inClose = false;    // the close steps are running (they pump events)
    QString m_closeFailure;    // see CloseFailure
};
