#pragma once
// Whether another process may still be writing a plot file (a file being
// copied into a data directory must not be read half-way).
#include <cstdint>
#include <string>

// How a file reached the reader, which decides what "busy" can mean.
enum class BusyTest {
    None,     // the program's own file (the label file): never tested
    ByHand,   // added by the operator: busy only while someone holds it open for writing
    Watched,  // found in a data directory: also, without leases, until it has settled
};

// fd: the file opened read-only by the caller. A read lease is refused only
// while someone holds the file open for writing: that file is busy. Where
// leases are not available (NFS, FUSE, a file of another user), a file added
// by hand is taken as it is; a watched file is taken when its size and
// modification time (ns) match the previous call's for the same path, or when
// it was last modified seconds ago.
bool IsFileBusy(int fd, const std::string& path, int64_t size, int64_t mtimeNs, BusyTest test);

// The check used where leases are not available; nowNs is the current time.
bool SnapshotSaysBusy(const std::string& path, int64_t size, int64_t mtimeNs, int64_t nowNs);

// Takes and drops a read lease on fd: 0 when it was granted, else the errno.
// Tests replace it to act as a file system without leases; set before any
// read starts (read by the importing thread).
using LeaseProbe = int (*)(int fd);
extern LeaseProbe g_leaseProbe;
int ProbeReadLease(int fd);
