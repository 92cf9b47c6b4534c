#include "model/ProfileFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "model/FolderSync.h"

namespace {

// A settings file is a few hundred bytes; anything far larger is not one.
constexpr off_t kMaxProfileBytes = 4 * 1024 * 1024;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

// The section name of a "[name]" line, else nothing.
std::optional<std::string_view> SectionName(std::string_view line)
{
    line = Trim(line);
    if (line.empty() || line.front() != '[') return std::nullopt;
    line.remove_prefix(1);
    const size_t close = line.find(']');
    if (close != std::string_view::npos) line = line.substr(0, close);
    return Trim(line);
}

// The key name of a "name=value" line, else nothing (comments included).
std::optional<std::string_view> KeyName(std::string_view line)
{
    const std::string_view t = Trim(line);
    if (t.empty() || t.front() == ';' || t.front() == '[') return std::nullopt;
    const size_t eq = t.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return Trim(t.substr(0, eq));
}

std::string_view ValueOf(std::string_view line)
{
    std::string_view v = Trim(line.substr(line.find('=') + 1));
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) v = v.substr(1, v.size() - 2);
    return v;
}

// What is written so that reading gives value back: blanks at either end
// or a matching pair of quotes would be taken away, so such a value goes
// inside quotes. Line breaks cannot live in a line and are dropped.
std::string Encode(std::string_view value)
{
    std::string v;
    for (char c : value)
        if (c != '\r' && c != '\n') v += c;
    const bool edgeBlank = !v.empty() && (IsBlank(v.front()) || IsBlank(v.back()));
    const bool quoted = v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front();
    if (edgeBlank || quoted) return '"' + v + '"';
    return v;
}

std::string ErrnoText(int e) { return std::strerror(e); }

}  // namespace

int32_t ProfileInt(std::string_view value, int32_t def)
{
    value = Trim(value);
    if (value.empty()) return def;
    bool negative = false;
    size_t i = 0;
    if (value[0] == '-' || value[0] == '+') {
        negative = value[0] == '-';
        i = 1;
    }
    uint32_t v = 0;  // unsigned: overflow wraps, as the 32-bit original does
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) v = v * 10u + static_cast<uint32_t>(value[i] - '0');
    if (negative) v = 0u - v;
    return static_cast<int32_t>(v);
}

ProfileFile ProfileFile::Parse(std::string_view text)
{
    ProfileFile f;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        f.m_bom = true;
        text.remove_prefix(3);
    }
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        const bool lastLine = end == std::string_view::npos;
        if (lastLine) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
            f.m_crlf = true;
        }
        f.m_lines.emplace_back(line);
        start = end + 1;
    }
    return f;
}

std::optional<std::pair<size_t, size_t>> ProfileFile::FindSection(std::string_view section) const
{
    for (size_t i = 0; i < m_lines.size(); ++i) {
        const auto name = SectionName(m_lines[i]);
        if (!name || !SameName(*name, Trim(section))) continue;
        size_t end = i + 1;
        while (end < m_lines.size() && !SectionName(m_lines[end])) ++end;
        return std::make_pair(i + 1, end);
    }
    return std::nullopt;
}

std::optional<size_t> ProfileFile::FindKey(size_t first, size_t end, std::string_view key) const
{
    for (size_t i = first; i < end; ++i) {
        const auto name = KeyName(m_lines[i]);
        if (name && SameName(*name, Trim(key))) return i;
    }
    return std::nullopt;
}

std::optional<std::string> ProfileFile::GetString(std::string_view section, std::string_view key) const
{
    const auto range = FindSection(section);
    if (!range) return std::nullopt;
    const auto line = FindKey(range->first, range->second, key);
    if (!line) return std::nullopt;
    return std::string(ValueOf(m_lines[*line]));
}

int32_t ProfileFile::GetInt(std::string_view section, std::string_view key, int32_t def) const
{
    const auto v = GetString(section, key);
    return v ? ProfileInt(*v, def) : def;
}

void ProfileFile::SetString(std::string_view section, std::string_view key, std::string_view value)
{
    std::string entry = std::string(Trim(key)) + '=' + Encode(value);
    const auto range = FindSection(section);
    if (!range) {
        m_lines.push_back('[' + std::string(Trim(section)) + ']');
        m_lines.push_back(std::move(entry));
        return;
    }
    if (const auto line = FindKey(range->first, range->second, key)) {
        m_lines[*line] = std::move(entry);
        return;
    }
    // After the section's last non-blank line: blank lines before the next
    // section stay where they are.
    size_t at = range->second;
    while (at > range->first && Trim(m_lines[at - 1]).empty()) --at;
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
}

void ProfileFile::SetInt(std::string_view section, std::string_view key, int32_t value)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d", static_cast<int>(value));
    SetString(section, key, buf);
}

std::string ProfileFile::Text() const
{
    std::string out;
    if (m_bom) out = "\xEF\xBB\xBF";
    const char* eol = m_crlf ? "\r\n" : "\n";
    for (const std::string& line : m_lines) {
        out += line;
        out += eol;
    }
    return out;
}

bool ReadProfileFile(const std::string& path, ProfileFile& out, std::string* error)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT) {
            out = ProfileFile{};
            return true;
        }
        *error = path + ": " + ErrnoText(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        *error = path + ": not a regular file";
        return false;
    }
    if (st.st_size > kMaxProfileBytes) {
        ::close(fd);
        *error = path + ": too large for a settings file";
        return false;
    }
    std::string text;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            *error = path + ": " + ErrnoText(errno);
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        text.append(buf, static_cast<size_t>(n));
        if (text.size() > static_cast<size_t>(kMaxProfileBytes)) {
            *error = path + ": too large for a settings file";
            ::close(fd);
            return false;
        }
    }
    ::close(fd);
    out = ProfileFile::Parse(text);
    return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view text, std::string* error)
{
    std::string tmp = path + ".XXXXXX";
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0) {
        *error = path + ": " + ErrnoText(errno);
        return false;
    }
    // Keep the old file's permissions (mkstemp gives 0600).
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) ::fchmod(fd, st.st_mode & 07777);
    else ::fchmod(fd, 0644);
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int e = errno;
            ::close(fd);
            ::unlink(tmp.c_str());
            *error = path + ": " + ErrnoText(e);
            return false;
        }
        done += static_cast<size_t>(n);
    }
    const bool synced = ::fsync(fd) == 0;
    int e = errno;
    const bool closed = ::close(fd) == 0;
    if (!closed && synced) e = errno;
    if (!synced || !closed) {
        ::unlink(tmp.c_str());
        *error = path + ": " + ErrnoText(e);
        return false;
    }
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
        const int e = errno;
        ::unlink(tmp.c_str());
        *error = path + ": " + ErrnoText(e);
        return false;
    }
    // Until its folder is synced the new name may not survive a power cut:
    // the old version, or no file at all, could come back.
    if (const int e = SyncFolderOf(path); e != 0) {
        *error = path + ": " + ErrnoText(e);
        return false;
    }
    return true;
}
