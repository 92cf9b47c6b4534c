#include <cmath>
#include <memory>
#include <vector>

#include "model/Geometry.h"
#include "model/Page.h"

namespace {

// H0 is the curve's end, H3 three points inwards. The shape a cutting program
// draws as a notch hook: a short end leg about twice the next one, then a
// longer leg turned away by more than 45 degrees.
bool IsHook(const PlotPoint& h0, const PlotPoint& h1, const PlotPoint& h2, const PlotPoint& h3)
{
    const double a = PointDistance(h0, h1);
    const double b = PointDistance(h1, h2);
    const double c = PointDistance(h2, h3);
    double theta = std::atan2(static_cast<double>(h0.y) - h1.y, static_cast<double>(h0.x) - h1.x) -
                   std::atan2(static_cast<double>(h2.y) - h3.y, static_cast<double>(h2.x) - h3.x);
    if (theta > kPi)
        theta -= kTwoPi;
    else if (theta <= -kPi)
        theta += kTwoPi;
    return std::fabs(theta) > kQuarterPi && c >= 300 && c <= 500 && a > 100 && a < 400 && b > 50 && b < 200 &&
           std::fabs(a - 2 * b) < 20;
}

std::unique_ptr<CCurve> MakeHook(const CCurve& from, std::vector<PlotPoint> pts)
{
    auto hook = std::make_unique<CCurve>();
    hook->CopyFrom(from);
    hook->m_points = std::move(pts);
    hook->m_bNoJoin = 1;
    hook->CalcBoundRect();
    return hook;
}

}  // namespace

void COnePage::SplitEndHooks()
{
    const size_t count = m_curves.size();
    for (size_t i = 0; i < count; ++i) {
        CCurve& c = *m_curves[i];
        std::vector<PlotPoint>& p = c.m_points;
        if (p.size() < 4) continue;
        if (IsHook(p[0], p[1], p[2], p[3])) {
            auto hook = MakeHook(c, {p[0], p[1], p[2], p[3]});
            p.erase(p.begin(), p.begin() + 3);
            c.CalcBoundRect();
            m_curves.push_back(std::move(hook));
        }
        // The push moved the array of pointers, not the curve: c and p still hold.
        const size_t n = p.size();
        if (n < 4) continue;
        if (IsHook(p[n - 1], p[n - 2], p[n - 3], p[n - 4])) {
            auto hook = MakeHook(c, {p[n - 1], p[n - 2], p[n - 3], p[n - 4]});
            p.resize(n - 3);
            c.CalcBoundRect();
            m_curves.push_back(std::move(hook));
        }
    }
}
