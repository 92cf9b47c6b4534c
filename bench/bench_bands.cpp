// Band engine speed: one band of the widest job, and a dense 3 m marker from
// its curves to every packed band.
#include <benchmark/benchmark.h>

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>

#include "bench/BenchSnapshot.h"
#include "link/output/BandCounters.h"
#include "link/output/BandEngine.h"
#include "model/Page.h"

namespace {

// FNV-1a over a band's packed stream: the same bands give the same figure
// before and after a change to the engine.
uint64_t Fnv(uint64_t h, const BandBuffers& buf)
{
    const auto* p = reinterpret_cast<const uint8_t*>(buf.packed);
    for (int32_t i = 0; i < buf.packedBytes; ++i) h = (h ^ p[i]) * 1099511628211ull;
    return h;
}

// The hashes of the packed bands as recorded: a faster engine that sends
// other bytes fails the run instead of printing a number nobody compares.
// A change meant to alter the bands records the new values here.
constexpr uint64_t kWidestBandHash = 0x195c1bf6dd0e0796;
constexpr uint64_t kWidestBandOverInkedHash = 0xf29dd0da47c65943;
constexpr uint64_t kDenseMarkerHash = 0x1d2e1e83d66bd7cc;
constexpr uint64_t kOverInkedMarkerHash = 0x5915b6a08496c48d;

// Set when a benchmark's bands differ from the recorded ones; main's result.
bool g_bandsDiffer = false;

// False, with the benchmark stopped and the run marked failed, when the bands differ.
bool SameBands(benchmark::State& state, const char* what, uint64_t got, uint64_t recorded)
{
    if (got == recorded) return true;
    char message[200];
    std::snprintf(message, sizeof message,
                  "%s: the packed bands hash to 0x%016" PRIx64 ", recorded 0x%016" PRIx64 ": the engine sends other bytes",
                  what, got, recorded);
    std::fprintf(stderr, "bench_bands: %s\n", message);
    state.SkipWithError(message);
    g_bandsDiffer = true;
    return false;
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

// A dense marker: about a million points on 2,000 pieces over 3 m x 1.9 m,
// about 500 m of printed line.
void FillDenseMarker(COnePage& page)
{
    FillMarker(page, 2000, 500, 3000, 1900, 9);
}

// Over-inked stress case: 5,000 pieces, about 1,900 m of line on the same area.
void FillOverInkedMarker(COnePage& page)
{
    FillMarker(page, 5000, 200, 3000, 1900, 9);
}

// One band in the middle of the marker at the widest job the width check
// allows (about 11,750 columns).
void WidestBand(benchmark::State& state, const char* what, void (*fill)(COnePage&), uint64_t recorded)
{
    const JobSnapshot s = BenchSnapshot();
    COnePage page;
    fill(page);
    const int32_t columns = 11750;
    BandEngine engine;
    if (!engine.Setup(page, s, columns, 1000)) {
        state.SkipWithError("setup refused");
        return;
    }
    BandBuffers& buf = TheBandBuffers();
    uint64_t h = 14695981039346656037ull;
    for (int32_t j = 60; j <= 64; ++j) {
        engine.PrepareBand(j, buf);
        h = Fnv(h, buf);
    }
    if (!SameBands(state, what, h, recorded)) return;
    int32_t band = 60;
    for (auto _ : state) {
        engine.PrepareBand(band, buf);
        benchmark::DoNotOptimize(buf.packedBytes);
        band = band == 64 ? 60 : band + 1;
    }
    state.counters["columns"] = columns;
    state.counters["packedBytes"] = buf.packedBytes;
}
void BM_WidestBand(benchmark::State& state) { WidestBand(state, "BM_WidestBand", FillDenseMarker, kWidestBandHash); }
void BM_WidestBandOverInked(benchmark::State& state)
{
    WidestBand(state, "BM_WidestBandOverInked", FillOverInkedMarker, kWidestBandOverInkedHash);
}
BENCHMARK(BM_WidestBand)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WidestBandOverInked)->Unit(benchmark::kMillisecond);

// Only the packing step of that band: its records packed again and again.
void BM_WidestBandPacking(benchmark::State& state)
{
    const JobSnapshot s = BenchSnapshot();
    COnePage page;
    FillDenseMarker(page);
    const int32_t columns = 11750;
    BandEngine engine;
    if (!engine.Setup(page, s, columns, 1000)) {
        state.SkipWithError("setup refused");
        return;
    }
    BandBuffers& buf = TheBandBuffers();
    engine.PrepareBand(62, buf);
    const size_t words = (static_cast<size_t>(columns) + kLeadInRecords) * (kRecordBytes / 2);
    size_t packed = 0;
    for (auto _ : state) {
        packed = CompressZeroRuns(buf.records, words, buf.packed, kPackedBandWords);
        benchmark::DoNotOptimize(packed);
    }
    state.counters["packedBytes"] = static_cast<double>(packed * 2);
}
BENCHMARK(BM_WidestBandPacking)->Unit(benchmark::kMillisecond);

// From the page's curves to every packed band of the marker.
void WholeMarker(benchmark::State& state, const char* what, void (*fill)(COnePage&), uint64_t recorded)
{
    const JobSnapshot s = BenchSnapshot();
    COnePage page;
    fill(page);
    size_t points = 0;
    for (const auto& c : page.m_curves) points += c->m_points.size();
    const BandCountResult count = CountBandsOf(page.m_maxX, page.m_maxY, s);
    BandBuffers& buf = TheBandBuffers();
    // The hash of every band, worked out before the timed runs: hashing is
    // not the engine's work. This engine is gone before the next is set up,
    // so the peak memory is one job's.
    uint64_t h = 14695981039346656037ull;
    {
        BandEngine engine;
        if (!engine.Setup(page, s, count.columns, count.bands)) {
            state.SkipWithError("setup refused");
            return;
        }
        for (int32_t j = 0; j < count.bands; ++j) {
            engine.PrepareBand(j, buf);
            h = Fnv(h, buf);
        }
    }
    if (!SameBands(state, what, h, recorded)) return;
    // A fresh engine each time, as for a job: its memory is touched anew.
    for (auto _ : state) {
        BandEngine job;
        job.Setup(page, s, count.columns, count.bands);
        int64_t bytes = 0;
        for (int32_t j = 0; j < count.bands; ++j) {
            job.PrepareBand(j, buf);
            bytes += buf.packedBytes;
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["points"] = static_cast<double>(points);
    state.counters["bands"] = count.bands;
    state.counters["columns"] = count.columns;
}
void BM_DenseMarker3m(benchmark::State& state) { WholeMarker(state, "BM_DenseMarker3m", FillDenseMarker, kDenseMarkerHash); }
void BM_OverInkedMarker3m(benchmark::State& state) { WholeMarker(state, "BM_OverInkedMarker3m", FillOverInkedMarker, kOverInkedMarkerHash); }
BENCHMARK(BM_DenseMarker3m)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OverInkedMarker3m)->Unit(benchmark::kMillisecond);

}  // namespace

// Its own main, so that bands that differ fail the run (benchmark_main, also
// on the link line, is then not taken from its archive).
int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return g_bandsDiffer ? 1 : 0;
}
