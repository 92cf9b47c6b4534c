// Preparing a large marker on import: joining, outline detection, nested
// demotion, rotation and the split across a 1800 mm paper.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "model/ImportPreparation.h"
#include "model/Page.h"
#include "model/Settings.h"

namespace {

constexpr int kColumns = 20, kRows = 15;  // 300 pieces
constexpr int kOutlinePoints = 1200, kHolePoints = 300, kLinePoints = 80;

std::vector<PlotPoint> Ring(std::mt19937& rng, double cx, double cy, double rx, double ry, int n, double phase)
{
    std::uniform_real_distribution<double> wobble(0.97, 1.03);
    std::vector<PlotPoint> pts;
    pts.reserve(n + 1);
    for (int k = 0; k < n; ++k) {
        const double a = phase + 6.283185307179586 * k / n;
        const double w = wobble(rng);
        pts.push_back({static_cast<int32_t>(cx + rx * w * std::cos(a)), static_cast<int32_t>(cy + ry * w * std::sin(a))});
    }
    pts.push_back(pts.front());
    return pts;
}

// A marker as a CAD program writes it: every piece's outline in six fragments
// (some backwards, ends a few units apart), a hole, two inner lines, all in
// shuffled order.
void MakeMarker(COnePage& page)
{
    std::mt19937 rng(2107);
    std::uniform_int_distribution<int> jitter(-3, 3);
    std::vector<std::vector<PlotPoint>> curves;
    for (int col = 0; col < kColumns; ++col) {
        for (int row = 0; row < kRows; ++row) {
            const double cx = 2500 + col * 5000.0, cy = 2650 + row * 5300.0;
            const std::vector<PlotPoint> ring = Ring(rng, cx, cy, 2300, 2400, kOutlinePoints, 0);
            const int pieces = 6;
            const int step = kOutlinePoints / pieces;
            for (int f = 0; f < pieces; ++f) {
                std::vector<PlotPoint> frag(ring.begin() + f * step, ring.begin() + (f + 1) * step + 1);
                frag.front().x += jitter(rng);
                frag.front().y += jitter(rng);
                if (rng() % 2) std::reverse(frag.begin(), frag.end());
                curves.push_back(std::move(frag));
            }
            curves.push_back(Ring(rng, cx, cy, 600, 500, kHolePoints, 1.3));
            for (int l = 0; l < 2; ++l) {
                std::vector<PlotPoint> line;
                for (int k = 0; k < kLinePoints; ++k)
                    line.push_back({static_cast<int32_t>(cx - 1500 + 37.0 * k), static_cast<int32_t>(cy - 900 + 1800.0 * l + (k % 7) * 11)});
                curves.push_back(std::move(line));
            }
        }
    }
    std::shuffle(curves.begin(), curves.end(), rng);
    for (auto& pts : curves) {
        auto c = std::make_unique<CCurve>();
        c->m_points = std::move(pts);
        page.m_curves.push_back(std::move(c));
    }
    page.CalcPageBounds();
}

void CopyPage(const COnePage& src, COnePage& dst)
{
    dst.m_curves.clear();
    dst.CopyPageFrom(src);
}

const COnePage& Marker()
{
    static COnePage page;
    if (page.m_curves.empty()) MakeMarker(page);
    return page;
}

void BM_PrepareMarker(benchmark::State& state)
{
    const COnePage& marker = Marker();
    size_t points = 0;
    for (const auto& c : marker.m_curves) points += c->m_points.size();
    COnePage page;
    for (auto _ : state) {
        state.PauseTiming();
        CopyPage(marker, page);
        state.ResumeTiming();
        page.DetectOutlines();
        page.CalcPageBounds();
        page.Rotate90();
        page.SplitAlongY(1800 * 40);
        benchmark::DoNotOptimize(page.m_curves.data());
    }
    size_t cuts = 0;
    for (const auto& c : page.m_curves) cuts += c->m_kind == CurveKind::Cut;
    COnePage check;
    CopyPage(marker, check);
    check.DetectOutlines();
    size_t outlines = 0;
    for (const auto& c : check.m_curves) outlines += c->m_kind == CurveKind::Cut;
    state.counters["outlines"] = static_cast<double>(outlines);
    state.counters["points"] = static_cast<double>(points);
    state.counters["curves_in"] = static_cast<double>(marker.m_curves.size());
    state.counters["curves_out"] = static_cast<double>(page.m_curves.size());
    state.counters["cut_out"] = static_cast<double>(cuts);
}
BENCHMARK(BM_PrepareMarker)->Unit(benchmark::kMillisecond);

// The whole import sequence, clean-up and scaling included.
void BM_PrepareImportedPage(benchmark::State& state)
{
    theSettings.Set(Slot::SearchOutline, 1);
    theSettings.Set(Slot::AutoRotate, 1);
    theSettings.Set(Slot::PaperLenMm, 1800);
    const COnePage& marker = Marker();
    COnePage page;
    for (auto _ : state) {
        state.PauseTiming();
        CopyPage(marker, page);
        state.ResumeTiming();
        PrepareImportedPage(page, true);
        benchmark::DoNotOptimize(page.m_curves.data());
    }
}
BENCHMARK(BM_PrepareImportedPage)->Unit(benchmark::kMillisecond);

}  // namespace
