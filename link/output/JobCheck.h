#pragma once
// Checks made before a job sends anything: parameter values the band engine
// and the planner divide by or index with, and the fit of the band buffers.
#include <cstdint>

#include "link/output/JobSnapshot.h"

// Capacities of the fixed band buffers.
constexpr int32_t kBandScanLines = 26000;  // band bitmap scan lines (columns)
constexpr int32_t kBandRecords = 26000;    // column records
constexpr int32_t kLeadInRecords = 30;     // zero records before column 0

// Largest pen the rasteriser accepts (the settings dialog allows 1 to 5).
constexpr int32_t kMaxLineWidth = 64;

// nullptr when the job can run with these values, else the message key of the
// first offending value:
//   "BadBandsPerCutSegment"  bandsPerCutSegment is 0
//   "BadInkInterval"         inkIntervalPulses is 0
//   "BadPulsesPerMmX"        pulsesPerMmX is 0, negative or not finite
//   "BadPulsesPerMmY"        the same for pulsesPerMmY
//   "BadOutputPerMeterX"     outputPerMeterX is 0
//   "BadOutputPerMeterY"     outputPerMeterY is 0
//   "BadHeadSelect"          headSelect above 2
//   "BadHeadOverlap"         headOverlapRows above 150
//   "BadLineWidth"           LineWidth below 0 or above kMaxLineWidth
const char* CheckJobParams(const JobSnapshot& s);

// True when a job of `bandColumns` columns fits the band bitmap and the record
// buffer with head 2 placed `head2Position` records further on. A job that
// does not fit is refused before anything is sent (with the width-check message).
bool BandBuffersFit(int32_t bandColumns, const MachineParams& p);
