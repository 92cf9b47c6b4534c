// The DXF import as it was before the compact entity store (the oracle).
#include "OracleDxfBlocks.h"

#include "import/DxfNumber.h"

namespace oracle {

int DxfNextBlock(DxfReader& r, DxfBlockHeader& header)
{
    if (r.section != DxfSectionCode::Blocks) return 0;
    const int found = DxfSeekGroupInSection(r, 0, "BLOCK", false);
    if (found < 0) {
        DxfCloseSection(r);  // ENDSEC, or the SECTION of a section left open
        return 0;
    }
    if (found == 0) return 0;
    return DxfReadBlockHeader(r, header);
}

int DxfReadBlockHeader(DxfReader& r, DxfBlockHeader& header)
{
    header.name[0] = '\0';
    header.layer[0] = '\0';
    header.flags = 0;
    header.base = DxfVec3{};
    while (true) {
        DxfSetMark(r);
        DxfReadPair(r);
        if (r.code == 0) break;
        const char* v = r.value.data();
        switch (r.code) {
        case 2:
        case 3: DxfCopyField(header.name, sizeof header.name, v); break;
        case 8: DxfCopyField(header.layer, sizeof header.layer, v); break;
        case 10: header.base.x = DxfAtof(v); break;
        case 20: header.base.y = DxfAtof(v); break;
        case 30: header.base.z = DxfAtof(v); break;
        case 70: header.flags = DxfAtoi(v); break;
        default: break;
        }
    }
    if (DxfValueIs(r.value.data(), "ENDBLK")) {
        // An empty block: pass over the ENDBLK entity.
        DxfPassEndBlock(r);
    } else if (DxfValueIs(r.value.data(), "ENDSEC")) {
        // A header cut short by the end of the section.
        r.blockOpen = 0;
        r.section = DxfSectionCode::None;
    } else {
        r.blockOpen = 1;
        DxfRewind(r);
    }
    return 1;
}

}  // namespace oracle
