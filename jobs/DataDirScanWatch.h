#pragma once
// The watched folders' change notifications: which files someone is writing
// now, whoever owns them. A file with a write or a creation since its last
// close after writing is being written; one closed after writing (or moved
// in whole) since is complete; one seen neither way (there before the watch,
// or events lost) is unknown. A creation not yet written to is told apart:
// a link made into the folder is created with its contents and never closed.
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

enum class WriteState { Unknown, Created, Writing, Closed };

class CDataDirWatch {
public:
    CDataDirWatch();
    ~CDataDirWatch();
    CDataDirWatch(const CDataDirWatch&) = delete;
    CDataDirWatch& operator=(const CDataDirWatch&) = delete;

    // Watches dir ("/a/b/" form) when it is not watched yet and takes every
    // event since the last call. The paths events named are returned; all of
    // them when events were lost (overflow).
    struct Taken {
        std::vector<std::string> named;
        bool lost = false;
    };
    Taken Take(const std::string& dir);

    // Whether dir is watched now (notifications exist and the watch holds).
    bool Watching(const std::string& dir) const;
    WriteState StateOf(const std::string& path) const;

    // Whether every writer of a folder is seen here: a local file system. On
    // NFS, SMB or FUSE, writes by other machines give no notification and
    // take no lease.
    static bool LocalFileSystem(const std::string& dir);

private:
    // The notification descriptor (-1: none) and the watched folders by watch id.
    // UI thread only, like all of this class.
    int m_fd = -1;
    std::map<int, std::string> m_watches;
    std::unordered_map<std::string, WriteState> m_states;
};
