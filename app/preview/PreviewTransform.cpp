#include "app/preview/PreviewTransform.h"

#include <algorithm>

#include "model/Curve.h"
#include "model/DispSet.h"
#include "model/Numeric.h"

double ClampScale(double scale)
{
    if (!(scale == scale)) return kMinScale;
    return std::clamp(scale, kMinScale, kMaxScale);
}

void FitToHeight(int viewHeight, int paperLenMm)
{
    CDispSet& d = theDispSet;
    d.m_viewHeight = viewHeight;
    d.m_scrollX = 0;
    d.m_scrollY = 0;
    if (viewHeight <= kFitMargin || paperLenMm <= 0) return;
    d.m_scale = ClampScale((viewHeight - kFitMargin) / (paperLenMm * 40.0));
}

void ZoomAtPoint(int px, int py, double factor)
{
    CDispSet& d = theDispSet;
    const double scale = ClampScale(d.m_scale * factor);
    // At a limit nothing changes: the round trip's pixel of error would
    // otherwise creep the picture along with every further step.
    if (scale == d.m_scale) return;
    const PlotPoint p = ViewToPlot(px, py);
    d.m_scale = scale;
    const ViewPoint q = PlotToView(p.x, p.y);
    d.m_scrollX = SaturateToInt(int64_t{d.m_scrollX} + q.x - px);
    d.m_scrollY = SaturateToInt(int64_t{d.m_scrollY} + q.y - py);
}

void ZoomInTwice() { theDispSet.m_scale = ClampScale(theDispSet.m_scale * 2.0); }

bool ZoomOutHalf()
{
    CDispSet& d = theDispSet;
    if (!(d.m_scale > 0.001)) return false;
    d.m_scrollX /= 2;
    d.m_scrollY /= 2;
    d.m_scale = ClampScale(d.m_scale * 0.5);
    return true;
}

void PanBy(int dx, int dy)
{
    CDispSet& d = theDispSet;
    d.m_scrollX = SaturateToInt(int64_t{d.m_scrollX} + dx);
    d.m_scrollY = SaturateToInt(int64_t{d.m_scrollY} + dy);
}

int NormalizePageIndex(int index, size_t count)
{
    if (count == 0 || index < 0 || static_cast<size_t>(index) >= count) return 0;
    return index;
}
