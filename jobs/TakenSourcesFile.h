#pragma once
// The taken-sources record on disk, in the program folder beside the
// last-task file. Every write replaces it whole and durably (a temporary
// file beside it, fsync, rename, the folder's fsync), so a kill or a power
// cut leaves the old record or the new one; an empty record is still a file,
// so that a write always proves the folder takes one.
#include <string>
#include <vector>

#include "jobs/TakenSources.h"

inline constexpr char kTakenSourcesName[] = "taken-sources";

struct TakenRead {
    enum Status { Missing, Ok, Damaged, Unreadable };
    Status status = Missing;
    std::vector<TakenSource> sources;  // Ok only
    int error = 0;                     // Unreadable: errno
};

// A record larger than this is damaged (thousands of kept files are a few
// hundred kilobytes).
inline constexpr size_t kTakenSourcesMaxBytes = size_t{16} << 20;

TakenRead ReadTakenSources(const std::string& path);
// 0 when the record is on disk, else errno of the step that failed.
int WriteTakenSources(const std::string& path, const std::vector<TakenSource>& sources);
// Temporary files of a write cut short (only this instance writes there).
void RemoveTakenTemporaries(const std::string& path);
