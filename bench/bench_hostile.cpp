// The four passes a hostile or unlucky file used to make quadratic or worse,
// each at growing sizes so the figures show how the cost grows:
// - the page split of long diagonals over many strips (refused, and accepted);
// - joining many open curves that share one end point;
// - nested demotion with outlines beyond 2^25 units;
// - the long-cut split of one cut curve of many points (cut mode 1).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "model/Page.h"

namespace {

void Add(COnePage& page, std::vector<PlotPoint> pts, int32_t kind)
{
    auto c = std::make_unique<CCurve>();
    c->m_points = std::move(pts);
    c->m_kind = kind;
    c->CalcBoundRect();
    page.m_curves.push_back(std::move(c));
}

// n diagonals each rising over `strips` strips of the default 2000 mm paper.
void Diagonals(COnePage& page, int n, int64_t strips)
{
    const int32_t top = static_cast<int32_t>(strips * 80000 - 1);
    for (int i = 0; i < n; ++i) Add(page, {{i * 10, 0}, {i * 10 + 5000, top}}, CurveKind::Plot);
}

void BM_SplitDiagonalsRefused(benchmark::State& state)
{
    // 25,000 strips each: far more pieces than a page may hold.
    for (auto _ : state) {
        state.PauseTiming();
        COnePage page;
        Diagonals(page, static_cast<int>(state.range(0)), 25000);
        state.ResumeTiming();
        page.SplitAlongY(80000);
        benchmark::DoNotOptimize(page.m_curves.size());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SplitDiagonalsRefused)->RangeMultiplier(4)->Range(750, 3000 * 16)->Unit(benchmark::kMillisecond)->Complexity();

void BM_SplitDiagonals(benchmark::State& state)
{
    // 100 strips each: split and re-joined.
    for (auto _ : state) {
        state.PauseTiming();
        COnePage page;
        Diagonals(page, static_cast<int>(state.range(0)), 100);
        state.ResumeTiming();
        page.SplitAlongY(80000);
        benchmark::DoNotOptimize(page.m_curves.size());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SplitDiagonals)->RangeMultiplier(2)->Range(750, 6000)->Unit(benchmark::kMillisecond)->Complexity();

void BM_JoinSharedEndPoint(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    std::mt19937 rng(11);
    std::uniform_int_distribution<int32_t> far(-100000, 100000);
    for (auto _ : state) {
        state.PauseTiming();
        COnePage page;
        for (int i = 0; i < n; ++i) Add(page, {{0, 0}, {far(rng), far(rng)}}, i % 3 ? CurveKind::Plot : CurveKind::Cut);
        state.ResumeTiming();
        page.JoinNearbyCurves();
        benchmark::DoNotOptimize(page.m_curves.size());
    }
    state.SetComplexityN(n);
}
BENCHMARK(BM_JoinSharedEndPoint)->RangeMultiplier(2)->Range(10000, 80000)->Unit(benchmark::kMillisecond)->Complexity();

void BM_NestedOutlinesFarOut(benchmark::State& state)
{
    // Squares on a grid, a small one inside each; one outline beyond 2^25.
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        COnePage page;
        int side = 1;
        while (side * side < n / 2) ++side;
        for (int i = 0; i < n / 2; ++i) {
            const int32_t x = (i % side) * 3000, y = (i / side) * 3000;
            Add(page, {{x, y}, {x + 2000, y}, {x + 2000, y + 2000}, {x, y + 2000}, {x, y}}, CurveKind::Cut);
            Add(page, {{x + 500, y + 500}, {x + 900, y + 500}, {x + 900, y + 900}, {x + 500, y + 900}, {x + 500, y + 500}},
                CurveKind::Cut);
        }
        const int32_t f = 1 << 26;
        Add(page, {{f, f}, {f + 2000, f}, {f + 2000, f + 2000}, {f, f + 2000}, {f, f}}, CurveKind::Cut);
        state.ResumeTiming();
        page.DemoteNestedOutlines();
        benchmark::DoNotOptimize(page.m_curves.size());
    }
    state.SetComplexityN(n);
}
BENCHMARK(BM_NestedOutlinesFarOut)->RangeMultiplier(2)->Range(14000, 113000)->Unit(benchmark::kMillisecond)->Complexity();

void BM_SplitLongCut(benchmark::State& state)
{
    // One zigzag cut line; a 10 mm knife length with 2 + 2 tenths of gap.
    const int n = static_cast<int>(state.range(0));
    std::vector<PlotPoint> pts;
    pts.reserve(n);
    for (int i = 0; i < n; ++i) pts.push_back({i * 20, (i % 2) * 15});
    for (auto _ : state) {
        state.PauseTiming();
        COnePage page;
        Add(page, pts, CurveKind::Cut);
        state.ResumeTiming();
        page.SplitLongCuts(400, 4);
        benchmark::DoNotOptimize(page.m_curves.size());
    }
    state.SetComplexityN(n);
}
BENCHMARK(BM_SplitLongCut)->RangeMultiplier(2)->Range(20000, 320000)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace
