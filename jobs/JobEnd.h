#pragma once
// What the end of a job and the automatic clean-up do to the job list.
#include <cstdint>

#include "jobs/PageList.h"

namespace JobResult {
enum : int { Finished = 1, Failed = 2 };
}

// Finished: the first Printing job loses one copy and becomes Done when none
// remain, else Auto (it is sent again). Failed or cancelled: the first
// Printing job and every Auto job become Manual, so nothing restarts by
// itself. Returns the index of the Printing job it found, or -1.
int ApplyJobEnd(PageList& pages, int result);

struct DoneDeletion {
    int deleted = 0;
    int printingIndex = 0;  // where the Printing job stands afterwards, 0 when none
};

// Removes every Done job in one walk.
DoneDeletion DeleteDoneJobs(PageList& pages);

// The job whose bands are going out: the Printing job while the machine
// plots, else -1 (a paused or idle machine shows no progress).
int PlottingJob(uint8_t machineStatus, const PageList& pages);
