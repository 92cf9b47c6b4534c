#include "widgets/MenuRasterOp.h"

namespace menurop {

uint32_t Apply(uint32_t rop, uint32_t p, uint32_t s, uint32_t d)
{
    const uint8_t code = RopCode(rop);
    constexpr uint32_t all = 0xFFFFFF;
    p &= all;
    s &= all;
    d &= all;
    uint32_t result = 0;
    // Every bit position picks one of eight minterms; gather the set ones at once.
    for (int idx = 0; idx < 8; ++idx) {
        if (!((code >> idx) & 1))
            continue;
        const uint32_t mp = (idx & 4) ? p : ~p;
        const uint32_t ms = (idx & 2) ? s : ~s;
        const uint32_t md = (idx & 1) ? d : ~d;
        result |= mp & ms & md;
    }
    return result & all;
}

}  // namespace menurop
