#include "app/preview/QtCanvas.h"

#include <QPen>
#include <algorithm>

QtCanvas::QtCanvas(QPainter& painter, int width, int height)
    : m_painter(painter), m_width(width), m_height(height), m_ascent(QFontMetrics(painter.font()).ascent())
{
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setBrush(Qt::NoBrush);
}

void QtCanvas::SetPen(PenStyle style, int32_t width, Rgb color)
{
    static const Qt::PenStyle styles[] = {Qt::SolidLine,      Qt::DashLine,        Qt::DotLine,
                                          Qt::DashDotLine,    Qt::DashDotDotLine,  Qt::NoPen};
    QPen pen(QColor(color.r, color.g, color.b));
    pen.setStyle(styles[static_cast<int>(style)]);
    pen.setCosmetic(true);
    pen.setWidth(std::max(width, 1));
    m_painter.setPen(pen);
    m_solid = style == PenStyle::Solid;
}

namespace {

// Outside the picture on one side: left, right, above, below.
int Outcode(const QPoint& p, int w, int h)
{
    return (p.x() < 0 ? 1 : 0) | (p.x() >= w ? 2 : 0) | (p.y() < 0 ? 4 : 0) | (p.y() >= h ? 8 : 0);
}

// Coordinates a view point can reach are int32; QPainter's raster engine
// works in fixed point and wraps beyond a few million pixels.
constexpr int kCoordLimit = 1 << 22;
QPoint Clamped(const ViewPoint& v)
{
    return {std::clamp(v.x, -kCoordLimit, kCoordLimit), std::clamp(v.y, -kCoordLimit, kCoordLimit)};
}

}  // namespace

void QtCanvas::Flush()
{
    if (m_run.size() >= 2) m_painter.drawPolyline(m_run.data(), static_cast<int>(m_run.size()));
    m_run.clear();
}

// A marker has far more points than the picture has pixels: a point on the
// pixel of the one before adds nothing, and a segment wholly beyond one edge
// cannot show. Both are left out for a solid pen; a dashed pen keeps every
// segment so its pattern stays in step along the curve.
void QtCanvas::Polyline(const ViewPoint* points, int32_t count)
{
    if (count < 2) return;
    if (!m_solid) {
        m_run.clear();
        for (int32_t i = 0; i < count; ++i) m_run.push_back(Clamped(points[i]));
        Flush();
        return;
    }
    m_run.clear();
    QPoint prev = Clamped(points[0]);
    int prevCode = Outcode(prev, m_width, m_height);
    for (int32_t i = 1; i < count; ++i) {
        const QPoint p = Clamped(points[i]);
        if (p == prev) continue;
        const int code = Outcode(p, m_width, m_height);
        if ((code & prevCode) != 0) {
            Flush();
        } else {
            if (m_run.empty()) m_run.push_back(prev);
            m_run.push_back(p);
        }
        prev = p;
        prevCode = code;
    }
    Flush();
}

void QtCanvas::Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    const QPoint a = Clamped({left, top});
    const QPoint b = Clamped({right, bottom});
    const QPoint pts[5] = {a, {b.x(), a.y()}, b, {a.x(), b.y()}, a};
    m_painter.drawPolyline(pts, 5);
}

void QtCanvas::FilledPolygon(const ViewPoint* points, int32_t count)
{
    if (count < 1) return;
    std::vector<QPoint> pts;
    pts.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) pts.push_back(Clamped(points[i]));
    m_painter.setBrush(Qt::white);
    m_painter.drawPolygon(pts.data(), count);
    m_painter.setBrush(Qt::NoBrush);
}

void QtCanvas::FillBackground(int32_t width, int32_t height)
{
    m_painter.fillRect(0, 0, width, height, Qt::black);
}

void QtCanvas::Text(int32_t x, int32_t y, const QString& text)
{
    if (x < -200 || y < -200 || x > m_width + 200 || y > m_height + 200) return;
    const QPen pen = m_painter.pen();
    m_painter.setPen(QColor(kPaperColour.r, kPaperColour.g, kPaperColour.b));
    m_painter.drawText(x, y + m_ascent, text);
    m_painter.setPen(pen);
}
