#include "app/shell/QuitSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <cstdio>

#include "app/text/AppMessage.h"

namespace {

// The self-pipe: written by the signal handler, read by the UI thread.
int g_pipe[2] = {-1, -1};

void OnSignal(int)
{
    const char c = 1;
    const ssize_t n = ::write(g_pipe[1], &c, 1);  // the only async-signal-safe way out
    (void)n;
}

// A box waiting for an answer nobody will give would hold the close for ever.
void EndEveryBox()
{
    SetAppMessageHook([](QMessageBox::Icon, const QString& text) {
        std::fprintf(stderr, "OrlatCenter: %s\n", qPrintable(text));
    });
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<QDialog*>(w); d != nullptr && d->isVisible()) d->reject();
}

}  // namespace

QuitSignals::QuitSignals(QObject* parent) : QObject(parent)
{
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char buf[16];
        while (::read(g_pipe[0], buf, sizeof buf) > 0) {
        }
        m_requested = true;
        EndEveryBox();
        emit quitRequested();
    });
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(sig, &sa, nullptr);
}

QuitSignals::~QuitSignals()
{
    struct sigaction sa {};
    sa.sa_handler = SIG_DFL;
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(sig, &sa, nullptr);
    delete m_notifier;
    m_notifier = nullptr;
    for (int& fd : g_pipe) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
}
