// The DXF import as it was before the compact entity store (the oracle).
// Blocks and entity stores of a drawing: adding, finding and walking.
#include <algorithm>
#include <new>

#include "OracleDxfDrawing.h"

namespace oracle {

int DxfBlockIndexById(const DxfDrawing& d, int32_t id)
{
    // Blocks take ascending ids as they are added.
    const auto it = std::lower_bound(d.blocks.begin(), d.blocks.end(), id,
                                     [](const DxfBlock& b, int32_t key) { return b.id < key; });
    return it != d.blocks.end() && it->id == id ? static_cast<int>(it - d.blocks.begin()) : -1;
}

int DxfBlockIndexByName(const DxfDrawing& d, std::string_view name)
{
    return DxfBlockIndexForInsert(d, name, 0);
}

int DxfBlockIndexForInsert(const DxfDrawing& d, std::string_view name, size_t nth)
{
    const auto it = d.blocksByName.find(std::string(name));
    if (it == d.blocksByName.end() || it->second.empty()) return -1;
    const std::vector<size_t>& defs = it->second;
    return static_cast<int>(nth < defs.size() ? defs[nth] : defs.back());
}

int32_t DxfAddBlock(DxfDrawing& d, DxfBlock block)
{
    if (block.name.size() >= kDxfNameSize) block.name.resize(kDxfNameSize - 1);
    if (d.blocks.size() >= kDxfBlockCapacity) {
        d.error = DxfLoadError::TooManyBlocks;
        return 0;
    }
    block.id = d.idCounter + 1;
    block.store = DxfStore{};
    const size_t index = d.blocks.size();
    try {
        std::vector<size_t>& defs = d.blocksByName[block.name];
        defs.push_back(index);
        try {
            d.blocks.push_back(std::move(block));
        } catch (const std::bad_alloc&) {
            defs.pop_back();
            throw;
        }
    } catch (const std::bad_alloc&) {
        d.error = DxfLoadError::NoMemory;
        return 0;
    }
    ++d.idCounter;
    return d.blocks.back().id;
}

DxfBlock* DxfFindBlock(DxfDrawing& d, int32_t mode, std::string_view name, int32_t id)
{
    const size_t n = d.blocks.size();
    if (n == 0) return nullptr;
    int index = -1;
    switch (mode) {
    case DxfFindMode::First: index = 0; break;
    case DxfFindMode::Last: index = static_cast<int>(n - 1); break;
    case DxfFindMode::Next:
        if (d.blockCursor + 1 < n) index = static_cast<int>(d.blockCursor + 1);
        break;
    case DxfFindMode::Previous:
        if (d.blockCursor > 0 && d.blockCursor < n) index = static_cast<int>(d.blockCursor - 1);
        break;
    case DxfFindMode::ByName: index = DxfBlockIndexByName(d, name); break;
    case DxfFindMode::ById: index = DxfBlockIndexById(d, id); break;
    default: break;
    }
    if (index < 0) return nullptr;
    d.blockCursor = static_cast<size_t>(index);
    return &d.blocks[d.blockCursor];
}

int32_t DxfAddEntity(DxfDrawing& d, int32_t blockId, DxfEntityHeader header, DxfEntityData* data)
{
    DxfStore* store = &d.entities;
    if (blockId != 0) {
        const int index = DxfBlockIndexById(d, blockId);
        if (index < 0) return 0;
        store = &d.blocks[static_cast<size_t>(index)].store;
    }
    header.id = d.idCounter + 1;
    if (data) {
        try {
            store->records.push_back(DxfEntity{header, std::move(*data)});
        } catch (const std::bad_alloc&) {
            d.error = DxfLoadError::NoMemory;  // the store cannot grow: the load fails
            return 0;
        }
    }
    ++store->count;
    ++d.idCounter;
    return header.id;
}

const DxfEntity* DxfEnumStore(DxfStore& store, int32_t mode, int32_t id, size_t* offset)
{
    const size_t n = store.records.size();
    if (store.count == 0 || n == 0) return nullptr;
    size_t at = 0;
    switch (mode) {
    case DxfFindMode::First:
        at = 0;
        store.cursor = 1;
        break;
    case DxfFindMode::Next:
        if (store.cursor >= n) return nullptr;
        at = store.cursor++;
        break;
    case DxfFindMode::Last:
        at = n - 1;
        store.cursor = n;
        break;
    case DxfFindMode::ById:
        for (at = 0; at < n && store.records[at].header.id != id; ++at) {
        }
        if (at == n) return nullptr;
        break;
    default: return nullptr;
    }
    if (offset) *offset = at;
    return &store.records[at];
}

const DxfEntity* DxfEnumBlockEntities(DxfDrawing& d, const char* blockName, int32_t mode, int32_t id,
                                      size_t* offset)
{
    if (!blockName) return DxfEnumStore(d.entities, mode, id, offset);
    const int index = DxfBlockIndexByName(d, blockName);
    if (index < 0) return nullptr;
    return DxfEnumStore(d.blocks[static_cast<size_t>(index)].store, mode, id, offset);
}

const char* DxfEntityTypeName(int16_t type)
{
    switch (type) {
    case DxfEntityType::Line: return "LINE";
    case DxfEntityType::Point: return "POINT";
    case DxfEntityType::Circle: return "CIRCLE";
    case DxfEntityType::Ellipse: return "ELLIPSE";
    case DxfEntityType::Text: return "TEXT";
    case DxfEntityType::Arc: return "ARC";
    case DxfEntityType::Solid: return "SOLID";
    case DxfEntityType::Insert: return "INSERT";
    case DxfEntityType::Polyline: return "POLYLINE";
    case DxfEntityType::Dimension: return "DIMENSION";
    default: return "";
    }
}

std::vector<std::pair<std::string, int32_t>> DxfCountEntities(const DxfDrawing& d)
{
    constexpr int16_t order[] = {DxfEntityType::Line, DxfEntityType::Point, DxfEntityType::Circle,
                                 DxfEntityType::Text, DxfEntityType::Arc, DxfEntityType::Solid,
                                 DxfEntityType::Insert, DxfEntityType::Polyline};
    std::vector<std::pair<std::string, int32_t>> counts;
    for (int16_t type : order) {
        int32_t n = 0;
        for (const DxfEntity& e : d.entities.records)
            if (e.header.type == type) ++n;
        if (n > 0) counts.emplace_back(DxfEntityTypeName(type), n);
    }
    return counts;
}

}  // namespace oracle
