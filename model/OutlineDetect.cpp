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
// line counts, which nets to whether y lies between the end points' ys. The
// last holds only while the products of the test are exact in doubles.
bool ContainsQuick(const CCurve& c, const OutlineBox& b, const PlotPoint& pt, bool exact)
{
    if (pt.y < b.minY || pt.y >= b.maxY || pt.x >= b.maxX) return false;
    if (pt.x < b.minX && exact) return b.bandLo <= pt.y && pt.y < b.bandHi;
    return c.ContainsPoint(pt.x, pt.y);
}

bool ContainsFirstThree(const CCurve& outer, const OutlineBox& b, const CCurve& inner, bool exact)
{
    for (int t = 0; t < 3; ++t)
        if (!ContainsQuick(outer, b, inner.m_points[t], exact)) return false;
    return true;
}

}  // namespace

void COnePage::DemoteNestedOutlines()
{
    // Only curves that are Cut now can take part: demotion only turns Cut into Plot.
    std::vector<CCurve*> cand;
    for (auto& c : m_curves)
        if (c->m_kind == CurveKind::Cut && c->m_points.size() >= 4) cand.push_back(c.get());
    if (cand.size() < 2) return;

    constexpr int64_t kExactLimit = int64_t{1} << 25;
    bool exact = true;
    std::vector<OutlineBox> box;
    box.reserve(cand.size());
    for (CCurve* c : cand) {
        box.push_back(BoxOf(*c));
        const OutlineBox& b = box.back();
        for (int64_t v : {int64_t{b.minX}, int64_t{b.maxX}, int64_t{b.minY}, int64_t{b.maxY}})
            if (std::llabs(v) > kExactLimit) exact = false;
    }

    for (size_t a = 0; a < cand.size(); ++a) {
        CCurve& p = *cand[a];
        if (p.m_kind != CurveKind::Cut) continue;
        for (size_t r = 0; r < cand.size(); ++r) {
            if (r == a) continue;
            CCurve& q = *cand[r];
            if (q.m_kind != CurveKind::Cut) continue;
            if (ContainsFirstThree(p, box[a], q, exact)) q.m_kind = CurveKind::Plot;
            if (ContainsFirstThree(q, box[r], p, exact)) p.m_kind = CurveKind::Plot;
        }
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
