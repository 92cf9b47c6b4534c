// Guards: knife paths with other moves, turns or merges than planned, or speeds outside their class caps.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "link/output/KnifePlanner.h"

namespace {

constexpr double kPi = 3.14159265359;

KnifePoint P(int16_t cmd, int32_t x, int32_t y)
{
    KnifePoint k;
    k.command = cmd;
    k.x = x;
    k.y = y;
    return k;
}
constexpr int16_t M = KnifeCommand::Move, C = KnifeCommand::Cut, T = KnifeCommand::ShortCut;

std::vector<int16_t> Commands(const std::vector<KnifePoint>& pts)
{
    std::vector<int16_t> c;
    for (const auto& k : pts) c.push_back(k.command);
    return c;
}

TEST(KnifePlanner, OnlyTheLastOfConsecutiveMovesStays)
{
    std::vector<KnifePoint> pts = {P(M, 0, 0), P(M, 1, 0), P(C, 2, 0), P(M, 3, 0), P(M, 4, 0), P(M, 5, 0), P(T, 6, 0),
                                   P(M, 7, 0)};
    DropDoubleMoves(pts);
    EXPECT_EQ(Commands(pts), (std::vector<int16_t>{M, C, M, T, M}));
    EXPECT_EQ(pts[0].x, 1);
    EXPECT_EQ(pts[2].x, 5);
}

TEST(KnifePlanner, TurnsAreBroughtIntoHalfOpenRange)
{
    std::vector<KnifePoint> pts = {P(M, 0, 0), P(C, 100, 0), P(C, 100, 100), P(C, 0, 110), P(C, 0, 90), P(C, 0, 90)};
    ComputeDirections(pts);
    EXPECT_EQ(pts[0].turn, 0);
    EXPECT_DOUBLE_EQ(pts[1].turn, 0);
    EXPECT_DOUBLE_EQ(pts[2].turn, std::atan2(100.0, 0.0));
    // From pointing up-left (~174 degrees) to pointing down (-90): -264 wraps to +96.
    const double d3 = std::atan2(10.0, -100.0), d4 = std::atan2(-20.0, 0.0);
    EXPECT_DOUBLE_EQ(pts[4].turn, d4 - d3 + 6.28318530718);
    EXPECT_GT(pts[4].turn, 0);
    // A zero step points at 0: turn back from -90.
    EXPECT_DOUBLE_EQ(pts[5].turn, 0 - d4);
    ComputeStepLengths(pts);
    EXPECT_EQ(pts[3].len, 100);
    EXPECT_EQ(pts[5].len, 0);
}

// The merge exactly as the machine's planner describes it, erasing in place.
void ReferenceMerge(std::vector<KnifePoint>& v)
{
    if (v.size() < 6) return;
    int64_t limit = static_cast<int64_t>(v.size()) - 4;
    int64_t j = 4;
    do {
        const bool cuts = v[j - 3].command == C && v[j - 2].command == C && v[j - 1].command == C && v[j].command == C;
        if (cuts && v[j - 2].len < 30 && v[j - 1].len < 30 && v[j].len < 30) {
            v[j].dx = v[j].x - v[j - 2].x;
            v[j].dy = v[j].y - v[j - 2].y;
            v[j].len = std::max(std::abs(v[j].dx), std::abs(v[j].dy));
            v.erase(v.begin() + (j - 1));
            --limit;
        }
        ++j;
    } while (j - 3 < limit);
}

TEST(KnifePlanner, MergeShortCuts)
{
    // Five points are never merged.
    std::vector<KnifePoint> five = {P(M, 0, 0), P(C, 100, 0), P(C, 110, 0), P(C, 120, 0), P(C, 130, 0)};
    ComputeDirections(five);
    ComputeStepLengths(five);
    MergeShortCuts(five);
    EXPECT_EQ(five.size(), 5u);

    std::vector<KnifePoint> pts = {P(M, 0, 0), P(C, 100, 0), P(C, 110, 0), P(C, 120, 0), P(C, 130, 0), P(C, 500, 0)};
    ComputeDirections(pts);
    ComputeStepLengths(pts);
    MergeShortCuts(pts);
    ASSERT_EQ(pts.size(), 5u);
    EXPECT_EQ(pts[3].x, 130);  // point 3 gone
    EXPECT_EQ(pts[3].dx, 20);  // point 4 steps from point 2
    EXPECT_EQ(pts[3].len, 20);

    // Random lists against the in-place walk.
    std::mt19937 rng(3);
    for (int round = 0; round < 300; ++round) {
        std::vector<KnifePoint> v(rng() % 40);
        int32_t x = 0, y = 0;
        for (auto& k : v) {
            x += int(rng() % 50) - 10;
            y += int(rng() % 50) - 10;
            k = P(rng() % 6 == 0 ? M : C, x, y);
        }
        ComputeDirections(v);
        ComputeStepLengths(v);
        std::vector<KnifePoint> ref = v;
        ReferenceMerge(ref);
        MergeShortCuts(v);
        ASSERT_EQ(v.size(), ref.size()) << round;
        for (size_t i = 0; i < v.size(); ++i) {
            EXPECT_EQ(v[i].x, ref[i].x);
            EXPECT_EQ(v[i].dx, ref[i].dx);
            EXPECT_EQ(v[i].len, ref[i].len);
        }
    }
}

TEST(KnifePlanner, SharpnessIsTurnPerMillimetre)
{
    std::vector<KnifePoint> pts = {P(M, 0, 0), P(C, 30, 40), P(C, 30, 40)};
    ComputeDirections(pts);
    pts[1].turn = 0.5;
    ComputeSharpness(pts, 40.0);
    EXPECT_EQ(pts[0].sharpness, 0);
    EXPECT_DOUBLE_EQ(pts[1].sharpness, 0.5 / (50.0 / 40.0) * 180.0);
    EXPECT_EQ(pts[2].sharpness, 0);  // no length
}

// A cut list with chosen turn, length and sharpness at every point.
struct Step {
    int16_t cmd;
    int32_t len;
    double turnDeg;
    double sharpness;
};
std::vector<KnifePoint> Steps(const std::vector<Step>& steps)
{
    std::vector<KnifePoint> pts;
    for (const Step& s : steps) {
        KnifePoint k = P(s.cmd, 0, 0);
        k.len = s.len;
        k.turn = s.turnDeg * kPi / 180.0;
        k.sharpness = s.sharpness;
        pts.push_back(k);
    }
    return pts;
}

// The turn in radians whose degrees the planner sees as exactly `deg`.
double ExactTurn(double deg)
{
    double t = deg * kPi / 180.0;
    for (int i = 0; i < 8 && std::fabs(t) * 180.0 / kPi != deg; ++i)
        t = std::nextafter(t, std::fabs(t) * 180.0 / kPi < deg ? 10.0 : -10.0);
    return t;
}

TEST(KnifePlanner, SpeedRules)
{
    struct Case {
        const char* name;
        std::vector<Step> steps;  // the point under test is index 1, its next index 2
        int32_t exitSpeed, speed;
    };
    // The last point always stops; the next point's own speed is its min(len, cap).
    const Case cases[] = {
        {"next is a move", {{M, 0, 0, 0}, {C, 300, 0, 0}, {M, 900, 0, 0}}, 0, 300},
        {"a move itself", {{C, 0, 0, 0}, {M, 300, 0, 0}, {C, 900, 0, 0}}, 0, 0},
        {"sharp turn", {{M, 0, 0, 0}, {C, 300, 0, 0}, {C, 900, 17, 0}}, 0, 300},
        {"mild turn", {{M, 0, 0, 0}, {C, 300, 0, 0}, {C, 900, 10, 0}}, 50, 350},
        {"long step", {{M, 0, 0, 0}, {C, 401, 0, 0}, {C, 900, 5, 500}}, 900, 1301},
        {"sharpness 100.5", {{M, 0, 0, 0}, {C, 100, 0, 0}, {C, 900, 5, 100.5}}, 200, 300},
        {"sharpness 100", {{M, 0, 0, 0}, {C, 100, 0, 0}, {C, 900, 5, 100}}, 260, 360},
        {"sharpness 0.7", {{M, 0, 0, 0}, {C, 400, 0, 0}, {C, 1200, 5, 0.7}}, 1000, 1400},
        {"sharpness 0.6", {{M, 0, 0, 0}, {C, 400, 0, 0}, {C, 1200, 5, 0.6}}, 1200, 1500},
        {"short-cut points", {{M, 0, 0, 0}, {T, 300, 0, 0}, {T, 900, 10, 0}}, 50, 350},
    };
    for (const Case& c : cases) {
        std::vector<KnifePoint> pts = Steps(c.steps);
        PlanKnifeSpeeds(pts, 3);
        EXPECT_EQ(pts[1].exitSpeed, c.exitSpeed) << c.name;
        EXPECT_EQ(pts[1].speed, c.speed) << c.name;
        EXPECT_EQ(pts.back().exitSpeed, 0) << c.name;
    }
}

TEST(KnifePlanner, TurnBoundariesAreStrict)
{
    // Exactly 16.8 degrees is not sharp: the exit is held to 50.
    std::vector<KnifePoint> a = Steps({{M, 0, 0, 0}, {C, 300, 0, 0}, {C, 900, 0, 0}});
    a[2].turn = ExactTurn(16.8);
    ASSERT_EQ(std::fabs(a[2].turn) * 180.0 / kPi, 16.8);
    PlanKnifeSpeeds(a, 3);
    EXPECT_EQ(a[1].exitSpeed, 50);
    // Exactly 8 degrees goes to the length and sharpness rules.
    std::vector<KnifePoint> b = Steps({{M, 0, 0, 0}, {C, 300, 0, 0}, {C, 900, 0, 50}});
    b[2].turn = -ExactTurn(8.0);
    ASSERT_EQ(std::fabs(b[2].turn) * 180.0 / kPi, 8.0);
    PlanKnifeSpeeds(b, 3);
    EXPECT_EQ(b[1].exitSpeed, 260);
}

TEST(KnifePlanner, SpeedCapsByClass)
{
    for (uint8_t cls : {0, 1, 2, 3, 4, 5}) {
        std::vector<KnifePoint> pts = {P(M, 0, 0)};
        for (int i = 1; i < 30; ++i) pts.push_back(P(C, i * 5000, (i % 2) * 100));
        PlanKnifePath(pts, [&] {
            JobSnapshot s;
            s.params.pulsesPerMmY = 41.36;
            s.params.cutSpeed = cls;
            return s;
        }());
        const int32_t cap = KnifeSpeedCap(cls);
        EXPECT_EQ(cap, cls == 1 ? 600 : cls == 2 ? 1000 : cls == 3 ? 1500 : 2000);
        for (const auto& k : pts) {
            EXPECT_LE(k.speed, cap);
            EXPECT_LE(k.exitSpeed, cap);
        }
        EXPECT_EQ(pts.back().exitSpeed, 0);
        EXPECT_EQ(pts[1].speed, cap);
    }
}

TEST(KnifePlanner, BandStartAndShift)
{
    MachineParams p{};
    p.pulsesPerMmX = 60.5;
    p.inkCutOverlapX = 50;
    p.bandsPerCutSegment = 8;
    p.headSelect = 0;
    EXPECT_EQ(BandStart(0, p), 302);            // 5 mm
    EXPECT_EQ(BandStart(1, p), 302 + 12100);    // + 8 bands of 25 mm
    p.headSelect = 1;
    EXPECT_EQ(BandStart(2, p), 302 + 12100);    // 12.5 mm bands

    JobSnapshot s;
    s.params = p;
    s.params.pulsesPerMmY = 41.36;
    s.inkBox2Left = 1;
    std::vector<KnifePoint> pts = {P(M, 5000, 10), P(C, 6000, 20)};
    PlanKnifePath(pts, s);
    EXPECT_EQ(pts[0].x, 5000 - 1573);  // trunc(60.5 x -26)
    EXPECT_EQ(pts[1].x, 6000 - 1573);
    EXPECT_EQ(pts[1].y, 20);
}

}  // namespace
