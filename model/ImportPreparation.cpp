#include "model/ImportPreparation.h"

#include <cstdint>

#include "model/Numeric.h"
#include "model/Page.h"
#include "model/Settings.h"

void PrepareImportedPage(COnePage& page, bool scale)
{
    page.CleanUpCurves();
    if (scale) page.ScaleAll(1.016, 1.016);
    page.CalcPageBounds();
    page.NormalizeOrigin();
    if (theSettings.Get(Slot::SearchOutline) != 0) page.DetectOutlines();
    // Paper width in plot units; a page exactly as wide fits.
    const int32_t paper = SaturateToInt(int64_t{theSettings.Get(Slot::PaperLenMm)} * 40);
    if (page.m_maxY > paper) {
        if (theSettings.Get(Slot::AutoRotate) != 0) page.Rotate90();
        if (page.m_maxY > paper) page.SplitAlongY(paper);
    }
    page.m_startPos = 0;
    page.m_state = theSettings.Get(Slot::AutoStart) != 0 ? JobState::Auto : JobState::Manual;
}
