#include "app/preview/PreviewPicture.h"

#include "model/DispSet.h"
#include "model/Numeric.h"
#include "model/Page.h"

int32_t GridStepMm(double s)
{
    if (s < 0.005) return 500;
    if (s < 0.01) return 200;
    if (s < 0.02) return 100;
    if (s < 0.05) return 50;
    if (s < 0.1) return 20;
    return 10;
}

namespace {

void Line(Canvas& canvas, ViewPoint a, ViewPoint b)
{
    const ViewPoint pts[2] = {a, b};
    canvas.Polyline(pts, 2);
}

int32_t Add(int32_t v, int32_t d) { return SaturateToInt(int64_t{v} + d); }

// A grid line or label a few label widths outside the picture cannot show:
// it is skipped, so a long marker at a high zoom costs no more than the
// lines on screen.
bool Visible(int64_t v, int32_t extent) { return v >= -100 && v <= int64_t{extent} + 100; }

}  // namespace

void DrawPreview(PreviewCanvas& canvas, const COnePage* page, int32_t width, int32_t height, int32_t paperLenMm)
{
    canvas.FillBackground(width, height);
    if (page == nullptr) return;

    const int32_t paperY = SaturateToInt(int64_t{paperLenMm} * 40);
    const ViewPoint o = PlotToView(0, 0);
    const ViewPoint e = PlotToView(page->m_maxX, paperY);
    canvas.SetPen(PenStyle::Solid, 0, kPaperColour);
    canvas.Rectangle(Add(o.x, -4), Add(o.y, 4), Add(e.x, 4), Add(e.y, -4));

    const int32_t step = GridStepMm(theDispSet.m_scale);
    const int64_t nx = static_cast<int64_t>(page->m_maxX / (step * 40.0));
    const int64_t ny = paperLenMm / step;

    canvas.SetPen(PenStyle::Solid, 0, kGridColour);
    canvas.Text(Add(o.x, -12), Add(o.y, 6), QStringLiteral("0"));
    for (int64_t k = 1; k <= nx; ++k) {
        const int32_t x = SaturateToInt(k * step * 40);
        const ViewPoint a = PlotToView(x, 0);
        if (!Visible(a.x, width)) {
            if (a.x > width) break;
            continue;
        }
        canvas.Text(Add(a.x, -12), Add(a.y, 6), QString::asprintf("%03lld", static_cast<long long>(k * step)));
        Line(canvas, a, PlotToView(x, paperY));
    }
    for (int64_t k = 1; k <= ny; ++k) {
        const int32_t y = SaturateToInt(k * step * 40);
        const ViewPoint a = PlotToView(0, y);
        if (!Visible(a.y, height)) {
            if (a.y < 0) break;
            continue;
        }
        canvas.Text(Add(a.x, -36), Add(a.y, -8), QString::asprintf("%03lld", static_cast<long long>(k * step)));
        Line(canvas, a, PlotToView(page->m_maxX, y));
    }
    page->DrawAll(canvas);
}
