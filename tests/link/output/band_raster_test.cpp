// Guards: band pixels other than the thin, round and dashed pens draw, bands unlike the rows of the whole page, plot units mapped to other pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "link/output/BandRaster.h"
#include "link/output/BandStrokes.h"
#include "tests/link/output/BandRasterOracle.h"

namespace {

// A window of page rows [row0, row0 + rows) over `columns` columns.
struct Image {
    std::vector<uint8_t> bits;
    BitWindow w;
    Image(int32_t row0, int32_t rows, int32_t columns)
        : bits(static_cast<size_t>(columns) * ((rows + 7) / 8))
    {
        w = BitWindow{bits.data(), row0, rows, (rows + 7) / 8, columns};
    }
    std::set<std::pair<int, int>> Pixels() const
    {
        std::set<std::pair<int, int>> s;
        for (int c = 0; c < w.columns; ++c)
            for (int r = w.row0; r < w.row0 + w.rows; ++r)
                if (w.Get(r, c)) s.insert({r, c});
        return s;
    }
};

using Pixels = std::set<std::pair<int, int>>;

TEST(BandRaster, ThinPenLeavesOutTheLastPixel)
{
    struct Case {
        PenSegment seg;
        Pixels expect;
    };
    const Case cases[] = {
        {{0, 0, 5, 0, 0}, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}}},
        {{0, 3, 0, 0, 0}, {{0, 3}, {0, 2}, {0, 1}}},
        {{0, 0, 4, 2, 0}, {{0, 0}, {1, 1}, {2, 1}, {3, 2}}},  // halves go up
        {{3, 3, 3, 3, 0}, {}},
        {{-2, 1, 2, 1, 0}, {{0, 1}, {1, 1}}},                 // clipped by the window
        {{0, -2, 0, 2, 0}, {{0, 0}, {0, 1}}},
        // Far-reaching lines cost only their pixels in the window.
        {{5, -kPixelLimit, 5, kPixelLimit, 0}, {{5, 0}, {5, 1}, {5, 2}, {5, 3}, {5, 4}, {5, 5}, {5, 6}, {5, 7}}},
        {{-kPixelLimit, 3, kPixelLimit, 3, 0}, {{0, 3}, {1, 3}, {2, 3}, {3, 3}, {4, 3}, {5, 3}, {6, 3}, {7, 3},
                                                {8, 3}, {9, 3}, {10, 3}, {11, 3}, {12, 3}, {13, 3}, {14, 3}, {15, 3}}},
    };
    for (const Case& c : cases) {
        Image img(0, 16, 8);
        DrawThinSegment(img.w, c.seg);
        EXPECT_EQ(img.Pixels(), c.expect) << c.seg.x0 << "," << c.seg.y0 << " " << c.seg.x1 << "," << c.seg.y1;
    }
}

// Pixel (r, c) is on the thin pen's line: one pixel for each step t = 0 ..
// n - 1 along the longer axis (the last pixel left out), the other axis at
// t d / n rounded to the nearest, halves up. Brute force: the step is taken
// from the pixel's own coordinate on the longer axis.
bool OnThinLine(const PenSegment& s, int64_t r, int64_t c)
{
    const int64_t dx = int64_t{s.x1} - s.x0, dy = int64_t{s.y1} - s.y0;
    const bool byRows = std::llabs(dx) >= std::llabs(dy);
    const int64_t major = byRows ? dx : dy, minor = byRows ? dy : dx;
    const int64_t n = std::llabs(major);
    if (n == 0) return false;
    const int64_t t = (major > 0 ? 1 : -1) * (byRows ? r - s.x0 : c - s.y0);
    if (t < 0 || t >= n) return false;
    const int64_t num = 2 * t * minor + n, den = 2 * n;
    const int64_t rounded = num >= 0 ? num / den : -((-num + den - 1) / den);
    return (byRows ? c - s.y0 : r - s.x0) == rounded;
}

TEST(BandRaster, ThinPenMatchesThePixelByPixelReference)
{
    std::mt19937 rng(29);
    auto coord = [&](int scale) { return static_cast<int32_t>(static_cast<int64_t>(rng() % (2 * scale + 1)) - scale); };
    for (int round = 0; round < 3000; ++round) {
        const int scale = round % 3 == 0 ? 40 : round % 3 == 1 ? 400 : kPixelLimit;
        PenSegment s{coord(scale), coord(scale), coord(scale), coord(scale), 0};
        if (round % 7 == 0) s.x1 = s.x0;                  // along a row
        if (round % 11 == 0) s.y1 = s.y0;                 // along a column
        if (round % 13 == 0) s.x1 = s.x0 + (s.y1 - s.y0);  // a diagonal: both axes step
        if (scale == kPixelLimit && round % 2 == 0)       // through the window
            s = PenSegment{-coord(kPixelLimit / 2) - 50, coord(30), coord(kPixelLimit / 2) + 50, coord(30), 0};
        Image img(-20, 72, 48);
        DrawThinSegment(img.w, s);
        Pixels expect;
        for (int r = -20; r < 52; ++r)
            for (int c = 0; c < 48; ++c)
                if (OnThinLine(s, r, c)) expect.insert({r, c});
        ASSERT_EQ(img.Pixels(), expect) << s.x0 << "," << s.y0 << " " << s.x1 << "," << s.y1;
    }
}

