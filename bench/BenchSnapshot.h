#pragma once
// The machine parameters the band and knife benchmarks run with: a usual
// cutter's, as the job start would take them.
#include "link/output/JobSnapshot.h"

inline JobSnapshot BenchSnapshot()
{
    JobSnapshot s;
    MachineParams& p = s.params;
    p.pulsesPerMmX = 60.5;
    p.pulsesPerMmY = 41.36;
    p.inkIntervalPulses = 7;
    p.headSelect = 0;
    p.headOverlapRows = 2;
    p.head2Position = 145;
    p.bandsPerCutSegment = 8;
    p.outputPerMeterX = p.outputPerMeterY = 10000;
    s.lineWidth = 2;
    return s;
}
