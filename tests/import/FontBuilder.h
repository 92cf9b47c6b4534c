#pragma once
// Builds small stroke fonts in the two file formats (tests and fuzz targets).
#include <cstdint>
#include <vector>

namespace fontbuilder {

struct Glyph {
    uint16_t code = 0;
    uint16_t advance = 0;  // single-byte font only
    std::vector<uint8_t> strokes;
};

inline void Put16(std::vector<uint8_t>& v, uint32_t x)
{
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}
inline void Put32(std::vector<uint8_t>& v, uint32_t x)
{
    Put16(v, x & 0xFFFF);
    Put16(v, x >> 16);
}

// Header, index sorted as given, stroke bytes right after the index.
inline std::vector<uint8_t> MakeEnFont(const std::vector<Glyph>& glyphs, uint16_t topGap = 4, uint16_t ascent = 22,
                                       uint16_t descent = 7)
{
    std::vector<uint8_t> f;
    Put16(f, topGap);
    Put16(f, ascent);
    Put16(f, descent);
    Put32(f, static_cast<uint32_t>(glyphs.size()));
    uint32_t offset = static_cast<uint32_t>(10 + 10 * glyphs.size());
    for (const Glyph& g : glyphs) {
        Put16(f, g.code);
        Put16(f, static_cast<uint32_t>(g.strokes.size()));
        Put16(f, g.advance);
        Put32(f, offset);
        offset += static_cast<uint32_t>(g.strokes.size());
    }
    for (const Glyph& g : glyphs) f.insert(f.end(), g.strokes.begin(), g.strokes.end());
    return f;
}

inline std::vector<uint8_t> MakeHzFont(const std::vector<Glyph>& glyphs, uint16_t advance = 16,
                                       uint16_t cellHeight = 16)
{
    std::vector<uint8_t> f;
    Put16(f, advance);
    Put16(f, cellHeight);
    Put32(f, static_cast<uint32_t>(glyphs.size()));
    uint32_t offset = static_cast<uint32_t>(8 + 8 * glyphs.size());
    for (const Glyph& g : glyphs) {
        Put16(f, g.code);
        Put16(f, static_cast<uint32_t>(g.strokes.size()));
        Put32(f, offset);
        offset += static_cast<uint32_t>(g.strokes.size());
    }
    for (const Glyph& g : glyphs) f.insert(f.end(), g.strokes.begin(), g.strokes.end());
    return f;
}

// Space (no strokes, advance 20), 'A' (one stroke of 4 units to the right),
// 'I' (one stroke of 4 units up), advance 20 each.
inline std::vector<Glyph> EnGlyphs()
{
    return {{0x20, 20, {}}, {'A', 20, {0, 0x40, 0}}, {'I', 20, {0, 0x44, 0}}};
}
// 0xB0A1 (a GBK character): one stroke of 1 unit to the right then 1 up.
inline std::vector<Glyph> HzGlyphs() { return {{0xB0A1, 0, {0, 0x10, 0x14, 0}}}; }

}  // namespace fontbuilder
