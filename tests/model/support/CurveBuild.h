#pragma once
// Small builders for curves and pages in tests.
#include <initializer_list>
#include <memory>

#include "model/Curve.h"
#include "model/Page.h"

inline std::unique_ptr<CCurve> MakeCurve(std::initializer_list<PlotPoint> pts, int32_t kind = CurveKind::Plot)
{
    auto c = std::make_unique<CCurve>();
    c->m_points = pts;
    c->m_kind = kind;
    c->CalcBoundRect();
    return c;
}

inline CCurve& AddCurve(COnePage& page, std::initializer_list<PlotPoint> pts, int32_t kind = CurveKind::Plot)
{
    page.m_curves.push_back(MakeCurve(pts, kind));
    return *page.m_curves.back();
}
