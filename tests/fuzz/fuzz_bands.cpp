// Band engine on hostile input: zero-run streams as a machine recorder would
// see them, and pages of arbitrary segments (every band must equal the same
// rows of the page drawn whole, and nothing may be written out of bounds).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "link/output/BandRaster.h"
#include "link/output/BandStrokes.h"
#include "link/output/ZeroRunPack.h"

namespace {

struct Reader {
    const uint8_t* p;
    size_t n;
    uint8_t Byte()
    {
        if (n == 0) return 0;
        --n;
        return *p++;
    }
    int32_t Coord()
    {
        const uint8_t kind = Byte();
        int32_t v = static_cast<int8_t>(Byte()) * 4 + (Byte() & 3);
        if (kind % 16 == 0) {
            uint32_t u = 0;
            for (int i = 0; i < 4; ++i) u = (u << 8) | Byte();
            v = static_cast<int32_t>(u);
            if (v > kPixelLimit) v = kPixelLimit;
            if (v < -kPixelLimit) v = -kPixelLimit;
        }
        return v;
    }
};

void Streams(const uint8_t* data, size_t size)
{
    std::vector<uint16_t> in(size / 2 + 1);
    std::memcpy(in.data(), data, (size / 2) * 2);
    in.pop_back();
    std::vector<uint16_t> out(70000);
    size_t n = 0;
    const ZeroRunDecode r = DecodeZeroRuns(in.data(), in.size(), out.data(), out.size(), &n);
    if (n > out.size()) std::abort();
    if (r != ZeroRunDecode::Ok) return;
    std::vector<uint16_t> again(ZeroRunPackedBound(n));
    const size_t m = CompressZeroRuns(out.data(), n, again.data(), again.size());
    std::vector<uint16_t> back(n + 1);
    size_t k = 0;
    if (DecodeZeroRuns(again.data(), m, back.data(), back.size(), &k) != ZeroRunDecode::Ok || k != n ||
        std::memcmp(back.data(), out.data(), n * 2) != 0)
        std::abort();
}

void Pages(const uint8_t* data, size_t size)
{
    Reader rd{data, size};
    constexpr int32_t kBandRows = 40, kWindow = 64, kBands = 4, kColumns = 96;
    BandStrokes strokes;
    strokes.SetPenWidth(1 + rd.Byte() % 5);
    const int curves = 1 + rd.Byte() % 6;
    for (int c = 0; c < curves && rd.n > 0; ++c) {
        const bool dashed = rd.Byte() & 1;
        std::vector<PagePixel> pts(1 + rd.Byte() % 6);
        for (auto& p : pts) {
            p.row = rd.Coord();
            p.column = rd.Coord();
        }
        strokes.AddPolyline(pts.data(), pts.size(), dashed);
    }
    strokes.Bucket(kBandRows, kWindow, kBands);
    const int32_t tallRows = kBands * kBandRows + kWindow;
    const int32_t tallStride = (tallRows + 7) / 8;
    std::vector<uint8_t> tall(static_cast<size_t>(kColumns) * tallStride);
    strokes.DrawAll(BitWindow{tall.data(), 0, tallRows, tallStride, kColumns});
    for (int32_t j = 0; j < kBands; ++j) {
        std::vector<uint8_t> band(static_cast<size_t>(kColumns) * (kWindow / 8));
        const BitWindow w{band.data(), j * kBandRows, kWindow, kWindow / 8, kColumns};
        strokes.DrawBand(j, w);
        const BitWindow t{tall.data(), 0, tallRows, tallStride, kColumns};
        for (int32_t c = 0; c < kColumns; ++c)
            for (int32_t r = 0; r < kWindow; ++r)
                if (w.Get(j * kBandRows + r, c) != t.Get(j * kBandRows + r, c)) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    if (data[0] & 1) Streams(data + 1, size - 1);
    else Pages(data + 1, size - 1);
    return 0;
}
