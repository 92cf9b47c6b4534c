#pragma once
// How many knife points each cut pass of a page can hold at most, from one
// walk over the points of its cut lines: the job start builds only the passes
// whose bound passes the record buffer, and counts those exactly.
#include <cstdint>
#include <vector>

#include "link/output/JobSnapshot.h"

class COnePage;

// For passes 0 .. passes-1: an upper bound of the points BuildCutPass gives
// for each (every step of a cut line adds at most two points to each pass
// its feed range touches).
std::vector<int64_t> KnifePassBounds(const COnePage& page, const JobSnapshot& s, int32_t passes);
