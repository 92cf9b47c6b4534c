#include "import/DxfReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <new>
#include <string_view>

#include "import/DxfNumber.h"
#include "import/PopulatePages.h"
#include "model/Text.h"

namespace {

// The window moves as a file-backed reader's buffer would: refilled from
// 'at' when a read needs a byte outside it.
void Touch(DxfReader& r, int64_t at)
{
    if (at >= r.size) return;
    if (at >= r.bufferStart && at < r.bufferStart + static_cast<int64_t>(r.bufferLen)) return;
    r.bufferStart = at;
    r.bufferLen = static_cast<size_t>(std::min<int64_t>(kDxfReaderBufferSize, r.size - at));
}

// Reads the stretch of the file that starts at 'at'. A file found shorter
// than it was ends where the read ended; a failed read ends it there too and
// is remembered, so the load fails rather than keep a drawing cut short.
void Fill(DxfReader& r, int64_t at)
{
    const size_t want = static_cast<size_t>(std::min<int64_t>(kDxfReadStretch, r.size - at));
    size_t got = 0;
    while (got < want) {
        const ssize_t n = ::pread(fileno(r.file), r.stretch.get() + got, want - got, at + static_cast<int64_t>(got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) r.readFailed = true;
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    r.stretchStart = at;
    r.stretchLen = got;
    if (got < want) r.size = at + static_cast<int64_t>(got);
}

int64_t StretchEnd(const DxfReader& r)
{
    return r.stretchStart + static_cast<int64_t>(r.stretchLen);
}

// The byte at 'at' (< size), reading its stretch when needed; -1 when the
// file turned out to end before it.
int ByteAt(DxfReader& r, int64_t at)
{
    if (at < r.stretchStart || at >= StretchEnd(r)) Fill(r, at);
    if (at >= StretchEnd(r)) return -1;
    return static_cast<unsigned char>(r.stretch[static_cast<size_t>(at - r.stretchStart)]);
}

// The first CR or LF in [p, end), or end. Most DXF lines are a few bytes:
// those are scanned eight bytes at a time in place, longer ones by memchr.
const char* LineEnd(const char* p, const char* end)
{
    static_assert(std::endian::native == std::endian::little, "the first byte is the lowest");
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    constexpr uint64_t kHighs = 0x8080808080808080ull;
    const char* near = end - p > 64 ? p + 64 : end;
    while (near - p >= 8) {
        uint64_t w;
        std::memcpy(&w, p, 8);
        const uint64_t cr = w ^ (kOnes * '\r');
        const uint64_t lf = w ^ (kOnes * '\n');
        // A zero byte of cr or lf sets its high bit; the lowest bit set is
        // always the first such byte.
        const uint64_t hit = ((cr - kOnes) & ~cr & kHighs) | ((lf - kOnes) & ~lf & kHighs);
        if (hit) return p + (std::countr_zero(hit) >> 3);
        p += 8;
    }
    for (; p < near; ++p)
        if (*p == '\r' || *p == '\n') return p;
    if (p == end) return end;
    const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
    const char* stop = lf ? lf : end;
    const char* cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<size_t>(stop - p)));
    return cr ? cr : stop;
}

// The line at the read position: where it ends (its CR or LF, or the end of
// the file) and its first kDxfLineKeep bytes at least (all of it when shorter).
struct Line {
    std::string_view kept;
    int64_t stop = 0;
};

Line FindLine(DxfReader& r)
{
    if (r.pos < r.stretchStart || r.pos >= StretchEnd(r)) Fill(r, r.pos);
    const char* base = r.stretch.get();
    const char* end = base + r.stretchLen;
    const char* start = base + (r.pos - r.stretchStart);
    const char* p = LineEnd(start, end);
    // The line and the byte after its end are in the stretch (or the file
    // ends in it), so looking for an LF after a CR reads no other stretch.
    if (end - p > 1 || StretchEnd(r) >= r.size)
        return {std::string_view(start, static_cast<size_t>(p - start)), r.stretchStart + (p - base)};
    if (r.pos != r.stretchStart) {
        Fill(r, r.pos);  // a stretch that starts with the line
        return FindLine(r);
    }
    // A line as long as a stretch: keep its start and look on for its end.
    if (!r.longLine) r.longLine = std::make_unique<char[]>(kDxfLineKeep);
    std::memcpy(r.longLine.get(), base, kDxfLineKeep);
    const std::string_view kept(r.longLine.get(), kDxfLineKeep);
    int64_t stop = r.stretchStart + (p - base);
    while (p == end && StretchEnd(r) < r.size) {
        Fill(r, StretchEnd(r));
        base = r.stretch.get();
        end = base + r.stretchLen;
        p = LineEnd(base, end);
        stop = r.stretchStart + (p - base);
    }
    return {kept, std::min(stop, r.size)};
}

// The next line (its first kDxfLineKeep bytes at least); the read position
// goes past its end. The view lasts until the next read.
std::string_view NextLine(DxfReader& r)
{
    if (r.pos >= r.size) return {};
    Touch(r, r.pos);
    const Line line = FindLine(r);
    const int64_t stop = line.stop;
    // The stretches a buffered reader passes on its way to the line end.
    while (stop >= r.bufferStart + static_cast<int64_t>(r.bufferLen) &&
           r.bufferStart + static_cast<int64_t>(r.bufferLen) < r.size)
        Touch(r, r.bufferStart + static_cast<int64_t>(r.bufferLen));
    r.pos = stop;
    if (stop < r.size) {
        const int ending = ByteAt(r, stop);
        ++r.pos;
        if (ending == '\r' && r.pos < r.size) {
            Touch(r, r.pos);
            if (ByteAt(r, r.pos) == '\n') ++r.pos;
        }
    }
    return line.kept;
}

bool IsCBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// atoi of the line's first kDxfCodeLineSize - 1 bytes (up to a NUL), as
// DxfAtoi gives it: blanks, a sign, digits, saturated at the int32 range.
int32_t GroupCode(std::string_view line)
{
    const char* s = line.data();
    const char* end = s + std::min(line.size(), kDxfCodeLineSize - 1);
    while (s < end && IsCBlank(*s)) ++s;
    bool negative = false;
    if (s < end && (*s == '+' || *s == '-')) negative = (*s++ == '-');
    const uint64_t limit = negative ? 2147483648ull : 2147483647ull;
    uint64_t magnitude = 0;
    for (; s < end && *s >= '0' && *s <= '9'; ++s) {
        magnitude = magnitude * 10 + static_cast<uint64_t>(*s - '0');
        if (magnitude > limit) magnitude = limit + 1;  // saturated; stays beyond the limit
    }
    if (magnitude > limit) magnitude = limit;
    return negative ? static_cast<int32_t>(-static_cast<int64_t>(magnitude)) : static_cast<int32_t>(magnitude);
}

size_t CopyLine(std::string_view line, char* dest, size_t cap)
{
    const size_t take = std::min(line.size(), cap - 1);
    if (take) std::memcpy(dest, line.data(), take);
    dest[take] = '\0';
    return take;
}

int32_t SectionCodeOf(const char* name)
{
    if (DxfValueIs(name, "HEADER")) return DxfSectionCode::Header;
    if (DxfValueIs(name, "TABLES")) return DxfSectionCode::Tables;
    if (DxfValueIs(name, "BLOCKS")) return DxfSectionCode::Blocks;
    if (DxfValueIs(name, "ENTITIES")) return DxfSectionCode::Entities;
    return DxfSectionCode::Other;
}

int32_t TableCodeOf(const char* name)
{
    if (DxfValueIs(name, "LAYER")) return DxfTableCode::Layer;
    if (DxfValueIs(name, "LTYPE")) return DxfTableCode::LType;
    if (DxfValueIs(name, "STYLE")) return DxfTableCode::Style;
    if (DxfValueIs(name, "DIMSTYLE")) return DxfTableCode::DimStyle;
    return DxfTableCode::Other;
}

}  // namespace

