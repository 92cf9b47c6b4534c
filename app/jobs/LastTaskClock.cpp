#include "app/jobs/LastTaskClock.h"

#include "app/jobs/TaskFileText.h"
#include "model/Settings.h"

CLastTaskClock::CLastTaskClock(COrlatCenterDoc& doc) : m_keeper(doc)
{
    m_timer.setInterval(kPeriodMs);
    QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { KeepNow(); });
}

void CLastTaskClock::Start()
{
    m_keeper.Begin();
    m_timer.start();
}

void CLastTaskClock::KeepNow()
{
    if (theSettings.Get(Slot::Quitting) != 0) {
        m_timer.stop();
        return;
    }
    const KeepOutcome o = m_keeper.Keep();
    if (o.kind == KeepOutcome::Failed && o.report && report)
        report(TaskFileSaveFailure(QString::fromStdU16String(theSettings.Path(Slot::LastTaskPath)), o.status));
}
