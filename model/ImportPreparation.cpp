#include "model/ImportPreparation.h"

#include <cstddef>
#include <cstdint>
#include <utility>
#include <new>

#include "model/Numeric.h"
#include "model/Page.h"
#include "model/Settings.h"

namespace {

// CleanUpCurves, ScaleAll and every curve's CalcBoundRect, one after the
// other, in one visit per curve while its points are in the cache.
void CleanScaleAndBound(COnePage& page, bool scale)
{
    auto& curves = page.m_curves;
    size_t kept = 0;
    for (size_t i = 0; i < curves.size(); ++i) {
        CCurve& c = *curves[i];
        c.RemoveDuplicates();
        c.RemoveCollinear();
        if (c.m_points.size() < 2) continue;
        if (scale) c.Scale(1.016, 1.016);
        c.CalcBoundRect();
        if (kept != i) curves[kept] = std::move(curves[i]);
        ++kept;
    }
    curves.resize(kept);
}

}  // namespace

PrepareResult PrepareImportedPage(COnePage& page, bool scale)
{
    try {
        CleanScaleAndBound(page, scale);
        // CalcPageBounds and NormalizeOrigin, on the bounds just made.
        page.FoldPageBounds();
        page.MoveToOrigin();
        // Every curve's bounds are what CalcBoundRect would give until outline
        // detection removes points behind them; a rotation bounds them again,
        // and a split keeps what it is given.
        bool boundsCurrent = true;
        if (theSettings.Get(Slot::SearchOutline) != 0) {
            page.DetectOutlines();
            boundsCurrent = false;
        }
        // Paper width in plot units; a page exactly as wide fits.
        const int32_t paper = SaturateToInt(int64_t{theSettings.Get(Slot::PaperLenMm)} * 40);
        bool split = true;
        if (page.m_maxY > paper) {
            if (theSettings.Get(Slot::AutoRotate) != 0) {
                page.Rotate90();
                boundsCurrent = true;
            }
            if (page.m_maxY > paper) split = page.SplitAlongY(paper);
        }
        if (boundsCurrent) {
            page.FoldExtents();
        } else {
            page.CalcInkExtents();
            page.CalcCutExtents();
        }
        page.m_startPos = 0;
        page.m_state = theSettings.Get(Slot::AutoStart) != 0 ? JobState::Auto : JobState::Manual;
        return split ? PrepareResult::Ok : PrepareResult::SplitRefused;
    } catch (const std::bad_alloc&) {
        return PrepareResult::OutOfMemory;
    }
}

std::u16string SplitRefusedText(int language)
{
    return language != 0 ? u"The page was not split: it would make more than 100,000 pages or 16 million points, "
                           u"or lie beyond the plotter's coordinate range."
                         : u"页面未分割：分割后将超过100000页或1600万点，或超出坐标范围。";
}

std::u16string PrepareMessageText(PrepareResult r, int language)
{
    switch (r) {
    case PrepareResult::SplitRefused:
        return SplitRefusedText(language);
    case PrepareResult::OutOfMemory:
        return language != 0 ? u"Not enough memory to read this file." : u"内存不足，无法读取该文件。";
    case PrepareResult::Ok:
        break;
    }
    return {};
}