DxfReader::~DxfReader()
{
    if (file) std::fclose(file);
}

bool DxfValueIs(const char* value, const char* keyword)
{
    return std::strcmp(value, keyword) == 0;
}

std::unique_ptr<DxfReader> DxfOpenReader(const std::u16string& path)
{
    return DxfOpenReaderAt(ToUtf8(path));
}

std::unique_ptr<DxfReader> DxfOpenReaderAt(const std::string& fsPath)
{
    // Without blocking (a FIFO would wait for a writer for ever), and only a
    // regular file of at most kDxfMaxFileSize bytes.
    const int fd = ::open(fsPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kDxfMaxFileSize) {
        ::close(fd);
        return nullptr;
    }
    std::FILE* f = fdopen(fd, "rb");
    if (!f) {
        ::close(fd);
        return nullptr;
    }
    auto r = std::make_unique<DxfReader>();
    r->file = f;
    r->size = std::max<off_t>(st.st_size, 0);
    // As large as the file up to a stretch, and all of it filled: its pages
    // made present in one call.
    const size_t stretchBytes = static_cast<size_t>(std::min<int64_t>(kDxfReadStretch, std::max<int64_t>(r->size, 1)));
    r->stretch.reset(new char[stretchBytes]);
    PopulatePages(r->stretch.get(), stretchBytes);
    if (r->size > 0) {
        const int64_t size = r->size;
        Fill(*r, 0);
        if (r->size < size && ::pread(fd, r->stretch.get(), 1, r->size) < 0) return nullptr;  // not readable
    }
    Touch(*r, 0);
    return r;
}

