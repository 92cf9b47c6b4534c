// Reading a full-size marker: 8,000,000 bytes, about half a million PD commands.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <cstdlib>
#include <fstream>
#include <string>

#include "import/HpglFile.h"
#include "import/StrokeFont.h"
#include "model/Page.h"
#include "model/Settings.h"
#include "model/Text.h"
#include "tests/support/TempFolder.h"

namespace {

void Quiet(const char*, const std::u16string&, const std::u16string&) {}

// The benchmark's files, removed with their folder when the program ends.
testsupport::TempFolder& BenchFolder()
{
    static testsupport::TempFolder folder("orlat_bench_hpgl_");
    return folder;
}

// Pieces in the style of garment CAD output: pen-up moves, runs of pen-down
// moves, pen and line-type changes.
const std::string& MarkerPath()
{
    static const std::string path = [] {
        const std::string p = BenchFolder().File("marker.plt");
        std::string text = "IN;SP1;LT;";
        text.reserve(8000000);
        unsigned x = 1000, y = 1000, i = 0;
        while (text.size() < 8000000 - 64) {
            if (i % 40 == 0) {
                x = (x * 69069u + 7u) % 90000u;
                text += "PU" + std::to_string(x) + "," + std::to_string(y) + ";";
            }
            if (i % 4000 == 0) text += (i / 4000) % 2 ? "SP2;" : "SP1;";
            x = (x * 1103515245u + 12345u) % 90000u;
            y = (y * 22695477u + 1u) % 20000u;
            text += "PD" + std::to_string(x) + "," + std::to_string(y) + ";";
            ++i;
        }
        text.resize(8000000, ' ');
        std::ofstream(p, std::ios::binary) << text;
        return p;
    }();
    return path;
}

// The program's fonts in a folder of their own, as the program has them.
void UseProgramFonts()
{
    static const bool done = [] {
        const std::string dir = BenchFolder().File("program") + "/";
        std::filesystem::create_directories(dir);
        theSettings.InitPathsFrom(FromUtf8(dir));
        return true;
    }();
    (void)done;
    SetMessageSink(&Quiet);
}

// The marker into a page, as the import does.
void BM_ReadMarkerToPage(benchmark::State& state)
{
    UseProgramFonts();
    const std::u16string path = FromUtf8(MarkerPath());
    size_t curves = 0, points = 0;
    for (auto _ : state) {
        CHpglFile r;
        r.m_strPath = path;
        if (r.ReadPltFile() != 0) state.SkipWithError("read failed");
        COnePage page;
        r.ToPage(page, true);
        // The bounds and extents as the import takes them, gathered by the reader.
        r.CurveBounds().Apply(page);
        curves = page.m_curves.size();
        points = 0;
        for (const auto& c : page.m_curves) points += c->m_points.size();
        benchmark::DoNotOptimize(curves);
    }
    state.counters["curves"] = static_cast<double>(curves);
    state.counters["points"] = static_cast<double>(points);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 8000000);
}
BENCHMARK(BM_ReadMarkerToPage)->Unit(benchmark::kMillisecond);

}  // namespace
