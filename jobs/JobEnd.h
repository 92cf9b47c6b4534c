#pragma once
// What the end of a job and the automatic clean-up do to the job list.
#include <cstdint>
#include <optional>

#include "jobs/PageList.h"

namespace JobResult {
enum : int { Finished = 1, Failed = 2 };
}

// The machine has made a copy and its end command is not out yet: the first
// Printing job loses the copy now, so that a kill before the end never asks
// for it again. With none left it is Done from here on (as the list is kept);
// otherwise it stays Printing, kept as Manual with the copies still to make.
// Returns its index, or -1.
int CountFinishedCopy(PageList& pages);

// Finished: the job loses one copy and becomes Done when none remain, else
// Auto (it is sent again). Failed or cancelled: the job and every Auto job
// become Manual, so nothing restarts by itself. The job is the first
// Printing one; with `counted` set, CountFinishedCopy took its copy already
// (the index it has now, -1 when it has left the list): a finished end does
// not count it again, a failed one gives it back. A job the close cancelled
// (byClose) leaves the Auto jobs as they are: the next start sends them as
// the close found them. Returns the job's index, or -1.
int ApplyJobEnd(PageList& pages, int result, std::optional<int> counted = std::nullopt, bool byClose = false);

struct DoneDeletion {
    int deleted = 0;
    int printingIndex = 0;  // where the Printing job stands afterwards, 0 when none
};

// Removes every Done job in one walk.
DoneDeletion DeleteDoneJobs(PageList& pages);

// The job whose bands are going out: the Printing job while the machine
// plots, else -1 (a paused or idle machine shows no progress).
int PlottingJob(uint8_t machineStatus, const PageList& pages);