int DxfCloseReader(std::unique_ptr<DxfReader>& reader)
{
    if (!reader) return 0;
    std::FILE* f = reader->file;
    reader->file = nullptr;
    reader.reset();
    return f && std::fclose(f) == 0 ? 1 : 0;
}

size_t DxfGetLine(DxfReader& r, char* dest, size_t cap)
{
    return CopyLine(NextLine(r), dest, cap);
}

int DxfGetPair(DxfReader& r, int32_t& code, char* value, size_t cap)
{
    code = GroupCode(NextLine(r));
    CopyLine(NextLine(r), value, cap);
    return 1;
}

int DxfReadPair(DxfReader& r)
{
    DxfReadPairView(r);
    r.valueLen = CopyLine(r.valueView, r.value.data(), r.value.size());
    return 1;
}

int DxfReadPairView(DxfReader& r)
{
    r.code = GroupCode(NextLine(r));
    const std::string_view v = NextLine(r);
    r.valueView = v.substr(0, std::min(v.size(), kDxfValueSize - 1));
    return 1;
}

void DxfRewind(DxfReader& r)
{
    // The buffer is refilled from the mark on the next read when the mark
    // lies outside it.
    r.pos = r.mark;
}

int DxfSeekGroup(DxfReader& r, int32_t code, const char* text)
{
    DxfSetMark(r);
    while (!DxfAtEnd(r)) {
        DxfReadPair(r);
        if (r.code == code && DxfValueIs(r.value.data(), text)) return 1;
    }
    DxfRewind(r);
    return 0;
}

int DxfSeekGroupInSection(DxfReader& r, int32_t code, const char* text, bool withinTable)
{
    DxfSetMark(r);
    const int64_t start = r.pos;
    while (!DxfAtEnd(r)) {
        const int64_t before = r.pos;
        DxfReadPair(r);
        if (r.code == code && DxfValueIs(r.value.data(), text)) return 1;
        if (r.code == 0 && (DxfValueIs(r.value.data(), "ENDSEC") || DxfValueIs(r.value.data(), "SECTION") ||
                            (withinTable && (DxfValueIs(r.value.data(), "ENDTAB") ||
                                            DxfValueIs(r.value.data(), "TABLE"))))) {
            r.pos = r.mark = before;
            return -1;
        }
    }
    r.pos = r.mark = start;
    return 0;
}

int32_t DxfNextSection(DxfReader& r)
{
    r.section = DxfSectionCode::None;
    if (!DxfSeekGroup(r, 0, "SECTION")) return 0;
    if (DxfAtEnd(r)) return 0;
    int32_t code = 0;
    char name[kDxfCodeLineSize];
    DxfGetPair(r, code, name, sizeof name);
    r.section = SectionCodeOf(name);
    return r.section;
}

int32_t DxfNextTable(DxfReader& r)
{
    if (r.section != DxfSectionCode::Tables) return 0;
    const int found = DxfSeekGroupInSection(r, 0, "TABLE", false);
    if (found < 0) {
        // The section ends before another table: close it.
        DxfCloseSection(r);
        return 0;
    }
    if (found == 0) return 0;
    DxfReadTableName(r);
    return r.table;
}

void DxfCloseSection(DxfReader& r)
{
    DxfSetMark(r);
    DxfReadPair(r);
    if (r.code != 0 || !DxfValueIs(r.value.data(), "ENDSEC")) DxfRewind(r);
    r.section = DxfSectionCode::None;
    r.table = DxfTableCode::None;
    r.blockOpen = 0;
}

void DxfReadTableName(DxfReader& r)
{
    DxfReadPair(r);
    r.table = TableCodeOf(r.value.data());
}

void DxfProgressStep(DxfReader& r)
{
    if (r.size <= 0) return;
    r.lastPercent = static_cast<int32_t>(static_cast<double>(r.mark) * 100.0 / static_cast<double>(r.size));
    if (r.lastPercent > r.highestPercent) r.highestPercent = r.lastPercent;
}

void DxfPassEndBlock(DxfReader& r)
{
    r.blockOpen = 0;
    do {
        DxfSetMark(r);
        DxfReadPair(r);
    } while (r.code != 0);
    if (DxfValueIs(r.value.data(), "ENDSEC")) r.section = DxfSectionCode::None;
    else DxfRewind(r);
}
