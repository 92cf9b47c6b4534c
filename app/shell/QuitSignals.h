#pragma once
// SIGTERM, SIGINT and SIGHUP (logout, shutdown, Ctrl+C) end the program
// through the event loop, as closing the window does, instead of killing it
// before the settings are written. The handlers are in place from
// construction, before any box of the start-up. Once a signal has come no
// box may hold the close: open dialogs are rejected and the program's own
// messages go to standard error.
#include <QObject>

class QSocketNotifier;

class QuitSignals : public QObject {
    Q_OBJECT
public:
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;

    // A signal has been taken (its quitRequested emitted).
    bool Requested() const { return m_requested; }

signals:
    void quitRequested();

private:
    QSocketNotifier* m_notifier = nullptr;
    bool m_requested = false;  // UI thread only
};
