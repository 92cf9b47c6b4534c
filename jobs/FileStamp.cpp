#include "jobs/FileStamp.h"

#include <sys/stat.h>

FileStamp StampOf(const struct stat& st)
{
    return FileStamp{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino), st.st_size,
                     int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec};
}

std::optional<FileStamp> StampOfPath(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return StampOf(st);
}
