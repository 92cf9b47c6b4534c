#include "app/dialogs/BmpWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <limits>

namespace {
constexpr uint32_t kHeaderBytes = 14 + 40;

void Put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
}  // namespace

std::optional<uint32_t> Bmp16ImageSize(int64_t width, int64_t height)
{
    if (width <= 0 || height <= 0) return std::nullopt;
    constexpr int64_t kMax32 = std::numeric_limits<int32_t>::max();
    if (width > kMax32 || height > kMax32) return std::nullopt;
    const int64_t rowBytes = (width * 16 + 31) / 32 * 4;
    const int64_t image = rowBytes * height;
    // The file size field holds the headers too.
    if (image > int64_t(std::numeric_limits<uint32_t>::max()) - kHeaderBytes) return std::nullopt;
    return static_cast<uint32_t>(image);
}

std::optional<std::vector<uint8_t>> EncodeBmp16(const BmpSource& src)
{
    const auto image = Bmp16ImageSize(src.width, src.height);
    if (!image || !src.pixels || src.rowStride < src.width) return std::nullopt;
    const uint32_t rowBytes = static_cast<uint32_t>((int64_t(src.width) * 16 + 31) / 32 * 4);

    std::vector<uint8_t> out;
    out.reserve(kHeaderBytes + *image);
    // BITMAPFILEHEADER
    Put16(out, 0x4D42);
    Put32(out, kHeaderBytes + *image);
    Put16(out, 0);
    Put16(out, 0);
    Put32(out, kHeaderBytes);
    // BITMAPINFOHEADER
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(src.width));
    Put32(out, static_cast<uint32_t>(src.height));  // positive: bottom-up rows
    Put16(out, 1);
    Put16(out, 16);
    Put32(out, 0);  // BI_RGB
    Put32(out, 0);  // image size: may be 0 for BI_RGB, and always was here
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);

    for (int64_t y = src.height - 1; y >= 0; --y) {
        const uint32_t* row = src.pixels + y * int64_t(src.rowStride);
        for (int32_t x = 0; x < src.width; ++x) {
            const uint32_t p = row[x];
            const uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            Put16(out, (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3));
        }
        for (uint32_t pad = uint32_t(src.width) * 2; pad < rowBytes; ++pad) out.push_back(0);
    }
    return out;
}

bool WriteFileWhole(const std::string& path, const std::vector<uint8_t>& bytes)
{
    const std::string temp = path + ".part";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    size_t done = 0;
    bool ok = true;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        done += static_cast<size_t>(n);
    }
    if (::close(fd) != 0) ok = false;
    if (ok && std::rename(temp.c_str(), path.c_str()) != 0) ok = false;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}
