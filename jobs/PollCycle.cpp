#include "jobs/PollCycle.h"

PollAction CPollCycle::Next(bool lastTaskExists, bool autoDelFinish)
{
    switch (m_phase) {
    case Phase::First:
        m_phase = Phase::Mm;
        return {lastTaskExists ? PollStep::LoadLastTask : PollStep::None, 0};
    case Phase::Mm:
        m_phase = Phase::Mil;
        return {PollStep::ScanMm, kScanPauseMs};
    case Phase::Mil:
        m_phase = Phase::Delete;
        return {PollStep::ScanMil, kScanPauseMs};
    case Phase::Delete:
        break;
    }
    m_phase = Phase::Mm;
    if (autoDelFinish && m_deleteRounds++ > 2) {
        m_deleteRounds = 0;
        return {PollStep::DeleteDone, kCycleEndPauseMs};
    }
    return {PollStep::None, kCycleEndPauseMs};
}
