#pragma once
// Curves and pages for tests: points first, then the kind, then the line type.
#include <memory>
#include <utility>
#include <vector>

#include "model/Curve.h"
#include "model/Page.h"

namespace testsupport {

inline std::unique_ptr<CCurve> MakeCurve(std::vector<PlotPoint> pts, int32_t kind = CurveKind::Plot,
                                         int32_t lineType = 0)
{
    auto c = std::make_unique<CCurve>();
    c->m_points = std::move(pts);
    c->m_kind = kind;
    c->m_lineType = lineType;
    c->CalcBoundRect();
    return c;
}

// Appends the curve to the page and returns it.
inline CCurve& AddCurve(COnePage& page, std::vector<PlotPoint> pts, int32_t kind = CurveKind::Plot,
                        int32_t lineType = 0)
{
    page.m_curves.push_back(MakeCurve(std::move(pts), kind, lineType));
    return *page.m_curves.back();
}

}  // namespace testsupport
