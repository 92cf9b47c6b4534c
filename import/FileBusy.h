#pragma once
// Whether another process may still be writing a plot file (a file being
// copied into a data directory must not be read half-way).
#include <cstdint>
#include <string>

// fd: the file opened read-only by the caller. A write lease is refused while
// anyone else holds the file open; where leases are not available, the file is
// taken as complete when its size and modification time (ns) match the previous
// call's for the same path, or when it was last modified seconds ago.
bool IsFileBusy(int fd, const std::string& path, int64_t size, int64_t mtimeNs);

// The check used where leases are not available; nowNs is the current time.
bool SnapshotSaysBusy(const std::string& path, int64_t size, int64_t mtimeNs, int64_t nowNs);
