#include "link/output/BandCounters.h"

#include <cmath>

#include "model/Numeric.h"
#include "model/Page.h"

std::atomic<int32_t> BandCount{0};
std::atomic<int32_t> InkBandCount{0};
std::atomic<int32_t> BandsStepped{0};
std::atomic<int32_t> BandColumns{0};

int32_t BandRowsOf(const MachineParams& p)
{
    return p.headSelect != 0 ? 150 : 300 - p.headOverlapRows;
}

int32_t BandStartRow(int32_t band, const MachineParams& p)
{
    return SaturateToInt(static_cast<int64_t>(band) * BandRowsOf(p));
}

BandCountResult CountBandsOf(int32_t ex, int32_t ey, const JobSnapshot& s)
{
    BandCountResult r;
    if (ex == 0 && ey == 0) return r;
    const MachineParams& p = s.params;
    // A zero interval is refused by the job check; count as 1 meanwhile.
    const double interval = p.inkIntervalPulses != 0 ? p.inkIntervalPulses : 1;
    const int32_t rows = RoundHalfUp(ex / 40.0 * 300.0 / 25.0 + 2.0 * s.lineWidth);
    const int32_t columns = RoundHalfUp(ey / 40.0 * p.pulsesPerMmY / interval + 2.0 * s.lineWidth);
    const int32_t h = BandRowsOf(p);
    r.counted = true;
    r.columns = SaturateToInt(static_cast<int64_t>(columns) + 230);
    r.bands = rows <= 0 ? 0 : static_cast<int32_t>((static_cast<int64_t>(rows) + h - 1) / h);
    return r;
}

int32_t CountBands(bool inkOnly, const COnePage& page, const JobSnapshot& s)
{
    const BandCountResult r = inkOnly ? CountBandsOf(page.m_inkMaxX, page.m_inkMaxY, s)
                                      : CountBandsOf(page.m_maxX, page.m_maxY, s);
    if (r.counted) BandColumns.store(r.columns, std::memory_order_relaxed);
    return r.bands;
}
