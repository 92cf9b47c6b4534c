#pragma once
// The one place a job starts: the first Auto job with curves, when the
// machine is exactly Ready and no job's end is still waiting for its handler.
#include <cstdint>
#include <functional>

#include "jobs/PageList.h"
#include "link/job/JobSender.h"

class CJobObserver;

// The machine as the start sees it. The program's own (RealAutoStartLink)
// talks to theCommu; tests script it.
struct AutoStartLink {
    // A sending thread exists (g_pSendJobThread): its job has not ended until
    // the job-finished handler has run, whatever the link flags say.
    std::function<bool()> jobRunning;
    // Connect on demand (AutoOffline): read the parameter block, 0 on success.
    std::function<int()> readParams;
    // Status command 58, 0 on success; updates the status byte.
    std::function<int()> pollStatus;
    std::function<uint8_t()> status;
    std::function<int(const COnePage&)> startPlot;
};

// link: the transport and timings the job uses (the program's own by default).
AutoStartLink RealAutoStartLink(CJobObserver& observer, const JobLink& link = {});

struct AutoStartResult {
    int result = -1;       // 0: an Auto job is there (started or waiting), -1: none or no link
    int started = -1;      // index of the job started, or -1
    bool removed = false;  // empty Auto jobs were removed
};

// Quitting: -1. Auto jobs without curves are removed on the way. With
// AutoOffline 1 the link is brought up from here (LinkConnected and
// MachineStatus follow). Only a status byte of exactly 1 starts the job, which
// is Printing when startPlot is called (Auto again when it fails).
AutoStartResult StartNextAutoJob(PageList& pages, const AutoStartLink& link);
