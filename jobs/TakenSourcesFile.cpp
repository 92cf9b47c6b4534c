#include "jobs/TakenSourcesFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

namespace {

// Names of temporary files within one process; the UI thread only writes.
unsigned g_takenTempCounter = 0;

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string TempPrefix(const std::string& path) { return path + ".tmp"; }

struct Fd {
    int fd = -1;
    ~Fd()
    {
        if (fd >= 0) ::close(fd);
    }
};

}  // namespace

TakenRead ReadTakenSources(const std::string& path)
{
    TakenRead r;
    Fd f{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
    if (f.fd < 0) {
        r.status = errno == ENOENT ? TakenRead::Missing : TakenRead::Unreadable;
        r.error = errno;
        return r;
    }
    struct stat st {};
    if (::fstat(f.fd, &st) != 0) {
        r.status = TakenRead::Unreadable;
        r.error = errno;
        return r;
    }
    if (!S_ISREG(st.st_mode)) {
        r.status = TakenRead::Unreadable;
        r.error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return r;
    }
    if (static_cast<uint64_t>(st.st_size) > kTakenSourcesMaxBytes) {
        r.status = TakenRead::Damaged;
        return r;
    }
    std::string text;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(f.fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            r.status = TakenRead::Unreadable;
            r.error = errno;
            return r;
        }
        if (n == 0) break;
        text.append(buf, static_cast<size_t>(n));
        if (text.size() > kTakenSourcesMaxBytes) {
            r.status = TakenRead::Damaged;
            return r;
        }
    }
    auto sources = ParseTakenSources(text);
    if (!sources) {
        r.status = TakenRead::Damaged;
        return r;
    }
    r.status = TakenRead::Ok;
    r.sources = std::move(*sources);
    return r;
}

int WriteTakenSources(const std::string& path, const std::vector<TakenSource>& sources)
{
    const std::string text = EncodeTakenSources(sources);
    std::string temp;
    Fd f;
    for (int attempt = 0; attempt < 100 && f.fd < 0; ++attempt) {
        temp = TempPrefix(path) + std::to_string(::getpid()) + "_" + std::to_string(g_takenTempCounter++);
        f.fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (f.fd < 0 && errno != EEXIST) return errno;
    }
    if (f.fd < 0) return EEXIST;
    const auto fail = [&](int error) {
        ::unlink(temp.c_str());
        return error;
    };
    for (size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(f.fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return fail(errno);
        done += static_cast<size_t>(n);
    }
    if (::fsync(f.fd) != 0) return fail(errno);
    const int fd = f.fd;
    f.fd = -1;
    if (::close(fd) != 0) return fail(errno);
    if (::rename(temp.c_str(), path.c_str()) != 0) return fail(errno);
    Fd folder{::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (folder.fd < 0) return errno;
    // A file system that cannot sync a folder (EINVAL) makes the rename durable by itself.
    if (::fsync(folder.fd) != 0 && errno != EINVAL) return errno;
    return 0;
}

void RemoveTakenTemporaries(const std::string& path)
{
    const std::string folder = FolderOf(path);
    const size_t slash = path.rfind('/');
    const std::string prefix = TempPrefix(slash == std::string::npos ? path : path.substr(slash + 1));
    DIR* d = ::opendir(folder.c_str());
    if (d == nullptr) return;
    while (const dirent* e = ::readdir(d))
        if (std::string_view(e->d_name).starts_with(prefix)) ::unlinkat(::dirfd(d), e->d_name, 0);
    ::closedir(d);
}