// Pixel (r, c) is within the pen of `width` around the segment: doubled
// coordinates, even widths centred on pixel corners. Brute force.
bool InRoundPen(const PenSegment& s, int width, int r, int c)
{
    const double e = width % 2 == 0 ? 1 : 0;
    const double px = 2.0 * r + e, py = 2.0 * c + e;
    const double ax = 2.0 * s.x0, ay = 2.0 * s.y0, dx = 2.0 * (s.x1 - s.x0), dy = 2.0 * (s.y1 - s.y0);
    const double t = (px - ax) * dx + (py - ay) * dy, len2 = dx * dx + dy * dy;
    const double w2 = 1.0 * width * width;
    if (t <= 0) return (px - ax) * (px - ax) + (py - ay) * (py - ay) <= w2;
    if (t >= len2) return (px - ax - dx) * (px - ax - dx) + (py - ay - dy) * (py - ay - dy) <= w2;
    const double cross = (px - ax) * dy - (py - ay) * dx;
    return cross * cross <= w2 * len2;
}

TEST(BandRaster, WidePensHaveRoundEnds)
{
    std::mt19937 rng(11);
    for (int width = 2; width <= 5; ++width) {
        for (int round = 0; round < 40; ++round) {
            PenSegment s{int(rng() % 60), int(rng() % 60) - 5, int(rng() % 60), int(rng() % 60) - 5, 0};
            if (round == 0) s = PenSegment{20, 20, 20, 20, 0};  // a disc
            Image img(-8, 80, 64);
            DrawRoundSegment(img.w, s, width);
            Pixels expect;
            for (int r = -8; r < 72; ++r)
                for (int c = 0; c < 64; ++c)
                    if (InRoundPen(s, width, r, c)) expect.insert({r, c});
            ASSERT_EQ(img.Pixels(), expect) << "width " << width << " round " << round;
        }
    }
}

TEST(BandRaster, WidthAcrossALine)
{
    for (int width = 2; width <= 5; ++width) {
        Image img(0, 32, 40);
        DrawRoundSegment(img.w, PenSegment{10, 10, 10, 30, 0}, width);
        int rows = 0;
        for (int r = 0; r < 32; ++r) rows += img.w.Get(r, 20);
        EXPECT_EQ(rows, width);
    }
}

TEST(BandRaster, PolylineCornersHaveNoNotch)
{
    // With round ends the outer corner of an L is filled: every pixel within
    // the pen of either segment is set, including those beyond the vertex.
    for (int width = 2; width <= 5; ++width) {
        BandStrokes strokes;
        strokes.SetPenWidth(width);
        const PagePixel pts[] = {{20, 5}, {20, 30}, {45, 30}};
        strokes.AddPolyline(pts, 3, false);
        Image img(0, 64, 64);
        strokes.DrawAll(img.w);
        const PenSegment a{20, 5, 20, 30, 0}, b{20, 30, 45, 30, 0};
        Pixels expect;
        for (int r = 0; r < 64; ++r)
            for (int c = 0; c < 64; ++c)
                if (InRoundPen(a, width, r, c) || InRoundPen(b, width, r, c)) expect.insert({r, c});
        EXPECT_EQ(img.Pixels(), expect) << width;
        EXPECT_TRUE(img.w.Get(19, 31) || width < 3);  // the outer corner
    }
}

TEST(BandRaster, DashesRunOnAcrossSegments)
{
    for (int width = 1; width <= 5; ++width) {
        BandStrokes one, split;
        one.SetPenWidth(width);
        split.SetPenWidth(width);
        const PagePixel whole[] = {{10, 0}, {10, 600}};
        const PagePixel parts[] = {{10, 0}, {10, 70}, {10, 250}, {10, 430}, {10, 600}};
        one.AddPolyline(whole, 2, true);
        split.AddPolyline(parts, 5, true);
        Image a(0, 24, 640), b(0, 24, 640);
        one.DrawAll(a.w);
        split.DrawAll(b.w);
        EXPECT_EQ(a.Pixels(), b.Pixels()) << width;
        // 100 on, 40 off from the start of the curve; flat ends.
        for (int c = 0; c < 640; ++c) {
            const bool on = c < 600 && (c % 140) < 100;
            EXPECT_EQ(a.w.Get(10, c), on) << "width " << width << " column " << c;
        }
        int rows = 0;
        for (int r = 0; r < 24; ++r) rows += a.w.Get(r, 50);
        EXPECT_EQ(rows, width);
    }
}

