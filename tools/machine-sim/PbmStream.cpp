#include "tools/machine-sim/PbmStream.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace {
std::string PbmHead(const DecodedJob& d)
{
    return "P4\n" + std::to_string(d.width) + " " + std::to_string(d.height) + "\n";
}

bool WriteAt(int fd, const uint8_t* p, size_t n, off_t at)
{
    while (n > 0) {
        const ssize_t r = pwrite(fd, p, n, at);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        p += r;
        n -= static_cast<size_t>(r);
        at += r;
    }
    return true;
}
}  // namespace

CPbmStream::CPbmStream(const std::string& dir) : m_dir(dir)
{
    m_fd = open(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
}

CPbmStream::~CPbmStream()
{
    if (m_fd >= 0) close(m_fd);
}

bool CPbmStream::WriteRows(const DecodedJob& d, int32_t from, int32_t to)
{
    if (m_fd < 0 || from >= to) return m_fd >= 0;
    const size_t rowBytes = static_cast<size_t>(d.RowBytes());
    if (!WriteAt(m_fd, d.bits.data() + static_cast<size_t>(from) * rowBytes, static_cast<size_t>(to - from) * rowBytes,
                 static_cast<off_t>(m_head.size() + static_cast<size_t>(from) * rowBytes))) {
        close(m_fd);
        m_fd = -1;
        return false;
    }
    return true;
}

void CPbmStream::BandDecoded(const DecodedJob& d, int32_t bandRow0)
{
    if (m_fd < 0) return;
    const std::string head = PbmHead(d);
    // A taller image may need a longer header: every row moves.
    if (head.size() != m_head.size()) m_writtenRows = 0;
    m_head = head;
    m_writtenRows = std::min(m_writtenRows, bandRow0);
    const int32_t settled = std::clamp(bandRow0, 0, d.height);
    if (WriteRows(d, m_writtenRows, settled)) m_writtenRows = std::max(m_writtenRows, settled);
}

bool CPbmStream::Finish(const DecodedJob& d, const std::string& path)
{
    if (m_fd < 0) return false;
    const std::string head = PbmHead(d);
    if (head.size() != m_head.size()) m_writtenRows = 0;
    m_head = head;
    if (!WriteRows(d, m_writtenRows, d.height)) return false;
    const off_t total = static_cast<off_t>(head.size() + d.bits.size());
    if (!WriteAt(m_fd, reinterpret_cast<const uint8_t*>(head.data()), head.size(), 0) || ftruncate(m_fd, total) != 0)
        return false;
    // The file gets its name only now, whole: first beside the record, then in its place.
    const std::string part = path + ".part";
    const std::string self = "/proc/self/fd/" + std::to_string(m_fd);
    unlink(part.c_str());
    if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, part.c_str(), AT_SYMLINK_FOLLOW) != 0) return false;
    if (std::rename(part.c_str(), path.c_str()) != 0) {
        unlink(part.c_str());
        return false;
    }
    close(m_fd);
    m_fd = -1;
    return true;
}
