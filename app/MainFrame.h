#pragma once
// The main window. Bare for now: the job list, preview, control bar and
// worker threads come with their own classes.
#include <QMainWindow>

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "OrlatCenterII";

    explicit CMainFrame(QWidget* parent = nullptr);

    // Restored when minimised, shown even when hidden to the tray, raised.
    void BringToFront();
};

// The one main window while it exists. UI thread only.
extern CMainFrame* g_pMainFrame;
