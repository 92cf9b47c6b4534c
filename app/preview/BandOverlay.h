#pragma once
// Where the band being sent lies on the shown job.
#include <cstdint>
#include <memory>
#include <vector>

class COnePage;
struct MachineParams;

// Plot X at which band a ends and band a + 1 begins; 0 for a = -1.
int32_t BandStartPixel(int32_t a, const MachineParams& p);

struct BandSpan {
    int32_t x0 = 0, x1 = 0;  // plot X, the job's start position included
};
// Band bandsStepped - 1 to bandsStepped of a job starting at startPosMm.
BandSpan BandOverlaySpan(int32_t startPosMm, int32_t bandsStepped, const MachineParams& p);

// The first Printing job, or -1.
int FirstPrintingJob(const std::vector<std::unique_ptr<COnePage>>& pages);
