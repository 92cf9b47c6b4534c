#include "link/output/BandRaster.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int64_t kNone = std::numeric_limits<int64_t>::max();

int64_t FloorDiv(int64_t a, int64_t b)
{
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

// t * d / n rounded to the nearest, halves toward plus infinity.
int64_t RoundDiv(int64_t a, int64_t n) { return FloorDiv(2 * a + n, 2 * n); }

uint64_t ISqrt64(uint64_t v)
{
    // Exact below 2^52 after the correction steps.
    uint64_t r = static_cast<uint64_t>(std::sqrt(static_cast<double>(v)));
    while (r * r > v) --r;
    while ((r + 1) * (r + 1) <= v) ++r;
    return r;
}

uint64_t ISqrt(unsigned __int128 v)
{
    if (v < (static_cast<unsigned __int128>(1) << 52)) return ISqrt64(static_cast<uint64_t>(v));
    uint64_t r = static_cast<uint64_t>(std::sqrt(static_cast<long double>(v)));
    while (static_cast<unsigned __int128>(r) * r > v) --r;
    while (static_cast<unsigned __int128>(r + 1) * (r + 1) <= v) ++r;
    return r;
}

struct Range {
    int64_t lo = -kNone;
    int64_t hi = kNone;
    bool Empty() const { return lo > hi; }
    void Meet(const Range& o) { lo = std::max(lo, o.lo); hi = std::min(hi, o.hi); }
};

// Smallest q with q k >= a and largest q with q k <= a, for k > 0: a
// floating-point estimate (inv = 1 / k) put right by exact steps.
int64_t CeilQuot(int64_t a, int64_t k, double inv)
{
    int64_t q = static_cast<int64_t>(static_cast<double>(a) * inv);
    while (q * k < a) ++q;
    while ((q - 1) * k >= a) --q;
    return q;
}
int64_t FloorQuot(int64_t a, int64_t k, double inv)
{
    int64_t q = static_cast<int64_t>(static_cast<double>(a) * inv);
    while (q * k > a) --q;
    while ((q + 1) * k <= a) ++q;
    return q;
}

// Integers p with lo <= p * k <= hi; inv = 1 / |k|.
Range Solve(int64_t k, double inv, int64_t lo, int64_t hi)
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

Doubled MakeDoubled(const PenSegment& s, int32_t width)
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
Range StripRow(const Doubled& d, int64_t pr, int64_t tFirst, int64_t tLast)
{
    // t = pr dx2 + pc dy2 in [tFirst, tLast]; cross = pr dy2 - pc dx2 in [-K, K].
    Range r = Solve(d.dy2, d.invDy2, tFirst - pr * d.dx2, tLast - pr * d.dx2);
    r.Meet(Solve(d.dx2, d.invDx2, pr * d.dy2 - d.K, pr * d.dy2 + d.K));
    return r;
}

// Columns c (clipped to the window) whose doubled offset lies in r.
Range ColumnsOf(const Doubled& d, const Range& r, int32_t y0, int32_t columns)
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

// floor(a / k), k > 0, while a moves by a fixed step from row to row: the
// quotient and remainder are carried, exact, without a division per row.
struct FloorStep {
    int64_t q = 0, r = 0, k = 1, dq = 0, dr = 0;
    // inv = 1 / k: the quotients are estimated and put right exactly, as on
    // every row before, which is cheaper than a division for short segments.
    void Init(int64_t a, int64_t kk, int64_t delta, double inv)
    {
        k = kk;
        q = FloorQuot(a, k, inv);
        r = a - q * k;
        dq = FloorQuot(delta, k, inv);
        dr = delta - dq * k;
    }
    void Next()
    {
        q += dq;
        r += dr;
        if (r >= k) {
            r -= k;
            ++q;
        }
    }
};

// Rows of the window that the pen can touch: a pen of width w reaches w / 2
// rows beyond the segment's rows on either side (see Doubled).
bool RowSpan(const BitWindow& w, const PenSegment& s, int32_t reach, int32_t* lo, int32_t* hi)
{
    *lo = std::max(std::min(s.x0, s.x1) - reach, w.row0);
    *hi = std::min(std::max(s.x0, s.x1) + reach, w.row0 + w.rows - 1);
    return *lo <= *hi && w.columns > 0;
}

}  // namespace

