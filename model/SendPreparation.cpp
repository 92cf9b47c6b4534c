#include <memory>
#include <utility>
#include <vector>

#include "model/Geometry.h"
#include "model/Numeric.h"
#include "model/Page.h"

void COnePage::AddCleaningStripes(int32_t strength)
{
    // 25 mm of room in front of the job for the bars.
    for (auto& c : m_curves) c->Offset(-1000, 0);
    const int32_t t = (strength < 1 || strength > 5) ? 3 : strength;
    const int32_t linesPerBar = 20 * t + 5;
    const int32_t bars = 15 * t + 15;
    m_curves.reserve(m_curves.size() + static_cast<size_t>(linesPerBar) * bars);
    for (int32_t k = 0; k < bars; ++k) {
        for (int32_t line = 0; line < linesPerBar; ++line) {
            auto c = std::make_unique<CCurve>();
            c->m_kind = CurveKind::Plot;
            const int32_t y = 200 * k + line;
            c->m_points = {{0, y}, {1000, y}};
            m_curves.push_back(std::move(c));
        }
    }
}

namespace {

// Splits the curve once at the first point where the running length passes L.
// Returns the rest as a new curve, or null when the curve needs no split or
// when the split would not shorten what is left (tiny L): then it stays whole.
std::unique_ptr<CCurve> SplitOnce(CCurve& c, int32_t L, int32_t g)
{
    const std::vector<PlotPoint>& pts = c.m_points;
    int32_t acc = 0;
    for (size_t s = 1; s < pts.size(); ++s) {
        const PlotPoint a = pts[s - 1], b = pts[s];
        const double d = PointDistance(a, b);
        const int32_t t = TruncToInt(acc + d);
        if (t <= L) {
            acc = t;
            continue;
        }
        int32_t r = L - acc;
        PlotPoint e = a;
        if (int64_t{r} - g >= 1)
            e = PointAlongSegment(a, b, SaturateToInt(int64_t{r} - g));
        else
            r = g;
        const PlotPoint start = r <= TruncToInt(d) ? PointAlongSegment(a, b, r) : b;

        auto rest = std::make_unique<CCurve>();
        rest->m_kind = CurveKind::Cut;
        rest->m_points.reserve(pts.size() - s + 1);
        rest->m_points.push_back(start);
        rest->m_points.insert(rest->m_points.end(), pts.begin() + static_cast<std::ptrdiff_t>(s), pts.end());
        rest->CalcLength();
        if (!(rest->m_length < c.m_length)) return nullptr;
        rest->m_length = 0;
        c.m_points.resize(s);
        c.m_points.push_back(e);
        return rest;
    }
    return nullptr;
}

}  // namespace

void COnePage::SplitLongCuts(int32_t L, int32_t g)
{
    if (L <= 0) return;
    const int32_t minLen = TruncToInt(1.1 * L);
    // Each piece is looked at right after the curve it came from, so build the
    // new order in one pass instead of inserting into the array.
    std::vector<std::unique_ptr<CCurve>> out;
    out.reserve(m_curves.size());
    for (auto& curve : m_curves) {
        std::unique_ptr<CCurve> c = std::move(curve);
        while (c) {
            std::unique_ptr<CCurve> rest;
            if (c->m_kind != CurveKind::Plot) {
                c->CalcLength();
                if (TruncToInt(c->m_length) >= minLen) rest = SplitOnce(*c, L, g);
            }
            out.push_back(std::move(c));
            c = std::move(rest);
        }
    }
    m_curves = std::move(out);
}

void COnePage::ClassifyShortCuts()
{
    for (auto& c : m_curves)
        if (c->m_kind != CurveKind::Plot) c->UpdateKind();
}

void COnePage::CompensateCutCorners()
{
    for (auto& c : m_curves)
        if (c->m_kind != CurveKind::Plot) c->CompensateCorners();
}

void COnePage::ExtendCutEnds()
{
    for (auto& c : m_curves)
        if (c->m_kind != CurveKind::Plot) c->ExtendEnds();
}

void COnePage::CleanUpCurves()
{
    std::vector<std::unique_ptr<CCurve>> kept;
    kept.reserve(m_curves.size());
    for (auto& c : m_curves) {
        c->RemoveDuplicates();
        c->RemoveCollinear();
        if (c->m_points.size() >= 2) kept.push_back(std::move(c));
    }
    m_curves = std::move(kept);
}
