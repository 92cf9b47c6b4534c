#pragma once
// One look at a watched data directory: at most one file imported. Files
// still being written are passed over for the next; what cannot be a job is
// put aside in "Rejected/"; an imported file that cannot be deleted is not
// taken again while it stays unchanged.
//
// A file found busy is not opened again at every scan (a folder of thousands
// of files being copied would cost a system call storm every 1.6 s): it is
// tried again when the directory's change notification names it (closed
// after writing, written, renamed into place), and otherwise a few at a
// time, oldest first, so files on shares without notifications still come in.
#include <cstdint>
#include <functional>
#include <map>
#include <unordered_map>
#include <memory>
#include <string>
#include <vector>

#include "model/Page.h"

namespace ScanKind {
enum : int { Nothing = 0, Imported, Rejected, Problem };
}

struct ScanOutcome {
    int kind = ScanKind::Nothing;
    std::u16string file;     // the entry acted on
    std::u16string message;  // for the status bar; empty when all went well
    std::unique_ptr<COnePage> page;  // Imported: prepared, not yet in the list
};

class CDataDirScanner {
public:
    // The sub-folder refused files are moved into.
    static constexpr char kRejectedDir[] = "Rejected";

    // Names of the regular files in dir not starting with '.', ordered by
    // name without regard to ASCII case (then by the name itself).
    static std::vector<std::string> ListFiles(const std::string& dir);

    // mil: the directory's files are in 0.0254 mm units.
    ScanOutcome ScanOnce(const std::u16string& dir, bool mil);

    // The two file-system steps that can fail on a file the program has read
    // (replaced by tests: root may delete anything). True on success.
    std::function<bool(const std::string& path)> removeFile;
    std::function<bool(const std::string& from, const std::string& to)> moveFile;

    CDataDirScanner();
    ~CDataDirScanner();
    CDataDirScanner(const CDataDirScanner&) = delete;
    CDataDirScanner& operator=(const CDataDirScanner&) = delete;

    // Busy files tried again per scan without a notification, and the scans
    // a busy file waits at least before that.
    static constexpr int kRetriesPerScan = 256;
    static constexpr uint64_t kRetryAfterScans = 4;

private:
    struct Seen {
        int64_t size = 0;
        int64_t mtimeNs = 0;
        bool operator==(const Seen&) const = default;
    };
    // Imported (or refused) files that could not be removed, with the size and
    // time they had then. UI thread only.
    std::map<std::string, Seen> m_stuck;

    // Takes the change notifications since the last scan: every path they
    // name is tried again. Watches dir when it is not watched yet.
    void TakeNotifications(const std::string& dir);

    // Busy files by path, with the scan that last tried them. UI thread only.
    std::unordered_map<std::string, uint64_t> m_busy;
    uint64_t m_scans = 0;
    // The notification descriptor (-1: none, every busy file is retried in
    // turn) and the watched directories by watch id.
    int m_notify = -1;
    std::map<int, std::string> m_watches;
};
