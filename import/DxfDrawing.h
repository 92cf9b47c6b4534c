#pragma once
// The in-memory DXF drawing: the tables, the blocks with their stores, the
// ENTITIES store and the one id counter they all share.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "import/DxfArena.h"
#include "import/DxfBlocks.h"
#include "import/DxfEntities.h"
#include "import/DxfTables.h"

// An INSERT whose definition may still come: read before any block of its
// name (no id yet), or the k-th INSERT of a name of which fewer than k + 1
// blocks are known so far. Resolved at the end of the load; one whose block
// never came is removed.
struct DxfPendingInsert {
    int32_t storeBlockId = 0;  // 0: the ENTITIES store
    size_t index = 0;
    std::string blockName;
    size_t nth = 0;      // how many INSERTs of that name came before it
    bool hasId = false;  // stored with a block already, and so with its id
};

// Why a load failed where the file itself was readable.
enum class DxfLoadError {
    None,
    TooManyBlocks,        // more than kDxfBlockCapacity blocks
    TooManyTableEntries,  // a LAYER, LTYPE or STYLE table beyond its bound
    NoMemory,             // a table or store could not grow
};

struct DxfDrawing {
    DxfTable<DxfLayer> layers{kDxfLayerCapacity};
    DxfTable<DxfLType> ltypes{kDxfLTypeCapacity};
    DxfTable<DxfStyle> styles{kDxfStyleCapacity};
    DxfTable<DxfDimStyle> dimStyles{kDxfDimStyleCapacity};
    DxfStore entities;
    // Texts, vertices and the TEXT, SOLID and INSERT bodies of every store.
    DxfArena arena;
    // At most kDxfBlockCapacity, ids ascending. Garment CAD programs write
    // several blocks under one name: each is kept, in file order.
    std::vector<DxfBlock> blocks;
    std::unordered_map<std::string, std::vector<size_t>> blocksByName;  // name -> indices in blocks
    size_t blockCursor = 0;
    // Every add takes idCounter + 1: ids are unique across tables, blocks and
    // entities, the first is 16, and 0 names nothing.
    int32_t idCounter = 15;
    int32_t valid = 1;
    // During a load only: the INSERTs still to resolve, and how many INSERTs
    // of each name were read so far (the k-th takes the k-th block of that name).
    std::vector<DxfPendingInsert> pendingInserts;
    std::unordered_map<std::string, size_t> insertsByName;
    DxfLoadError error = DxfLoadError::None;  // set by a load that failed on a bound or on memory
};

std::unique_ptr<DxfDrawing> DxfCreateDrawing();
// 1 when a drawing was freed, else 0; clears the handle.
int DxfDestroyDrawing(std::unique_ptr<DxfDrawing>& drawing);

// Reads the file at path into the drawing: the ENTITIES section goes to the
// store of block targetBlockId (0: the ENTITIES store). 1 loaded, 0 failed;
// a failure past a bound or out of memory also sets d.error.
int DxfLoadFile(DxfDrawing& d, int32_t targetBlockId, const std::u16string& path);
// The same for the bytes the file system holds for the name.
int DxfLoadFileAt(DxfDrawing& d, int32_t targetBlockId, const std::string& fsPath);

// The new id, or 0 when refused (full table, duplicate name, missing
// dependency). A layer whose linetype is unknown carries linetype id 0. A
// table at its bound sets d.error (TooManyTableEntries, or NoMemory).
int32_t DxfAddTableEntry(DxfDrawing& d, const DxfLayer& rec);
int32_t DxfAddTableEntry(DxfDrawing& d, const DxfLType& rec);
int32_t DxfAddTableEntry(DxfDrawing& d, const DxfStyle& rec);
int32_t DxfAddTableEntry(DxfDrawing& d, const DxfDimStyle& rec);

// Selects an entry (DxfFindMode) and copies it into rec: its id, or 0 with rec
// unchanged. By name the key is rec.name, by id rec.id.
int32_t DxfFindTableEntry(DxfDrawing& d, int32_t mode, DxfLayer& rec);
int32_t DxfFindTableEntry(DxfDrawing& d, int32_t mode, DxfLType& rec);
int32_t DxfFindTableEntry(DxfDrawing& d, int32_t mode, DxfStyle& rec);
int32_t DxfFindTableEntry(DxfDrawing& d, int32_t mode, DxfDimStyle& rec);
// By name or id over all four tables (DIMSTYLE, LAYER, LTYPE, STYLE): the id of
// the entry in the first table that has one, else 0.
int32_t DxfFindAnyTableEntry(DxfDrawing& d, int32_t mode, std::string_view name, int32_t id);
// Id of the entry of that name in one table, 0 when none.
int32_t DxfLayerIdOf(const DxfDrawing& d, std::string_view name);
int32_t DxfLTypeIdOf(const DxfDrawing& d, std::string_view name);
int32_t DxfStyleIdOf(const DxfDrawing& d, std::string_view name);
int32_t DxfDimStyleIdOf(const DxfDrawing& d, std::string_view name);
const DxfLayer* DxfLayerById(const DxfDrawing& d, int32_t id);

// Blocks. DxfAddBlock: the new id, or 0 at kDxfBlockCapacity blocks (setting
// d.error to TooManyBlocks) or without memory (NoMemory). A name may repeat.
int32_t DxfAddBlock(DxfDrawing& d, DxfBlock block);
// Selects a block (first, last, next, previous move the cursor; by name and by
// id take the first match). Null when none; valid until the next block is added.
DxfBlock* DxfFindBlock(DxfDrawing& d, int32_t mode, std::string_view name, int32_t id);
int DxfBlockIndexById(const DxfDrawing& d, int32_t id);
// The first block of that name, or -1.
int DxfBlockIndexByName(const DxfDrawing& d, std::string_view name);
// The block the nth INSERT of a name (0 first, in file order) draws: the nth
// block of that name, beyond their number the last one; -1 when none.
int DxfBlockIndexForInsert(const DxfDrawing& d, std::string_view name, size_t nth);

// Appends an entity to the ENTITIES store (blockId 0) or to a block's store:
// the new id, or 0 when there is no such store. DIMENSION (data null) takes
// an id and is counted, but no record is kept.
int32_t DxfAddEntity(DxfDrawing& d, int32_t blockId, DxfEntityHeader header, DxfEntityData* data);

// Walks one store: First, Next, Last or ById (the id in 'id'); Previous is
// not offered. The record, or null; offset (when given) receives its index.
const DxfEntity* DxfEnumStore(DxfStore& store, int32_t mode, int32_t id = 0, size_t* offset = nullptr);
// The same for the block of that name, or the ENTITIES store when blockName is null.
const DxfEntity* DxfEnumBlockEntities(DxfDrawing& d, const char* blockName, int32_t mode, int32_t id = 0,
                                      size_t* offset = nullptr);

// Gives the pending INSERTs their blocks; those whose block never came are removed.
void DxfResolveInserts(DxfDrawing& d);

// Reads the entities of the open ENTITIES section or block into the store of
// blockId; discard drops them (the entities of a refused block).
void DxfReadEntities(DxfDrawing& d, DxfReader& r, int32_t blockId, DxfEntityWork& work, bool discard = false);

// The stored records of the ENTITIES store by type name ("LINE", ...), in
// the order of DxfEntityType.
std::vector<std::pair<std::string, int32_t>> DxfCountEntities(const DxfDrawing& d);
const char* DxfEntityTypeName(int16_t type);
