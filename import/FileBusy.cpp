#include "import/FileBusy.h"

#include <fcntl.h>
#include <signal.h>

#include <cerrno>
#include <mutex>

namespace {

// A lease broken during the short probe would deliver SIGIO, whose default
// action ends the process; nothing in the program uses SIGIO otherwise.
void IgnoreSigioOnce()
{
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction old {};
        if (sigaction(SIGIO, nullptr, &old) == 0 && old.sa_handler == SIG_DFL) {
            struct sigaction ign {};
            ign.sa_handler = SIG_IGN;
            sigemptyset(&ign.sa_mask);
            sigaction(SIGIO, &ign, nullptr);
        }
    });
}

}  // namespace

LeaseProbe g_leaseProbe = ProbeReadLease;

int ProbeReadLease(int fd)
{
    IgnoreSigioOnce();
    if (fcntl(fd, F_SETLEASE, F_RDLCK) == 0) {
        fcntl(fd, F_SETLEASE, F_UNLCK);
        return 0;
    }
    return errno != 0 ? errno : EINVAL;
}

LeaseSays ProbeWriters(int fd)
{
    const int refused = g_leaseProbe(fd);
    if (refused == 0) return LeaseSays::NoWriter;
    if (refused == EAGAIN || refused == EBUSY) return LeaseSays::Writer;
    // EACCES (another account's file without CAP_LEASE), EINVAL (no leases
    // on this file system): the writers cannot be seen from here.
    return LeaseSays::Unknown;
}

bool IsFileBusy(int fd, BusyTest test)
{
    return test == BusyTest::Writers && ProbeWriters(fd) == LeaseSays::Writer;
}
