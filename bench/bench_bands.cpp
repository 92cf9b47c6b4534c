// Band engine speed: one band of the widest job, and a dense 3 m marker from
// its curves to every packed band.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>

#include "link/BandCounters.h"
#include "link/BandEngine.h"
#include "model/Page.h"

namespace {

JobSnapshot DefaultSnap()
{
    JobSnapshot s;
    MachineParams& p = s.params;
    p.pulsesPerMmX = 60.5;
    p.pulsesPerMmY = 41.36;
    p.inkIntervalPulses = 7;
    p.headSelect = 0;
    p.headOverlapRows = 2;
    p.head2Position = 145;
    p.bandsPerCutSegment = 8;
    p.outputPerMeterX = p.outputPerMeterY = 10000;
    s.lineWidth = 2;
    return s;
}

// Closed piece outlines of `points` points each, `pieces` of them, spread
// over length x width millimetres; every tenth piece dashed.
void FillMarker(COnePage& page, int pieces, int points, double lengthMm, double widthMm, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> cx(0, lengthMm * 40), cy(0, widthMm * 40), rad(400, 4000);
    for (int k = 0; k < pieces; ++k) {
        auto c = std::make_unique<CCurve>();
        const double x = cx(rng), y = cy(rng), r = rad(rng);
        for (int i = 0; i <= points; ++i) {
            const double a = 6.28318530718 * i / points;
            const double wobble = 1.0 + 0.2 * std::sin(5 * a);
            c->m_points.push_back(PlotPoint{static_cast<int32_t>(x + r * wobble * std::cos(a)),
                                            static_cast<int32_t>(y + r * wobble * std::sin(a))});
        }
        c->m_kind = CurveKind::Plot;
        c->m_lineType = (k % 10 == 0) ? 1 : 0;
        page.m_curves.push_back(std::move(c));
    }
    page.CalcPageBounds();
    page.CalcInkExtents();
}

void BM_WidestBand(benchmark::State& state)
{
    const JobSnapshot s = DefaultSnap();
    COnePage page;
    // About 11,750 columns: 1,990 mm across; the band (25 mm) densely drawn.
    FillMarker(page, 400, 200, 25, 1990, 3);
    const int32_t columns = 11750;
    BandEngine engine;
    if (!engine.Setup(page, s, columns)) {
        state.SkipWithError("setup refused");
        return;
    }
    BandBuffers& buf = TheBandBuffers();
    for (auto _ : state) {
        engine.PrepareBand(0, buf);
        benchmark::DoNotOptimize(buf.packedBytes);
    }
    state.counters["columns"] = columns;
    state.counters["packedBytes"] = buf.packedBytes;
}
BENCHMARK(BM_WidestBand)->Unit(benchmark::kMillisecond);

void BM_DenseMarker3m(benchmark::State& state)
{
    const JobSnapshot s = DefaultSnap();
    COnePage page;
    FillMarker(page, 5000, 200, 3000, 1900, 9);  // about a million points
    size_t points = 0;
    for (const auto& c : page.m_curves) points += c->m_points.size();
    const BandCountResult count = CountBandsOf(page.m_maxX, page.m_maxY, s);
    BandBuffers& buf = TheBandBuffers();
    BandEngine engine;
    for (auto _ : state) {
        if (!engine.Setup(page, s, count.columns)) {
            state.SkipWithError("setup refused");
            return;
        }
        int64_t bytes = 0;
        for (int32_t j = 0; j < count.bands; ++j) {
            engine.PrepareBand(j, buf);
            bytes += buf.packedBytes;
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["points"] = static_cast<double>(points);
    state.counters["bands"] = count.bands;
    state.counters["columns"] = count.columns;
}
BENCHMARK(BM_DenseMarker3m)->Unit(benchmark::kMillisecond);

}  // namespace
