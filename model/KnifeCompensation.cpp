#include <cmath>
#include <vector>

#include "model/Curve.h"
#include "model/Geometry.h"
#include "model/Numeric.h"

namespace {

double Direction(const PlotPoint& from, const PlotPoint& to)
{
    return std::atan2(static_cast<double>(to.y) - from.y, static_cast<double>(to.x) - from.x);
}

int32_t HalfSum(int32_t a, int32_t b) { return static_cast<int32_t>((int64_t{a} + b) / 2); }

}  // namespace

void CCurve::CompensateCorners(double d)
{
    CalcLength();
    if (m_length < 400 || m_points.size() < 3) return;
    // The loops go after their corner and are never examined themselves, so the
    // walk sees the original neighbours: build the result in one pass.
    std::vector<PlotPoint> out;
    out.reserve(m_points.size() + m_points.size() / 2);
    out.push_back(m_points[0]);
    for (size_t i = 1; i + 1 < m_points.size(); ++i) {
        const PlotPoint& a = m_points[i - 1];
        const PlotPoint& b = m_points[i];
        const PlotPoint& c = m_points[i + 1];
        const double g = Direction(a, b);
        const double h = Direction(b, c);
        double t = h - g;
        if (t > kPi)
            t -= kTwoPi;
        else if (t <= -kPi)
            t += kTwoPi;
        const double turn = std::fabs(t * 180 / kPi);
        out.push_back(b);
        if (turn > 45 && turn < 120) {
            const PlotPoint m{HalfSum(TruncToInt(b.x + d * std::cos(g)), TruncToInt(b.x - d * std::cos(h))),
                              HalfSum(TruncToInt(b.y + d * std::sin(g)), TruncToInt(b.y - d * std::sin(h)))};
            out.push_back(m);
            out.push_back(b);
        }
    }
    out.push_back(m_points.back());
    m_points = std::move(out);
}

void CCurve::ExtendEnds(double d)
{
    CalcLength();
    if (m_length < 400 || m_points.size() < 2) return;
    const size_t n = m_points.size();
    const PlotPoint p0 = m_points[0], p1 = m_points[1];
    const PlotPoint q0 = m_points[n - 2], q1 = m_points[n - 1];
    const double a0 = Direction(p0, p1);
    const double a1 = Direction(q0, q1);
    m_points[0] = {TruncToInt(p0.x - d * std::cos(a0)), TruncToInt(p0.y - d * std::sin(a0))};
    m_points[n - 1] = {TruncToInt(q1.x + d * std::cos(a1)), TruncToInt(q1.y + d * std::sin(a1))};
}
