#include "link/output/JobCheck.h"

#include <cmath>

namespace {
bool GoodScale(double v) { return std::isfinite(v) && v > 0; }
}

const char* CheckJobParams(const JobSnapshot& s)
{
    const MachineParams& p = s.params;
    if (p.bandsPerCutSegment == 0) return "BadBandsPerCutSegment";
    if (p.inkIntervalPulses == 0) return "BadInkInterval";
    if (!GoodScale(p.pulsesPerMmX)) return "BadPulsesPerMmX";
    if (!GoodScale(p.pulsesPerMmY)) return "BadPulsesPerMmY";
    if (p.outputPerMeterX == 0) return "BadOutputPerMeterX";
    if (p.outputPerMeterY == 0) return "BadOutputPerMeterY";
    if (p.headSelect > 2) return "BadHeadSelect";
    if (p.headOverlapRows > 150) return "BadHeadOverlap";
    if (s.lineWidth < 0 || s.lineWidth > kMaxLineWidth) return "BadLineWidth";
    return nullptr;
}

bool BandBuffersFit(int32_t bandColumns, const MachineParams& p)
{
    if (bandColumns < 0 || bandColumns > kBandScanLines) return false;
    return static_cast<int64_t>(bandColumns) + kLeadInRecords + p.head2Position <= kBandRecords;
}
