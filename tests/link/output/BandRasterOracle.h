#pragma once
// The round and dashed pens as they stood before their row ranges were
// stepped incrementally: square roots and quotients worked afresh on every
// row. Kept as the oracle the stepped pens must match pixel for pixel.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "link/output/BandRaster.h"

namespace oracle {

namespace detail {

constexpr int64_t kNone = std::numeric_limits<int64_t>::max();

// The integer square root bit by bit, exact over the whole range (the
// rasteriser takes a floating-point estimate and corrects it).
inline uint64_t ISqrt(unsigned __int128 v)
{
    unsigned __int128 root = 0, bit = static_cast<unsigned __int128>(1) << 126;
    while (bit > v) bit >>= 2;
    for (; bit != 0; bit >>= 2) {
        if (v >= root + bit) {
            v -= root + bit;
            root = (root >> 1) + bit;
        } else {
            root >>= 1;
        }
    }
    return static_cast<uint64_t>(root);
}

struct Range {
    int64_t lo = -kNone;
    int64_t hi = kNone;
    bool Empty() const { return lo > hi; }
    void Meet(const Range& o) { lo = std::max(lo, o.lo); hi = std::min(hi, o.hi); }
};

// Smallest q with q k >= a and largest q with q k <= a, for k > 0: a
// floating-point estimate (inv = 1 / k) put right by exact steps.
inline int64_t CeilQuot(int64_t a, int64_t k, double inv)
{
    int64_t q = static_cast<int64_t>(static_cast<double>(a) * inv);
    while (q * k < a) ++q;
    while ((q - 1) * k >= a) --q;
    return q;
}
inline int64_t FloorQuot(int64_t a, int64_t k, double inv)
{
    int64_t q = static_cast<int64_t>(static_cast<double>(a) * inv);
    while (q * k > a) --q;
    while ((q + 1) * k <= a) ++q;
    return q;
}

// Integers p with lo <= p * k <= hi; inv = 1 / |k|.
inline Range Solve(int64_t k, double inv, int64_t lo, int64_t hi)
{
    Range r;
    if (k > 0) {
        r.lo = CeilQuot(lo, k, inv);
        r.hi = FloorQuot(hi, k, inv);
    } else if (k < 0) {
        r.lo = CeilQuot(-hi, -k, inv);
        r.hi = FloorQuot(-lo, -k, inv);
    } else if (lo > 0 || hi < 0) {
        r.lo = 1;
        r.hi = 0;
    }
    return r;
}

// The geometry is worked in doubled coordinates, relative to (x0, y0): the
// path runs from 0 to (dx2, dy2); pixel (r, c) is the point
// (2 (r - x0) + e, 2 (c - y0) + e). Even widths put the pen's centre on the
// pixel corners (e = 1), odd widths on the pixel centres (e = 0), so a pen of
// width w covers w pixels across.
struct Doubled {
    int64_t dx2, dy2, len2;  // path and its squared length
    int64_t w;               // width = the doubled radius
    int64_t e;
    int64_t K;               // |cross| <= K: within the pen across the path
    double invDx2, invDy2;   // 1 / |dx2|, 1 / |dy2| (0 for 0)
};

inline Doubled MakeDoubled(const PenSegment& s, int32_t width)
{
    Doubled d;
    d.dx2 = 2 * (static_cast<int64_t>(s.x1) - s.x0);
    d.dy2 = 2 * (static_cast<int64_t>(s.y1) - s.y0);
    d.len2 = d.dx2 * d.dx2 + d.dy2 * d.dy2;
    d.w = width;
    d.e = (width % 2 == 0) ? 1 : 0;
    d.K = static_cast<int64_t>(ISqrt(static_cast<unsigned __int128>(d.w * d.w) * static_cast<uint64_t>(d.len2)));
    d.invDx2 = d.dx2 != 0 ? 1.0 / static_cast<double>(std::llabs(d.dx2)) : 0.0;
    d.invDy2 = d.dy2 != 0 ? 1.0 / static_cast<double>(std::llabs(d.dy2)) : 0.0;
    return d;
}

// Doubled column offsets pc of the strip along the path on the row whose
// doubled offset is pr; tLast is the last t = p . D still taken.
inline Range StripRow(const Doubled& d, int64_t pr, int64_t tFirst, int64_t tLast)
{
    // t = pr dx2 + pc dy2 in [tFirst, tLast]; cross = pr dy2 - pc dx2 in [-K, K].
    Range r = Solve(d.dy2, d.invDy2, tFirst - pr * d.dx2, tLast - pr * d.dx2);
    r.Meet(Solve(d.dx2, d.invDx2, pr * d.dy2 - d.K, pr * d.dy2 + d.K));
    return r;
}

// Doubled column offsets of the disc around the doubled point (cr, cc).
inline Range DiscRow(const Doubled& d, int64_t pr, int64_t cr, int64_t cc)
{
    const int64_t a = pr - cr;
    const int64_t rest = d.w * d.w - a * a;
    if (rest < 0) return Range{1, 0};
    const int64_t h = static_cast<int64_t>(ISqrt(static_cast<unsigned __int128>(rest)));
    return Range{cc - h, cc + h};
}

// Columns c (clipped to the window) whose doubled offset lies in r.
inline Range ColumnsOf(const Doubled& d, const Range& r, int32_t y0, int32_t columns)
{
    Range c;
    if (r.Empty()) return Range{1, 0};
    // Halving by shifts: >> floors negative values too.
    c.lo = r.lo == -kNone ? 0 : -((d.e - r.lo) >> 1) + y0;
    c.hi = r.hi == kNone ? columns - 1 : ((r.hi - d.e) >> 1) + y0;
    c.lo = std::max<int64_t>(c.lo, 0);
    c.hi = std::min<int64_t>(c.hi, columns - 1);
    return c;
}

inline void SetRun(const BitWindow& w, int32_t row, const Range& c)
{
    if (c.Empty()) return;
    const int32_t r = row - w.row0;
    uint8_t* p = w.bits + c.lo * w.stride + (r >> 3);
    const uint8_t m = static_cast<uint8_t>(0x80u >> (r & 7));
    for (int64_t k = c.lo; k <= c.hi; ++k, p += w.stride) *p |= m;
}

// Rows of the window that the pen can touch: a pen of width w reaches w / 2
// rows beyond the segment's rows on either side (see Doubled).
inline bool RowSpan(const BitWindow& w, const PenSegment& s, int32_t reach, int32_t* lo, int32_t* hi)
{
    *lo = std::max(std::min(s.x0, s.x1) - reach, w.row0);
    *hi = std::min(std::max(s.x0, s.x1) + reach, w.row0 + w.rows - 1);
    return *lo <= *hi && w.columns > 0;
}

}  // namespace detail
using namespace detail;

inline void DrawRoundSegment(const BitWindow& w, const PenSegment& s, int32_t width)
{
    int32_t lo, hi;
    if (!RowSpan(w, s, width / 2, &lo, &hi)) return;
    const Doubled d = MakeDoubled(s, width);
    for (int32_t row = lo; row <= hi; ++row) {
        const int64_t pr = 2 * (static_cast<int64_t>(row) - s.x0) + d.e;
        // The body (0 <= t <= len2) and the two end discs; their union on a
        // row is one run because the shape is convex.
        Range u = DiscRow(d, pr, 0, 0);
        const Range b = DiscRow(d, pr, d.dx2, d.dy2);
        if (u.Empty()) u = b;
        else if (!b.Empty()) u = Range{std::min(u.lo, b.lo), std::max(u.hi, b.hi)};
        if (d.len2 != 0) {
            const Range body = StripRow(d, pr, 0, d.len2);
            if (u.Empty()) u = body;
            else if (!body.Empty()) u = Range{std::min(u.lo, body.lo), std::max(u.hi, body.hi)};
        }
        SetRun(w, row, ColumnsOf(d, u, s.y0, w.columns));
    }
}

inline void DrawDashedSegment(const BitWindow& w, const PenSegment& s, int32_t width)
{
    int32_t lo, hi;
    if (!RowSpan(w, s, width / 2, &lo, &hi)) return;
    const Doubled d = MakeDoubled(s, width);
    if (d.len2 == 0) return;
    // Along the path, t / (2 |D2|) is the distance in pixels from (x0, y0).
    const double scale = 1.0 / (2.0 * std::sqrt(static_cast<double>(d.len2)));
    for (int32_t row = lo; row <= hi; ++row) {
        const int64_t pr = 2 * (static_cast<int64_t>(row) - s.x0) + d.e;
        const Range c = ColumnsOf(d, StripRow(d, pr, 0, d.len2 - 1), s.y0, w.columns);
        if (c.Empty()) continue;
        const int32_t r = row - w.row0;
        const uint8_t m = static_cast<uint8_t>(0x80u >> (r & 7));
        for (int64_t col = c.lo; col <= c.hi; ++col) {
            const int64_t pc = 2 * (col - s.y0) + d.e;
            const double along = s.s0 + static_cast<double>(pr * d.dx2 + pc * d.dy2) * scale;
            if (std::fmod(along, kDashPeriod) < kDashOn) w.bits[col * w.stride + (r >> 3)] |= m;
        }
    }
}

}  // namespace oracle
