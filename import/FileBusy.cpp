#include "import/FileBusy.h"

#include <fcntl.h>
#include <signal.h>

#include <cerrno>
#include <chrono>
#include <map>
#include <mutex>
#include <utility>

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

// Size and time seen at the previous probe of each path, for file systems
// without leases. Written and read by the reader's caller thread, under g_seenLock.
std::mutex g_seenLock;
std::map<std::string, std::pair<int64_t, int64_t>> g_seen;

constexpr int64_t kSettledNs = int64_t{2} * 1000 * 1000 * 1000;

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

bool IsFileBusy(int fd, const std::string& path, int64_t size, int64_t mtimeNs, BusyTest test)
{
    if (test == BusyTest::None) return false;
    const int refused = g_leaseProbe(fd);
    if (refused == 0) return false;
    // Refused because the file is open for writing somewhere.
    if (refused == EAGAIN || refused == EBUSY) return true;
    // No leases here: a file the operator picked is taken as it is.
    if (test == BusyTest::ByHand) return false;
    const int64_t now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                            std::chrono::system_clock::now().time_since_epoch())
                            .count();
    return SnapshotSaysBusy(path, size, mtimeNs, now);
}

bool SnapshotSaysBusy(const std::string& path, int64_t size, int64_t mtimeNs, int64_t nowNs)
{
    std::lock_guard<std::mutex> lock(g_seenLock);
    auto it = g_seen.find(path);
    if (it != g_seen.end() && it->second == std::make_pair(size, mtimeNs)) {
        g_seen.erase(it);
        return false;
    }
    if (nowNs - mtimeNs >= kSettledNs) {
        if (it != g_seen.end()) g_seen.erase(it);
        return false;
    }
    g_seen[path] = {size, mtimeNs};
    return true;
}
