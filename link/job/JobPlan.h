#pragma once
// The job start's preparation of the working page and what the sending thread
// takes from it: the snapshot, the band counts, and whether the job is refused.
#include <cstdint>

#include "link/output/JobSnapshot.h"

class COnePage;

// The settings the preparation reads (taken once by the job start).
struct JobPrepSettings {
    int32_t plotOnly = 0;        // PlotOnly: every curve printed
    int32_t cleanAtStart = 0;    // CleanAtStart: cleaning stripes before the job
    int32_t cleanThickness = 3;  // CleanThickness
    int32_t language = 0;        // Language: 0 Chinese, else English
};
JobPrepSettings TakeJobPrepSettings();

struct JobPlan {
    JobSnapshot snap;            // parameters and settings the whole job uses
    int32_t bandCount = 0;       // BandCount
    int32_t inkBandCount = 0;    // InkBandCount
    int32_t bandColumns = 0;     // BandColumns, as announced by command 16
    int32_t language = 0;
    // Message key of the reason the job is refused before anything is sent
    // (bad parameters, wider than the machine or the band buffers, a cut pass
    // longer than the knife records hold); null to send.
    const char* refusal = nullptr;
};

// Copies `job` into `work` and prepares it for the machine: output scaling,
// plot-only, cleaning stripes, the section shift, cut ends and corners, long
// cuts split, bounds, start position, short cuts; then counts the bands and
// checks the job. The plan holds the counts it made; BandCount, InkBandCount
// and BandColumns publish them (BandColumns only when a count counted; the
// plan's columns are then 0). Parameters that would divide by zero refuse the
// job before any of this; a cut pass that would not fit the knife records
// refuses it after.
JobPlan PrepareWorkPage(const COnePage& job, COnePage& work, const JobSnapshot& snap, const JobPrepSettings& set);

// The plot width the machine needs for a page of maxY (plot units), in mm.
int32_t PlotWidthMm(int32_t maxY, const MachineParams& p);
// Command 16's job length along the feed, in feed-axis pulses.
int32_t JobLengthPulses(int32_t maxX, const MachineParams& p);
