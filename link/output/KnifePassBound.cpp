#include "link/output/KnifePassBound.h"

#include <algorithm>
#include <cmath>

#include "link/output/KnifePlanner.h"
#include "model/Numeric.h"
#include "model/Page.h"

namespace {

// The passes a point at feed pulse x reaches, widened by a pulse either way
// (a rounding apart from the clipping must not leave a pass out): first and
// last in -1 .. passes (-1 before the first pass, passes after the last).
struct Reach {
    int32_t first, last;
};

class PassFinder {
public:
    PassFinder(const MachineParams& p, int32_t passes) : m_passes(passes), m_starts(static_cast<size_t>(passes) + 2)
    {
        for (size_t a = 0; a < m_starts.size(); ++a) m_starts[a] = BandStart(static_cast<int32_t>(a), p);
        // The mean width of a pass in pulses (its starts are truncated).
        const double step = (static_cast<double>(m_starts[static_cast<size_t>(passes)]) - m_starts[0]) / passes;
        m_perPulse = step > 0 ? 1.0 / step : 0.0;
    }
    Reach At(int32_t x) const
    {
        // The last a with start(a) <= x; the guess is off by rounding at
        // most, and the starts decide.
        double guess = std::floor((static_cast<double>(x) - m_starts[0]) * m_perPulse);
        guess = std::clamp(guess, -1.0, static_cast<double>(m_passes));
        auto a = static_cast<int32_t>(guess);
        while (a >= 0 && Start(a) > x) --a;
        while (a < m_passes && Start(a + 1) <= x) ++a;
        Reach r{a, a};
        if (a >= 0 && int64_t{x} - 1 < Start(a)) --r.first;
        if (a < m_passes && int64_t{x} + 1 >= Start(a + 1)) ++r.last;
        return r;
    }

private:
    int32_t Start(int32_t a) const { return m_starts[static_cast<size_t>(a)]; }
    int32_t m_passes;
    std::vector<int32_t> m_starts;  // BandStart of 0 .. passes + 1
    double m_perPulse;
};

}  // namespace

std::vector<int64_t> KnifePassBounds(const COnePage& page, const JobSnapshot& s, int32_t passes)
{
    std::vector<int64_t> bounds(static_cast<size_t>(std::max(passes, 0)), 0);
    if (passes <= 0) return bounds;
    const MachineParams& p = s.params;
    const PassFinder finder(p, passes);
    // The clipping's own conversion of plot X to feed pulses.
    const double offX = p.inkCutOverlapX * 0.1;
    auto reach = [&](const PlotPoint& pt) { return finder.At(TruncToInt((pt.x / 40.0 + offX) * p.pulsesPerMmX)); };
    // Two points per step and pass touched, added over the passes' range.
    std::vector<int64_t> diff(static_cast<size_t>(passes) + 1, 0);
    for (const auto& curve : page.m_curves) {
        if (curve->m_kind != CurveKind::Cut && curve->m_kind != CurveKind::ShortCut) continue;
        const std::vector<PlotPoint>& pts = curve->m_points;
        if (pts.size() < 2) continue;
        Reach prev = reach(pts[0]);
        for (size_t i = 1; i < pts.size(); ++i) {
            const Reach cur = reach(pts[i]);
            const int32_t a = std::max(std::min(prev.first, cur.first), 0);
            const int32_t b = std::min(std::max(prev.last, cur.last), passes - 1);
            prev = cur;
            if (a > b) continue;
            diff[static_cast<size_t>(a)] += 2;
            diff[static_cast<size_t>(b) + 1] -= 2;
        }
    }
    int64_t run = 0;
    for (int32_t i = 0; i < passes; ++i) bounds[static_cast<size_t>(i)] = run += diff[static_cast<size_t>(i)];
    return bounds;
}
