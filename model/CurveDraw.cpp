#include <cmath>
#include <vector>

#include "model/Canvas.h"
#include "model/Curve.h"
#include "model/DispSet.h"
#include "model/Geometry.h"
#include "model/Numeric.h"

PenStyle PenStyleForLineType(int32_t lineType)
{
    switch (lineType) {
    case 0: return PenStyle::Solid;
    case 1: return PenStyle::Dash;
    case 2: return PenStyle::Dot;
    case 3: return PenStyle::DashDot;
    case 4: return PenStyle::DashDotDot;
    case 5: return PenStyle::Null;
    default: return PenStyle::Solid;
    }
}

namespace {

void Box(Canvas& canvas, const ViewPoint& v)
{
    canvas.Rectangle(SaturateToInt(int64_t{v.x} - 3), SaturateToInt(int64_t{v.y} - 3), SaturateToInt(int64_t{v.x} + 3),
                     SaturateToInt(int64_t{v.y} + 3));
}

int32_t Half(int64_t sum) { return static_cast<int32_t>(sum / 2); }

}  // namespace

void CCurve::Draw(Canvas& canvas) const
{
    if (m_points.empty()) return;
    const bool plot = m_kind == CurveKind::Plot;
    if (plot)
        canvas.SetPen(PenStyleForLineType(m_lineType), 0, Rgb{255, 255, 255});
    else
        canvas.SetPen(PenStyle::Solid, 0, Rgb{255, 0, 0});

    std::vector<ViewPoint> view;
    view.reserve(m_points.size());
    for (const PlotPoint& p : m_points) view.push_back(PlotToView(p.x, p.y));
    canvas.Polyline(view.data(), static_cast<int32_t>(view.size()));
    if (!m_bSelected) return;

    for (const ViewPoint& v : view) Box(canvas, v);
    for (size_t i = 1; i < m_points.size(); ++i) {
        const PlotPoint& a = m_points[i - 1];
        const PlotPoint& b = m_points[i];
        Box(canvas, PlotToView(Half(int64_t{a.x} + b.x), Half(int64_t{a.y} + b.y)));
    }

    if (plot || m_points.size() < 2) return;
    // The cutting direction: the view's y axis points down.
    const ViewPoint v = view[0];
    const PlotPoint& p0 = m_points[0];
    const PlotPoint& p1 = m_points[1];
    const double a = std::atan2(static_cast<double>(p0.y) - p1.y, static_cast<double>(p1.x) - p0.x);
    const ViewPoint arrow[3] = {
        {TruncToInt(v.x + 15 * std::cos(a)), TruncToInt(v.y + 15 * std::sin(a))},
        {TruncToInt(v.x + 6 * std::cos(a + kHalfPi)), TruncToInt(v.y + 6 * std::sin(a + kHalfPi))},
        {TruncToInt(v.x + 6 * std::cos(a - kHalfPi)), TruncToInt(v.y + 6 * std::sin(a - kHalfPi))},
    };
    canvas.FilledPolygon(arrow, 3);
}
