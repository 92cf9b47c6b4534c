#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "model/Geometry.h"
#include "model/Page.h"

namespace {

void AllToPlot(COnePage& page)
{
    for (auto& c : page.m_curves) c->m_kind = CurveKind::Plot;
}

// Closed enough to cut: the last point meets the first, or one point short of
// it, or the two end segments run on along one edge with a small gap.
bool CloseOutline(CCurve& c)
{
    std::vector<PlotPoint>& p = c.m_points;
    const size_t n = p.size();
    if (IsNearPoint(p[0], p[n - 1])) return true;
    if (IsNearPoint(p[0], p[n - 2])) {
        p.pop_back();
        return true;
    }
    if (IsNearPoint(p[1], p[n - 1])) {
        p.erase(p.begin());
        return true;
    }
    if (n < 5 || !(PointDistance(p[0], p[n - 1]) < 100)) return false;
    // The absolute values make opposite headings of some edges compare equal too.
    const double start = std::atan2(static_cast<double>(p[0].y) - p[1].y, static_cast<double>(p[0].x) - p[1].x);
    const double end =
        std::atan2(static_cast<double>(p[n - 2].y) - p[n - 1].y, static_cast<double>(p[n - 2].x) - p[n - 1].x);
    return std::fabs(std::fabs(start) - std::fabs(end)) < 0.001;
}

// What a containment test needs of a candidate outline, from its points (the
// cached bounds may be stale after an end point was dropped).
struct OutlineBox {
    int32_t minX, maxX, minY, maxY;
    int32_t bandLo, bandHi;  // between the first and the last point's y
};

OutlineBox BoxOf(const CCurve& c)
{
    const std::vector<PlotPoint>& p = c.m_points;
    OutlineBox b{p[0].x, p[0].x, p[0].y, p[0].y, 0, 0};
    for (const PlotPoint& q : p) {
        b.minX = std::min(b.minX, q.x);
        b.maxX = std::max(b.maxX, q.x);
        b.minY = std::min(b.minY, q.y);
        b.maxY = std::max(b.maxY, q.y);
    }
    b.bandLo = std::min(p.front().y, p.back().y);
    b.bandHi = std::max(p.front().y, p.back().y);
    return b;
}

// The winding test over the open polyline without walking it where the answer
// is known: no edge spans a y outside [minY, maxY); every edge lies left of a
// point at or beyond maxX; and left of minX every edge crossing the point's
// line counts, which nets to whether y lies between the end points' ys (the
// test's products are exact integers, so this holds at any coordinates).
bool ContainsQuick(const CCurve& c, const OutlineBox& b, const PlotPoint& pt)
{
    if (pt.y < b.minY || pt.y >= b.maxY || pt.x >= b.maxX) return false;
    if (pt.x < b.minX) return b.bandLo <= pt.y && pt.y < b.bandHi;
    return c.ContainsPoint(pt.x, pt.y);
}

bool ContainsFirstThree(const CCurve& outer, const OutlineBox& b, const CCurve& inner)
{
    for (int t = 0; t < 3; ++t)
        if (!ContainsQuick(outer, b, inner.m_points[t])) return false;
    return true;
}

// Which candidates can take part in a containment with a given one: only a
// first point inside an outline's box, or in the thin strip left of it between
// its end points' ys, can be inside it. Cells of a uniform grid hold the first
// points, the boxes and the strips' y ranges.
class NestIndex {
public:
    NestIndex(const std::vector<CCurve*>& cand, const std::vector<OutlineBox>& box) : m_cand(cand), m_box(box)
    {
        const size_t n = cand.size();
        m_minX = m_maxX = box[0].minX;
        m_minY = m_maxY = box[0].minY;
        for (const OutlineBox& b : box) {
            m_minX = std::min<int64_t>(m_minX, b.minX);
            m_maxX = std::max<int64_t>(m_maxX, b.maxX);
            m_minY = std::min<int64_t>(m_minY, b.minY);
            m_maxY = std::max<int64_t>(m_maxY, b.maxY);
        }
        m_g = 1;
        while (static_cast<size_t>(m_g) * m_g < n) ++m_g;
        // Every box is listed in each cell it covers: many large boxes over a
        // fine grid (nested rings) would take memory by the square of their
        // number, so coarsen the grid until the lists stay within a budget.
        const int64_t budget = int64_t{16} * static_cast<int64_t>(n) + 1024;
        for (;;) {
            m_cellW = (m_maxX - m_minX) / m_g + 1;
            m_cellH = (m_maxY - m_minY) / m_g + 1;
            if (m_g == 1 || BoxEntries() <= budget) break;
            m_g = std::max(1, m_g / 2);
        }
        m_firsts.resize(static_cast<size_t>(m_g) * m_g);
        m_boxes.resize(static_cast<size_t>(m_g) * m_g);
        m_strips.resize(m_g);
        m_byFirstY.reserve(n);
        for (size_t i = 0; i < n; ++i) {
            const PlotPoint f = cand[i]->m_points[0];
            m_firsts[Cell(CellX(f.x), CellY(f.y))].push_back(static_cast<int32_t>(i));
            m_byFirstY.push_back({f.y, static_cast<int32_t>(i)});
            const OutlineBox& b = box[i];
            for (int64_t cy = CellY(b.minY); cy <= CellY(b.maxY); ++cy) {
                for (int64_t cx = CellX(b.minX); cx <= CellX(b.maxX); ++cx)
                    m_boxes[Cell(cx, cy)].push_back(static_cast<int32_t>(i));
                if (b.bandLo < b.bandHi && CellY(b.bandLo) <= cy && cy <= CellY(b.bandHi))
                    m_strips[cy].push_back(static_cast<int32_t>(i));
            }
        }
        std::sort(m_byFirstY.begin(), m_byFirstY.end());
    }

