#include "model/Settings.h"
#include "model/Text.h"
#include "resources/EmbeddedFonts.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <span>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool SameTypeName(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::span<const uint8_t> FindResource(int id, std::u16string_view type)
{
    if (!SameTypeName(type, u"FON")) return {};
    if (id == CSettings::FontHzResource) return EmbeddedFontHz();
    if (id == CSettings::FontEnResource) return EmbeddedFontEn();
    return {};
}

// Anything at the path counts, even a dangling link or a folder: the user's
// own font file is never replaced.
bool PathTaken(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 || errno != ENOENT;
}

bool WriteAll(int fd, std::span<const uint8_t> data)
{
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Makes the temporary names unique within the process; any thread that
// writes a font file increments it.
std::atomic<unsigned> g_tempSerial{0};

// Creates an empty file beside the target, named so that no loader ever
// takes it for the font.
int CreateTempBeside(const std::string& target, std::string& tempPath)
{
    const size_t slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = dir + "." + name + ".part-" + std::to_string(::getpid()) + "-" +
                   std::to_string(g_tempSerial.fetch_add(1));
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Puts the finished file in place without replacing one that appeared
// meanwhile (another instance writing the same font).
bool MoveIntoPlace(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return false;
    // File systems without the no-replace rename: a hard link refuses an
    // existing name too; without hard links, check and rename.
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());  // the font is in place; a stray temporary name is harmless
        return true;
    }
    if (errno == EEXIST || PathTaken(to)) return false;
    return ::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace

bool CSettings::ExtractResourceToFile(int id, std::u16string_view type, const std::u16string& path)
{
    const std::span<const uint8_t> data = FindResource(id, type);
    if (data.empty() || path.empty()) return false;
    const std::string target = ToUtf8(path);
    if (PathTaken(target)) return false;

    std::string temp;
    const int fd = CreateTempBeside(target, temp);
    if (fd < 0) return false;
    // fsync before the rename: after a crash the font is either whole or absent.
    bool ok = WriteAll(fd, data) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && MoveIntoPlace(temp, target);
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

void CSettings::EnsureFontFiles()
{
    // A font that cannot be written is reported by its loader when it fails
    // to open the file.
    const std::u16string& en = Path(Slot::FontEnPath);
    if (!en.empty() && !PathTaken(ToUtf8(en))) ExtractResourceToFile(FontEnResource, u"fon", en);
    const std::u16string& hz = Path(Slot::FontHzPath);
    if (!hz.empty() && !PathTaken(ToUtf8(hz))) ExtractResourceToFile(FontHzResource, u"fon", hz);
}
