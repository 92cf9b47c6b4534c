#pragma once
// One entry of a stroke font's glyph index.
#include <cstdint>

class CCharactor {
public:
    uint16_t m_code = 0;       // sorted by this, unsigned
    uint16_t m_strokeLen = 0;  // bytes of stroke data
    uint16_t m_advance = 0;    // single-byte font only
    int32_t m_offset = 0;      // file offset of the stroke data
};
