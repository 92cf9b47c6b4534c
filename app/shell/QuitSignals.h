#pragma once
// SIGTERM, SIGINT and SIGHUP (logout, shutdown, Ctrl+C) end the program
// through the event loop, as closing the window does, instead of killing it
// before the settings are written.
#include <QObject>

class QSocketNotifier;

class QuitSignals : public QObject {
    Q_OBJECT
public:
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;

signals:
    void quitRequested();

private:
    QSocketNotifier* m_notifier = nullptr;
};
