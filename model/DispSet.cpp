#include "model/DispSet.h"

#include "model/Curve.h"
#include "model/Numeric.h"

CDispSet theDispSet;

ViewPoint PlotToView(int32_t x, int32_t y)
{
    const CDispSet& d = theDispSet;
    return {TruncToInt(x * d.m_scale + 50 - d.m_scrollX),
            TruncToInt(d.m_viewHeight - y * d.m_scale - 30 - d.m_scrollY)};
}

PlotPoint ViewToPlot(int32_t vx, int32_t vy)
{
    const CDispSet& d = theDispSet;
    const int64_t nx = int64_t{d.m_scrollX} + vx - 50;
    const int64_t ny = int64_t{d.m_viewHeight} - d.m_scrollY - vy - 30;
    return {TruncToInt(static_cast<double>(nx) / d.m_scale), TruncToInt(static_cast<double>(ny) / d.m_scale)};
}
