#include "jobs/TakenSources.h"

#include <charconv>
#include <set>
#include <type_traits>

namespace {

constexpr std::string_view kHeader = "orlat-taken-sources 1";
constexpr size_t kFields = 9;

void Escaped(std::string& out, std::string_view bytes)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c > ' ' && c <= '~' && c != '%') {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;  // lower case is not what the writer writes
}

std::optional<std::string> Unescaped(std::string_view field)
{
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        const auto c = static_cast<unsigned char>(field[i]);
        if (c != '%') {
            if (c <= ' ' || c > '~') return std::nullopt;
            out += field[i];
            continue;
        }
        if (i + 2 >= field.size()) return std::nullopt;
        const int hi = HexDigit(field[i + 1]), lo = HexDigit(field[i + 2]);
        if (hi < 0 || lo < 0) return std::nullopt;
        const auto b = static_cast<unsigned char>(hi * 16 + lo);
        // Written plain when it can be: another spelling is not ours.
        if ((b > ' ' && b <= '~' && b != '%') || b == 0) return std::nullopt;
        out += static_cast<char>(b);
        i += 2;
    }
    return out;
}

// Decimal digits, a '-' first only where signed; no '+', no leading zeros.
template <class T>
std::optional<T> Number(std::string_view field)
{
    if (field.empty()) return std::nullopt;
    const bool negative = field[0] == '-';
    if (negative && !std::is_signed_v<T>) return std::nullopt;
    const std::string_view digits = negative ? field.substr(1) : field;
    if (digits.empty() || (digits.size() > 1 && digits[0] == '0') || (negative && digits == "0")) return std::nullopt;
    T v{};
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), v);
    if (ec != std::errc() || end != field.data() + field.size()) return std::nullopt;
    return v;
}

void Stamp(std::string& out, const FileStamp& s, char sep)
{
    out += std::to_string(s.dev) + sep + std::to_string(s.ino) + sep + std::to_string(s.size) + sep +
           std::to_string(s.mtimeNs);
}

std::optional<FileStamp> StampFrom(const std::vector<std::string_view>& parts)
{
    const auto dev = Number<uint64_t>(parts[0]);
    const auto ino = Number<uint64_t>(parts[1]);
    const auto size = Number<int64_t>(parts[2]);
    const auto mtime = Number<int64_t>(parts[3]);
    if (!dev || !ino || !size || !mtime || *size < 0) return std::nullopt;
    return FileStamp{*dev, *ino, *size, *mtime};
}

std::vector<std::string_view> Split(std::string_view s, char sep)
{
    std::vector<std::string_view> parts;
    size_t from = 0;
    for (;;) {
        const size_t at = s.find(sep, from);
        parts.push_back(s.substr(from, at == std::string_view::npos ? std::string_view::npos : at - from));
        if (at == std::string_view::npos) return parts;
        from = at + 1;
    }
}

std::optional<TakenSource> Line(std::string_view line)
{
    const std::vector<std::string_view> f = Split(line, ' ');
    if (f.size() != kFields) return std::nullopt;
    TakenSource s;
    if (f[0] == "kept") s.kept = true;
    else if (f[0] != "pending") return std::nullopt;
    const auto stamp = StampFrom({f[1], f[2], f[3], f[4]});
    const auto jobTime = Number<int64_t>(f[5]);
    if (!stamp || !jobTime) return std::nullopt;
    s.stamp = *stamp;
    s.jobTime = *jobTime;
    if (f[6] != "-") {
        const std::vector<std::string_view> l = Split(f[6], ':');
        if (l.size() != 4) return std::nullopt;
        s.listBefore = StampFrom(l);
        if (!s.listBefore) return std::nullopt;
    }
    auto path = Unescaped(f[7]);
    auto job = Unescaped(f[8]);
    if (!path || !job || path->empty() || path->front() != '/') return std::nullopt;
    s.path = std::move(*path);
    s.jobName = std::move(*job);
    return s;
}

}  // namespace

std::string EncodeTakenSources(const std::vector<TakenSource>& sources)
{
    std::string out(kHeader);
    out += '\n';
    for (const TakenSource& s : sources) {
        out += s.kept ? "kept " : "pending ";
        Stamp(out, s.stamp, ' ');
        out += ' ' + std::to_string(s.jobTime) + ' ';
        if (s.listBefore) Stamp(out, *s.listBefore, ':');
        else out += '-';
        out += ' ';
        Escaped(out, s.path);
        out += ' ';
        Escaped(out, s.jobName);
        out += '\n';
    }
    return out;
}

std::optional<std::vector<TakenSource>> ParseTakenSources(std::string_view text)
{
    if (text.empty() || text.back() != '\n') return std::nullopt;  // cut short
    std::vector<std::string_view> lines = Split(text.substr(0, text.size() - 1), '\n');
    if (lines[0] != kHeader) return std::nullopt;
    std::vector<TakenSource> sources;
    std::set<std::string_view> paths;
    for (size_t i = 1; i < lines.size(); ++i) {
        std::optional<TakenSource> s = Line(lines[i]);
        if (!s) return std::nullopt;
        sources.push_back(std::move(*s));
    }
    for (const TakenSource& s : sources)
        if (!paths.insert(s.path).second) return std::nullopt;
    return sources;
}
