#pragma once
// Whether another process may still be writing a plot file (a file being
// copied into a data directory must not be read half-way), as far as a read
// lease can tell. A watched folder's scanner adds what the folder's change
// notifications and its own looks say before it reads.
#include <cstdint>
#include <string>

// How a file reached the reader, which decides what "busy" can mean.
enum class BusyTest {
    None,     // the program's own file (the label file): never tested
    Writers,  // busy while a lease shows someone holding it open for writing
};

// What a read lease says about the writers of a file.
enum class LeaseSays {
    NoWriter,  // granted: nobody on this machine holds it open for writing
    Writer,    // refused because someone holds it open for writing
    Unknown,   // none can be had: a file of another account, NFS, FUSE
};

// fd: the file opened read-only by the caller.
LeaseSays ProbeWriters(int fd);

// True when test is Writers and the lease shows a writer.
bool IsFileBusy(int fd, BusyTest test);

// Takes and drops a read lease on fd: 0 when it was granted, else the errno.
// Tests replace it to act as a file system without leases or a file of
// another account; set before any read starts (read by the importing thread).
using LeaseProbe = int (*)(int fd);
extern LeaseProbe g_leaseProbe;
int ProbeReadLease(int fd);
