#include "app/preview/BandOverlay.h"

#include "model/MachineParams.h"
#include "model/Numeric.h"
#include "model/Page.h"

int32_t BandStartPixel(int32_t a, const MachineParams& p)
{
    const int64_t next = int64_t{a} + 1;
    if (p.headSelect != 0) return TruncToInt(static_cast<double>(next) * 25.0 * 0.5 * 40.0);
    const int64_t rows = (300 - int64_t{p.headOverlapRows}) * next;
    return TruncToInt(static_cast<double>(rows) * 25.0 / 300.0 * 40.0);
}

BandSpan BandOverlaySpan(int32_t startPosMm, int32_t bandsStepped, const MachineParams& p)
{
    const int64_t origin = int64_t{startPosMm} * 40;
    return {SaturateToInt(origin + BandStartPixel(bandsStepped - 1, p)),
            SaturateToInt(origin + BandStartPixel(bandsStepped, p))};
}

int FirstPrintingJob(const std::vector<std::unique_ptr<COnePage>>& pages)
{
    for (size_t i = 0; i < pages.size(); ++i)
        if (pages[i]->m_state == JobState::Printing) return static_cast<int>(i);
    return -1;
}
