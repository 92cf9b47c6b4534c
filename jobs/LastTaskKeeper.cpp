#include "jobs/LastTaskKeeper.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>
#include <string_view>

#include "jobs/OrlatCenterDoc.h"
#include "model/Settings.h"
#include "model/Text.h"

namespace {

std::u16string LastTaskPath() { return theSettings.Path(Slot::LastTaskPath); }

// Missing for certain; a file we cannot even look at counts as there.
bool Missing(const std::u16string& path)
{
    struct stat st {};
    return ::stat(ToUtf8(path).c_str(), &st) != 0 && errno == ENOENT;
}

// A write cut short by a kill leaves its temporary file beside the target;
// only this instance writes there, so any such file at start is stale.
void RemoveStaleTemporaries(const std::string& target)
{
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    const std::string prefix = (slash == std::string::npos ? target : target.substr(slash + 1)) + ".tmp";
    DIR* d = ::opendir(folder.c_str());
    if (d == nullptr) return;
    while (const dirent* e = ::readdir(d))
        if (std::string_view(e->d_name).starts_with(prefix)) ::unlinkat(::dirfd(d), e->d_name, 0);
    ::closedir(d);
}

struct Hash {
    uint64_t h = 0x9E3779B97F4A7C15ull;
    void Add(uint64_t v)
    {
        // splitmix64 over the running value: order matters, cheap per word.
        uint64_t z = h ^ (v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2));
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        h = z ^ (z >> 31);
    }
    void Add(int32_t a, int32_t b) { Add(uint64_t(uint32_t(a)) << 32 | uint32_t(b)); }
};

}  // namespace

uint64_t CLastTaskKeeper::Signature(const COrlatCenterDoc& doc)
{
    Hash h;
    h.Add(doc.Changes());
    h.Add(doc.m_pages.size());
    for (const auto& p : doc.m_pages) {
        h.Add(reinterpret_cast<uintptr_t>(p.get()));
        // As stored: a Printing job is written as Manual.
        h.Add(p->m_state > JobState::Done ? JobState::Manual : p->m_state, p->m_copies);
        h.Add(p->m_startPos, static_cast<int32_t>(p->m_curves.size()));
        h.Add(static_cast<uint64_t>(p->m_time));
        uint64_t name = 1469598103934665603ull;
        for (char16_t c : p->m_strFileName) name = (name ^ c) * 1099511628211ull;
        h.Add(name);
        h.Add(p->m_minX, p->m_minY);
        h.Add(p->m_maxX, p->m_maxY);
        h.Add(p->m_inkMaxX, p->m_inkMaxY);
        h.Add(p->m_cutMaxX, p->m_cutMaxY);
    }
    return h.h;
}

void CLastTaskKeeper::Begin()
{
    if (m_owned) return;
    const std::u16string path = LastTaskPath();
    if (path.empty()) return;
    RemoveStaleTemporaries(ToUtf8(path));
    if (!Missing(path)) return;
    m_owned = true;
    // No file is an empty list: written already when the list is empty too.
    if (m_doc.m_pages.empty()) m_handed = Signature(m_doc);
}

void CLastTaskKeeper::TakeLoad(const LastTaskLoad& r, const std::u16string& path)
{
    // A damaged file set aside, or gone, leaves nothing to lose; one that
    // stayed in place unread is never written over.
    if (r.status == TaskFileStatus::Ok || !r.keptAs.empty() || Missing(path)) m_owned = true;
}

LastTaskLoad CLastTaskKeeper::Load()
{
    if (m_owned) return {};
    const std::u16string path = LastTaskPath();
    const bool wasEmpty = m_doc.m_pages.empty();
    const LastTaskLoad r = LoadLastTask(path, m_doc.m_pages);
    if (r.status == TaskFileStatus::Ok) m_doc.NoteChange();
    TakeLoad(r, path);
    // The file holds exactly the list when nothing was there before it.
    if (r.status == TaskFileStatus::Ok && wasEmpty) m_handed = Signature(m_doc);
    return r;
}

KeepOutcome CLastTaskKeeper::Keep(std::chrono::steady_clock::time_point now)
{
    if (!m_owned) return {KeepOutcome::NotOwned};
    KeepOutcome o = TakeWritten(now);
    const uint64_t s = Signature(m_doc);
    if (m_handed == s) return o;
    if (m_failed == s && now - m_failedAt < kRetryAfter) return o;
    Hand(s);
    if (o.kind != KeepOutcome::Failed) o.kind = KeepOutcome::Written;
    return o;
}

KeepOutcome CLastTaskKeeper::SaveForClose(const std::function<void()>& pump)
{
    if (!m_owned) {
        const LastTaskLoad r = Load();
        if (!m_owned) return {KeepOutcome::NotOwned, r.status};
    }
    TakeWritten();
    // Handed even when the signature agrees: an edit of curves in place
    // that nobody counted still reaches the file.
    Hand(Signature(m_doc));
    if (!pump) return Flush();
    for (;;) {
        if (std::optional<KeepOutcome> o = Flush(std::chrono::milliseconds(20))) return *o;
        pump();
    }
}

KeepOutcome CLastTaskKeeper::Flush()
{
    m_writer.WaitIdle();
    return Settled();
}

std::optional<KeepOutcome> CLastTaskKeeper::Flush(std::chrono::milliseconds limit)
{
    if (!m_writer.WaitIdle(limit)) return std::nullopt;
    return Settled();
}

KeepOutcome CLastTaskKeeper::Settled()
{
    if (!m_owned) return {KeepOutcome::Unchanged};
    KeepOutcome o = TakeWritten();
    if (o.kind == KeepOutcome::Failed) return o;
    if (m_failed) {
        // Reported already by an earlier look.
        const WrittenList w = m_writer.LastWritten();
        return {KeepOutcome::Failed, w.status, false, w.error};
    }
    return {KeepOutcome::Written};
}

void CLastTaskKeeper::Hand(uint64_t s)
{
    const std::string path = ToUtf8(LastTaskPath());
    m_failed.reset();
    m_handed = s;
    if (m_doc.m_pages.empty()) {
        m_ticket = m_writer.Hand(path, std::nullopt);
        return;
    }
    std::vector<uint8_t> bytes;
    try {
        bytes = m_doc.StoredBytes(m_writer.TakeRoom());
    } catch (const std::bad_alloc&) {
        m_ticket = m_writer.HandFailure(TaskFileStatus::OutOfMemory, ENOMEM);
        return;
    }
    m_ticket = m_writer.Hand(path, std::move(bytes));
}

KeepOutcome CLastTaskKeeper::TakeWritten(std::chrono::steady_clock::time_point now)
{
    const WrittenList w = m_writer.LastWritten();
    if (w.ticket == m_seen) return {KeepOutcome::Unchanged};
    m_seen = w.ticket;
    if (w.status == TaskFileStatus::Ok) {
        m_reported = false;
        return {KeepOutcome::Unchanged};
    }
    // A later list on its way decides for both.
    if (w.ticket != m_ticket) return {KeepOutcome::Unchanged};
    m_failed = m_handed;
    m_failedAt = now;
    m_handed.reset();
    KeepOutcome o{KeepOutcome::Failed, w.status, !m_reported, w.error};
    m_reported = true;
    return o;
}
