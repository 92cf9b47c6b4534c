#pragma once
// Band counts of the job being sent.
#include <atomic>
#include <cstdint>

#include "link/output/JobSnapshot.h"

class COnePage;

// Written by the job start (UI thread) and the sending thread's band loop;
// read by the main frame, the control bar's progress and the preview overlay.
extern std::atomic<int32_t> BandCount;     // bands of the whole prepared page
extern std::atomic<int32_t> InkBandCount;  // bands that carry ink
extern std::atomic<int32_t> BandsStepped;  // ink-band index reached by the band loop
extern std::atomic<int32_t> BandColumns;   // scan lines of every band bitmap

// Rows of one band: 150 with one head, 300 - headOverlapRows with both.
int32_t BandRowsOf(const MachineParams& p);
// First page row of band j.
int32_t BandStartRow(int32_t band, const MachineParams& p);

struct BandCountResult {
    bool counted = false;  // false for extents that are both 0
    int32_t bands = 0;
    int32_t columns = 0;   // the BandColumns value: image columns + 230
};

// Bands and columns of a page image with extents ex (feed) and ey (carriage)
// in plot units.
BandCountResult CountBandsOf(int32_t ex, int32_t ey, const JobSnapshot& s);

// The same on the page extents (or its ink extents when inkOnly); sets
// BandColumns unless both extents are 0.
int32_t CountBands(bool inkOnly, const COnePage& page, const JobSnapshot& s);
