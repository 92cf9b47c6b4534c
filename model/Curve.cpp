#include "model/Curve.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "model/Numeric.h"

std::u16string g_strCurveTag = u"KRVM";

void CCurve::CopyFrom(const CCurve& src)
{
    m_bSelected = src.m_bSelected;
    m_kind = src.m_kind;
    m_lineType = src.m_lineType;
    m_minX = src.m_minX;
    m_maxX = src.m_maxX;
    m_minY = src.m_minY;
    m_maxY = src.m_maxY;
    m_points = src.m_points;
}

void CCurve::CalcBoundRect()
{
    if (m_points.empty()) return;
    m_minX = m_maxX = m_points[0].x;
    m_minY = m_maxY = m_points[0].y;
    for (const PlotPoint& p : m_points) {
        m_minX = std::min(m_minX, p.x);
        m_maxX = std::max(m_maxX, p.x);
        m_minY = std::min(m_minY, p.y);
        m_maxY = std::max(m_maxY, p.y);
    }
}

static double SegmentLength(const PlotPoint& a, const PlotPoint& b)
{
    const double dx = static_cast<double>(b.x) - a.x;
    const double dy = static_cast<double>(b.y) - a.y;
    return std::sqrt(dx * dx + dy * dy);
}

void CCurve::CalcLength()
{
    double sum = 0;
    for (size_t i = 1; i < m_points.size(); ++i) sum += SegmentLength(m_points[i - 1], m_points[i]);
    m_length = sum;
}

void CCurve::UpdateKind()
{
    if (m_kind == CurveKind::Plot) return;
    if (m_points.size() < 2) {
        m_kind = CurveKind::ShortCut;
        return;
    }
    double sum = 0;
    for (size_t i = 1; i < m_points.size(); ++i) sum += SegmentLength(m_points[i - 1], m_points[i]);
    if (sum < 400) m_kind = CurveKind::ShortCut;
}

void CCurve::RemoveDuplicates()
{
    // One compacting pass: a run of equal points keeps its first.
    m_points.erase(std::unique(m_points.begin(), m_points.end()), m_points.end());
}

static double Direction(const PlotPoint& a, const PlotPoint& b)
{
    return std::atan2(static_cast<double>(b.y) - a.y, static_cast<double>(b.x) - a.x);
}

// Whether a->b and b->c have the same direction as atan2 gives it. Two
// vectors that are not parallel make an angle of at least 1 / (|u| |v|): with
// every component below 2^20 that is above 2^-41, thousands of times atan2's
// error, so their directions differ without computing them. Parallel and
// long vectors are compared by atan2 itself.
static bool SameDirection(const PlotPoint& a, const PlotPoint& b, const PlotPoint& c)
{
    const int64_t ux = int64_t{b.x} - a.x, uy = int64_t{b.y} - a.y;
    const int64_t vx = int64_t{c.x} - b.x, vy = int64_t{c.y} - b.y;
    constexpr uint64_t kShort = uint64_t{1} << 20;
    auto isShort = [](int64_t d) { return static_cast<uint64_t>(d + int64_t{kShort}) < 2 * kShort; };
    if (isShort(ux) && isShort(uy) && isShort(vx) && isShort(vy) && ux * vy != uy * vx) return false;
    return Direction(a, b) == Direction(b, c);
}

void CCurve::RemoveCollinear()
{
    if (m_points.size() <= 2) return;
    // Compacting pass equal to the remove-and-re-examine walk: a removed middle
    // point leaves the same predecessor (the last kept point) for the next one.
    size_t kept = 1;  // m_points[kept-1] is the predecessor A
    for (size_t i = 1; i + 1 < m_points.size(); ++i) {
        const PlotPoint& a = m_points[kept - 1];
        const PlotPoint& b = m_points[i];
        const PlotPoint& c = m_points[i + 1];
        if (SameDirection(a, b, c)) continue;
        m_points[kept++] = b;
    }
    m_points[kept++] = m_points.back();
    m_points.resize(kept);
}

void CCurve::Offset(int32_t dx, int32_t dy)
{
    for (PlotPoint& p : m_points) {
        p.x = SaturateToInt(int64_t{p.x} - dx);
        p.y = SaturateToInt(int64_t{p.y} - dy);
    }
    m_minX = SaturateToInt(int64_t{m_minX} - dx);
    m_maxX = SaturateToInt(int64_t{m_maxX} - dx);
    m_minY = SaturateToInt(int64_t{m_minY} - dy);
    m_maxY = SaturateToInt(int64_t{m_maxY} - dy);
}

void CCurve::Scale(double sx, double sy)
{
    for (PlotPoint& p : m_points) {
        p.x = TruncToInt(p.x * sx);
        p.y = TruncToInt(p.y * sy);
    }
}

void CCurve::Reverse()
{
    std::reverse(m_points.begin(), m_points.end());
}
