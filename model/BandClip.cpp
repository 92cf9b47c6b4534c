#include <cstdint>
#include <vector>

#include "model/Curve.h"
#include "model/Geometry.h"
#include "model/KnifePoint.h"
#include "model/MachineParams.h"
#include "model/Numeric.h"

namespace {

struct PulsePoint {
    double x = 0;
    double y = 0;
};

// Plot units to machine pulses: the knife sits offset from the ink heads.
std::vector<PulsePoint> ToPulses(const std::vector<PlotPoint>& points, const MachineParams& mp)
{
    const double offX = mp.inkCutOverlapX * 0.1;
    const double offY = (mp.inkAccelMm - 32.5) + mp.inkCutOverlapY * 0.1;
    std::vector<PulsePoint> out;
    out.reserve(points.size());
    for (const PlotPoint& p : points)
        out.push_back({(p.x / 40.0 + offX) * mp.pulsesPerMmX, (p.y / 40.0 + offY) * mp.pulsesPerMmY});
    return out;
}

void Append(std::vector<KnifePoint>& path, int32_t x, int32_t y, int16_t command)
{
    KnifePoint k;
    k.x = x;
    k.y = y;
    k.command = command;
    path.push_back(k);
}

// The records of one segment from its end classes; yAt(b) gives the crossing
// of the boundary b.
template <class YAt>
void EmitSegment(std::vector<KnifePoint>& path, bool first, int32_t c0, int32_t c1, int32_t x0, int32_t y0,
                 int32_t x1, int32_t y1, int32_t lo, int32_t hi, int16_t k, YAt yAt)
{
    constexpr int16_t M = KnifeCommand::Move;
    if (c0 == 1) {
        if (c1 == 2) {
            Append(path, lo, yAt(lo), M);
            Append(path, x1, y1, k);
        } else if (c1 == 3) {
            Append(path, lo, yAt(lo), M);
            Append(path, hi, yAt(hi), k);
        }
    } else if (c0 == 2) {
        if (c1 == 1) {
            Append(path, x0, y0, M);
            Append(path, lo, yAt(lo), k);
        } else if (c1 == 2) {
            if (first) Append(path, x0, y0, M);
            Append(path, x1, y1, k);
        } else {
            Append(path, x0, y0, M);
            Append(path, hi, yAt(hi), k);
        }
    } else {
        if (c1 == 1) {
            Append(path, hi, yAt(hi), M);
            Append(path, lo, yAt(lo), k);
        } else if (c1 == 2) {
            Append(path, hi, yAt(hi), M);
            Append(path, x1, y1, k);
        }
    }
}

}  // namespace

void CCurve::ClipCutToBand(int32_t lo, int32_t hi, std::vector<KnifePoint>& path) const
{
    ClipCutToBand(lo, hi, SnapshotMachineParams(), path);
}

void CCurve::ClipShortCutToBand(int32_t lo, int32_t hi, std::vector<KnifePoint>& path) const
{
    ClipShortCutToBand(lo, hi, SnapshotMachineParams(), path);
}

void CCurve::ClipCutToBand(int32_t lo, int32_t hi, const MachineParams& mp, std::vector<KnifePoint>& path) const
{
    if (m_points.size() < 2) return;
    const std::vector<PulsePoint> pp = ToPulses(m_points, mp);
    for (size_t i = 0; i + 1 < pp.size(); ++i) {
        const PulsePoint a = pp[i], b = pp[i + 1];
        const int32_t ax = TruncToInt(a.x), bx = TruncToInt(b.x);
        // Only called for boundaries between the two classes, so a.x != b.x.
        auto yAt = [&](int32_t bound) { return TruncToInt(b.y - (b.x - bound) * (b.y - a.y) / (b.x - a.x)); };
        EmitSegment(path, i == 0, ClassifyInBand(ax, lo, hi), ClassifyInBand(bx, lo, hi), ax, TruncToInt(a.y), bx,
                    TruncToInt(b.y), lo, hi, KnifeCommand::Cut, yAt);
    }
}

void CCurve::ClipShortCutToBand(int32_t lo, int32_t hi, const MachineParams& mp, std::vector<KnifePoint>& path) const
{
    if (m_points.size() < 2) return;
    const std::vector<PulsePoint> pp = ToPulses(m_points, mp);
    for (size_t i = 0; i + 1 < pp.size(); ++i) {
        const int32_t x0 = TruncToInt(pp[i].x), y0 = TruncToInt(pp[i].y);
        const int32_t x1 = TruncToInt(pp[i + 1].x), y1 = TruncToInt(pp[i + 1].y);
        // The product of the integer differences in double: exact wherever a
        // 32-bit product would be, and no overflow for a long marker's pulses.
        auto yAt = [&](int32_t bound) {
            const double num = static_cast<double>(int64_t{x1} - bound) * static_cast<double>(int64_t{y1} - y0);
            return TruncToInt(y1 - num / static_cast<double>(int64_t{x1} - x0));
        };
        EmitSegment(path, i == 0, ClassifyInBand(x0, lo, hi), ClassifyInBand(x1, lo, hi), x0, y0, x1, y1, lo, hi,
                    KnifeCommand::ShortCut, yAt);
    }
}
