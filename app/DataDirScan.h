#pragma once
// One look at a watched data directory: at most one file imported. Files
// still being written are passed over for the next; what cannot be a job is
// put aside in "Rejected/"; an imported file that cannot be deleted is not
// taken again while it stays unchanged.
#include <cstdint>
#include <functional>
#include <map>
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

private:
    struct Seen {
        int64_t size = 0;
        int64_t mtimeNs = 0;
        bool operator==(const Seen&) const = default;
    };
    // Imported (or refused) files that could not be removed, with the size and
    // time they had then. UI thread only.
    std::map<std::string, Seen> m_stuck;
};
