#include "model/FolderSync.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

int SyncFolderOf(const std::string& path)
{
    const int fd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    int error = 0;
    while (::fsync(fd) != 0) {
        if (errno == EINTR) continue;
        if (errno != EINVAL) error = errno;
        break;
    }
    ::close(fd);
    return error;
}
