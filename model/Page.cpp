#include "model/Page.h"

#include <algorithm>
#include <ctime>

COnePage WorkPage;

COnePage::COnePage() : m_time(static_cast<int64_t>(std::time(nullptr))) {}

COnePage::~COnePage() { DeleteAllCurves(); }

void COnePage::CopyPageFrom(const COnePage& src)
{
    m_strFileName = src.m_strFileName;
    m_maxX = src.m_maxX;
    m_minX = src.m_minX;
    m_maxY = src.m_maxY;
    m_minY = src.m_minY;
    m_startPos = src.m_startPos;
    // By index over the source's count at entry: the source may be this page.
    const size_t n = src.m_curves.size();
    m_curves.reserve(m_curves.size() + n);
    for (size_t i = 0; i < n; ++i) {
        auto copy = std::make_unique<CCurve>();
        copy->CopyFrom(*src.m_curves[i]);
        m_curves.push_back(std::move(copy));
    }
}

void COnePage::CalcPageBounds()
{
    if (m_curves.empty()) return;
    for (auto& c : m_curves) c->CalcBoundRect();
    FoldPageBounds();
}

void COnePage::FoldPageBounds()
{
    if (m_curves.empty()) return;
    const CCurve& first = *m_curves[0];
    m_minX = first.m_minX;
    m_maxX = first.m_maxX;
    m_minY = first.m_minY;
    m_maxY = first.m_maxY;
    for (const auto& c : m_curves) {
        m_minX = std::min(m_minX, c->m_minX);
        m_maxX = std::max(m_maxX, c->m_maxX);
        m_minY = std::min(m_minY, c->m_minY);
        m_maxY = std::max(m_maxY, c->m_maxY);
    }
}

void COnePage::CalcInkExtents()
{
    if (m_curves.empty()) return;
    m_inkMaxX = 0;
    m_inkMaxY = 0;
    for (auto& c : m_curves) {
        if (c->m_kind != CurveKind::Plot) continue;
        c->CalcBoundRect();
        m_inkMaxX = std::max(m_inkMaxX, c->m_maxX);
        m_inkMaxY = std::max(m_inkMaxY, c->m_maxY);
    }
}

void COnePage::FoldExtents()
{
    if (m_curves.empty()) return;
    m_inkMaxX = m_inkMaxY = m_cutMaxX = m_cutMaxY = 0;
    for (const auto& c : m_curves) {
        int32_t& maxX = c->m_kind == CurveKind::Plot ? m_inkMaxX : m_cutMaxX;
        int32_t& maxY = c->m_kind == CurveKind::Plot ? m_inkMaxY : m_cutMaxY;
        maxX = std::max(maxX, c->m_maxX);
        maxY = std::max(maxY, c->m_maxY);
    }
}

void PageBoundsFold::Add(const CCurve& c)
{
    if (!m_any) {
        m_minX = c.m_minX;
        m_maxX = c.m_maxX;
        m_minY = c.m_minY;
        m_maxY = c.m_maxY;
        m_any = true;
    } else {
        m_minX = std::min(m_minX, c.m_minX);
        m_maxX = std::max(m_maxX, c.m_maxX);
        m_minY = std::min(m_minY, c.m_minY);
        m_maxY = std::max(m_maxY, c.m_maxY);
    }
    int32_t& maxX = c.m_kind == CurveKind::Plot ? m_inkMaxX : m_cutMaxX;
    int32_t& maxY = c.m_kind == CurveKind::Plot ? m_inkMaxY : m_cutMaxY;
    maxX = std::max(maxX, c.m_maxX);
    maxY = std::max(maxY, c.m_maxY);
}

void PageBoundsFold::Apply(COnePage& page) const
{
    if (!m_any) return;  // no curves: nothing changes
    page.m_minX = m_minX;
    page.m_maxX = m_maxX;
    page.m_minY = m_minY;
    page.m_maxY = m_maxY;
    page.m_inkMaxX = m_inkMaxX;
    page.m_inkMaxY = m_inkMaxY;
    page.m_cutMaxX = m_cutMaxX;
    page.m_cutMaxY = m_cutMaxY;
}

void COnePage::CalcCutExtents()
{
    if (m_curves.empty()) return;
    m_cutMaxX = 0;
    m_cutMaxY = 0;
    for (auto& c : m_curves) {
        if (c->m_kind == CurveKind::Plot) continue;
        c->CalcBoundRect();
        m_cutMaxX = std::max(m_cutMaxX, c->m_maxX);
        m_cutMaxY = std::max(m_cutMaxY, c->m_maxY);
    }
}

void COnePage::DeleteAllCurves() { m_curves.clear(); }

template <class Pred>
static void EraseCurvesIf(std::vector<std::unique_ptr<CCurve>>& curves, Pred pred)
{
    curves.erase(std::remove_if(curves.begin(), curves.end(), [&](const auto& c) { return pred(*c); }),
                 curves.end());
}

void COnePage::DeleteInkCurves()
{
    EraseCurvesIf(m_curves, [](const CCurve& c) { return c.m_kind == CurveKind::Plot; });
}

void COnePage::DeleteCutCurves()
{
    EraseCurvesIf(m_curves, [](const CCurve& c) { return c.m_kind != CurveKind::Plot; });
}

void COnePage::DeleteSelectedCurves()
{
    EraseCurvesIf(m_curves, [](const CCurve& c) { return c.m_bSelected != 0; });
}

void COnePage::DeselectAllCurves()
{
    for (auto& c : m_curves) c->m_bSelected = 0;
}
