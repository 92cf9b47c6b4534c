#include "app/MainFrame.h"

CMainFrame* g_pMainFrame = nullptr;

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(QString::fromLatin1(kTitle));
    setCentralWidget(new QWidget(this));
    resize(1024, 700);
    g_pMainFrame = this;
    connect(this, &QObject::destroyed, [] { g_pMainFrame = nullptr; });
}

void CMainFrame::BringToFront()
{
    if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}
