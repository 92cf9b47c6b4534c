#include "link/output/ZeroRunPack.h"

#include <cstring>

namespace {

constexpr uint64_t kLow16 = 0x0001000100010001ull;
constexpr uint64_t kHigh16 = 0x8000800080008000ull;

uint64_t Load4(const uint16_t* p)
{
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// End of the zero run that starts at in[i] (which is 0), at most 65000 long:
// most of a band is blank, so sixteen words at a time where possible.
size_t RunEnd(const uint16_t* in, size_t i, size_t count)
{
    size_t j = i + 1;
    while (j + 16 <= count && j - i + 16 <= kMaxZeroRun &&
           (Load4(in + j) | Load4(in + j + 4) | Load4(in + j + 8) | Load4(in + j + 12)) == 0)
        j += 16;
    while (j + 4 <= count && j - i + 4 <= kMaxZeroRun && Load4(in + j) == 0) j += 4;
    while (j < count && in[j] == 0 && j - i < kMaxZeroRun) ++j;
    return j;
}

// End of the non-zero words from in[i] on: four words at a time until a
// word of them is zero.
size_t LiteralEnd(const uint16_t* in, size_t i, size_t count)
{
    size_t j = i;
    for (; j + 4 <= count; j += 4) {
        const uint64_t v = Load4(in + j);
        if (((v - kLow16) & ~v & kHigh16) != 0) break;  // one of the four is zero
    }
    while (j < count && in[j] != 0) ++j;
    return j;
}

}  // namespace

size_t CompressZeroRuns(const uint16_t* in, size_t count, uint16_t* out, size_t outCapacity,
                        bool* complete)
{
    size_t w = 0;
    if (outCapacity >= ZeroRunPackedBound(count)) {
        // Room for the worst case: no checks per word.
        size_t i = 0;
        while (i < count) {
            if (in[i] != 0) {
                // Literal words go as they are: the span is copied whole.
                const size_t j = LiteralEnd(in, i, count);
                std::memcpy(out + w, in + i, (j - i) * sizeof(uint16_t));
                w += j - i;
                i = j;
                continue;
            }
            const size_t j = RunEnd(in, i, count);
            out[w] = 0;
            out[w + 1] = static_cast<uint16_t>(j - i);
            w += 2;
            i = j;
        }
        if (complete) *complete = true;
        return w;
    }
    size_t i = 0;
    bool ok = true;
    while (i < count) {
        if (in[i] != 0) {
            if (w + 1 > outCapacity) {
                ok = false;
                break;
            }
            out[w++] = in[i++];
            continue;
        }
        const size_t j = RunEnd(in, i, count);
        if (w + 2 > outCapacity) {
            ok = false;
            break;
        }
        out[w++] = 0;
        out[w++] = static_cast<uint16_t>(j - i);
        i = j;
    }
    if (complete) *complete = ok;
    return w;
}

ZeroRunDecode DecodeZeroRuns(const uint16_t* in, size_t count, uint16_t* out, size_t outCapacity,
                             size_t* decoded)
{
    size_t w = 0;
    ZeroRunDecode result = ZeroRunDecode::Ok;
    for (size_t i = 0; i < count; ++i) {
        if (in[i] != 0) {
            if (w >= outCapacity) {
                result = ZeroRunDecode::TooLong;
                break;
            }
            out[w++] = in[i];
            continue;
        }
        if (i + 1 >= count) {
            result = ZeroRunDecode::MissingCount;
            break;
        }
        const size_t n = in[++i];
        if (n == 0 || n > kMaxZeroRun) {
            result = ZeroRunDecode::BadCount;
            break;
        }
        if (n > outCapacity - w) {
            result = ZeroRunDecode::TooLong;
            break;
        }
        std::memset(out + w, 0, n * sizeof(uint16_t));
        w += n;
    }
    if (decoded) *decoded = w;
    return result;
}
