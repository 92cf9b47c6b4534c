#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>
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
// its end points' ys, can be inside it. Square cells hold the first points,
// the boxes and the strips' y ranges; they are sized by the outlines
// themselves (the median box) and kept in hash maps, so an outline far from
// the others neither stretches the cells nor costs memory for the space between.
class NestIndex {
public:
    NestIndex(const std::vector<CCurve*>& cand, const std::vector<OutlineBox>& box) : m_cand(cand), m_box(box)
    {
        const size_t n = cand.size();
        std::vector<int64_t> extent;
        extent.reserve(n);
        for (const OutlineBox& b : box)
            extent.push_back(std::max<int64_t>({int64_t{b.maxX} - b.minX, int64_t{b.maxY} - b.minY, 1}));
        std::nth_element(extent.begin(), extent.begin() + static_cast<std::ptrdiff_t>(n / 2), extent.end());
        m_cell = extent[n / 2];
        // Every box is listed in each cell it covers: many large boxes (nested
        // rings) would take memory by the square of their number, so the cells
        // grow until the lists stay within a budget.
        const double budget = 16.0 * static_cast<double>(n) + 1024;
        while (BoxEntries() > budget && m_cell < (int64_t{1} << 33)) m_cell *= 2;

        m_byFirstY.reserve(n);
        for (size_t i = 0; i < n; ++i) {
            const PlotPoint f = cand[i]->m_points[0];
            m_firsts[Key(CellOf(f.x), CellOf(f.y))].push_back(static_cast<int32_t>(i));
            m_byFirstY.push_back({f.y, static_cast<int32_t>(i)});
            const OutlineBox& b = box[i];
            for (int64_t cy = CellOf(b.minY); cy <= CellOf(b.maxY); ++cy) {
                for (int64_t cx = CellOf(b.minX); cx <= CellOf(b.maxX); ++cx)
                    m_boxes[Key(cx, cy)].push_back(static_cast<int32_t>(i));
                if (b.bandLo < b.bandHi && CellOf(b.bandLo) <= cy && cy <= CellOf(b.bandHi))
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
        for (int64_t cy = CellOf(b.minY); cy <= CellOf(b.maxY); ++cy)
            for (int64_t cx = CellOf(b.minX); cx <= CellOf(b.maxX); ++cx) {
                auto it = m_firsts.find(Key(cx, cy));
                if (it == m_firsts.end()) continue;
                for (int32_t k : it->second) {
                    const PlotPoint f = m_cand[k]->m_points[0];
                    if (f.x >= b.minX && f.x < b.maxX && f.y >= b.minY && f.y < b.maxY) out.push_back(k);
                }
            }
        // First points in a's strip.
        auto lo = std::lower_bound(m_byFirstY.begin(), m_byFirstY.end(), std::pair<int32_t, int32_t>{b.bandLo, -1});
        for (auto it = lo; it != m_byFirstY.end() && it->first < b.bandHi; ++it)
            if (m_cand[it->second]->m_points[0].x < b.minX) out.push_back(it->second);
        // Boxes and strips that hold a's first point.
        const PlotPoint f = m_cand[a]->m_points[0];
        if (auto it = m_boxes.find(Key(CellOf(f.x), CellOf(f.y))); it != m_boxes.end())
            for (int32_t k : it->second) {
                const OutlineBox& o = m_box[k];
                if (f.x >= o.minX && f.x < o.maxX && f.y >= o.minY && f.y < o.maxY) out.push_back(k);
            }
        if (auto it = m_strips.find(CellOf(f.y)); it != m_strips.end())
            for (int32_t k : it->second) {
                const OutlineBox& o = m_box[k];
                if (f.x < o.minX && f.y >= o.bandLo && f.y < o.bandHi) out.push_back(k);
            }
        std::sort(out.begin(), out.end());
        out.erase(std::unique(out.begin(), out.end()), out.end());
    }

private:
    double BoxEntries() const
    {
        double total = 0;
        for (const OutlineBox& b : m_box)
            total += static_cast<double>(CellOf(b.maxX) - CellOf(b.minX) + 1) *
                     static_cast<double>(CellOf(b.maxY) - CellOf(b.minY) + 1);
        return total;
    }
    int64_t CellOf(int64_t v) const { return v >= 0 ? v / m_cell : -((-v + m_cell - 1) / m_cell); }
    static uint64_t Key(int64_t cx, int64_t cy)
    {
        return (static_cast<uint64_t>(static_cast<uint32_t>(cx)) << 32) | static_cast<uint32_t>(cy);
    }

    const std::vector<CCurve*>& m_cand;
    const std::vector<OutlineBox>& m_box;
    int64_t m_cell = 1;
    std::unordered_map<uint64_t, std::vector<int32_t>> m_firsts, m_boxes;
    std::unordered_map<int64_t, std::vector<int32_t>> m_strips;
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
