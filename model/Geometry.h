#pragma once
// Free geometric helpers over plot points, shared by curves and pages.
#include <cstdint>

#include "model/Curve.h"

struct DPoint {
    double x = 0;
    double y = 0;
};

// The angle constants used wherever degrees or half turns are compared.
inline constexpr double kPi = 3.14159265359;
inline constexpr double kTwoPi = 6.28318530718;
inline constexpr double kHalfPi = 1.570796326795;
inline constexpr double kQuarterPi = 0.7853981633975;

double PointDistance(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
inline double PointDistance(const PlotPoint& a, const PlotPoint& b) { return PointDistance(a.x, a.y, b.x, b.y); }
// a strictly between b and c in either order; false when b = c.
bool IsStrictlyBetween(double a, double b, double c);
// True when the segments cross; touching at an end point does not count.
bool SegmentsCross(DPoint p1, DPoint p2, DPoint q1, DPoint q2);
// 1 below lo, 2 in [lo, hi), 3 at or beyond hi.
int32_t ClassifyInBand(int32_t v, int32_t lo, int32_t hi);
// Ends within 9 plot units on both axes.
bool IsNearPoint(const PlotPoint& a, const PlotPoint& b);
// The point e units from a towards b, truncated; a itself for a zero-length segment.
PlotPoint PointAlongSegment(const PlotPoint& a, const PlotPoint& b, int32_t e);
