#include "link/output/BandRaster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

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

// The geometry is worked in doubled coordinates, relative to (x0, y0): the
// path runs from 0 to (dx2, dy2); pixel (r, c) is the point
// (2 (r - x0) + e, 2 (c - y0) + e). Even widths put the pen's centre on the
// pixel corners (e = 1), odd widths on the pixel centres (e = 0), so a pen of
// width w covers w pixels across.
struct Doubled {
    int64_t dx2, dy2, len2;  // path and its squared length
    int64_t w;               // width = the doubled radius
    int64_t e;
};

Doubled MakeDoubled(const PenSegment& s, int32_t width)
{
    Doubled d;
    d.dx2 = 2 * (static_cast<int64_t>(s.x1) - s.x0);
    d.dy2 = 2 * (static_cast<int64_t>(s.y1) - s.y0);
    d.len2 = d.dx2 * d.dx2 + d.dy2 * d.dy2;
    d.w = width;
    d.e = (width % 2 == 0) ? 1 : 0;
    return d;
}

// floor(a / k), k > 0, while a moves by a fixed step from row to row: the
// quotient and remainder are carried, exact, without a division per row.
struct FloorStep {
    int64_t q = 0, r = 0, k = 1, dq = 0, dr = 0;
    // The step's quotient and remainder are given for +delta (0 <= dr0 < k);
    // `back` steps by -delta.
    void Init(int64_t a, int64_t kk, int64_t dq0, int64_t dr0, bool back)
    {
        k = kk;
        q = FloorDiv(a, k);
        r = a - q * k;
        dq = back ? -dq0 - (dr0 != 0 ? 1 : 0) : dq0;
        dr = back && dr0 != 0 ? k - dr0 : dr0;
    }
    void Next()
    {
        q += dq;
        r += dr;
        // Without a branch: the carry follows the slope, which no predictor
        // guesses.
        const int64_t carry = -static_cast<int64_t>(r >= k);
        q -= carry;
        r -= k & carry;
    }
};

// What a strip's stepping takes from the path alone: its turned components
// adx, ady >= 0 (see Strip), the pen's width and where the strip ends along
// it. A square root and four divisions a path, so the round pen keeps them
// for the short paths most outlines are made of.
struct StripConsts {
    int64_t K = 0;                       // |P x D| <= K: within the pen across the path
    int64_t tLast = 0;                   // the last t = P . D taken
    int64_t alongQ = 0, alongR = 0;      // tLast = alongQ (2 ady) + alongR
    int64_t acrossQ = 0, acrossR = 0;    // 2 K = acrossQ (2 adx) + acrossR
    int64_t alongDq = 0, alongDr = 0;    // 2 adx = alongDq (2 ady) + alongDr
    int64_t acrossDq = 0, acrossDr = 0;  // 2 ady = acrossDq (2 adx) + acrossDr
};

// tEnd: the strip ends at t = len2 + tEnd (0: the round pen's body, -1: the
// dashed pen's, whose last pixel is left out).
StripConsts MakeStripConsts(int64_t adx, int64_t ady, int64_t width, int64_t tEnd)
{
    StripConsts c;
    const int64_t len2 = adx * adx + ady * ady;
    c.K = static_cast<int64_t>(ISqrt(static_cast<unsigned __int128>(width * width) * static_cast<uint64_t>(len2)));
    c.tLast = len2 + tEnd;
    if (ady != 0) {
        c.alongQ = FloorDiv(c.tLast, 2 * ady);
        c.alongR = c.tLast - c.alongQ * 2 * ady;
        c.alongDq = adx / ady;  // 2 adx / 2 ady
        c.alongDr = 2 * adx - c.alongDq * 2 * ady;
    }
    if (adx != 0) {
        c.acrossQ = FloorDiv(2 * c.K, 2 * adx);
        c.acrossR = 2 * c.K - c.acrossQ * 2 * adx;
        c.acrossDq = ady / adx;
        c.acrossDr = 2 * ady - c.acrossDq * 2 * adx;
    }
    return c;
}

