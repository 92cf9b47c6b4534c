#include <cmath>
#include <cstdlib>

#include "model/Curve.h"
#include "model/DispSet.h"
#include "model/Geometry.h"
#include "model/Numeric.h"

double PointDistance(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    const double dx = static_cast<double>(x1) - static_cast<double>(x2);
    const double dy = static_cast<double>(y1) - static_cast<double>(y2);
    return std::sqrt(dx * dx + dy * dy);
}

bool IsStrictlyBetween(double a, double b, double c)
{
    if (b == c) return false;
    return (b < a && a < c) || (c < a && a < b);
}

bool SegmentsCross(DPoint p1, DPoint p2, DPoint q1, DPoint q2)
{
    constexpr double eps = 1e-6;
    const bool firstVertical = std::fabs(p1.x - p2.x) < eps;
    const bool secondVertical = std::fabs(q1.x - q2.x) < eps;
    if (firstVertical) {
        if (secondVertical) return false;
        const double k2 = (q2.y - q1.y) / (q2.x - q1.x);
        return IsStrictlyBetween(p1.x, q1.x, q2.x) && IsStrictlyBetween(k2 * (p1.x - q1.x) + q1.y, p1.y, p2.y);
    }
    const double k1 = (p2.y - p1.y) / (p2.x - p1.x);
    if (secondVertical)
        return IsStrictlyBetween(q1.x, p1.x, p2.x) && IsStrictlyBetween(k1 * (q1.x - p2.x) + p2.y, q1.y, q2.y);
    const double k2 = (q2.y - q1.y) / (q2.x - q1.x);
    if (std::fabs(k1 - k2) < eps) return false;
    const double x = (q1.y - p1.y - (k2 * q1.x - k1 * p1.x)) / (k1 - k2);
    return IsStrictlyBetween(x, p1.x, p2.x) && IsStrictlyBetween(x, q1.x, q2.x);
}

int32_t ClassifyInBand(int32_t v, int32_t lo, int32_t hi)
{
    if (v < lo) return 1;
    if (v < hi) return 2;
    return 3;
}

bool IsNearPoint(const PlotPoint& a, const PlotPoint& b)
{
    return std::llabs(int64_t{b.x} - a.x) <= 9 && std::llabs(int64_t{b.y} - a.y) <= 9;
}

PlotPoint PointAlongSegment(const PlotPoint& a, const PlotPoint& b, int32_t e)
{
    const double d = PointDistance(a, b);
    if (d == 0) return a;
    const double dx = static_cast<double>(b.x) - a.x;
    const double dy = static_cast<double>(b.y) - a.y;
    return {TruncToInt(dx * e / d + a.x), TruncToInt(dy * e / d + a.y)};
}

bool CCurve::IsInsideRect(int32_t left, int32_t top, int32_t right, int32_t bottom) const
{
    for (const PlotPoint& p : m_points) {
        const ViewPoint v = PlotToView(p.x, p.y);
        if (v.x < left || v.x >= right || v.y < top || v.y >= bottom) return false;
    }
    return true;
}

namespace {

// Even-odd test of the pixel (its centre) against a polygon with integer
// corners: the pixels a filled region of that outline covers.
bool PixelInQuad(const ViewPoint (&q)[4], int32_t px, int32_t py)
{
    const double x = px + 0.5;
    const double y = py + 0.5;
    bool inside = false;
    for (int i = 0, j = 3; i < 4; j = i++) {
        const double xi = q[i].x, yi = q[i].y, xj = q[j].x, yj = q[j].y;
        if ((yi > y) != (yj > y)) {
            const double xc = xi + (y - yi) * (xj - xi) / (yj - yi);
            if (x < xc) inside = !inside;
        }
    }
    return inside;
}

}  // namespace

bool CCurve::HitTest(int32_t x, int32_t y) const
{
    if (m_points.size() < 2) return false;
    for (size_t i = 1; i < m_points.size(); ++i) {
        const ViewPoint p = PlotToView(m_points[i - 1].x, m_points[i - 1].y);
        const ViewPoint q = PlotToView(m_points[i].x, m_points[i].y);
        const double a = std::atan2(static_cast<double>(q.y) - p.y, static_cast<double>(q.x) - p.x);
        const double c = 4 * std::cos(a);
        const double s = 4 * std::sin(a);
        const ViewPoint quad[4] = {
            {TruncToInt(p.x - c - s), TruncToInt(p.y - s + c)},
            {TruncToInt(p.x - c + s), TruncToInt(p.y - s - c)},
            {TruncToInt(q.x + c + s), TruncToInt(q.y + s - c)},
            {TruncToInt(q.x + c - s), TruncToInt(q.y + s + c)},
        };
        if (PixelInQuad(quad, x, y)) return true;
    }
    return false;
}

namespace {

// The sign of (x1 - x0)(py - y0) - (px - x0)(y1 - y0): which side of the edge
// the point lies. Doubles decide when the result is clear of their rounding;
// otherwise exact integers do (differences need 33 bits, products 65, so
// doubles alone would round it for coordinates beyond 2^25).
int SideOf(int64_t x0, int64_t y0, int64_t x1, int64_t y1, int64_t px, int64_t py)
{
    const double a = static_cast<double>(x1 - x0) * static_cast<double>(py - y0);
    const double b = static_cast<double>(px - x0) * static_cast<double>(y1 - y0);
    const double d = a - b;
    const double err = (std::fabs(a) + std::fabs(b)) * 0x1p-51;
    if (d > err) return 1;
    if (d < -err) return -1;
    __extension__ typedef __int128 Wide;
    const Wide exact = Wide{x1 - x0} * (py - y0) - Wide{px - x0} * (y1 - y0);
    return exact > 0 ? 1 : exact < 0 ? -1 : 0;
}

}  // namespace

bool CCurve::ContainsPoint(int32_t x, int32_t y) const
{
    if (m_points.size() < 2) return false;
    int winding = 0;
    for (size_t i = 0; i + 1 < m_points.size(); ++i) {
        const int64_t x0 = m_points[i].x, y0 = m_points[i].y;
        const int64_t x1 = m_points[i + 1].x, y1 = m_points[i + 1].y;
        if (y0 <= y) {
            if (y < y1 && SideOf(x0, y0, x1, y1, x, y) > 0) ++winding;
        } else if (y1 <= y && SideOf(x0, y0, x1, y1, x, y) < 0) {
            --winding;
        }
    }
    return winding != 0;
}
