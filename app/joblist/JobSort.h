#pragma once
// Sorting the job list by a header click: file name or time, each way.
#include <memory>
#include <optional>
#include <vector>

class COnePage;

namespace SortMode {
enum : int { None = 0, NameUp = 1, NameDown = 2, TimeUp = 3, TimeDown = 4 };
}

// The mode after a click on column; nullopt for a column that does not sort.
std::optional<int> NextSortMode(int mode, int column);
// Stable: jobs with equal keys keep their order. Names compare by UTF-16
// code unit, no case folding; times as signed 64-bit values.
void SortJobs(std::vector<std::unique_ptr<COnePage>>& pages, int mode);