void DrawThinSegment(const BitWindow& w, const PenSegment& s)
{
    const int64_t dx = static_cast<int64_t>(s.x1) - s.x0;
    const int64_t dy = static_cast<int64_t>(s.y1) - s.y0;
    const int64_t n = std::max(std::llabs(dx), std::llabs(dy));
    if (n == 0 || w.columns <= 0) return;
    const int64_t winLo = w.row0, winHi = static_cast<int64_t>(w.row0) + w.rows;  // [lo, hi)
    auto rowAt = [&](int64_t t) { return std::llabs(dx) >= std::llabs(dy) ? s.x0 + (dx > 0 ? t : -t)
                                                                            : s.x0 + RoundDiv(t * dx, n); };
    auto colAt = [&](int64_t t) { return std::llabs(dx) >= std::llabs(dy) ? s.y0 + RoundDiv(t * dy, n)
                                                                            : s.y0 + (dy > 0 ? t : -t); };
    // rowAt is monotone in t: find the steps whose row lies in the window.
    auto firstT = [&](auto pred) {
        int64_t a = 0, b = n;  // first t in [0, n] with pred(t), n when none
        while (a < b) {
            const int64_t m = a + (b - a) / 2;
            if (pred(m)) b = m;
            else a = m + 1;
        }
        return a;
    };
    // Steps whose row lies in the window and whose column lies in [0, columns).
    auto range = [&](auto at, int64_t d, int64_t lo, int64_t hi, int64_t* a, int64_t* b) {
        if (d >= 0) {
            *a = firstT([&](int64_t t) { return at(t) >= lo; });
            *b = firstT([&](int64_t t) { return at(t) >= hi; });
        } else {
            *a = firstT([&](int64_t t) { return at(t) < hi; });
            *b = firstT([&](int64_t t) { return at(t) < lo; });
        }
    };
    int64_t t0, t1, c0, c1;
    range(rowAt, dx, winLo, winHi, &t0, &t1);
    range(colAt, dy, 0, w.columns, &c0, &c1);
    t0 = std::max(t0, c0);
    t1 = std::min(t1, c1);
    for (int64_t t = t0; t < t1; ++t) {
        const int64_t c = colAt(t);
        if (c >= 0 && c < w.columns) w.Set(static_cast<int32_t>(rowAt(t)), static_cast<int32_t>(c));
    }
}

void DrawRoundSegment(const BitWindow& w, const PenSegment& s, int32_t width)
{
    RoundPen(width).Draw(w, s);
}

RoundPen::RoundPen(int32_t width) : m_width(width)
{
    const int64_t ww = int64_t{width} * width;
    const int64_t e = (width % 2 == 0) ? 1 : 0;
    for (int64_t a = 0; a <= width; ++a) {
        // Doubled column offsets 2 u + e within [-h, h].
        const auto h = static_cast<int64_t>(ISqrt64(static_cast<uint64_t>(ww - a * a)));
        m_discLo.push_back(static_cast<int32_t>(-((h + e) >> 1)));
        m_discHi.push_back(static_cast<int32_t>((h - e) >> 1));
    }
}