// The path's strip, row by row: the pixels whose doubled point P has
// 0 <= P . D <= tLast along the path and |P x D| <= K across it. The work is
// turned so both path components are >= 0: the row offset pr becomes
// sx pr, and a column c becomes the relative column v with
// sy (2 (c - y0) + e) = 2 v + e, that is c = y0 + v (sy = 1) or y0 - e - v.
class Strip {
public:
    Strip(const Doubled& d, int64_t pr, const StripConsts& c)
        : m_sx(d.dx2 < 0 ? -1 : 1), m_adx(std::llabs(d.dx2)), m_ady(std::llabs(d.dy2)), m_tLast(c.tLast), m_K(c.K),
          m_along(m_ady != 0), m_across(m_adx != 0), m_pr(m_sx * pr),
          m_alongQ(c.alongQ), m_alongR(c.alongR), m_acrossQ(c.acrossQ), m_acrossR(c.acrossR)
    {
        // In the turned frame (pr, 2 v + e) with D = (adx, ady), with
        //   a = pr adx + e ady   and   b = pr ady + K - e adx:
        //   v >= -floor(a / (2 ady))              along, from 0
        //   v <= floor((tLast - a) / (2 ady))     along, to tLast
        //   v >= -floor((2 K - b) / (2 adx))      across
        //   v <= floor(b / (2 adx))               across
        // pr moving by 2 sx a row. Each pair of bounds is one stepped
        // quotient: with a = q k + r and S = Q k + R (0 <= r, R < k),
        // floor((S - a) / k) = Q - q - (r > R).
        const int64_t e = d.e;
        const bool back = m_sx < 0;
        if (m_along) m_alongA.Init(m_pr * m_adx + e * m_ady, 2 * m_ady, c.alongDq, c.alongDr, back);
        if (m_across) m_acrossB.Init(m_pr * m_ady + m_K - e * m_adx, 2 * m_adx, c.acrossDq, c.acrossDr, back);
    }
    // The turned row offset of the current row.
    int64_t TurnedRow() const { return m_pr; }
    // The current row's bounds on v (lo > hi: none); then on to the next row.
    void Row(int64_t* lo, int64_t* hi)
    {
        int64_t l = -kFar, h = kFar;
        if (m_along) {
            l = -m_alongA.q;
            h = m_alongQ - m_alongA.q - (m_alongA.r > m_alongR ? 1 : 0);
            m_alongA.Next();
        } else if (m_pr < 0 || m_pr * m_adx > m_tLast) {
            l = kFar;  // along the rows: the row alone decides
        }
        if (m_across) {
            l = std::max(l, m_acrossB.q + (m_acrossB.r > m_acrossR ? 1 : 0) - m_acrossQ);
            h = std::min(h, m_acrossB.q);
            m_acrossB.Next();
        } else if (std::llabs(m_pr) * m_ady > m_K) {
            l = kFar;  // along the columns: the row alone decides
        }
        *lo = l;
        *hi = h;
        m_pr += 2 * m_sx;
    }

    static constexpr int64_t kFar = int64_t{1} << 40;

private:
    int64_t m_sx, m_adx, m_ady, m_tLast, m_K;
    bool m_along, m_across;
    int64_t m_pr;
    int64_t m_alongQ, m_alongR, m_acrossQ, m_acrossR;
    FloorStep m_alongA, m_acrossB;
};

// Window columns of the relative columns lo .. hi (see Strip), clipped.
struct ColumnMap {
    int64_t base;  // y0, or y0 - e turned
    bool turned;
    int64_t last;  // the window's last column
    bool Get(int64_t lo, int64_t hi, int64_t* c0, int64_t* c1) const
    {
        *c0 = std::max<int64_t>(turned ? base - hi : base + lo, 0);
        *c1 = std::min<int64_t>(turned ? base - lo : base + hi, last);
        return *c0 <= *c1;
    }
};

ColumnMap MapColumns(const Doubled& d, const PenSegment& s, const BitWindow& w)
{
    const bool turned = d.dy2 < 0;
    return ColumnMap{turned ? s.y0 - d.e : s.y0, turned, w.columns - 1};
}

void SetRun(const BitWindow& w, int32_t row, int64_t c0, int64_t c1)
{
    const RowPlace place = w.Place(row);
    const int64_t stride = w.stride;
    uint8_t* p = w.bits + c0 * stride + place.offset;
    for (int64_t c = c0; c <= c1; ++c, p += stride) *p |= place.mask;
}

