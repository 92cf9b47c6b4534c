// The job start's check that every cut pass fits the machine's knife buffer,
// on the UI thread before a job starts: a dense 3 m marker of cut lines, the
// check (one walk for the bounds, passes built only where a bound passes the
// buffer) against building every pass as the sending thread does.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "bench/BenchSnapshot.h"
#include "link/job/KnifePass.h"
#include "link/output/BandCounters.h"
#include "model/KnifePoint.h"
#include "model/Page.h"

namespace {

JobSnapshot Snap()
{
    JobSnapshot s = BenchSnapshot();
    s.params.cutSpeed = 3;
    return s;
}

// A day's large marker: 300,000 points of cut outlines, 600 pieces over
// 3 m x 1.9 m, every pass well within the buffer. dense: a million points,
// 2,000 pieces packed into the first 0.2 m, so the first pass's bound passes
// the buffer, that pass is built and the job refused.
const COnePage& Marker(bool dense)
{
    static COnePage pages[2];
    COnePage& page = pages[dense ? 1 : 0];
    if (!page.m_curves.empty()) return page;
    std::mt19937 rng(9);
    const double lengthMm = dense ? 200 : 3000;
    std::uniform_real_distribution<double> cx(0, lengthMm * 40), cy(0, 1900 * 40), rad(400, 4000);
    for (int k = 0, pieces = dense ? 2000 : 600; k < pieces; ++k) {
        auto c = std::make_unique<CCurve>();
        const double x = cx(rng), y = cy(rng), r = rad(rng);
        for (int i = 0; i <= 500; ++i) {
            const double a = 6.28318530718 * i / 500;
            const double wobble = 1.0 + 0.2 * std::sin(5 * a);
            c->m_points.push_back(PlotPoint{static_cast<int32_t>(x + r * wobble * std::cos(a)),
                                            static_cast<int32_t>(y + r * wobble * std::sin(a))});
        }
        c->m_kind = CurveKind::Cut;
        page.m_curves.push_back(std::move(c));
    }
    // As long as the sparse one, so both have the same passes.
    auto end = std::make_unique<CCurve>();
    end->m_points = {{0, 0}, {3000 * 40, 0}};
    end->m_kind = CurveKind::Plot;
    page.m_curves.push_back(std::move(end));
    page.CalcPageBounds();
    return page;
}

void Check(benchmark::State& state, bool dense)
{
    const JobSnapshot s = Snap();
    const COnePage& page = Marker(dense);
    const int32_t bands = CountBandsOf(page.m_maxX, page.m_maxY, s).bands;
    int32_t refused = -1;
    for (auto _ : state) {
        refused = FirstOversizedCutPass(bands, page, s);
        benchmark::DoNotOptimize(refused);
    }
    state.counters["bands"] = bands;
    state.counters["refused_pass"] = refused;
}

void BM_KnifeCheckSpread(benchmark::State& state) { Check(state, false); }
void BM_KnifeCheckDense(benchmark::State& state) { Check(state, true); }
BENCHMARK(BM_KnifeCheckSpread)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KnifeCheckDense)->Unit(benchmark::kMillisecond);

// What the check would cost if it built every pass.
void BM_EveryPassBuilt(benchmark::State& state)
{
    const JobSnapshot s = Snap();
    const COnePage& page = Marker(false);
    const int32_t bands = CountBandsOf(page.m_maxX, page.m_maxY, s).bands;
    const int32_t passes = (bands + s.params.bandsPerCutSegment - 1) / s.params.bandsPerCutSegment;
    std::vector<KnifePoint> path;
    for (auto _ : state) {
        int64_t points = 0;
        for (int32_t i = 0; i < passes; ++i) points += BuildCutPass(i, page, s, path);
        benchmark::DoNotOptimize(points);
    }
    state.counters["passes"] = passes;
}
BENCHMARK(BM_EveryPassBuilt)->Unit(benchmark::kMillisecond);

}  // namespace
