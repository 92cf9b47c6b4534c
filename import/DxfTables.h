#pragma once
// The four tables of a DXF drawing (LAYER, LTYPE, STYLE, DIMSTYLE): their
// records, the working records the reader fills, and the growing table.
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "import/DxfReader.h"

namespace DxfFindMode {
enum : int32_t { First = 1, Last = 2, Next = 4, Previous = 8, ByName = 512, ById = 1024 };
}

// Names and strings of the file are kept in 512-byte fields: 511 bytes at most.
constexpr size_t kDxfNameSize = 512;
constexpr size_t kDxfArrowNameSize = 16;
constexpr size_t kDxfDashCount = 30;

// LAYER, LTYPE and STYLE grow as a file needs, up to a bound no real
// drawing reaches; an entry beyond it fails the load rather than drop what
// it draws. DIMSTYLE entries draw nothing and keep their small limit.
constexpr size_t kDxfLayerCapacity = 65536;
constexpr size_t kDxfLTypeCapacity = 65536;
constexpr size_t kDxfStyleCapacity = 65536;
constexpr size_t kDxfDimStyleCapacity = 64;

struct DxfLayer {
    int32_t id = 0;
    std::string name;
    uint8_t flags = 0;
    int16_t colour = 0;  // negative: the layer is off
    int32_t ltypeId = 0;
};

struct DxfLType {
    int32_t id = 0;
    std::string name;
    uint8_t flags = 0;
    std::string description;
    int16_t dashCount = 0;
    std::array<double, kDxfDashCount> dashes{};
    double patternLength = 0;
};

struct DxfStyle {
    int32_t id = 0;
    std::string name;
    uint8_t flags = 0;
    uint8_t generation = 0;
    std::string fontFile;
    double oblique = 0;
    double fixedHeight = 0;
    double widthFactor = 0;
    double lastHeight = 0;
};

struct DxfDimStyle {
    int32_t id = 0;
    std::string name;
    uint8_t flags = 0;
    double arrowSize = 0;
    std::string arrow1;  // 15 bytes at most
    std::string arrow2;
    int16_t dimLineColour = 0;
    int16_t extLineColour = 0;
    int16_t textColour = 0;
    double dimLineExt = 0;
    double extLineExt = 0;
    double extLineOffset = 0;
    double textGap = 0;
    double textHeight = 0;
    uint8_t textAbove = 0;
    int32_t textStyleId = 0;
};

// What the group readers fill while one table entry is read: wide fields,
// no heap, reused from entry to entry.
struct DxfTableInput {
    int32_t flags = 0;
    char name[kDxfNameSize];
    // LAYER
    int32_t colour = 0;
    char ltypeName[kDxfNameSize];
    // LTYPE
    char description[kDxfNameSize];
    int32_t dashCount = 0;
    int32_t dashesRead = 0;
    double dashes[kDxfDashCount];
    double patternLength = 0;
    // STYLE
    int32_t generation = 0;
    char fontFile[kDxfNameSize];
    double oblique = 0, fixedHeight = 0, widthFactor = 0, lastHeight = 0;
    // DIMSTYLE
    double arrowSize = 0;
    char arrow1[kDxfArrowNameSize];
    char arrow2[kDxfArrowNameSize];
    int32_t dimLineColour = 0, extLineColour = 0, textColour = 0;
    double dimLineExt = 0, extLineExt = 0, extLineOffset = 0, textGap = 0, textHeight = 0;
    int32_t textAbove = 0;
    char textStyleName[kDxfNameSize];  // no group fills it
};

void DxfClearTableInput(DxfTableInput& in);

// A table up to its capacity with the cursor of its last selection. Names are
// unique within a table and ids ascend with the entries, so both lookups are
// quick however large the table grows.
template <typename Record>
struct DxfTable {
    explicit DxfTable(size_t cap) : capacity(cap) {}
    std::vector<Record> entries;
    std::unordered_map<std::string, size_t> byName;  // name -> index in entries
    size_t capacity;
    size_t cursor = 0;
};

// Copies src into a fixed field of cap bytes (NUL included), cutting the excess.
void DxfCopyField(char* dest, size_t cap, const char* src);
// The same from a value's bytes, up to its first NUL.
void DxfCopyField(char* dest, size_t cap, std::string_view src);

// The group readers of one entry; they end before the (0, ...) pair that ends
// the entry.
int DxfReadLayer(DxfReader& r, DxfTableInput& in);
int DxfReadLType(DxfReader& r, DxfTableInput& in);
int DxfReadStyle(DxfReader& r, DxfTableInput& in);
int DxfReadDimStyle(DxfReader& r, DxfTableInput& in);

// The next entry of the open table (opening the next table when none is open):
// its table code, or 0.
int32_t DxfReadTableEntry(DxfReader& r, DxfTableInput& in);

// Selection by position (moving the cursor), by name or by id; the last entry
// of a name or id wins. Null when nothing is selected.
template <typename Record>
const Record* DxfSelectEntry(DxfTable<Record>& t, int32_t mode, std::string_view name, int32_t id)
{
    const size_t n = t.entries.size();
    switch (mode) {
    case DxfFindMode::First:
        if (n == 0) return nullptr;
        t.cursor = 0;
        return &t.entries[0];
    case DxfFindMode::Last:
        if (n == 0) return nullptr;
        t.cursor = n - 1;
        return &t.entries[n - 1];
    case DxfFindMode::Next:
        if (n == 0 || t.cursor + 1 >= n) return nullptr;
        return &t.entries[++t.cursor];
    case DxfFindMode::Previous:
        if (n == 0 || t.cursor == 0 || t.cursor >= n) return nullptr;
        return &t.entries[--t.cursor];
    case DxfFindMode::ByName: {
        const auto it = t.byName.find(std::string(name));
        return it == t.byName.end() ? nullptr : &t.entries[it->second];
    }
    case DxfFindMode::ById: {
        const auto it = std::lower_bound(t.entries.begin(), t.entries.end(), id,
                                         [](const Record& e, int32_t key) { return e.id < key; });
        return it != t.entries.end() && it->id == id ? &*it : nullptr;
    }
    default:
        return nullptr;
    }
}
