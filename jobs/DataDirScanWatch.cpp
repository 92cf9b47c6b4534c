#include "jobs/DataDirScanWatch.h"

#include <sys/inotify.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cstdint>

namespace {

std::string JoinPath(const std::string& dir, const char* name)
{
    if (!dir.empty() && dir.back() == '/') return dir + name;
    return dir + "/" + name;
}

}  // namespace

CDataDirWatch::CDataDirWatch() { m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC); }

CDataDirWatch::~CDataDirWatch()
{
    if (m_fd >= 0) ::close(m_fd);
}

bool CDataDirWatch::Watching(const std::string& dir) const
{
    for (const auto& w : m_watches)
        if (w.second == dir) return true;
    return false;
}

WriteState CDataDirWatch::StateOf(const std::string& path) const
{
    const auto it = m_states.find(path);
    return it == m_states.end() ? WriteState::Unknown : it->second;
}

CDataDirWatch::Taken CDataDirWatch::Take(const std::string& dir)
{
    Taken t;
    if (m_fd < 0) return t;
    if (!Watching(dir)) {
        // Not IN_OPEN or IN_CLOSE_NOWRITE: the scan's own looks would wake it.
        const int wd = ::inotify_add_watch(m_fd, dir.c_str(),
                                           IN_CLOSE_WRITE | IN_MODIFY | IN_ATTRIB | IN_MOVED_TO | IN_MOVED_FROM |
                                               IN_CREATE | IN_DELETE | IN_ONLYDIR);
        if (wd >= 0) m_watches[wd] = dir;
    }
    alignas(inotify_event) char buf[16384];
    for (;;) {
        const ssize_t n = ::read(m_fd, buf, sizeof buf);
        if (n <= 0) break;
        for (ssize_t off = 0; off < n;) {
            const auto* ev = reinterpret_cast<const inotify_event*>(buf + off);
            off += static_cast<ssize_t>(sizeof(inotify_event) + ev->len);
            if (ev->mask & IN_Q_OVERFLOW) {
                // Writes went unseen: nothing is known of any file any more.
                m_states.clear();
                t.lost = true;
                continue;
            }
            const auto w = m_watches.find(ev->wd);
            if (w == m_watches.end()) continue;
            if (ev->mask & IN_IGNORED) {
                // The folder went (deleted, unmounted): watched again when it is back.
                const std::string gone = w->second;
                m_watches.erase(w);
                for (auto it = m_states.begin(); it != m_states.end();)
                    it = it->first.compare(0, gone.size(), gone) == 0 ? m_states.erase(it) : std::next(it);
                continue;
            }
            if (ev->len == 0 || (ev->mask & IN_ISDIR)) continue;
            const std::string path = JoinPath(w->second, ev->name);
            t.named.push_back(path);
            if (ev->mask & (IN_DELETE | IN_MOVED_FROM)) m_states.erase(path);
            else if (ev->mask & IN_CREATE) m_states[path] = WriteState::Created;
            else if (ev->mask & IN_MODIFY) m_states[path] = WriteState::Writing;
            else if (ev->mask & (IN_CLOSE_WRITE | IN_MOVED_TO)) m_states[path] = WriteState::Closed;
        }
    }
    return t;
}

bool CDataDirWatch::LocalFileSystem(const std::string& dir)
{
    struct statfs fs {};
    if (::statfs(dir.c_str(), &fs) != 0) return true;
    switch (static_cast<uint32_t>(fs.f_type)) {
    case 0x6969u:      // NFS
    case 0x517Bu:      // SMB
    case 0xFF534D42u:  // CIFS
    case 0xFE534D42u:  // SMB2
    case 0x65735546u:  // FUSE (sshfs, rclone, gvfs, ...)
    case 0x00C36400u:  // Ceph
    case 0x5346414Fu:  // AFS
    case 0x6B414653u:  // kAFS
    case 0x01021997u:  // 9P
    case 0x73757245u:  // Coda
    case 0x564Cu:      // NCP
    case 0x7461636Fu:  // OCFS2
    case 0x01161970u:  // GFS2
    case 0x0BD00BD0u:  // Lustre
        return false;
    default:
        return true;
    }
}
