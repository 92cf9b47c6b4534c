#include "model/Archive.h"

#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>

#include "model/Text.h"

namespace {

constexpr uint16_t kNullTag = 0;
constexpr uint16_t kNewClassTag = 0xFFFF;
constexpr uint16_t kClassTag = 0x8000;
constexpr uint16_t kBigObjectTag = 0x7FFF;
constexpr uint32_t kBigClassTag = 0x80000000u;
constexpr uint32_t kTimeMark = 0x8000000Au;
constexpr uint16_t kWideMark = 0xFFFE;

}  // namespace

// ---------------------------------------------------------------- storing

// Fields are laid down byte by byte, least significant first, so the file is
// the same on any host; the vector's room is reserved by the caller.
void CArchive::WriteU8(uint8_t v) { m_out->push_back(v); }

void CArchive::WriteU16(uint16_t v)
{
    const uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
    m_out->insert(m_out->end(), b, b + 2);
}

void CArchive::WriteU32(uint32_t v)
{
    const uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                          static_cast<uint8_t>(v >> 24)};
    m_out->insert(m_out->end(), b, b + 4);
}

void CArchive::WriteI64(int64_t v)
{
    const auto u = static_cast<uint64_t>(v);
    WriteU32(static_cast<uint32_t>(u));
    WriteU32(static_cast<uint32_t>(u >> 32));
}

void CArchive::WriteBytes(const void* p, size_t n)
{
    const auto* b = static_cast<const uint8_t*>(p);
    m_out->insert(m_out->end(), b, b + n);
}

void CArchive::WriteI32Array(const void* values, size_t count)
{
    if constexpr (std::endian::native == std::endian::little) {
        // The file's layout is the host's: one copy for the whole run.
        WriteBytes(values, count * sizeof(int32_t));
    } else {
        const auto* b = static_cast<const uint8_t*>(values);
        for (size_t i = 0; i < count; ++i) {
            int32_t v;
            std::memcpy(&v, b + i * sizeof v, sizeof v);
            WriteI32(v);
        }
    }
}

void CArchive::WriteCount(size_t n)
{
    if (n < 0xFFFF) {
        WriteU16(static_cast<uint16_t>(n));
    } else {
        WriteU16(0xFFFF);
        WriteU32(static_cast<uint32_t>(n));
    }
}

void CArchive::WriteString(std::u16string_view s)
{
    WriteU8(0xFF);
    WriteU16(kWideMark);
    const size_t n = s.size();
    if (n < 0xFF) {
        WriteU8(static_cast<uint8_t>(n));
    } else if (n < 0xFFFE) {
        WriteU8(0xFF);
        WriteU16(static_cast<uint16_t>(n));
    } else {
        WriteU8(0xFF);
        WriteU16(0xFFFF);
        WriteU32(static_cast<uint32_t>(n));
    }
    for (char16_t c : s) WriteU16(c);
}

void CArchive::WriteTime(int64_t t)
{
    WriteU32(kTimeMark);
    WriteI64(t);
}

uint32_t CArchive::NextNumber() { return m_mapCount++; }

void CArchive::WriteNewObject(std::string_view className, uint16_t schema)
{
    auto it = m_storedClasses.find(className);
    if (it == m_storedClasses.end()) {
        WriteU16(kNewClassTag);
        WriteU16(schema);
        WriteU16(static_cast<uint16_t>(className.size()));
        WriteBytes(className.data(), className.size());
        m_storedClasses.emplace(std::string(className), NextNumber());
    } else if (it->second < kBigObjectTag) {
        WriteU16(static_cast<uint16_t>(kClassTag | it->second));
    } else {
        WriteU16(kBigObjectTag);
        WriteU32(kBigClassTag | it->second);
    }
    NextNumber();  // the object itself
}

// ---------------------------------------------------------------- loading

std::span<const uint8_t> CArchive::Take(size_t n)
{
    if (n > Remaining()) throw ArchiveError(ArchiveFault::Truncated);
    if (m_fd < 0) {
        auto s = m_in.subspan(static_cast<size_t>(m_pos), n);
        m_pos += n;
        return s;
    }
    const uint64_t held = m_bufStart + m_buf.size();
    if (m_pos + n > held) {
        // Drop what was read, then read on: at least n, in blocks.
        m_buf.erase(m_buf.begin(), m_buf.begin() + static_cast<std::ptrdiff_t>(m_pos - m_bufStart));
        m_bufStart = m_pos;
        constexpr size_t kBlock = 65536;
        const size_t want = static_cast<size_t>(std::min<uint64_t>(std::max(n, kBlock), Remaining()));
        const size_t have = m_buf.size();
        m_buf.resize(want > have ? want : have);
        size_t got = have;
        while (got < n) {
            const ssize_t r = ::read(m_fd, m_buf.data() + got, m_buf.size() - got);
            if (r < 0 && errno == EINTR) continue;
            if (r < 0) throw ArchiveError(ArchiveFault::ReadFailed);
            if (r == 0) throw ArchiveError(ArchiveFault::Truncated);  // shorter than it was
            got += static_cast<size_t>(r);
        }
        m_buf.resize(got);
    }
    auto s = std::span<const uint8_t>(m_buf).subspan(static_cast<size_t>(m_pos - m_bufStart), n);
    m_pos += n;
    return s;
}

