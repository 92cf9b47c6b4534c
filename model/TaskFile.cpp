#include "model/TaskFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <new>
#include <string>

#include "model/Archive.h"
#include "model/FolderSync.h"
#include "model/HugePageHeap.h"
#include "model/Text.h"

namespace {

TaskFileStatus FromFault(ArchiveFault f)
{
    switch (f) {
    case ArchiveFault::Truncated: return TaskFileStatus::Truncated;
    case ArchiveFault::BadLength: return TaskFileStatus::BadLength;
    case ArchiveFault::WrongClass: return TaskFileStatus::WrongClass;
    case ArchiveFault::BadSchema: return TaskFileStatus::BadSchema;
    case ArchiveFault::BadReference: return TaskFileStatus::BadReference;
    case ArchiveFault::BadValue: return TaskFileStatus::BadValue;
    case ArchiveFault::TrailingData: return TaskFileStatus::TrailingData;
    case ArchiveFault::ReadFailed: return TaskFileStatus::ReadFailed;
    }
    return TaskFileStatus::BadReference;
}

bool WriteAll(int fd, const uint8_t* p, size_t n)
{
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

// Makes the temporary names of concurrent saves in one process distinct.
// Written and read by any thread that saves.
std::atomic<unsigned> g_tempCounter{0};

// Closes a descriptor on every way out of a scope.
struct FdCloser {
    int fd;
    ~FdCloser() { if (fd >= 0) ::close(fd); }
};

}  // namespace

const char* TaskFileStatusName(TaskFileStatus s)
{
    switch (s) {
    case TaskFileStatus::Ok: return "ok";
    case TaskFileStatus::Truncated: return "truncated";
    case TaskFileStatus::BadLength: return "bad length";
    case TaskFileStatus::WrongClass: return "wrong class";
    case TaskFileStatus::BadSchema: return "bad schema";
    case TaskFileStatus::BadReference: return "bad reference";
    case TaskFileStatus::OutOfMemory: return "out of memory";
    case TaskFileStatus::OpenFailed: return "open failed";
    case TaskFileStatus::ReadFailed: return "read failed";
    case TaskFileStatus::WriteFailed: return "write failed";
    case TaskFileStatus::ReplaceFailed: return "replace failed";
    case TaskFileStatus::BadValue: return "bad value";
    case TaskFileStatus::TrailingData: return "trailing data";
    }
    return "unknown";
}

namespace {

// At least the bytes the list takes, so that the output grows once: a day's
// list is tens of megabytes, copied again at every doubling otherwise.
size_t StoredBytesBound(const std::vector<std::unique_ptr<COnePage>>& pages)
{
    // References, counts, the fixed fields and the length heads of the
    // strings take less than this per record.
    constexpr size_t kRecordBytes = 96;
    const size_t tag = 2 * g_strCurveTag.size();
    size_t n = 8;
    for (const auto& p : pages) {
        n += kRecordBytes + 2 * p->m_strFileName.size();
        for (const auto& c : p->m_curves) n += kRecordBytes + tag + sizeof(PlotPoint) * c->m_points.size();
    }
    return n;
}

}  // namespace

std::vector<uint8_t> StoreTaskBytes(std::vector<std::unique_ptr<COnePage>>& pages, std::vector<uint8_t> room)
{
    const size_t bound = StoredBytesBound(pages);
    // Room far beyond the list (a day's list since emptied) is given back.
    if (room.capacity() / 2 > bound) room = {};
    room.clear();
    if (room.capacity() < bound) {
        room = {};
        room.reserve(bound);
        AdviseHugePages(room.data(), room.capacity());
    }
    CArchive ar(CArchive::StoreTo{room});
    StoreObjectArray(ar, pages);
    return room;
}

namespace {

TaskFileStatus Load(CArchive& ar, std::vector<std::unique_ptr<COnePage>>& pages)
{
    const std::u16string oldTag = g_strCurveTag;
    try {
        LoadWholeObjectArray(ar, pages);
        return TaskFileStatus::Ok;
    } catch (const ArchiveError& e) {
        g_strCurveTag = oldTag;
        return FromFault(e.fault);
    } catch (const std::bad_alloc&) {
        g_strCurveTag = oldTag;
        return TaskFileStatus::OutOfMemory;
    }
}

}  // namespace

TaskFileStatus LoadTaskBytes(std::span<const uint8_t> bytes, std::vector<std::unique_ptr<COnePage>>& pages)
{
    CArchive ar(CArchive::LoadFrom{bytes});
    return Load(ar, pages);
}

TaskFileStatus SaveTaskFile(const std::u16string& path, std::vector<std::unique_ptr<COnePage>>& pages)
{
    std::vector<uint8_t> bytes;
    std::string target;
    try {
        bytes = StoreTaskBytes(pages);
        target = ToUtf8(path);
    } catch (const std::bad_alloc&) {
        return TaskFileStatus::OutOfMemory;
    }
    return WriteTaskBytes(target, bytes, nullptr);
}

TaskFileStatus WriteTaskBytes(const std::string& target, std::span<const uint8_t> bytes, int* error)
{
    int ignored = 0;
    int& why = error != nullptr ? *error : ignored;
    why = 0;
    // A name with a NUL would reach the system cut short: another file.
    if (target.find('\0') != std::string::npos) {
        why = EINVAL;
        return TaskFileStatus::WriteFailed;
    }
    // The temporary file lives in the target's folder so that the rename
    // stays on one file system and replaces the target in one step.
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = target + ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(g_tempCounter++);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        why = errno;
        return TaskFileStatus::WriteFailed;
    }
    bool written = WriteAll(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
    if (!written) why = errno;
    if (::close(fd) != 0 && written) {
        why = errno;
        written = false;
    }
    if (!written) {
        ::unlink(temp.c_str());
        return TaskFileStatus::WriteFailed;
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        why = errno;
        ::unlink(temp.c_str());
        return TaskFileStatus::ReplaceFailed;
    }
    // Until its folder is synced the new name may not survive a power cut.
    why = SyncFolderOf(target);
    return why == 0 ? TaskFileStatus::Ok : TaskFileStatus::ReplaceFailed;
}

TaskFileStatus LoadTaskFile(const std::u16string& path, std::vector<std::unique_ptr<COnePage>>& pages)
{
    std::string name;
    try {
        name = ToUtf8(path);
    } catch (const std::bad_alloc&) {
        return TaskFileStatus::OutOfMemory;
    }
    if (name.find('\0') != std::string::npos) return TaskFileStatus::OpenFailed;
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return TaskFileStatus::OpenFailed;
    const FdCloser closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return TaskFileStatus::OpenFailed;
    // Read as the records need it: a damaged or zero-filled file is refused
    // at its first wrong field, whatever its size.
    CArchive ar(CArchive::LoadFromFile{fd, static_cast<uint64_t>(st.st_size)});
    return Load(ar, pages);
}