void RoundPen::Draw(const BitWindow& w, const PenSegment& seg) const
{
    int32_t lo, hi;
    if (!RowSpan(w, seg, m_width / 2, &lo, &hi)) return;
    // The shape is the same from either end, and mirrored across the start
    // column it is the mirrored segment's: work with the rows and columns
    // both rising from the start, and mirror the runs back.
    PenSegment s = seg;
    if (s.x1 < s.x0) s = PenSegment{seg.x1, seg.y1, seg.x0, seg.y0, 0};
    const bool mirror = s.y1 < s.y0;
    const Doubled d = MakeDoubled(PenSegment{s.x0, s.y0, s.x1, mirror ? 2 * s.y0 - s.y1 : s.y1, 0}, m_width);
    const int64_t wd = d.w, e = d.e, dx2 = d.dx2, dy2 = d.dy2;
    // Column c = y0 + u, or y0 - e - u mirrored, for the relative column u.
    const int64_t base = mirror ? static_cast<int64_t>(s.y0) - e : s.y0;
    const int64_t endU = dy2 / 2;  // the end disc's centre column
    const int64_t lastColumn = w.columns - 1;
    constexpr int64_t kFar = int64_t{1} << 40;
    const int32_t* discLo = m_discLo.data();
    const int32_t* discHi = m_discHi.data();

    int64_t pr = 2 * (static_cast<int64_t>(lo) - s.x0) + e;
    // The body on a row, as bounds on u (see StripRow, with pc = 2 u + e):
    //   along   0 <= pr dx2 + pc dy2 <= len2
    //   across  pr dy2 - K <= pc dx2 <= pr dy2 + K
    // each a quotient stepped from row to row (pr rises by 2).
    const bool body = d.len2 != 0;
    const bool hasAlong = body && dy2 != 0;
    const bool hasAcross = body && dx2 != 0;
    FloorStep alongLo, alongHi, acrossLo, acrossHi;  // u >= -alongLo.q, u <= alongHi.q, ...
    if (hasAlong) {
        const double inv = 0.5 * d.invDy2;
        alongLo.Init(pr * dx2 + e * dy2, 2 * dy2, 2 * dx2, inv);
        alongHi.Init(d.len2 - pr * dx2 - e * dy2, 2 * dy2, -2 * dx2, inv);
    }
    if (hasAcross) {
        const double inv = 0.5 * d.invDx2;
        acrossLo.Init(d.K + e * dx2 - pr * dy2, 2 * dx2, -2 * dy2, inv);
        acrossHi.Init(pr * dy2 + d.K - e * dx2, 2 * dx2, 2 * dy2, inv);
    }
    uint8_t* const bits = w.bits;
    const int64_t stride = w.stride;
    for (int32_t row = lo; row <= hi; ++row, pr += 2) {
        int64_t ulo = kFar, uhi = -kFar;
        const int64_t a0 = pr < 0 ? -pr : pr;
        if (a0 <= wd) {
            ulo = discLo[a0];
            uhi = discHi[a0];
        }
        const int64_t a1 = pr < dx2 ? dx2 - pr : pr - dx2;
        if (a1 <= wd) {
            ulo = std::min<int64_t>(ulo, endU + discLo[a1]);
            uhi = std::max<int64_t>(uhi, endU + discHi[a1]);
        }
        if (body) {
            int64_t blo = -kFar, bhi = kFar;
            if (hasAlong) {
                blo = -alongLo.q;
                bhi = alongHi.q;
                alongLo.Next();
                alongHi.Next();
            } else if (pr < 0 || pr > dx2) {
                blo = kFar;  // along the rows only: 0 <= pr <= dx2
            }
            if (hasAcross) {
                blo = std::max(blo, -acrossLo.q);
                bhi = std::min(bhi, acrossHi.q);
                acrossLo.Next();
                acrossHi.Next();
            } else if (pr < -wd || pr > wd) {
                blo = kFar;  // along the columns only: |pr| <= w
            }
            if (blo <= bhi) {
                ulo = std::min(ulo, blo);
                uhi = std::max(uhi, bhi);
            }
        }
        if (ulo > uhi) continue;
        // The union of the body and the discs is one run: the shape is convex.
        int64_t c0 = mirror ? base - uhi : base + ulo;
        int64_t c1 = mirror ? base - ulo : base + uhi;
        c0 = std::max<int64_t>(c0, 0);
        c1 = std::min(c1, lastColumn);
        if (c0 > c1) continue;
        const RowPlace place = w.Place(row);
        uint8_t* p = bits + c0 * stride + place.offset;
        for (int64_t c = c0; c <= c1; ++c, p += stride) *p |= place.mask;
    }
}

void DrawDashedSegment(const BitWindow& w, const PenSegment& s, int32_t width)
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
        const RowPlace place = w.Place(row);
        for (int64_t col = c.lo; col <= c.hi; ++col) {
            const int64_t pc = 2 * (col - s.y0) + d.e;
            const double along = s.s0 + static_cast<double>(pr * d.dx2 + pc * d.dy2) * scale;
            if (std::fmod(along, kDashPeriod) < kDashOn) w.bits[col * w.stride + place.offset] |= place.mask;
        }
    }
}
