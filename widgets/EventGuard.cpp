#include "widgets/EventGuard.h"

#include <QtGlobal>

namespace {
// Written by the application at start-up, read by failing handlers; UI thread only.
EventFailureReporter g_reporter;
}  // namespace

void SetEventFailureReporter(EventFailureReporter reporter) { g_reporter = std::move(reporter); }

void ReportEventFailure(const char* where, const QString& what)
{
    try {
        if (g_reporter) {
            g_reporter(QString::fromUtf8(where), what);
            return;
        }
    } catch (...) {
        // The reporter itself failed: fall through to the log.
    }
    qCritical("%s: %s", where, qPrintable(what));
}
