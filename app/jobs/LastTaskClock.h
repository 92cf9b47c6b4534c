#pragma once
// Drives the last-task keeper on the UI thread: a look at the list every
// second, and at once where it matters (a job started or ended, a file taken
// from a watched folder). A failed write is reported once, through report.
#include <QString>
#include <QTimer>
#include <functional>

#include "app/jobs/LastTaskKeeper.h"

class COrlatCenterDoc;

class CLastTaskClock {
public:
    static constexpr int kPeriodMs = 1000;

    explicit CLastTaskClock(COrlatCenterDoc& doc);

    // Before the first poll pass: the keeper looks for the file, the clock runs.
    void Start();
    LastTaskLoad Load() { return m_keeper.Load(); }
    // Writes now when the list has changed; nothing once Quitting is set.
    void KeepNow();
    KeepOutcome SaveForClose() { return m_keeper.SaveForClose(); }
    bool Running() const { return m_timer.isActive(); }

    // Shows a failure to the operator (the frame's status bar).
    std::function<void(const QString&)> report;

private:
    CLastTaskKeeper m_keeper;
    // Repeating; fires on the UI thread, which alone touches the keeper.
    QTimer m_timer;
};
