#include "jobs/DataDirScan.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "jobs/DataDirScanName.h"
#include "jobs/StopPoint.h"
#include "jobs/Texts.h"
#include "model/Text.h"

namespace {

bool StatOf(const std::string& path, struct stat& st) { return ::stat(path.c_str(), &st) == 0; }

int64_t Ns(const struct timespec& t) { return int64_t{t.tv_sec} * 1000000000 + t.tv_nsec; }

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

int64_t SteadyNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

CDataDirScanner::Seen CDataDirScanner::SeenOf(const struct stat& st)
{
    return Seen{st.st_size, Ns(st.st_mtim), static_cast<uint64_t>(st.st_ino)};
}

CDataDirScanner::SeenWithCtime CDataDirScanner::SeenWithCtimeOf(const struct stat& st)
{
    return SeenWithCtime{SeenOf(st), Ns(st.st_ctim)};
}

CDataDirScanner::CDataDirScanner()
    : removeFile([](const std::string& p) { return ::unlink(p.c_str()) == 0 || errno == ENOENT; }),
      moveFile([](const std::string& a, const std::string& b) { return ::rename(a.c_str(), b.c_str()) == 0; }),
      readFile([](const std::string& fsPath, const std::u16string& shown, bool mil) {
          return ReadPlotFile(shown, mil, true, fsPath);
      }),
      nowNs(SteadyNs),
      localFolder(CDataDirWatch::LocalFileSystem)
{
}

void CDataDirScanner::TakeNotifications(const std::string& dir)
{
    if (!notifications) return;
    const CDataDirWatch::Taken t = m_watch.Take(dir);
    if (t.lost) m_busy.clear();  // events lost: try everything again
    for (const std::string& path : t.named) {
        m_busy.erase(path);
        m_ready.Forget(path);
    }
}

void CDataDirScanner::Prune(const std::string& dir, const std::vector<std::string>& names)
{
    std::unordered_set<std::string> listed;
    for (const std::string& name : names) listed.insert(JoinPath(dir, name));
    // Files of this folder only: another watched folder may lie inside it.
    const auto gone = [&](const std::string& path) { return InFolder(path, dir) && listed.count(path) == 0; };
    std::erase_if(m_busy, [&](const auto& b) { return gone(b.first); });
    std::erase_if(m_unreadable, [&](const auto& u) { return gone(u.first); });
    std::erase_if(m_noMemory, gone);
    for (auto it = m_taken.begin(); it != m_taken.end();) {
        auto next = std::next(it);
        if (gone(it->first)) Forget(it);
        it = next;
    }
    m_ready.Prune(dir, listed);
}

void CDataDirScanner::Forget(std::map<std::string, Held>::iterator it)
{
    m_taken.erase(it);
    m_takenChanged = true;
}

void CDataDirScanner::Hold(const TakenSource& source, std::optional<KeepTicket> ticket)
{
    m_taken[source.path] = Held{source, source.kept ? std::nullopt : ticket};
    m_takenChanged = true;
}

void CDataDirScanner::SetTicket(const std::string& path, KeepTicket ticket)
{
    const auto it = m_taken.find(path);
    if (it != m_taken.end() && !it->second.source.kept) it->second.ticket = ticket;
}

void CDataDirScanner::Release(const std::string& path)
{
    const auto it = m_taken.find(path);
    if (it != m_taken.end()) Forget(it);
}

std::vector<std::u16string> CDataDirScanner::RemoveDurable(const std::function<bool(KeepTicket)>& durable)
{
    std::vector<std::u16string> stuck;
    for (auto it = m_taken.begin(); it != m_taken.end();) {
        auto next = std::next(it);
        Held& h = it->second;
        if (!h.source.kept && h.ticket && durable(*h.ticket)) {
            const std::optional<FileStamp> now = StampOfPath(it->first);
            if (!now || !(*now == h.source.stamp)) {
                Forget(it);  // gone, or a new file in its place: not this job's to delete
            } else {
                StopPoint("source-unlink");
                if (removeFile(it->first)) {
                    Forget(it);
                } else {
                    h.source.kept = true;
                    h.ticket.reset();
                    m_takenChanged = true;
                    const size_t slash = it->first.rfind('/');
                    stuck.push_back(ShownFileName(it->first.substr(slash + 1)));
                }
            }
        }
        it = next;
    }
    return stuck;
}

std::vector<TakenSource> CDataDirScanner::TakenRecord() const
{
    std::vector<TakenSource> record;
    record.reserve(m_taken.size());
    for (const auto& [path, held] : m_taken) record.push_back(held.source);
    return record;
}

bool CDataDirScanner::TakeRecordChanged()
{
    const bool changed = m_takenChanged;
    m_takenChanged = false;
    return changed;
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
    const std::u16string shownDir = !dir16.empty() && dir16.back() == u'/' ? dir16 : dir16 + u'/';
    TakeNotifications(dir);
    auto local = m_local.find(dir);
    if (local == m_local.end()) local = m_local.emplace(dir, localFolder(dir)).first;
    const bool localFs = local->second;
    const bool watching = m_watch.Watching(dir);
    const uint64_t scan = ++m_scans;
    const int64_t now = nowNs();
    int retries = 0;
    const uint64_t retryBefore = scan >= kRetryAfterScans ? scan - kRetryAfterScans + 1 : 0;
    const std::vector<std::string> names = ListFiles(dir);
    Prune(dir, names);
    for (const std::string& name : names) {
        const std::string path = JoinPath(dir, name);
        auto busy = m_busy.find(path);
        if (busy != m_busy.end()) {
            // Tried again in turn: a few per scan, each after a few scans.
            if (busy->second >= retryBefore || retries >= kRetriesPerScan) continue;
            ++retries;
        }
        auto taken = m_taken.find(path);
        if (taken != m_taken.end()) {
            const std::optional<FileStamp> now = StampOfPath(path);
            if (now && *now == taken->second.source.stamp) continue;
            Forget(taken);  // replaced by a new file: take it
            if (!now) continue;
        }
        auto stuck = m_stuck.find(path);
        if (stuck != m_stuck.end()) {
            struct stat st {};
            if (!StatOf(path, st)) {
                m_stuck.erase(stuck);
                continue;
            }
            if (stuck->second == SeenOf(st)) continue;
            m_stuck.erase(stuck);  // replaced by a new file: take it
        }
        auto unreadable = m_unreadable.find(path);
        if (unreadable != m_unreadable.end()) {
            // Named once; tried again when its permissions or contents change.
            struct stat st {};
            if (StatOf(path, st) && unreadable->second == SeenWithCtimeOf(st))
                continue;
        }
        // What the notifications say counts only where they see every writer;
        // a write seen here makes a file busy anywhere.
        WriteState writes = watching ? m_watch.StateOf(path) : WriteState::Unknown;
        if (!localFs && writes == WriteState::Closed) writes = WriteState::Unknown;
        if (writes == WriteState::Writing) continue;
        if (writes != WriteState::Closed && m_ready.Waiting(path, now)) continue;

        const std::u16string shownName = ShownFileName(name);
        const std::u16string shown = shownDir + shownName;
        // Without blocking: a FIFO put in place of the file must not hang the scan.
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            const int err = errno;
            if (err == ENOENT) continue;
            if (err == EWOULDBLOCK || err == EINTR) {
                if (watching) m_busy[path] = scan;
                continue;
            }
            const bool named = unreadable != m_unreadable.end();
            struct stat st {};
            m_unreadable[path] =
                StatOf(path, st) ? SeenWithCtimeOf(st) : SeenWithCtime{};
            if (named) continue;
            out.kind = ScanKind::Problem;
            out.file = shown;
            out.message = err == EACCES || err == EPERM
                              ? Tr(u"文件没有读取权限, 无法导入: ", u"No permission to read the file, not imported: ")
                              : Tr(u"文件无法打开, 未导入: ", u"The file cannot be opened, not imported: ");
            out.message += shownName;
            return out;
        }
        struct stat st {};
        const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
        const LeaseSays lease = regular ? ProbeWriters(fd) : LeaseSays::Unknown;
        ::close(fd);
        if (!regular) continue;
        m_unreadable.erase(path);
        const FileStamp before = StampOf(st);
        const Readiness readiness = m_ready.Judge(path, writes, lease, localFs, before, now);
        if (readiness == Readiness::Busy) {
            if (watching) m_busy[path] = scan;
            continue;
        }
        if (readiness == Readiness::Settling) continue;

        PlotReadResult r = readFile(path, shown, mil);
        if (r.outcome == PlotRead::NotReady) {
            if (watching) m_busy[path] = scan;
            continue;
        }
        // Whatever said it was whole: it must still be the file that was
        // read, or the rest of it is still to come.
        TakeNotifications(dir);
        struct stat after {};
        if (!StatOf(path, after) || !(StampOf(after) == before) || m_watch.StateOf(path) == WriteState::Writing)
            continue;  // neither taken nor deleted; looked at again later
        m_busy.erase(path);
        out.file = shown;
        const Seen seen = SeenOf(after);
        if (r.outcome == PlotRead::OutOfMemory) {
            // Set aside like a busy file, so the files after it come in.
            m_busy[path] = scan;
            if (!m_noMemory.insert(path).second) continue;
            out.kind = ScanKind::Problem;
            out.message = Tr(u"内存不足, 文件未导入: ", u"Out of memory, file not imported: ") + shownName;
            return out;
        }
        m_noMemory.erase(path);
        if (r.outcome == PlotRead::Refused || r.outcome == PlotRead::NoCurves) {
            const std::string rejectedDir = JoinPath(dir, kRejectedDir);
            ::mkdir(rejectedDir.c_str(), 0777);
            out.kind = ScanKind::Rejected;
            if (moveFile(path, JoinPath(rejectedDir, name))) {
                out.message = Tr(u"无法使用的文件已移至 Rejected: ", u"Unusable file moved to Rejected: ") + shownName;
            } else {
                m_stuck[path] = seen;
                out.message = Tr(u"无法使用的文件无法移走: ", u"Unusable file cannot be moved: ") + shownName;
            }
            return out;
        }
        out.kind = ScanKind::Imported;
        out.page = std::move(r.page);
        out.source.path = path;
        out.source.stamp = StampOf(after);
        out.source.jobTime = out.page->m_time;
        out.source.jobName = ToUtf8(out.page->m_strFileName);
        if (r.outcome == PlotRead::Partial)
            out.message = Tr(u"文件只读入一部分, 任务设为手动: ", u"File read in part, job set to Manual: ") + shownName;
        return out;
    }
    return out;
}
