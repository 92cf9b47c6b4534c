#pragma once
// No exception may leave a Qt event handler: the handler's body runs inside
// GuardEvent, which catches, reports and lets the event loop go on.
#include <exception>
#include <functional>
#include <utility>

#include <QString>

// Shows or logs one failure; set by the application (a message box with a
// window up), qCritical until then. UI thread only.
using EventFailureReporter = std::function<void(const QString& where, const QString& what)>;
void SetEventFailureReporter(EventFailureReporter reporter);
void ReportEventFailure(const char* where, const QString& what);

template <typename F>
bool GuardEvent(const char* where, F&& body) noexcept
{
    try {
        std::forward<F>(body)();
        return true;
    } catch (const std::exception& e) {
        ReportEventFailure(where, QString::fromUtf8(e.what()));
    } catch (...) {
        ReportEventFailure(where, QStringLiteral("unknown error"));
    }
    return false;
}
