// The record operations on long curves and the task file of a large job list:
// the point clean-up must stay linear in the point count.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "model/Curve.h"
#include "model/Page.h"
#include "model/TaskFile.h"
#include "bench/LargeList.h"

namespace {

// Straight runs with repeated points: both clean-ups remove about half.
std::vector<PlotPoint> LongCurve(size_t n)
{
    std::vector<PlotPoint> pts;
    pts.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        const auto k = static_cast<int32_t>(i / 2);
        pts.push_back((k / 8) % 2 ? PlotPoint{k, k % 8} : PlotPoint{k, 0});
    }
    return pts;
}

// One clean-up over a fresh copy of a long curve per iteration.
void RunCleanUp(benchmark::State& state, void (CCurve::*cleanUp)())
{
    const std::vector<PlotPoint> pts = LongCurve(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        CCurve c;
        c.m_points = pts;
        state.ResumeTiming();
        (c.*cleanUp)();
        benchmark::DoNotOptimize(c.m_points.data());
    }
    state.SetComplexityN(state.range(0));
}

void BM_RemoveDuplicates(benchmark::State& state) { RunCleanUp(state, &CCurve::RemoveDuplicates); }
BENCHMARK(BM_RemoveDuplicates)->Range(1 << 14, 1 << 19)->Complexity()->Unit(benchmark::kMillisecond);

void BM_RemoveCollinear(benchmark::State& state) { RunCleanUp(state, &CCurve::RemoveCollinear); }
BENCHMARK(BM_RemoveCollinear)->Range(1 << 14, 1 << 19)->Complexity()->Unit(benchmark::kMillisecond);

void BM_StoreTaskBytes(benchmark::State& state)
{
    auto pages = LargeJobList();
    size_t bytes = 0;
    for (auto _ : state) {
        const std::vector<uint8_t> out = StoreTaskBytes(pages);
        bytes = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_StoreTaskBytes)->Unit(benchmark::kMillisecond);

void BM_LoadTaskBytes(benchmark::State& state)
{
    auto pages = LargeJobList();
    const std::vector<uint8_t> bytes = StoreTaskBytes(pages);
    for (auto _ : state) {
        std::vector<std::unique_ptr<COnePage>> loaded;
        if (LoadTaskBytes(bytes, loaded) != TaskFileStatus::Ok) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(loaded.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_LoadTaskBytes)->Unit(benchmark::kMillisecond);

}  // namespace
