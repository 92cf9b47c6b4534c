#include "link/KnifePlan.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "link/ZeroRunPack.h"
#include "model/Curve.h"
#include "model/Numeric.h"
#include "model/Page.h"

namespace KnifePlan {

namespace {
constexpr double kPi = 3.14159265359;
constexpr double kTwoPi = 6.28318530718;

bool IsMove(const KnifePoint& k) { return k.command == KnifeCommand::Move; }
bool IsCut(const KnifePoint& k) { return k.command == KnifeCommand::Cut; }

int32_t SpeedCap(int32_t cutSpeed)
{
    switch (cutSpeed) {
    case 1: return 600;
    case 2: return 1000;
    case 3: return 1500;
    default: return 2000;
    }
}

// Exit speed limit of a gentle turn by the sharpness of the next step.
int32_t SharpnessLimit(double s)
{
    struct Row {
        double above;
        int32_t limit;
    };
    static constexpr Row kRows[] = {{100, 200}, {45, 260}, {36, 330}, {18, 400}, {9, 500},
                                    {3.6, 600}, {1.8, 700}, {1.13, 800}, {1, 900}, {0.6, 1000}};
    for (const Row& r : kRows)
        if (s > r.above) return r.limit;
    return INT32_MAX;
}

int32_t LenOf(int32_t dx, int32_t dy)
{
    return SaturateToInt(std::max(std::llabs(int64_t{dx}), std::llabs(int64_t{dy})));
}
}  // namespace

int32_t BandStart(int32_t a, const MachineParams& p)
{
    const double h = p.headSelect == 0 ? 25.0 : 12.5;
    return TruncToInt(p.inkCutOverlapX * 0.1 * p.pulsesPerMmX +
                      static_cast<double>(a) * p.bandsPerCutSegment * h * p.pulsesPerMmX);
}

int32_t BuildCutPass(const COnePage& page, int32_t segment, const JobSnapshot& s)
{
    g_knifePoints.clear();
    return BuildKnifePath(page, BandStart(segment, s.params), BandStart(segment + 1, s.params), s);
}

int32_t BuildKnifePath(const COnePage& page, int32_t lo, int32_t hi, const JobSnapshot& s)
{
    std::vector<KnifePoint>& pts = g_knifePoints;
    for (const auto& c : page.m_curves) {
        if (c->m_kind == CurveKind::Cut) c->ClipCutToBand(lo, hi, s.params);
        else if (c->m_kind == CurveKind::ShortCut) c->ClipShortCutToBand(lo, hi, s.params);
    }
    if (pts.empty()) return 0;
    DropDoubleMoves(pts);
    ComputeDirections(pts);
    ComputeStepLengths(pts);
    MergeShortCuts(pts);
    ComputeStepLengths(pts);
    ComputeSharpness(pts, s.params.pulsesPerMmY);
    PlanKnifeSpeeds(pts, s.params.cutSpeed);
    if (s.inkBox2Left == 1) ShiftKnifePath(pts, TruncToInt(s.params.pulsesPerMmX * -26.0), 0);
    return static_cast<int32_t>(std::min<size_t>(pts.size(), INT32_MAX));
}

void DropDoubleMoves(std::vector<KnifePoint>& pts)
{
    // Of consecutive moves only the last remains.
    std::vector<KnifePoint> kept;
    kept.reserve(pts.size());
    for (size_t j = 0; j < pts.size(); ++j)
        if (!(j + 1 < pts.size() && IsMove(pts[j]) && IsMove(pts[j + 1]))) kept.push_back(pts[j]);
    pts.swap(kept);
}

void ComputeDirections(std::vector<KnifePoint>& pts)
{
    for (size_t i = 0; i < pts.size(); ++i) {
        KnifePoint& k = pts[i];
        if (i == 0) {
            k.dx = k.dy = 0;
            k.direction = k.turn = 0;
            continue;
        }
        k.dx = SaturateToInt(int64_t{k.x} - pts[i - 1].x);
        k.dy = SaturateToInt(int64_t{k.y} - pts[i - 1].y);
        k.direction = std::atan2(static_cast<double>(k.dy), static_cast<double>(k.dx));
        double t = k.direction - pts[i - 1].direction;
        if (t > kPi) t -= kTwoPi;
        else if (t <= -kPi) t += kTwoPi;
        k.turn = t;
    }
}

void ComputeStepLengths(std::vector<KnifePoint>& pts)
{
    for (KnifePoint& k : pts) k.len = LenOf(k.dx, k.dy);
}

void MergeShortCuts(std::vector<KnifePoint>& pts)
{
    if (pts.size() < 6) return;
    int64_t limit = static_cast<int64_t>(pts.size()) - 4;
    size_t j = 4;
    do {
        const KnifePoint& a = pts[j - 3];
        const KnifePoint& b = pts[j - 2];
        const KnifePoint& c = pts[j - 1];
        KnifePoint& d = pts[j];
        if (IsCut(a) && IsCut(b) && IsCut(c) && IsCut(d) && b.len < 30 && c.len < 30 && d.len < 30) {
            d.dx = SaturateToInt(int64_t{d.x} - b.x);
            d.dy = SaturateToInt(int64_t{d.y} - b.y);
            d.len = LenOf(d.dx, d.dy);
            pts.erase(pts.begin() + static_cast<std::ptrdiff_t>(j - 1));
            --limit;
        }
        ++j;
    } while (static_cast<int64_t>(j) - 3 < limit && j < pts.size());
}

void ComputeSharpness(std::vector<KnifePoint>& pts, double pulsesPerMmY)
{
    for (size_t i = 0; i < pts.size(); ++i) {
        KnifePoint& k = pts[i];
        if (i == 0) {
            k.sharpness = 0;
            continue;
        }
        const double L = std::sqrt(static_cast<double>(k.dx) * k.dx + static_cast<double>(k.dy) * k.dy);
        k.sharpness = L != 0 ? std::fabs(k.turn) / (L / pulsesPerMmY) * 180 : 0;
    }
}

void PlanKnifeSpeeds(std::vector<KnifePoint>& pts, int32_t cutSpeed)
{
    if (pts.empty()) return;
    const int32_t cap = SpeedCap(cutSpeed);
    auto capped = [cap](int64_t v) { return static_cast<int32_t>(std::min<int64_t>(v, cap)); };
    KnifePoint& last = pts.back();
    last.exitSpeed = 0;
    last.speed = capped(last.len);
    for (size_t n = pts.size() - 1; n-- > 0;) {
        KnifePoint& cur = pts[n];
        const KnifePoint& next = pts[n + 1];
        const double t = std::fabs(next.turn) * 180 / kPi;
        if (IsMove(next)) {
            cur.exitSpeed = 0;
            cur.speed = capped(cur.len);
        } else if (IsMove(cur)) {
            cur.exitSpeed = 0;
            cur.speed = 0;
        } else if (t > 16.8) {
            cur.exitSpeed = 0;
            cur.speed = capped(cur.len);
        } else if (t > 8) {
            cur.exitSpeed = std::min(next.speed, 50);
            cur.speed = capped(int64_t{cur.len} + cur.exitSpeed);
        } else if (cur.len > 400) {
            cur.exitSpeed = next.speed;
            cur.speed = capped(int64_t{cur.len} + cur.exitSpeed);
        } else {
            cur.exitSpeed = std::min({next.speed, SharpnessLimit(next.sharpness), cap});
            cur.speed = capped(int64_t{cur.len} + cur.exitSpeed);
        }
    }
}

void ShiftKnifePath(std::vector<KnifePoint>& pts, int32_t dx, int32_t dy)
{
    for (KnifePoint& k : pts) {
        k.x = SaturateToInt(int64_t{k.x} + dx);
        k.y = SaturateToInt(int64_t{k.y} + dy);
    }
}

bool PackKnifePath(const std::vector<KnifePoint>& pts, KnifeStream& out)
{
    out.packedBytes = 0;
    if (pts.size() >= static_cast<size_t>(kRefusedPoints) || pts.size() > static_cast<size_t>(kRecordCapacity))
        return false;
    uint16_t* w = out.records.data();
    for (const KnifePoint& k : pts) {
        const auto x = static_cast<uint32_t>(k.x), y = static_cast<uint32_t>(k.y);
        *w++ = static_cast<uint16_t>(x);
        *w++ = static_cast<uint16_t>(x >> 16);
        *w++ = static_cast<uint16_t>(y);
        *w++ = static_cast<uint16_t>(y >> 16);
        // The machine's fields are 16 bits wide; speeds are capped at 2000.
        *w++ = static_cast<uint16_t>(static_cast<int16_t>(std::clamp(k.speed, -32768, 32767)));
        *w++ = static_cast<uint16_t>(static_cast<int16_t>(std::clamp(k.exitSpeed, -32768, 32767)));
        *w++ = static_cast<uint16_t>(k.command);
        *w++ = 0;
    }
    const size_t words = pts.size() * kRecordWords;
    const size_t packed = CompressZeroRuns(out.records.data(), words, out.packed.data(), out.packed.size());
    out.packedBytes = static_cast<int32_t>(packed * 2);
    return true;
}

}  // namespace KnifePlan
