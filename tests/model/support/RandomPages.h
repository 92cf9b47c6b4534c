#pragma once
// Random pages shaped to hit the interesting cases often: ends that meet
// exactly or within a few units, points on strip lines, nested contours.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "model/Page.h"

struct RandomPages {
    explicit RandomPages(uint32_t seed) : rng(seed) {}
    std::mt19937 rng;

    int32_t Int(int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng); }
    bool Chance(int percent) { return Int(0, 99) < percent; }

    CCurve& Add(COnePage& page, std::vector<PlotPoint> pts, int32_t kind)
    {
        auto c = std::make_unique<CCurve>();
        c->m_points = std::move(pts);
        c->m_kind = kind;
        c->m_lineType = Int(0, 6);
        c->m_bSelected = Chance(20);
        c->m_bNoJoin = Chance(5);
        c->m_length = Int(0, 3);
        c->CalcBoundRect();
        page.m_curves.push_back(std::move(c));
        return *page.m_curves.back();
    }

    // Short polylines whose ends come from a few shared nodes, jittered.
    void Fragments(COnePage& page, int count)
    {
        std::vector<PlotPoint> nodes;
        for (int i = 0; i < 10; ++i) nodes.push_back({Int(0, 120), Int(0, 120)});
        auto end = [&] {
            PlotPoint p = nodes[Int(0, 9)];
            if (Chance(60)) {
                p.x += Int(-11, 11);
                p.y += Int(-11, 11);
            }
            return p;
        };
        for (int i = 0; i < count; ++i) {
            std::vector<PlotPoint> pts{end()};
            const int mid = Int(0, 5);
            for (int k = 0; k < mid; ++k) pts.push_back({Int(-50, 170), Int(-50, 170)});
            if (Chance(90)) pts.push_back(Chance(15) ? pts.front() : end());
            Add(page, std::move(pts), Chance(50) ? CurveKind::Plot : CurveKind::Cut);
        }
    }

    // Polygons, some nested, some open, in either direction; scale multiplies
    // every coordinate (large scales make the containment products inexact).
    void Contours(COnePage& page, int count, int32_t scale = 1, int32_t spread = 3000)
    {
        for (int i = 0; i < count; ++i) {
            const int32_t cx = Int(0, spread), cy = Int(0, spread), r = Int(50, 1500);
            const int n = Int(4, 12);
            const int32_t snap = Chance(50) ? 100 : 1;  // shared ys, points on each other's edges
            std::vector<PlotPoint> pts;
            for (int k = 0; k < n; ++k) {
                const double a = 6.283185307 * k / n + Int(0, 100) / 300.0;
                const double rr = r * (0.6 + Int(0, 40) / 100.0);
                const int32_t x = static_cast<int32_t>(cx + rr * std::cos(a)) / snap * snap;
                const int32_t y = static_cast<int32_t>(cy + rr * std::sin(a)) / snap * snap;
                pts.push_back({x * scale, y * scale});
            }
            if (Chance(70)) pts.push_back(pts.front());
            if (Chance(50)) std::reverse(pts.begin(), pts.end());
            if (Chance(30)) std::rotate(pts.begin(), pts.begin() + 1, pts.end());
            Add(page, std::move(pts), Chance(80) ? CurveKind::Cut : CurveKind::Plot);
        }
    }

    // Many rings around nearly one centre, in random order: boxes that cover
    // most of the page, one inside the other.
    void Rings(COnePage& page, int count)
    {
        std::vector<std::vector<PlotPoint>> rings;
        for (int i = 0; i < count; ++i) {
            const int32_t r = 200 + 10 * i + Int(0, 9);
            const int32_t cx = 5000 + Int(-30, 30), cy = 5000 + Int(-30, 30);
            std::vector<PlotPoint> pts{{cx - r, cy - r}, {cx + r, cy - r}, {cx + r, cy + r}, {cx - r, cy + r}};
            if (Chance(80)) pts.push_back(pts.front());
            if (Chance(50)) std::reverse(pts.begin(), pts.end());
            rings.push_back(std::move(pts));
        }
        std::shuffle(rings.begin(), rings.end(), rng);
        for (auto& pts : rings) Add(page, std::move(pts), Chance(85) ? CurveKind::Cut : CurveKind::Plot);
    }

    // Polylines on a coarse grid, so points fall on strip lines often.
    void StripPolylines(COnePage& page, int count, int32_t maxY)
    {
        for (int i = 0; i < count; ++i) {
            std::vector<PlotPoint> pts;
            const int n = Int(1, 7);
            PlotPoint p{Int(0, 40) * 10, Int(-2, maxY / 25) * 25};
            for (int k = 0; k < n; ++k) {
                pts.push_back(p);
                if (Chance(80)) p = {Int(0, 40) * 10, Int(-2, maxY / 25) * 25 + (Chance(30) ? Int(-3, 3) : 0)};
            }
            Add(page, std::move(pts), Chance(50) ? CurveKind::Plot : CurveKind::Cut);
        }
    }

    // Long straight and bent polylines for the knife passes.
    void LongCuts(COnePage& page, int count)
    {
        for (int i = 0; i < count; ++i) {
            std::vector<PlotPoint> pts{{Int(-100, 100), Int(-100, 100)}};
            const int n = Int(1, 8);
            for (int k = 0; k < n; ++k) {
                PlotPoint p = pts.back();
                if (Chance(15)) {
                    pts.push_back(p);  // zero-length segment
                    continue;
                }
                p.x += Int(-900, 900);
                p.y += Int(-900, 900);
                pts.push_back(p);
            }
            const int kind = Int(0, 9);
            Add(page, std::move(pts), kind < 3 ? CurveKind::Plot : kind < 8 ? CurveKind::Cut : CurveKind::ShortCut);
        }
    }
};
