#include "app/shell/MessageBoxSink.h"

#include <QApplication>
#include <QMetaObject>
#include <QPointer>
#include <QThread>

#include "app/text/AppMessage.h"
#include "app/frame/MainFrame.h"
#include "model/Message.h"
#include "model/Settings.h"

extern CMainFrame* g_pMainFrame;

namespace {

void ShowOnUiThread(const char*, const std::u16string& chinese, const std::u16string& english)
{
    const std::u16string& text = theSettings.Get(Slot::Language) == 0 ? chinese : english;
    const QString qtext = QString::fromStdU16String(text);
    QApplication* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app) return;
    auto show = [qtext] { ShowAppMessage(g_pMainFrame, QMessageBox::Warning, qtext); };
    // A worker (link thread, font loading in a tool thread) does not wait for
    // the box: it may hold the link the UI thread is about to ask for.
    if (QThread::currentThread() == app->thread()) show();
    else QMetaObject::invokeMethod(app, show, Qt::QueuedConnection);
}

}  // namespace

void InstallMessageBoxSink()
{
    SetMessageSink(&ShowOnUiThread);
}
