#pragma once
// Whether a watched folder's file is whole, for every kind of writer. A
// lease shows local writers of the program's own account's files; the
// folder's notifications show local writers of any account; where neither
// sees the writer (another account's file on a share, a copy from another
// machine), the file must have stayed the same for kSettleNs of looks.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "jobs/DataDirScanWatch.h"
#include "jobs/FileStamp.h"
#include "import/FileBusy.h"

enum class Readiness { Ready, Busy, Settling };

class CReadyTest {
public:
    // Long enough for a copy that stalls half-way (a network hiccup, a CAD
    // program pausing between pieces).
    static constexpr int64_t kSettleNs = int64_t{10} * 1000 * 1000 * 1000;

    // One look at path. writes: what notifications say (Unknown where they
    // do not see every writer); lease: what a read lease said; localFs: a
    // granted lease sees every writer; nowNs: the scanner's clock.
    Readiness Judge(const std::string& path, WriteState writes, LeaseSays lease, bool localFs, const FileStamp& stamp,
                    int64_t nowNs);

    // True while path is settling and its next look is not due yet: nothing
    // a look could find would make it ready.
    bool Waiting(const std::string& path, int64_t nowNs) const;

    void Forget(const std::string& path) { m_settling.erase(path); }
    // Forgets the files of dir that are no longer listed.
    void Prune(const std::string& dir, const std::unordered_set<std::string>& listed);

private:
    struct Settle {
        FileStamp stamp;
        int64_t sinceNs = 0;  // the first look that saw this stamp
    };
    // Files waiting to settle, by path. UI thread only.
    std::unordered_map<std::string, Settle> m_settling;
};
