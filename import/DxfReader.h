#pragma once
// The DXF file reader: lines and group-code/value pairs with a mark to return
// to, and the section and table structure of the file. The file is read a
// large stretch at a time into one buffer that is reused, so a large file
// costs no more memory than that buffer; the 32 KiB window of the file the
// reader would hold is still kept (bufferStart, bufferLen), as it moves the
// same way.
#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace DxfSectionCode {
enum : int32_t { None = 0, Header = 1, Tables = 4, Blocks = 8, Entities = 16, Other = 64 };
}

namespace DxfTableCode {
enum : int32_t { None = 0, DimStyle = 4, Layer = 8, LType = 16, Style = 32, Other = 512 };
}

// Line buffer sizes (bytes, NUL included): longer lines are cut and the rest
// of the line is passed over.
constexpr size_t kDxfCodeLineSize = 32;
constexpr size_t kDxfValueSize = 2048;
constexpr size_t kDxfReaderBufferSize = 32768;
// Larger files are refused before reading: a drawing that size would take
// gigabytes before the entity limits refuse it.
constexpr int64_t kDxfMaxFileSize = int64_t{256} * 1024 * 1024;
// The stretch of the file read at a time.
constexpr size_t kDxfReadStretch = size_t{1} << 20;
// The bytes of a line a read keeps: more than any line buffer takes.
constexpr size_t kDxfLineKeep = 4096;

struct DxfReader {
    DxfReader() = default;
    DxfReader(const DxfReader&) = delete;
    DxfReader& operator=(const DxfReader&) = delete;
    ~DxfReader();

    std::FILE* file = nullptr;
    int64_t size = 0;  // taken at open; lowered when the file turns out shorter
    bool readFailed = false;  // a read of the file failed: what it holds is not all there is
    int64_t mark = 0;
    int32_t section = DxfSectionCode::None;
    int32_t table = DxfTableCode::None;
    int32_t blockOpen = 0;

    // The stretch of the file in memory: stretchLen bytes from stretchStart.
    std::unique_ptr<char[]> stretch;
    int64_t stretchStart = 0;
    size_t stretchLen = 0;
    // The kept start of a line longer than the stretch.
    std::unique_ptr<char[]> longLine;
    // The window the 32 KiB buffer of a file-backed reader would hold.
    size_t bufferLen = 0;
    int64_t bufferStart = 0;
    int64_t pos = 0;

    // The pair last read by DxfReadPair.
    int32_t code = 0;
    std::array<char, kDxfValueSize> value{};
    size_t valueLen = 0;  // bytes kept in value
    // The value of the pair last read by either reading, as read (NUL bytes
    // included) and cut to kDxfValueSize - 1 bytes; valid until the next read.
    std::string_view valueView;

    // Progress of the load in percent; nothing shows it.
    int32_t lastPercent = 0;
    int32_t highestPercent = 0;
};

// Opens path (mode "rb") and reads its first stretch; null when it cannot be
// opened or read, std::bad_alloc when there is no memory for the buffer.
std::unique_ptr<DxfReader> DxfOpenReader(const std::u16string& path);
// The same for the bytes the file system holds for the name.
std::unique_ptr<DxfReader> DxfOpenReaderAt(const std::string& fsPath);
// 1 when the file closed cleanly, else 0.
int DxfCloseReader(std::unique_ptr<DxfReader>& reader);

inline bool DxfAtEnd(const DxfReader& r) { return r.pos >= r.size; }

// One line into dest (capacity cap >= 1, always NUL-terminated). A line ends at
// CR, CR LF, a bare LF or the end of the file. Returns the bytes kept.
size_t DxfGetLine(DxfReader& r, char* dest, size_t cap);
// A code line (atoi of its first 31 bytes) and the value line after it.
int DxfGetPair(DxfReader& r, int32_t& code, char* value, size_t cap);
// The same into the reader's own pair buffer (r.code, r.value).
int DxfReadPair(DxfReader& r);
// The same without the copy: r.code and r.valueView only.
int DxfReadPairView(DxfReader& r);

inline void DxfSetMark(DxfReader& r) { r.mark = r.pos; }
void DxfRewind(DxfReader& r);

// From the read position to the pair (code, text); 1 with the read position
// after it, else 0 with the read position back where the search began.
int DxfSeekGroup(DxfReader& r, int32_t code, const char* text);
// The same, but a (0, "ENDSEC") or (0, "SECTION") pair, or with withinTable a
// (0, "ENDTAB") or (0, "TABLE") pair, stops the search: -1 with the read
// position (and the mark) before it. Keeps a hostile file of many open tables
// or sections from being searched to its end again and again.
int DxfSeekGroupInSection(DxfReader& r, int32_t code, const char* text, bool withinTable);
// At a pair that ends the open section: consumes it when it is ENDSEC (a
// SECTION pair is left to be read again) and closes the section.
void DxfCloseSection(DxfReader& r);

int32_t DxfNextSection(DxfReader& r);
inline int32_t DxfCurrentSection(const DxfReader& r) { return r.section; }
int32_t DxfNextTable(DxfReader& r);
inline int32_t DxfCurrentTable(const DxfReader& r)
{
    return r.section == DxfSectionCode::Tables ? r.table : DxfTableCode::None;
}
void DxfReadTableName(DxfReader& r);

// Byte-exact comparison of a NUL-terminated value with a keyword.
bool DxfValueIs(const char* value, const char* keyword);
// A value as the copy of it would read: up to its first NUL byte.
inline std::string_view DxfCStr(std::string_view value)
{
    const size_t nul = value.find('\0');
    return nul == std::string_view::npos ? value : value.substr(0, nul);
}
inline bool DxfValueIs(std::string_view value, std::string_view keyword) { return DxfCStr(value) == keyword; }

// After the (0, "ENDBLK") pair: passes over the ENDBLK entity's groups and
// closes the block; a following ENDSEC closes the section too.
void DxfPassEndBlock(DxfReader& r);

// After every entity: the load's progress in percent.
void DxfProgressStep(DxfReader& r);
