#include <algorithm>
#include <memory>
#include <vector>

#include "model/Canvas.h"
#include "model/Numeric.h"
#include "model/Page.h"

void COnePage::DrawAll(Canvas& canvas) const
{
    for (const auto& c : m_curves) c->Draw(canvas);
}

void COnePage::Rotate90()
{
    // The stored top edge becomes X = 0; callers have refreshed the bounds.
    const int64_t top = m_maxY;
    // Each curve bounded while its points are still in the cache.
    for (auto& c : m_curves) {
        for (PlotPoint& p : c->m_points) p = {SaturateToInt(top - p.y), p.x};
        c->CalcBoundRect();
    }
    FoldPageBounds();
}

void COnePage::MoveToLowerLeft()
{
    if (m_curves.empty()) return;
    CalcPageBounds();
    for (auto& c : m_curves) c->Offset(m_minX, m_minY);
    m_maxX = SaturateToInt(int64_t{m_maxX} - m_minX);
    m_maxY = SaturateToInt(int64_t{m_maxY} - m_minY);
    m_minX = 0;
    m_minY = 0;
}

void COnePage::NormalizeOrigin()
{
    if (m_curves.empty()) return;
    CalcPageBounds();
    MoveToOrigin();
}

void COnePage::MoveToOrigin()
{
    if (m_curves.empty()) return;
    // A positive distance from the paper edge is kept. Both moves in one
    // pass: each axis saturates on its own either way.
    const int32_t dx = m_minX;
    const int32_t dy = m_minY < 0 ? m_minY : 0;
    if (dx == 0 && dy == 0) return;
    for (auto& c : m_curves) c->Offset(dx, dy);
    if (dx != 0) {
        m_maxX = SaturateToInt(int64_t{m_maxX} - dx);
        m_minX = 0;
    }
    if (dy != 0) {
        m_maxY = SaturateToInt(int64_t{m_maxY} - dy);
        m_minY = 0;
    }
}

void COnePage::ScaleAll(double sx, double sy)
{
    for (auto& c : m_curves) c->Scale(sx, sy);
}

void COnePage::ApplyStartPosition()
{
    if (m_curves.empty()) return;
    const int32_t d = SaturateToInt(int64_t{40} * m_startPos);
    for (auto& c : m_curves) c->Offset(d, 0);
    // m_minX stays: the part in front of the start position lies at negative X.
    m_maxX = SaturateToInt(int64_t{m_maxX} - d);
    m_inkMaxX = SaturateToInt(int64_t{m_inkMaxX} - d);
    m_cutMaxX = SaturateToInt(int64_t{m_cutMaxX} - d);
}

void COnePage::ShiftUp(int32_t a)
{
    if (m_curves.empty() || a == 0) return;
    for (auto& c : m_curves) c->Offset(0, SaturateToInt(-int64_t{a}));
    m_maxY = SaturateToInt(int64_t{m_maxY} + a);
    m_minY = 0;
}

void COnePage::ReorderByKind(int32_t flag)
{
    // Array order is drawing and sending order: this decides what lies on top.
    auto isPlot = [](const std::unique_ptr<CCurve>& c) { return c->m_kind == CurveKind::Plot; };
    auto notPlot = [](const std::unique_ptr<CCurve>& c) { return c->m_kind != CurveKind::Plot; };
    if (flag != 0)
        std::stable_partition(m_curves.begin(), m_curves.end(), isPlot);
    else
        std::stable_partition(m_curves.begin(), m_curves.end(), notPlot);
}

void COnePage::SetAllToPlot()
{
    for (auto& c : m_curves) c->m_kind = CurveKind::Plot;
}
