#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "model/Numeric.h"
#include "model/Page.h"

namespace {

struct Segment {
    PlotPoint a, b;
    int32_t src = 0;     // curve whose fields the segment carries
    bool own = false;    // the source curve itself (a 2-point curve), not a copy
};

struct Placed {
    int32_t strip = 0;  // the pass after which the segment no longer moves
    Segment seg;
};

int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// Pieces a segment from y0 to y1 ends as: one, plus one per strip edge k * w
// (k = 1 .. passes) that it crosses strictly; an end on an edge is no cut.
int64_t PiecesOf(int64_t y0, int64_t y1, int64_t w, int64_t passes)
{
    const int64_t lo = std::min(y0, y1), hi = std::max(y0, y1);
    if (lo == hi) return 1;
    const int64_t first = std::max<int64_t>(1, FloorDiv(lo, w) + 1);
    const int64_t last = std::min(passes, FloorDiv(hi - 1, w));
    return 1 + std::max<int64_t>(0, last - first + 1);
}

int32_t CrossingX(const Segment& s, int32_t w)
{
    const double x0 = s.a.x, y0 = s.a.y, x1 = s.b.x, y1 = s.b.y;
    return TruncToInt((w - y0) * (x1 - x0) / (y1 - y0) + x0);
}

PlotPoint Shifted(const PlotPoint& p, int32_t dx, int32_t dy)
{
    return {SaturateToInt(int64_t{p.x} + dx), SaturateToInt(int64_t{p.y} + dy)};
}

// How many passes in a row move the segment whole: while both ends are at or
// above w and not both on it.
int64_t WholeMoves(int64_t y0, int64_t y1, int64_t w)
{
    if (y0 == y1) return (y0 - 1) / w;
    return std::min(y0, y1) / w;
}

// After n whole moves; x saturates as step-by-step saturating moves would.
PlotPoint MovedWhole(const PlotPoint& p, int64_t n, int32_t shift, int32_t w)
{
    return {SaturateToInt(int64_t{p.x} + n * shift), static_cast<int32_t>(p.y - n * w)};
}

}  // namespace

// Each pass moves what lies above w one strip further along X, and whatever a
// pass leaves in place it keeps for good. So every segment is followed on its
// own through the passes, and the array the passes would leave is the pieces
// ordered by the pass that placed them, segment order within a pass.
bool COnePage::SplitAlongY(int32_t w)
{
    if (w <= 0 || m_curves.empty()) return true;
    CalcPageBounds();
    if (!(w < m_maxY)) return true;
    const int64_t passes = m_maxY / w;
    const int64_t shift64 = int64_t{m_maxX} + 1200;

    // What the split would make, before anything is cut: pages, pieces, and
    // the X the last strip would reach (one unit of margin for the crossings).
    if (passes + 1 > kMaxSplitPages) return false;
    const int64_t lastLo = int64_t{m_minX} - 1 + passes * shift64;
    const int64_t lastHi = int64_t{m_maxX} + 1 + passes * shift64;
    if (lastLo < INT32_MIN || lastHi > INT32_MAX) return false;
    const int32_t shift = static_cast<int32_t>(shift64);  // fits: the last strip does
    size_t total = 0;
    for (const auto& c : m_curves) {
        const std::vector<PlotPoint>& pts = c->m_points;
        for (size_t k = 1; k < pts.size(); ++k) {
            total += static_cast<size_t>(PiecesOf(pts[k - 1].y, pts[k].y, w, passes));
            if (total > kMaxPagePoints) return false;
        }
    }

    std::vector<Placed> placed;
    placed.reserve(total);

    for (int32_t ci = 0; ci < static_cast<int32_t>(m_curves.size()); ++ci) {
        const std::vector<PlotPoint>& pts = m_curves[ci]->m_points;
        for (size_t k = 1; k < pts.size(); ++k) {
            Segment cur{pts[k - 1], pts[k], ci, pts.size() == 2};
            int32_t strip = 0;
            bool settled = false;
            while (strip < passes) {
                const int32_t y0 = cur.a.y, y1 = cur.b.y;
                if (y0 <= w && y1 <= w) {
                    placed.push_back({strip, cur});
                    settled = true;
                    break;
                }
                Segment up{};
                up.src = ci;
                if (y0 >= w && y1 >= w) {
                    // Moved whole: take all the passes that move it whole at
                    // once, so a segment far above costs no loop per strip.
                    const int64_t moves = std::min(WholeMoves(y0, y1, w), passes - strip);
                    up.a = MovedWhole(cur.a, moves, shift, w);
                    up.b = MovedWhole(cur.b, moves, shift, w);
                    cur = up;
                    strip += static_cast<int32_t>(moves);
                    continue;
                } else {
                    const int32_t x = CrossingX(cur, w);
                    if (y0 < w) {
                        up.a = {SaturateToInt(int64_t{x} + shift), 0};
                        up.b = Shifted(cur.b, shift, -w);
                        cur.b = {x, w};
                    } else {
                        up.a = Shifted(cur.a, shift, -w);
                        up.b = {SaturateToInt(int64_t{x} + shift), 0};
                        cur.a = {x, w};
                    }
                    placed.push_back({strip, cur});
                }
                cur = up;
                ++strip;
            }
            if (!settled) placed.push_back({strip, cur});
        }
    }
    std::stable_sort(placed.begin(), placed.end(),
                     [](const Placed& l, const Placed& r) { return l.strip < r.strip; });

    // Re-join consecutive segments that meet exactly, as JoinConnectedCurves
    // would on the 2-point curves.
    std::vector<std::unique_ptr<CCurve>> out;
    CCurve* run = nullptr;
    for (const Placed& pl : placed) {
        const Segment& s = pl.seg;
        const CCurve& src = *m_curves[s.src];
        if (run && run->m_kind == src.m_kind && run->m_points.back() == s.a) {
            run->m_points.push_back(s.b);
            continue;
        }
        auto c = std::make_unique<CCurve>();
        // The fields CopyFrom takes, without its copy of the source's points.
        c->m_bSelected = src.m_bSelected;
        c->m_kind = src.m_kind;
        c->m_lineType = src.m_lineType;
        c->m_minX = src.m_minX;
        c->m_maxX = src.m_maxX;
        c->m_minY = src.m_minY;
        c->m_maxY = src.m_maxY;
        if (s.own) {
            c->m_bNoJoin = src.m_bNoJoin;
            c->m_length = src.m_length;
        }
        c->m_points = {s.a, s.b};
        run = c.get();
        out.push_back(std::move(c));
    }
    m_curves = std::move(out);
    CalcPageBounds();
    return true;
}