TEST(BandRaster, DashPhaseFollowsTheDiagonal)
{
    // Along a 3-4-5 diagonal the dash ends after 100 pixels of length.
    BandStrokes s;
    s.SetPenWidth(1);
    const PagePixel pts[] = {{0, 0}, {300, 400}};
    s.AddPolyline(pts, 2, true);
    Image img(0, 320, 420);
    s.DrawAll(img.w);
    EXPECT_TRUE(img.w.Get(57, 76));    // 95 along
    EXPECT_FALSE(img.w.Get(63, 84));   // 105 along: gap
    EXPECT_TRUE(img.w.Get(87, 116));   // 145 along: next dash
}

TEST(BandRaster, SinglePointsLeaveNoInk)
{
    for (int width = 1; width <= 5; ++width)
        for (bool dashed : {false, true}) {
            BandStrokes s;
            s.SetPenWidth(width);
            const PagePixel one[] = {{10, 10}};
            const PagePixel same[] = {{12, 12}, {12, 12}, {12, 12}};
            s.AddPolyline(one, 1, dashed);
            s.AddPolyline(same, 3, dashed);
            Image img(0, 32, 32);
            s.DrawAll(img.w);
            EXPECT_TRUE(img.Pixels().empty()) << width << dashed;
        }
}

TEST(BandRaster, MapsPlotUnitsToPagePixels)
{
    JobSnapshot s;
    s.params.pulsesPerMmY = 41.36;
    s.params.inkIntervalPulses = 7;
    s.lineWidth = 2;
    const PagePixel p = MapToPagePixel(PlotPoint{400, 400}, s);  // 10 mm, 10 mm
    EXPECT_EQ(p.row, 2 + 120);
    EXPECT_EQ(p.column, 2 + 59);  // trunc(10 x 41.36 / 7) = trunc(59.08)
    const PagePixel n = MapToPagePixel(PlotPoint{-6, -6}, s);
    EXPECT_EQ(n.row, 2 - 1);     // trunc(-1.8): toward zero
    EXPECT_EQ(n.column, 2 - 0);  // trunc(-0.89)
    const PagePixel far = MapToPagePixel(PlotPoint{2000000000, -2000000000}, s);
    EXPECT_EQ(far.row, kPixelLimit);
    EXPECT_EQ(far.column, -kPixelLimit);
}

// Random pages: every band equals the same rows of the page drawn as one tall
// image, with and without the buckets, for both band heights.
TEST(BandRaster, BandsAreRowsOfTheWholePage)
{
    std::mt19937 rng(2024);
    for (int round = 0; round < 30; ++round) {
        const int width = 1 + round % 5;
        // The machine's band heights in 320-row windows, and short bands that
        // put long lines in many buckets.
        const bool small = round % 5 == 4;
        const int bandRows = small ? 20 : (round % 3 == 0) ? 150 : 298 - (round % 4);
        const int window = small ? 32 : 320;
        const int bands = small ? 30 : 5;
        const int columns = 200;
        BandStrokes strokes;
        strokes.SetPenWidth(width);
        const int curves = 1 + rng() % 12;
        for (int k = 0; k < curves; ++k) {
            std::vector<PagePixel> pts(1 + rng() % 8);
            for (auto& p : pts) {
                p.row = int(rng() % (bands * bandRows + 200)) - 100;
                p.column = int(rng() % (columns + 60)) - 30;
            }
            if (k == 0) pts = {{-50, -40}, {bands * bandRows + 300, columns + 40}};  // crosses everything
            strokes.AddPolyline(pts.data(), pts.size(), rng() % 2 == 0);
        }
        strokes.Bucket(bandRows, window, bands);
        const int tallRows = bands * bandRows + window;
        Image tall(0, tallRows, columns);
        strokes.DrawAll(tall.w);
        for (int j = 0; j < bands; ++j) {
            Image band(j * bandRows, window, columns), direct(j * bandRows, window, columns);
            strokes.DrawBand(j, band.w);
            strokes.DrawAll(direct.w);
            ASSERT_EQ(band.bits, direct.bits) << "round " << round << " band " << j;
            for (int c = 0; c < columns; ++c)
                for (int r = 0; r < window; ++r)
                    ASSERT_EQ(band.w.Get(j * bandRows + r, c), tall.w.Get(j * bandRows + r, c))
                        << "round " << round << " band " << j << " row " << r << " column " << c;
        }
        // Bands past the job's draw nothing.
        Image past(bands * bandRows, window, columns);
        strokes.DrawBand(bands, past.w);
        EXPECT_TRUE(past.Pixels().empty());
    }
}

