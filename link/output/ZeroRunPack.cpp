#include "link/output/ZeroRunPack.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

uint64_t Load4(const uint16_t* p)
{
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Bit k set when word k of the 64 words at p is non-zero.
uint64_t NonZeroMask64(const uint16_t* p)
{
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    uint64_t zeros = 0;
    for (int k = 0; k < 64; k += 16) {
        const __m128i a = _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k)), zero);
        const __m128i b = _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k + 8)), zero);
        zeros |= static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(_mm_packs_epi16(a, b)))) << k;
    }
    return ~zeros;
#else
    uint64_t m = 0;
    for (int k = 0; k < 64; ++k) m |= static_cast<uint64_t>(p[k] != 0) << k;
    return m;
#endif
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

// The coding with room for the worst case: no checks per word. Blocks of 64
// words are classed at once by a mask of their non-zero words; runs and
// literal spans are read off the mask, a span or a run at a time.
size_t CompressWithRoom(const uint16_t* in, size_t count, uint16_t* out)
{
    const size_t outLimit = ZeroRunPackedBound(count);
    size_t w = 0;
    size_t zeros = 0;  // zero words not yet emitted
    auto flushZeros = [&] {
        while (zeros >= kMaxZeroRun) {
            out[w] = 0;
            out[w + 1] = kMaxZeroRun;
            w += 2;
            zeros -= kMaxZeroRun;
        }
        if (zeros > 0) {
            out[w] = 0;
            out[w + 1] = static_cast<uint16_t>(zeros);
            w += 2;
            zeros = 0;
        }
    };
    for (size_t base = 0; base < count; base += 64) {
        const size_t n = count - base < 64 ? count - base : 64;
        uint64_t nz;
        if (n == 64) {
            nz = NonZeroMask64(in + base);
        } else {
            uint16_t tail[64] = {};
            std::memcpy(tail, in + base, n * sizeof(uint16_t));
            nz = NonZeroMask64(tail);  // the words past the end count as zero
        }
        if (nz == 0) {
            zeros += n;
            if (zeros >= kMaxZeroRun) {
                // Only whole runs of 65000 go out here: the rest runs on.
                const size_t rest = zeros % kMaxZeroRun;
                zeros -= rest;
                flushZeros();
                zeros = rest;
            }
            continue;
        }
        // The literal spans of the block from the edges of the mask: span k
        // runs from the k-th start to the k-th end (or the block's end), and
        // the zeros before it go out as one pair. Taking the edges one by one
        // keeps the turns independent of each other.
        const uint16_t* src = in + base;
        uint64_t starts = nz & ~(nz << 1);
        uint64_t ends = ~nz & (nz << 1);
        size_t prevEnd = 0;
        while (starts != 0) {
            const size_t b = static_cast<size_t>(__builtin_ctzll(starts));
            const size_t e = ends != 0 ? static_cast<size_t>(__builtin_ctzll(ends)) : n;
            starts &= starts - 1;
            ends &= ends - 1;
            zeros += b - prevEnd;
            if (zeros >= kMaxZeroRun) {
                flushZeros();
            } else {
                // A span that goes on from the previous block has no zeros:
                // the pair is written and overwritten.
                out[w] = 0;
                out[w + 1] = static_cast<uint16_t>(zeros);
                w += zeros != 0 ? 2 : 0;
                zeros = 0;
            }
            const size_t len = e - b;
            if (len <= 16 && base + b + 16 <= count && w + 16 <= outLimit) {
                // Short spans, the most of a band's: sixteen words copied at
                // once, the words past the span overwritten later.
                std::memcpy(out + w, src + b, 16 * sizeof(uint16_t));
            } else {
                std::memcpy(out + w, src + b, len * sizeof(uint16_t));
            }
            w += len;
            prevEnd = e;
        }
        zeros += n - prevEnd;
    }
    flushZeros();
    return w;
}

}  // namespace

size_t CompressZeroRuns(const uint16_t* in, size_t count, uint16_t* out, size_t outCapacity,
                        bool* complete)
{
    if (outCapacity >= ZeroRunPackedBound(count)) {
        if (complete) *complete = true;
        return CompressWithRoom(in, count, out);
    }
    size_t w = 0;
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
