#include "link/output/KnifePlanner.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "model/Numeric.h"

namespace {

constexpr double kPi = 3.14159265359;
constexpr double kTwoPi = 6.28318530718;

int32_t Step(int32_t to, int32_t from) { return SaturateToInt(static_cast<int64_t>(to) - from); }

int32_t LenOf(int32_t dx, int32_t dy)
{
    return SaturateToInt(std::max(std::llabs(dx), std::llabs(dy)));
}

int32_t AddCapped(int32_t len, int32_t exitSpeed, int32_t cap)
{
    return static_cast<int32_t>(std::min<int64_t>(static_cast<int64_t>(len) + exitSpeed, cap));
}

// Exit-speed limit by the sharpness of the next step; 0 for none.
int32_t SharpnessLimit(double s)
{
    struct Row {
        double above;
        int32_t limit;
    };
    static constexpr Row kRows[] = {
        {100, 200}, {45, 260}, {36, 330}, {18, 400}, {9, 500},
        {3.6, 600}, {1.8, 700}, {1.13, 800}, {1, 900}, {0.6, 1000},
    };
    for (const Row& r : kRows)
        if (s > r.above) return r.limit;
    return 0;
}

}  // namespace

int32_t BandStart(int32_t segment, const MachineParams& p)
{
    const double h = p.headSelect == 0 ? 25.0 : 12.5;
    return TruncToInt(p.inkCutOverlapX * 0.1 * p.pulsesPerMmX +
                      static_cast<double>(segment) * p.bandsPerCutSegment * h * p.pulsesPerMmX);
}

void DropDoubleMoves(std::vector<KnifePoint>& pts)
{
    // A move is dropped when the one after it is a move too; that one is
    // judged against its own successor, as the list shrinks in place.
    size_t w = 0;
    for (size_t i = 0; i < pts.size(); ++i) {
        const bool doubled = pts[i].command == KnifeCommand::Move && i + 1 < pts.size() &&
                             pts[i + 1].command == KnifeCommand::Move;
        if (!doubled) pts[w++] = pts[i];
    }
    pts.resize(w);
}

void ComputeDirections(std::vector<KnifePoint>& pts)
{
    if (pts.empty()) return;
    pts[0].dx = pts[0].dy = 0;
    pts[0].direction = 0;
    pts[0].turn = 0;
    for (size_t i = 1; i < pts.size(); ++i) {
        KnifePoint& k = pts[i];
        k.dx = Step(k.x, pts[i - 1].x);
        k.dy = Step(k.y, pts[i - 1].y);
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
    // out holds the list up to the index under test (positions 0 .. j); a
    // merge removes the point just before it, so the walk stays linear.
    std::vector<KnifePoint> out;
    out.reserve(pts.size());
    size_t next = 0;  // first input point not yet in out
    int64_t limit = static_cast<int64_t>(pts.size()) - 4;
    int64_t j = 4;
    do {
        while (static_cast<int64_t>(out.size()) < j + 1 && next < pts.size()) out.push_back(pts[next++]);
        const size_t n = out.size();
        auto isCut = [&](size_t k) { return out[k].command == KnifeCommand::Cut; };
        if (isCut(n - 4) && isCut(n - 3) && isCut(n - 2) && isCut(n - 1) && out[n - 3].len < 30 &&
            out[n - 2].len < 30 && out[n - 1].len < 30) {
            KnifePoint pj = out[n - 1];
            pj.dx = Step(pj.x, out[n - 3].x);
            pj.dy = Step(pj.y, out[n - 3].y);
            pj.len = LenOf(pj.dx, pj.dy);
            out[n - 2] = pj;
            out.pop_back();
            --limit;
        }
        ++j;
    } while (j - 3 < limit);
    while (next < pts.size()) out.push_back(pts[next++]);
    pts.swap(out);
}

void ComputeSharpness(std::vector<KnifePoint>& pts, double pulsesPerMmY)
{
    for (size_t i = 0; i < pts.size(); ++i) {
        KnifePoint& k = pts[i];
        if (i == 0) {
            k.sharpness = 0;
            continue;
        }
        const double dx = k.dx, dy = k.dy;
        const double l = std::sqrt(dx * dx + dy * dy);
        k.sharpness = l != 0 ? std::fabs(k.turn) / (l / pulsesPerMmY) * 180.0 : 0.0;
    }
}

int32_t KnifeSpeedCap(uint8_t cutSpeed)
{
    switch (cutSpeed) {
    case 1: return 600;
    case 2: return 1000;
    case 3: return 1500;
    default: return 2000;
    }
}

void PlanKnifeSpeeds(std::vector<KnifePoint>& pts, uint8_t cutSpeed)
{
    if (pts.empty()) return;
    const int32_t c = KnifeSpeedCap(cutSpeed);
    KnifePoint& last = pts.back();
    last.exitSpeed = 0;
    last.speed = std::min(last.len, c);
    for (size_t i = pts.size() - 1; i-- > 0;) {
        KnifePoint& cur = pts[i];
        const KnifePoint& next = pts[i + 1];
        const double t = std::fabs(next.turn) * 180.0 / kPi;
        if (next.command == KnifeCommand::Move) {
            cur.exitSpeed = 0;
            cur.speed = std::min(cur.len, c);
        } else if (cur.command == KnifeCommand::Move) {
            cur.exitSpeed = 0;
            cur.speed = 0;
        } else if (t > 16.8) {
            cur.exitSpeed = 0;
            cur.speed = std::min(cur.len, c);
        } else if (t > 8) {
            cur.exitSpeed = std::min(next.speed, 50);
            cur.speed = AddCapped(cur.len, cur.exitSpeed, c);
        } else if (cur.len > 400) {
            cur.exitSpeed = next.speed;
            cur.speed = AddCapped(cur.len, cur.exitSpeed, c);
        } else {
            const int32_t limit = SharpnessLimit(next.sharpness);
            int32_t e = std::min(next.speed, c);
            if (limit != 0) e = std::min(e, limit);
            cur.exitSpeed = e;
            cur.speed = AddCapped(cur.len, cur.exitSpeed, c);
        }
    }
}

void ShiftKnifePath(std::vector<KnifePoint>& pts, int32_t dx, int32_t dy)
{
    for (KnifePoint& k : pts) {
        k.x = SaturateToInt(static_cast<int64_t>(k.x) + dx);
        k.y = SaturateToInt(static_cast<int64_t>(k.y) + dy);
    }
}

int32_t PlanKnifePath(std::vector<KnifePoint>& pts, const JobSnapshot& s)
{
    if (pts.empty()) return 0;
    DropDoubleMoves(pts);
    ComputeDirections(pts);
    ComputeStepLengths(pts);
    MergeShortCuts(pts);
    ComputeStepLengths(pts);
    ComputeSharpness(pts, s.params.pulsesPerMmY);
    PlanKnifeSpeeds(pts, s.params.cutSpeed);
    if (s.inkBox2Left == 1) ShiftKnifePath(pts, TruncToInt(s.params.pulsesPerMmX * -26.0), 0);
    return static_cast<int32_t>(pts.size());
}
