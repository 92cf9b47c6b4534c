#pragma once
// SIGTERM, SIGINT and SIGHUP close the program as the window's close does
// (the question while a job runs taken as OK): the handler only writes a
// byte, the UI thread reads it and calls back.
#include <QObject>
#include <functional>

class QSocketNotifier;

class CCloseSignals : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; one instance per process.
    CCloseSignals(std::function<void()> onSignal, QObject* parent = nullptr);
    ~CCloseSignals() override;

private:
    std::function<void()> m_onSignal;
    QSocketNotifier* m_notifier = nullptr;
};
