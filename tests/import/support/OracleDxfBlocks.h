#pragma once
// Kept unchanged (in namespace oracle) from before the compact entity store:
// the drawing and page the present import must give, in tests and fuzzing.
// The BLOCKS section: block headers and the block record with its store.
#include <cstdint>
#include <string>

#include "OracleDxfEntities.h"
#include "OracleDxfReader.h"

namespace oracle {

// A marker of a few thousand pieces has as many blocks; beyond this bound the
// load fails rather than drop pieces.
constexpr size_t kDxfBlockCapacity = 65536;

struct DxfBlock {
    int32_t id = 0;
    std::string name;  // [2] or [3]
    uint8_t flags = 0;  // [70]
    DxfVec3 base;       // [10, 20, 30]
    int32_t layerId = 0;
    DxfStore store;
};

// What DxfReadBlockHeader reads.
struct DxfBlockHeader {
    char name[kDxfNameSize];
    char layer[kDxfNameSize];
    int32_t flags = 0;
    DxfVec3 base;
};

// Seeks the next (0, "BLOCK") of the open BLOCKS section and reads its header:
// 1, else 0 (the section is closed when its ENDSEC comes first).
int DxfNextBlock(DxfReader& r, DxfBlockHeader& header);
// The groups after "BLOCK"; opens the block unless ENDBLK follows at once.
int DxfReadBlockHeader(DxfReader& r, DxfBlockHeader& header);

}  // namespace oracle