TEST(BandRaster, TranslatingThePageTranslatesTheImage)
{
    std::mt19937 rng(5);
    for (int round = 0; round < 10; ++round) {
        const int width = 1 + round % 5;
        const int shiftR = int(rng() % 40) - 20, shiftC = int(rng() % 40) - 20;
        BandStrokes a, b;
        a.SetPenWidth(width);
        b.SetPenWidth(width);
        for (int k = 0; k < 6; ++k) {
            std::vector<PagePixel> pts(2 + rng() % 5), moved;
            for (auto& p : pts) p = PagePixel{int(rng() % 200) + 30, int(rng() % 200) + 30};
            for (auto p : pts) moved.push_back(PagePixel{p.row + shiftR, p.column + shiftC});
            const bool dashed = rng() % 2;
            a.AddPolyline(pts.data(), pts.size(), dashed);
            b.AddPolyline(moved.data(), moved.size(), dashed);
        }
        Image ia(0, 300, 300), ib(shiftR, 300, 300 + 40);
        a.DrawAll(ia.w);
        b.DrawAll(ib.w);
        for (int r = 0; r < 300; ++r)
            for (int c = 0; c < 300; ++c)
                if (c + shiftC >= 0) {
                    ASSERT_EQ(ia.w.Get(r, c), ib.w.Get(r + shiftR, c + shiftC)) << round;
                }
    }
}

}  // namespace

// The stepped round pen against the rasteriser that works every row afresh:
// every byte of the window the same, for short and window-crossing segments,
// steep and flat, near the coordinate limit, every width the settings allow.
TEST(BandRaster, SteppedRoundPenMatchesTheRowByRowOracle)
{
    std::mt19937 rng(17);
    auto coord = [&](int scale) { return static_cast<int32_t>(static_cast<int64_t>(rng() % (2 * scale + 1)) - scale); };
    for (int round = 0; round < 3000; ++round) {
        const int width = 2 + static_cast<int>(rng() % 9);
        const int scale = round % 3 == 0 ? 40 : round % 3 == 1 ? 400 : kPixelLimit;
        PenSegment s{coord(scale), coord(scale), coord(scale), coord(scale), 0};
        if (round % 7 == 0) s.x1 = s.x0;   // along a row
        if (round % 11 == 0) s.y1 = s.y0;  // along a column
        if (round % 13 == 0) s = PenSegment{s.x0, s.y0, s.x0, s.y0, 0};  // a dot
        if (scale == kPixelLimit && round % 2 == 0) {  // through the window
            s = PenSegment{-coord(kPixelLimit / 2) - 50, coord(30), coord(kPixelLimit / 2) + 50, coord(30), 0};
        }
        Image got(-20, 72, 48), want(-20, 72, 48);
        DrawRoundSegment(got.w, s, width);
        oracle::DrawRoundSegment(want.w, s, width);
        ASSERT_EQ(got.bits, want.bits) << "width " << width << " " << s.x0 << "," << s.y0 << " " << s.x1 << ","
                                       << s.y1;
    }
}

// The stepped dashed pen against the one that solves every row afresh and
// takes fmod of every pixel: the same bytes for dash phases near 0, long
// curves, fractions and distances past where the quick remainder holds.
TEST(BandRaster, SteppedDashedPenMatchesTheRowByRowOracle)
{
    std::mt19937 rng(23);
    auto coord = [&](int scale) { return static_cast<int32_t>(static_cast<int64_t>(rng() % (2 * scale + 1)) - scale); };
    const double phases[] = {0.0, 99.999999999, 139.99999999999997, 1e6 + 0.3, 4503599627370495.5, 1e17};
    for (int round = 0; round < 3000; ++round) {
        const int width = 1 + static_cast<int>(rng() % 10);
        const int scale = round % 3 == 0 ? 40 : round % 3 == 1 ? 400 : kPixelLimit;
        PenSegment s{coord(scale), coord(scale), coord(scale), coord(scale), 0};
        if (round % 7 == 0) s.x1 = s.x0;
        if (round % 11 == 0) s.y1 = s.y0;
        if (scale == kPixelLimit && round % 2 == 0)
            s = PenSegment{-coord(kPixelLimit / 2) - 50, coord(30), coord(kPixelLimit / 2) + 50, coord(30), 0};
        s.s0 = round % 4 == 0 ? phases[rng() % 6] : (rng() % 100000) / 7.0;
        Image got(-20, 72, 48), want(-20, 72, 48);
        DrawDashedSegment(got.w, s, width);
        oracle::DrawDashedSegment(want.w, s, width);
        ASSERT_EQ(got.bits, want.bits) << "width " << width << " " << s.x0 << "," << s.y0 << " " << s.x1 << ","
                                       << s.y1 << " from " << s.s0;
    }
}
