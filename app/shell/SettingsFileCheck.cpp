#include "app/shell/SettingsFileCheck.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {
// Far above any real settings file; the reader refuses files this size.
constexpr off_t kLargeFile = 1024 * 1024;
}  // namespace

SettingsFileCheck CheckSettingsFile(const std::string& path)
{
    using P = SettingsFileCheck::Problem;
    SettingsFileCheck c;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno != ENOENT) c = {P::Unreadable, errno};
        return c;
    }
    if (!S_ISREG(st.st_mode)) return {P::NotAFile, 0};
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return {P::Unreadable, errno};
    ::close(fd);
    if (st.st_size > kLargeFile) return {P::TooLarge, 0};
    return {P::Unreadable, EIO};
}
