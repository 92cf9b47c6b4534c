#include "app/jobs/DataDirScan.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "app/jobs/PlotFileRead.h"
#include "app/text/Texts.h"
#include "model/Text.h"

namespace {

bool StatOf(const std::string& path, struct stat& st) { return ::stat(path.c_str(), &st) == 0; }

int64_t MtimeNs(const struct stat& st) { return int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec; }

bool LessNoCase(const std::string& a, const std::string& b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
        if (x != y) return x < y;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

std::string JoinPath(const std::string& dir, const std::string& name)
{
    if (!dir.empty() && dir.back() == '/') return dir + name;
    return dir + "/" + name;
}

std::u16string U(const std::string& s) { return FromUtf8(s); }

}  // namespace

CDataDirScanner::CDataDirScanner()
    : removeFile([](const std::string& p) { return ::unlink(p.c_str()) == 0 || errno == ENOENT; }),
      moveFile([](const std::string& a, const std::string& b) { return ::rename(a.c_str(), b.c_str()) == 0; })
{
    m_notify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
}

CDataDirScanner::~CDataDirScanner()
{
    if (m_notify >= 0) ::close(m_notify);
}

void CDataDirScanner::TakeNotifications(const std::string& dir)
{
    if (m_notify < 0) return;
    bool watched = false;
    for (const auto& w : m_watches) watched = watched || w.second == dir;
    if (!watched) {
        // Not IN_CLOSE_NOWRITE: the scan's own look at a file would wake it.
        const int wd = ::inotify_add_watch(m_notify, dir.c_str(),
                                           IN_CLOSE_WRITE | IN_MODIFY | IN_ATTRIB | IN_MOVED_TO | IN_CREATE);
        if (wd >= 0) m_watches[wd] = dir;
    }
    alignas(inotify_event) char buf[16384];
    for (;;) {
        const ssize_t n = ::read(m_notify, buf, sizeof buf);
        if (n <= 0) break;
        for (ssize_t off = 0; off < n;) {
            const auto* ev = reinterpret_cast<const inotify_event*>(buf + off);
            off += static_cast<ssize_t>(sizeof(inotify_event) + ev->len);
            if (ev->mask & IN_Q_OVERFLOW) {
                m_busy.clear();  // events lost: try everything again
                continue;
            }
            const auto w = m_watches.find(ev->wd);
            if (w == m_watches.end() || ev->len == 0) continue;
            m_busy.erase(JoinPath(w->second, ev->name));
        }
    }
}

std::vector<std::string> CDataDirScanner::ListFiles(const std::string& dir)
{
    std::vector<std::string> names;
    DIR* d = ::opendir(dir.c_str());
    if (d == nullptr) return names;
    const int dfd = ::dirfd(d);
    while (const dirent* e = ::readdir(d)) {
        if (e->d_name[0] == '.') continue;
        bool regular = e->d_type == DT_REG;
        if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
            // A FIFO or device would block the reader at open.
            struct stat st {};
            regular = ::fstatat(dfd, e->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
        }
        if (regular) names.emplace_back(e->d_name);
    }
    ::closedir(d);
    std::sort(names.begin(), names.end(), LessNoCase);
    return names;
}

ScanOutcome CDataDirScanner::ScanOnce(const std::u16string& dir16, bool mil)
{
    ScanOutcome out;
    const std::string dir = ToUtf8(dir16);
    TakeNotifications(dir);
    const uint64_t scan = ++m_scans;
    int retries = 0;
    const uint64_t retryBefore = scan >= kRetryAfterScans ? scan - kRetryAfterScans + 1 : 0;
    const std::vector<std::string> names = ListFiles(dir);
    if (!m_busy.empty()) {
        // Forget busy files that have gone from this directory.
        std::unordered_map<std::string, uint64_t> kept;
        for (const std::string& name : names) {
            auto b = m_busy.find(JoinPath(dir, name));
            if (b != m_busy.end()) kept.emplace(b->first, b->second);
        }
        for (const auto& b : m_busy)
            if (b.first.compare(0, dir.size(), dir) != 0) kept.emplace(b.first, b.second);
        m_busy.swap(kept);
    }
    for (const std::string& name : names) {
        const std::string path = JoinPath(dir, name);
        auto busy = m_busy.find(path);
        if (busy != m_busy.end()) {
            // Tried again in turn: a few per scan, each after a few scans.
            if (busy->second >= retryBefore || retries >= kRetriesPerScan) continue;
            ++retries;
        }
        auto stuck = m_stuck.find(path);
        if (stuck != m_stuck.end()) {
            struct stat st {};
            if (!StatOf(path, st)) {
                m_stuck.erase(stuck);
                continue;
            }
            if (stuck->second == Seen{st.st_size, MtimeNs(st)}) continue;
            m_stuck.erase(stuck);  // replaced by a new file: take it
        }
        PlotReadResult r = ReadPlotFile(U(path), mil, true);
        if (r.outcome == PlotRead::NotReady) {
            if (m_notify >= 0) m_busy[path] = scan;
            continue;
        }
        m_busy.erase(path);
        // The file as it was read (no writer holds it): what a later scan
        // compares with when it cannot be removed.
        struct stat before {};
        const bool statted = StatOf(path, before);
        out.file = U(path);
        if (r.outcome == PlotRead::OutOfMemory) {
            out.kind = ScanKind::Problem;
            out.message = Tr(u"内存不足, 文件未导入: ", u"Out of memory, file not imported: ") + U(name);
            return out;
        }
        if (r.outcome == PlotRead::Refused || r.outcome == PlotRead::NoCurves) {
            const std::string rejectedDir = JoinPath(dir, kRejectedDir);
            ::mkdir(rejectedDir.c_str(), 0777);
            out.kind = ScanKind::Rejected;
            if (moveFile(path, JoinPath(rejectedDir, name))) {
                out.message = Tr(u"无法使用的文件已移至 Rejected: ", u"Unusable file moved to Rejected: ") + U(name);
            } else {
                if (statted) m_stuck[path] = Seen{before.st_size, MtimeNs(before)};
                out.message = Tr(u"无法使用的文件无法移走: ", u"Unusable file cannot be moved: ") + U(name);
            }
            return out;
        }
        out.kind = ScanKind::Imported;
        out.page = std::move(r.page);
        if (!removeFile(path)) {
            if (statted) m_stuck[path] = Seen{before.st_size, MtimeNs(before)};
            out.message = Tr(u"已导入, 但文件无法删除: ", u"Imported, but the file cannot be deleted: ") + U(name);
        } else if (r.outcome == PlotRead::Partial) {
            out.message = Tr(u"文件只读入一部分, 任务设为手动: ", u"File read in part, job set to Manual: ") + U(name);
        }
        return out;
    }
    return out;
}
