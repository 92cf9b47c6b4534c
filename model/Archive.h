#pragma once
// Byte-compatible reader and writer of the task file's archive format:
// little-endian integers, counts, strings, times and object references.
//
// The reader is strict: every count and length is checked against the bytes
// that remain before anything is allocated, and a fault throws ArchiveError,
// which the task-file functions turn into a status code.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

enum class ArchiveFault {
    Truncated,     // the bytes end inside a field
    BadLength,     // a count or length larger than the bytes that remain
    WrongClass,    // a class other than the one this slot holds
    BadSchema,     // a class record whose schema is not ours
    BadReference,  // null, a back-reference, or an unknown class number
    BadValue,      // a field outside what the record allows (a curve kind)
    TrailingData,  // bytes after the last record: the file is not what was written
    ReadFailed,    // the file could not be read
};

class ArchiveError : public std::exception {
public:
    explicit ArchiveError(ArchiveFault f) : fault(f) {}
    const char* what() const noexcept override { return "archive fault"; }
    ArchiveFault fault;
};

class CArchive {
public:
    // The direction is named at construction: a vector alone would read
    // as either.
    struct StoreTo {
        std::vector<uint8_t>& out;  // appended to
    };
    struct LoadFrom {
        std::span<const uint8_t> in;  // must outlive the archive
    };
    // Reads the file as the records need it, holding only what is being read:
    // memory follows what the file declares and holds, not its size.
    struct LoadFromFile {
        int fd;         // open for reading, at offset 0; stays the caller's
        uint64_t size;  // the file's size
    };
    explicit CArchive(StoreTo s) : m_out(&s.out) {}
    explicit CArchive(LoadFrom l) : m_in(l.in), m_total(l.in.size()) {}
    explicit CArchive(LoadFromFile f) : m_fd(f.fd), m_total(f.size) {}
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsStoring() const { return m_out != nullptr; }
    bool IsLoading() const { return m_out == nullptr; }

    // ---- storing
    void WriteU8(uint8_t v);
    void WriteU16(uint16_t v);
    void WriteU32(uint32_t v);
    void WriteI32(int32_t v) { WriteU32(static_cast<uint32_t>(v)); }
    void WriteI64(int64_t v);
    void WriteBytes(const void* p, size_t n);
    // count int32 values laid out in memory one after another (a point
    // array), each written as WriteI32 writes it.
    void WriteI32Array(const void* values, size_t count);
    // 16-bit below 0xFFFF, else 0xFFFF and 32 bits.
    void WriteCount(size_t n);
    // Always the wide form: 0xFF 0xFFFE, the length, UTF-16LE.
    void WriteString(std::u16string_view s);
    // 0x8000000A, then the 64-bit seconds.
    void WriteTime(int64_t t);
    // The reference that precedes a new object's record: the class record
    // the first time a class appears, a class reference afterwards.
    void WriteNewObject(std::string_view className, uint16_t schema);

    // ---- loading
    uint8_t ReadU8();
    uint16_t ReadU16();
    uint32_t ReadU32();
    int32_t ReadI32() { return static_cast<int32_t>(ReadU32()); }
    int64_t ReadI64();
    // A count of elements that each take at least minElementBytes.
    uint32_t ReadCount(size_t minElementBytes);
    // Wide form, or 8-bit GBK text with the same length scheme.
    std::u16string ReadString();
    // 0x8000000A + 64 bits, or a bare signed 32-bit time.
    int64_t ReadTime();
    // Accepts only a reference that creates a new object of the given class
    // (a new class record of that name and schema, or a reference to that
    // class already read). Null and back-references are refused.
    void ReadNewObject(std::string_view className, uint16_t schema);

    uint64_t Remaining() const { return m_total - m_pos; }

private:
    // The next n bytes; valid until the next call.
    std::span<const uint8_t> Take(size_t n);
    uint32_t NextNumber();

    std::vector<uint8_t>* m_out = nullptr;
    std::span<const uint8_t> m_in;
    int m_fd = -1;
    uint64_t m_total = 0;
    uint64_t m_pos = 0;                  // bytes read so far
    std::vector<uint8_t> m_buf;          // file mode: bytes from m_bufStart on
    uint64_t m_bufStart = 0;

    // Classes and objects share one numbering from 1 (0 is null).
    uint32_t m_mapCount = 1;
    std::map<std::string, uint32_t, std::less<>> m_storedClasses;  // name -> number
    std::map<uint32_t, std::string> m_loadedClasses;               // number -> name
};

// Object arrays: a count, then each element as a new-object reference
// followed by its own record. T provides kClassName, kSchema,
// kMinRecordBytes (the least bytes one element, reference included, can take)
// and Serialize(CArchive&).
template <class T>
void StoreObjectArray(CArchive& ar, std::vector<std::unique_ptr<T>>& items)
{
    ar.WriteCount(items.size());
    for (auto& item : items) {
        ar.WriteNewObject(T::kClassName, T::kSchema);
        item->Serialize(ar);
    }
}

// Reads into a fresh vector; the caller's items change only on success.
template <class T>
void LoadObjectArray(CArchive& ar, std::vector<std::unique_ptr<T>>& items)
{
    const uint32_t n = ar.ReadCount(T::kMinRecordBytes);
    std::vector<std::unique_ptr<T>> loaded;
    loaded.reserve(n);
    for (uint32_t i = 0; i < n; ++i) {
        ar.ReadNewObject(T::kClassName, T::kSchema);
        auto item = std::make_unique<T>();
        item->Serialize(ar);
        loaded.push_back(std::move(item));
    }
    items = std::move(loaded);
}

// The whole task file's array; refuses bytes after it.
template <class T>
void LoadWholeObjectArray(CArchive& ar, std::vector<std::unique_ptr<T>>& items)
{
    std::vector<std::unique_ptr<T>> loaded;
    LoadObjectArray(ar, loaded);
    if (ar.Remaining() != 0) throw ArchiveError(ArchiveFault::TrailingData);
    items = std::move(loaded);
}
