#pragma once
// The screenshot file: an uncompressed bottom-up BMP, 16 bits per pixel
// (5-5-5), as the machine settings dialogs have always saved it. Plain C++.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// width x height pixels, top row first, each 0x00RRGGBB (alpha ignored);
// rowStride pixels from one row's start to the next.
struct BmpSource {
    int32_t width = 0;
    int32_t height = 0;
    int32_t rowStride = 0;
    const uint32_t* pixels = nullptr;
};

// The whole file: 14-byte file header, 40-byte info header (positive height,
// 1 plane, 16 bpp, BI_RGB, image-size field 0), rows padded to 4 bytes. None
// when the size does not fit the header's 32-bit fields or the picture is empty.
std::optional<std::vector<uint8_t>> EncodeBmp16(const BmpSource& src);

// Bytes per padded row and the image size, as the headers count them; none
// when they overflow the header fields.
std::optional<uint32_t> Bmp16ImageSize(int64_t width, int64_t height);

// Writes bytes to path through a temporary file in the same folder, renamed
// over path when complete: a failure leaves no file and no half file behind.
bool WriteFileWhole(const std::string& path, const std::vector<uint8_t>& bytes);
