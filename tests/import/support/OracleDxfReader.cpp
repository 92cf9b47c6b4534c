#include "OracleDxfReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "import/DxfNumber.h"
#include "model/Text.h"

namespace oracle {

namespace {

// Loads the stretch that starts at 'at'. A file that delivers nothing there
// (shorter than it was, or unreadable) ends at 'at'.
bool Refill(DxfReader& r, int64_t at)
{
    if (at >= r.size) return false;
    if (std::fseek(r.file, static_cast<long>(at), SEEK_SET) != 0) {
        r.size = at;
        return false;
    }
    const size_t want = static_cast<size_t>(std::min<int64_t>(kDxfReaderBufferSize, r.size - at));
    const size_t got = std::fread(r.buffer.data(), 1, want, r.file);
    r.bufferStart = at;
    r.bufferLen = got;
    if (got == 0) {
        r.size = at;
        return false;
    }
    if (got < want) r.size = at + static_cast<int64_t>(got);
    return true;
}

bool InBuffer(const DxfReader& r, int64_t at)
{
    return at >= r.bufferStart && at < r.bufferStart + static_cast<int64_t>(r.bufferLen);
}

// The byte at the read position, or -1 at the end of the file.
int PeekByte(DxfReader& r)
{
    if (r.pos >= r.size) return -1;
    if (!InBuffer(r, r.pos) && !Refill(r, r.pos)) return -1;
    return static_cast<unsigned char>(r.buffer[static_cast<size_t>(r.pos - r.bufferStart)]);
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
    // Without blocking (a FIFO would wait for a writer for ever), and only a
    // regular file of at most kDxfMaxFileSize bytes.
    const int fd = ::open(ToUtf8(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
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
    if (std::fseek(f, 0, SEEK_END) == 0) {
        const long end = std::ftell(f);
        r->size = end > 0 ? end : 0;
    }
    Refill(*r, 0);
    if (std::ferror(f)) return nullptr;  // not readable as a file (a directory, say)
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
    size_t len = 0;
    const size_t room = cap - 1;
    while (r.pos < r.size) {
        if (!InBuffer(r, r.pos) && !Refill(r, r.pos)) break;
        const size_t offset = static_cast<size_t>(r.pos - r.bufferStart);
        const char* start = r.buffer.data() + offset;
        const char* end = r.buffer.data() + r.bufferLen;
        const char* p = start;
        while (p < end && *p != '\r' && *p != '\n') ++p;
        const size_t run = static_cast<size_t>(p - start);
        const size_t take = std::min(run, room - len);
        std::memcpy(dest + len, start, take);
        len += take;
        r.pos += static_cast<int64_t>(run);
        if (p < end) {
            ++r.pos;
            if (*p == '\r' && PeekByte(r) == '\n') ++r.pos;
            break;
        }
    }
    dest[len] = '\0';
    return len;
}

int DxfGetPair(DxfReader& r, int32_t& code, char* value, size_t cap)
{
    char codeLine[kDxfCodeLineSize];
    DxfGetLine(r, codeLine, sizeof codeLine);
    code = DxfAtoi(codeLine);
    DxfGetLine(r, value, cap);
    return 1;
}

int DxfReadPair(DxfReader& r)
{
    return DxfGetPair(r, r.code, r.value.data(), r.value.size());
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

}  // namespace oracle