    // Candidates that a may contain or be contained by, in array order.
    void Partners(size_t a, std::vector<int32_t>& out) const
    {
        out.clear();
        const OutlineBox& b = m_box[a];
        // First points inside a's box.
        for (int64_t cy = CellY(b.minY); cy <= CellY(b.maxY); ++cy)
            for (int64_t cx = CellX(b.minX); cx <= CellX(b.maxX); ++cx)
                for (int32_t k : m_firsts[Cell(cx, cy)]) {
                    const PlotPoint f = m_cand[k]->m_points[0];
                    if (f.x >= b.minX && f.x < b.maxX && f.y >= b.minY && f.y < b.maxY) out.push_back(k);
                }
        // First points in a's strip.
        auto lo = std::lower_bound(m_byFirstY.begin(), m_byFirstY.end(), std::pair<int32_t, int32_t>{b.bandLo, -1});
        for (auto it = lo; it != m_byFirstY.end() && it->first < b.bandHi; ++it)
            if (m_cand[it->second]->m_points[0].x < b.minX) out.push_back(it->second);
        // Boxes and strips that hold a's first point.
        const PlotPoint f = m_cand[a]->m_points[0];
        for (int32_t k : m_boxes[Cell(CellX(f.x), CellY(f.y))]) {
            const OutlineBox& o = m_box[k];
            if (f.x >= o.minX && f.x < o.maxX && f.y >= o.minY && f.y < o.maxY) out.push_back(k);
        }
        for (int32_t k : m_strips[CellY(f.y)]) {
            const OutlineBox& o = m_box[k];
            if (f.x < o.minX && f.y >= o.bandLo && f.y < o.bandHi) out.push_back(k);
        }
        std::sort(out.begin(), out.end());
        out.erase(std::unique(out.begin(), out.end()), out.end());
    }

private:
    int64_t BoxEntries() const
    {
        int64_t total = 0;
        for (const OutlineBox& b : m_box)
            total += (CellX(b.maxX) - CellX(b.minX) + 1) * (CellY(b.maxY) - CellY(b.minY) + 1);
        return total;
    }
    int64_t CellX(int64_t x) const { return std::clamp<int64_t>((x - m_minX) / m_cellW, 0, m_g - 1); }
    int64_t CellY(int64_t y) const { return std::clamp<int64_t>((y - m_minY) / m_cellH, 0, m_g - 1); }
    size_t Cell(int64_t cx, int64_t cy) const { return static_cast<size_t>(cy * m_g + cx); }

    const std::vector<CCurve*>& m_cand;
    const std::vector<OutlineBox>& m_box;
    int64_t m_minX = 0, m_maxX = 0, m_minY = 0, m_maxY = 0, m_cellW = 1, m_cellH = 1;
    int32_t m_g = 1;
    std::vector<std::vector<int32_t>> m_firsts, m_boxes, m_strips;
    std::vector<std::pair<int32_t, int32_t>> m_byFirstY;
};

void Demote(CCurve& p, const OutlineBox& pb, CCurve& q, const OutlineBox& qb)
{
    if (ContainsFirstThree(p, pb, q)) q.m_kind = CurveKind::Plot;
    if (ContainsFirstThree(q, qb, p)) p.m_kind = CurveKind::Plot;
}

}  // namespace

void COnePage::DemoteNestedOutlines()
{
    // Only curves that are Cut now can take part: demotion only turns Cut into Plot.
    std::vector<CCurve*> cand;
    for (auto& c : m_curves)
        if (c->m_kind == CurveKind::Cut && c->m_points.size() >= 4) cand.push_back(c.get());
    if (cand.size() < 2) return;

    std::vector<OutlineBox> box;
    box.reserve(cand.size());
    for (CCurve* c : cand) box.push_back(BoxOf(*c));

    // A pair where neither may hold the other changes nothing, so each curve
    // meets only its possible partners, in the same order as all of them.
    const NestIndex index(cand, box);
    std::vector<int32_t> partners;
    for (size_t a = 0; a < cand.size(); ++a) {
        if (cand[a]->m_kind != CurveKind::Cut) continue;
        index.Partners(a, partners);
        for (int32_t r : partners)
            if (static_cast<size_t>(r) != a && cand[r]->m_kind == CurveKind::Cut)
                Demote(*cand[a], box[a], *cand[r], box[r]);
    }
}

void COnePage::DetectOutlines()
{
    if (m_curves.empty()) return;
    AllToPlot(*this);
    JoinNearbyCurves();
    SplitEndHooks();
    AllToPlot(*this);
    JoinNearbyCurves();
    for (auto& c : m_curves) {
        c->CalcBoundRect();
        if (c->m_points.size() < 4 || c->m_bNoJoin) continue;
        const double w = (static_cast<double>(c->m_maxX) - c->m_minX) / 40.0;
        const double h = (static_cast<double>(c->m_maxY) - c->m_minY) / 40.0;
        if (w < 10 || h < 10 || w * h < 400) continue;
        if (CloseOutline(*c)) c->m_kind = CurveKind::Cut;
    }
    DemoteNestedOutlines();
}
