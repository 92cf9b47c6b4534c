#pragma once

#include <cstdint>

// Ternary raster operations as the GDI defines them: each result bit is the bit
// of the operation's code byte at index P*4 + S*2 + D, applied bitwise to
// 24-bit RGB values (0x00RRGGBB).
namespace menurop {

inline constexpr uint32_t kWhiteness = 0xFF0062;
inline constexpr uint32_t kBlackness = 0x000042;
inline constexpr uint32_t kSrcCopy = 0xCC0020;
inline constexpr uint32_t kSrcPaint = 0xEE0086;
inline constexpr uint32_t kSrcAnd = 0x8800C6;
inline constexpr uint32_t kPatCopy = 0xF00021;
inline constexpr uint32_t kDspDxax = 0xE20746;  // ((P ^ D) & S) ^ D
inline constexpr uint32_t kPsdPxax = 0xB8074A;  // ((D ^ P) & S) ^ P

// The code byte of a 32-bit ROP value.
constexpr uint8_t RopCode(uint32_t rop) { return static_cast<uint8_t>((rop >> 16) & 0xFF); }

// Result of a ternary ROP on pattern, source and destination (low 24 bits used).
uint32_t Apply(uint32_t rop, uint32_t p, uint32_t s, uint32_t d);

}  // namespace menurop
