#pragma once
// One look at a watched data directory: at most one file imported. A file is
// taken only once it is whole (CReadyTest: lease, notifications, settling),
// and only when it is still the same after it was read: a file that changed
// while it was read is neither taken nor deleted. What cannot be a job is put
// aside in "Rejected/"; a file that cannot be opened is named once.
//
// An imported file stays where it is: its taker holds it (Hold) once the job
// is in the list, and it is deleted only when the list that holds the job is
// on disk (RemoveDurable). A held file, and one that could not be deleted,
// is not taken again while it stays unchanged.
//
// A file found busy is not opened again at every scan (a folder of thousands
// of files being copied would cost a system call storm every 1.6 s): it is
// tried again when the directory's change notification names it (closed
// after writing, written, renamed into place), and otherwise a few at a
// time, oldest first, so files on shares without notifications still come in.
//
// Names are the bytes the file system holds: they are listed, opened, moved
// and deleted as such, and shown as UTF-8 or else GBK.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "jobs/DataDirScanReady.h"
#include "jobs/DataDirScanWatch.h"
#include "jobs/LastTaskKeeper.h"
#include "jobs/PlotFileRead.h"
#include "jobs/TakenSources.h"
#include "model/Page.h"

struct stat;

namespace ScanKind {
enum : int { Nothing = 0, Imported, Rejected, Problem };
}

struct ScanOutcome {
    int kind = ScanKind::Nothing;
    std::u16string file;     // the entry acted on, as shown
    std::u16string message;  // for the status bar; empty when all went well
    std::unique_ptr<COnePage> page;  // Imported: prepared, not yet in the list
    TakenSource source;              // Imported: the file it came from, still there
};

class CDataDirScanner {
public:
    // The sub-folder refused files are moved into.
    static constexpr char kRejectedDir[] = "Rejected";

    // Names (bytes) of the regular files in dir not starting with '.',
    // ordered by name without regard to ASCII case (then by the name itself).
    static std::vector<std::string> ListFiles(const std::string& dir);

    // mil: the directory's files are in 0.0254 mm units.
    ScanOutcome ScanOnce(const std::u16string& dir, bool mil);

    // The two file-system steps that can fail on a file the program has read
    // (replaced by tests: root may delete anything). True on success.
    std::function<bool(const std::string& path)> removeFile;
    std::function<bool(const std::string& from, const std::string& to)> moveFile;
    // Reads one file into a page (fsPath: the bytes of its path; shown: what
    // the job is named). Tests wrap it to change the file between the read
    // and the check after it.
    std::function<PlotReadResult(const std::string& fsPath, const std::u16string& shown, bool mil)> readFile;
    // The scanner's clock in ns (steady). Tests drive it.
    std::function<int64_t()> nowNs;
    // Whether a folder's leases and notifications see every writer (a local
    // file system). Tests act as a share with it.
    std::function<bool(const std::string& dir)> localFolder;
    // False: act as where inotify is unavailable (set before the first scan).
    bool notifications = true;

    CDataDirScanner();
    CDataDirScanner(const CDataDirScanner&) = delete;

    // --- Files taken as jobs and still there -------------------------------
    // The file of an Imported page, its job now in the list (or a kept file
    // of the record): not taken again while it is unchanged. A pending one is
    // deleted once the list holding its job has ticket and that is durable;
    // without a ticket it waits.
    void Hold(const TakenSource& source, std::optional<KeepTicket> ticket = std::nullopt);
    void SetTicket(const std::string& path, KeepTicket ticket);
    // The take undone: the file is looked at again as a new one.
    void Release(const std::string& path);
    // Deletes every pending file whose ticket is durable and that is still as
    // it was read (a changed one is forgotten, so taken as new). One that
    // cannot be deleted is kept. The files that could not be are returned.
    std::vector<std::u16string> RemoveDurable(const std::function<bool(KeepTicket)>& durable);
    // The record as it stands, in path order.
    std::vector<TakenSource> TakenRecord() const;
    // Whether the record changed since the last call.
    bool TakeRecordChanged();
    bool Holds(const std::string& path) const { return m_taken.count(path) != 0; }
    CDataDirScanner& operator=(const CDataDirScanner&) = delete;

    // Busy files tried again per scan without a notification, and the scans
    // a busy file waits at least before that.
    static constexpr int kRetriesPerScan = 256;
    static constexpr uint64_t kRetryAfterScans = 4;

private:
    struct Seen {
        int64_t size = 0;
        int64_t mtimeNs = 0;
        uint64_t ino = 0;
        bool operator==(const Seen&) const = default;
    };
    struct SeenWithCtime {
        Seen seen;
        int64_t ctimeNs = 0;  // a change of permissions shows here only
        bool operator==(const SeenWithCtime&) const = default;
    };
    static Seen SeenOf(const struct stat& st);
    static SeenWithCtime SeenWithCtimeOf(const struct stat& st);
    // Takes the change notifications since the last scan: every path they
    // name is tried again. Watches dir when it is not watched yet.
    void TakeNotifications(const std::string& dir);
    // Forgets what is known of files of dir that are no longer listed.
    void Prune(const std::string& dir, const std::vector<std::string>& names);

    struct Held {
        TakenSource source;
        std::optional<KeepTicket> ticket;  // of the list holding its job (pending only)
    };
    // Forgets a held file; the record has changed.
    void Forget(std::map<std::string, Held>::iterator it);

    // All of the following: UI thread only.
    // Files taken as jobs and still there, by path (the record).
    std::map<std::string, Held> m_taken;
    bool m_takenChanged = false;
    // Refused files that could not be moved aside, with the size and time
    // they had then.
    std::map<std::string, Seen> m_stuck;
    // Files that cannot be opened, named once, as they were then.
    std::unordered_map<std::string, SeenWithCtime> m_unreadable;
    // Files that ran out of memory, named once.
    std::unordered_set<std::string> m_noMemory;
    // Files set aside (busy, out of memory) by path, with the scan that last
    // tried them.
    std::unordered_map<std::string, uint64_t> m_busy;
    uint64_t m_scans = 0;
    CDataDirWatch m_watch;
    CReadyTest m_ready;
    // Whether each folder is on a local file system, asked once.
    std::map<std::string, bool> m_local;
};