// Rows of the window that the pen can touch: every pixel of a pen of width w
// has its doubled row offset within w of the segment's rows (see Doubled),
// which is w / 2 rows before them and (w - 1) / 2 after.
bool RowSpan(const BitWindow& w, const PenSegment& s, int32_t width, int32_t* lo, int32_t* hi)
{
    *lo = std::max(std::min(s.x0, s.x1) - width / 2, w.row0);
    *hi = std::min(std::max(s.x0, s.x1) + (width - 1) / 2, w.row0 + w.rows - 1);
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

// The remainder is exactly fmod's: below 2^52 the quotient (taken by the
// reciprocal) is at most one off, q 140 is exact, and v - q 140 is exact
// whichever way it is off, as is the one step that puts it right; fmod is
// left the rest.
bool DashOn(double v)
{
    if (!(v >= 0 && v < 4503599627370496.0)) return std::fmod(v, kDashPeriod) < kDashOn;
    const auto q = static_cast<double>(static_cast<int64_t>(v * (1.0 / kDashPeriod)));
    double r = v - q * kDashPeriod;
    if (r < 0) r += kDashPeriod;
    else if (r >= kDashPeriod) r -= kDashPeriod;
    return r < kDashOn;
}

void DrawRoundSegment(const BitWindow& w, const PenSegment& s, int32_t width)
{
    RoundPen(width).Draw(w, s);
}

RoundPen::RoundPen(int32_t width) : m_width(width)
{
    for (int64_t x = 0; x < kShortPath; ++x)
        for (int64_t y = 0; y < kShortPath; ++y) {
            const StripConsts c = MakeStripConsts(2 * x, 2 * y, width, 0);
            m_short.push_back(ShortPath{static_cast<int32_t>(c.K), static_cast<int32_t>(c.alongQ),
                                        static_cast<int32_t>(c.alongR), static_cast<int32_t>(c.acrossQ),
                                        static_cast<int32_t>(c.acrossR), static_cast<int32_t>(c.alongDq),
                                        static_cast<int32_t>(c.alongDr), static_cast<int32_t>(c.acrossDq),
                                        static_cast<int32_t>(c.acrossDr)});
        }
    const int64_t ww = int64_t{width} * width;
    const int64_t e = (width % 2 == 0) ? 1 : 0;
    for (int64_t a = 0; a <= width; ++a) {
        // Doubled column offsets 2 v + e within [-h, h].
        const auto h = static_cast<int64_t>(ISqrt64(static_cast<uint64_t>(ww - a * a)));
        m_discLo.push_back(static_cast<int32_t>(-((h + e) >> 1)));
        m_discHi.push_back(static_cast<int32_t>((h - e) >> 1));
    }
}

void RoundPen::Draw(const BitWindow& w, const PenSegment& s) const
{
    int32_t lo, hi;
    if (!RowSpan(w, s, m_width, &lo, &hi)) return;
    const Doubled d = MakeDoubled(s, m_width);
    const int64_t pr0 = 2 * (static_cast<int64_t>(lo) - s.x0) + d.e;
    // The body (0 <= t <= len2) and the two end discs, in the strip's turned
    // frame: the end disc sits at turned row adx and relative column ady / 2.
    const int64_t x = std::llabs(d.dx2) / 2, y = std::llabs(d.dy2) / 2;
    StripConsts c;
    if (x < kShortPath && y < kShortPath) {
        const ShortPath& p = m_short[static_cast<size_t>(x * kShortPath + y)];
        c = StripConsts{p.K, d.len2, p.alongQ, p.alongR, p.acrossQ, p.acrossR, p.alongDq, p.alongDr, p.acrossDq, p.acrossDr};
    } else {
        c = MakeStripConsts(2 * x, 2 * y, m_width, 0);
    }
    Strip body(d, pr0, c);
    const bool hasBody = d.len2 != 0;
    const ColumnMap columns = MapColumns(d, s, w);
    const int64_t wd = d.w, adx = std::llabs(d.dx2), endV = std::llabs(d.dy2) / 2;
    const int32_t* discLo = m_discLo.data();
    const int32_t* discHi = m_discHi.data();
    for (int32_t row = lo; row <= hi; ++row) {
        const int64_t pr = body.TurnedRow();
        int64_t vlo = Strip::kFar, vhi = -Strip::kFar;
        if (hasBody) {
            int64_t blo, bhi;
            body.Row(&blo, &bhi);
            if (blo <= bhi) {
                vlo = blo;
                vhi = bhi;
            }
        }
        // The union of the three is one run: the shape is convex.
        const int64_t a0 = std::llabs(pr);
        if (a0 <= wd) {
            vlo = std::min<int64_t>(vlo, discLo[a0]);
            vhi = std::max<int64_t>(vhi, discHi[a0]);
        }
        const int64_t a1 = std::llabs(pr - adx);
        if (a1 <= wd) {
            vlo = std::min<int64_t>(vlo, endV + discLo[a1]);
            vhi = std::max<int64_t>(vhi, endV + discHi[a1]);
        }
        if (!hasBody) body = Strip(d, pr + 2, c);  // a dot: only the row moves on
        int64_t c0, c1;
        if (vlo <= vhi && columns.Get(vlo, vhi, &c0, &c1)) SetRun(w, row, c0, c1);
    }
}

void DrawDashedSegment(const BitWindow& w, const PenSegment& s, int32_t width)
{
    int32_t lo, hi;
    if (!RowSpan(w, s, width, &lo, &hi)) return;
    const Doubled d = MakeDoubled(s, width);
    if (d.len2 == 0) return;
    // Along the path, t / (2 |D2|) is the distance in pixels from (x0, y0).
    const double scale = 1.0 / (2.0 * std::sqrt(static_cast<double>(d.len2)));
    Strip strip(d, 2 * (static_cast<int64_t>(lo) - s.x0) + d.e,
                MakeStripConsts(std::llabs(d.dx2), std::llabs(d.dy2), width, -1));
    const ColumnMap columns = MapColumns(d, s, w);
    for (int32_t row = lo; row <= hi; ++row) {
        int64_t vlo, vhi, c0, c1;
        strip.Row(&vlo, &vhi);
        if (vlo > vhi || !columns.Get(vlo, vhi, &c0, &c1)) continue;
        const int64_t pr = 2 * (static_cast<int64_t>(row) - s.x0) + d.e;
        const RowPlace place = w.Place(row);
        int64_t t = pr * d.dx2 + (2 * (c0 - s.y0) + d.e) * d.dy2;
        for (int64_t col = c0; col <= c1; ++col, t += 2 * d.dy2) {
            const double along = s.s0 + static_cast<double>(t) * scale;
            if (DashOn(along)) w.bits[col * w.stride + place.offset] |= place.mask;
        }
    }
}