uint8_t CArchive::ReadU8() { return Take(1)[0]; }

uint16_t CArchive::ReadU16()
{
    auto b = Take(2);
    return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

uint32_t CArchive::ReadU32()
{
    auto b = Take(4);
    return uint32_t{b[0]} | (uint32_t{b[1]} << 8) | (uint32_t{b[2]} << 16) | (uint32_t{b[3]} << 24);
}

int64_t CArchive::ReadI64()
{
    auto b = Take(8);
    uint64_t u = 0;
    for (int i = 7; i >= 0; --i) u = (u << 8) | b[static_cast<size_t>(i)];
    return static_cast<int64_t>(u);
}

uint32_t CArchive::ReadCount(size_t minElementBytes)
{
    const uint16_t w = ReadU16();
    const uint32_t n = w != 0xFFFF ? w : ReadU32();
    if (uint64_t{n} * minElementBytes > Remaining()) throw ArchiveError(ArchiveFault::BadLength);
    return n;
}

std::u16string CArchive::ReadString()
{
    bool wide = false;
    uint32_t len = ReadU8();
    if (len == 0xFF) {
        uint16_t w = ReadU16();
        if (w == kWideMark) {
            // The mark, then the same scheme over again for the real length.
            wide = true;
            len = ReadU8();
            if (len == 0xFF) w = ReadU16();
        }
        if (len == 0xFF) {
            len = w;
            if (w == 0xFFFF) {
                len = ReadU32();
                // 0xFFFFFFFF would announce a 64-bit length: never this small a file.
                if (len == 0xFFFFFFFFu) throw ArchiveError(ArchiveFault::BadLength);
            }
        }
    }
    const uint64_t bytes = uint64_t{len} * (wide ? 2 : 1);
    if (bytes > Remaining()) throw ArchiveError(ArchiveFault::BadLength);
    auto b = Take(static_cast<size_t>(bytes));
    if (!wide) return FromGbk(std::string_view(reinterpret_cast<const char*>(b.data()), b.size()));
    std::u16string s(len, u'\0');
    for (uint32_t i = 0; i < len; ++i) s[i] = static_cast<char16_t>(b[2 * i] | (b[2 * i + 1] << 8));
    return s;
}

int64_t CArchive::ReadTime()
{
    const uint32_t first = ReadU32();
    if (first == kTimeMark) return ReadI64();
    return static_cast<int32_t>(first);
}

void CArchive::ReadNewObject(std::string_view className, uint16_t schema)
{
    const uint16_t tag = ReadU16();
    if (tag == kNewClassTag) {
        const uint16_t storedSchema = ReadU16();
        const uint16_t nameLen = ReadU16();
        if (nameLen > Remaining()) throw ArchiveError(ArchiveFault::BadLength);
        auto name = Take(nameLen);
        if (std::string_view(reinterpret_cast<const char*>(name.data()), name.size()) != className)
            throw ArchiveError(ArchiveFault::WrongClass);
        if (storedSchema != schema) throw ArchiveError(ArchiveFault::BadSchema);
        m_loadedClasses.emplace(NextNumber(), std::string(className));
        NextNumber();  // the object
        return;
    }
    uint32_t ref = 0;
    if (tag == kBigObjectTag) {
        ref = ReadU32();
    } else {
        ref = (static_cast<uint32_t>(tag & kClassTag) << 16) | static_cast<uint32_t>(tag & ~kClassTag & 0xFFFF);
    }
    if (tag == kNullTag || (ref & kBigClassTag) == 0) {
        // Null, or a reference to an object already read: the writer never
        // shares objects, and a second owner of one object would free it twice.
        throw ArchiveError(ArchiveFault::BadReference);
    }
    auto it = m_loadedClasses.find(ref & ~kBigClassTag);
    if (it == m_loadedClasses.end()) throw ArchiveError(ArchiveFault::BadReference);
    if (it->second != className) throw ArchiveError(ArchiveFault::WrongClass);
    NextNumber();
}
