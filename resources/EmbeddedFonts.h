#pragma once
// The stroke-font files built into the program, byte for byte as written to
// disk: "fon_en.bin" (single-byte glyphs) and "fon_hz.bin" (GBK glyphs).
#include <cstdint>
#include <span>

std::span<const uint8_t> EmbeddedFontEn();
std::span<const uint8_t> EmbeddedFontHz();
