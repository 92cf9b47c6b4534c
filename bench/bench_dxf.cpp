// Loading and converting a 20 MB DXF marker: reader, stores and conversion.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "import/DxfReader.h"
#include "import/DxfImport.h"
#include "import/DxfLabelFile.h"
#include "model/Page.h"
#include "model/Settings.h"
#include "model/Text.h"
#include "tests/support/TempFolder.h"

namespace {

// prefix + number (operator+ on a literal trips a false -Wrestrict in g++ 12).
std::string Name(const char* prefix, int n)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%d", prefix, n);
    return buf;
}

// A marker as garment CAD programs write it: layers, a few piece blocks and
// many lines, polylines, circles and labels, with CR LF line ends.
std::string MakeMarker(size_t targetBytes)
{
    std::string s;
    s.reserve(targetBytes + 4096);
    auto pair = [&s](int code, const std::string& value) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%3d\r\n", code);
        s += buf;
        s += value;
        s += "\r\n";
    };
    auto num = [](double v) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.4f", v);
        return std::string(buf);
    };
    pair(0, "SECTION"); pair(2, "TABLES");
    pair(0, "TABLE"); pair(2, "LTYPE"); pair(0, "LTYPE"); pair(2, "CONTINUOUS"); pair(70, "0"); pair(0, "ENDTAB");
    pair(0, "TABLE"); pair(2, "LAYER");
    for (int i = 0; i < 20; ++i) {
        pair(0, "LAYER"); pair(2, Name("L", i)); pair(70, "0"); pair(62, std::to_string(i + 1));
        pair(6, "CONTINUOUS");
    }
    pair(0, "ENDTAB"); pair(0, "ENDSEC");
    pair(0, "SECTION"); pair(2, "BLOCKS");
    for (int b = 0; b < 50; ++b) {
        pair(0, "BLOCK"); pair(8, "0"); pair(2, Name("PIECE", b)); pair(70, "0");
        pair(10, "0.0"); pair(20, "0.0"); pair(30, "0.0");
        pair(0, "POLYLINE"); pair(8, "L1"); pair(66, "1"); pair(70, "1");
        for (int v = 0; v < 200; ++v) {
            pair(0, "VERTEX"); pair(8, "L1"); pair(10, num(b * 300 + v * 1.5)); pair(20, num(v * 0.75));
        }
        pair(0, "SEQEND"); pair(0, "ENDBLK");
    }
    pair(0, "ENDSEC");
    pair(0, "SECTION"); pair(2, "ENTITIES");
    for (int i = 0; s.size() < targetBytes; ++i) {
        const std::string layer = Name("L", i % 20);
        switch (i % 10) {
        case 0:
            pair(0, "CIRCLE"); pair(8, layer); pair(10, num(i * 0.1)); pair(20, num(i * 0.05)); pair(40, "2.5");
            break;
        case 1:
            pair(0, "TEXT"); pair(8, layer); pair(10, num(i * 0.1)); pair(20, num(i * 0.05)); pair(40, "5");
            pair(1, Name("SIZE 38 PIECE ", i));
            break;
        case 2:
            pair(0, "POLYLINE"); pair(8, layer); pair(66, "1"); pair(70, "0");
            for (int v = 0; v < 12; ++v) {
                pair(0, "VERTEX"); pair(8, layer); pair(10, num(i * 0.1 + v)); pair(20, num(v * 2.0));
            }
            pair(0, "SEQEND");
            break;
        case 3:
            if (i % 1000 == 3) {
                pair(0, "INSERT"); pair(8, layer); pair(2, Name("PIECE", (i / 1000) % 50));
                pair(10, "0"); pair(20, "0");
                break;
            }
            [[fallthrough]];
        default:
            pair(0, "LINE"); pair(8, layer); pair(10, num(i * 0.1)); pair(20, num(i * 0.05)); pair(30, "0.0");
            pair(11, num(i * 0.1 + 3)); pair(21, num(i * 0.05 + 4)); pair(31, "0.0");
            break;
        }
    }
    pair(0, "ENDSEC"); pair(0, "EOF");
    return s;
}

struct MarkerFile {
    MarkerFile()
    {
        dir = folder.path();
        path = dir / "marker.dxf";
        const std::string bytes = MakeMarker(20u * 1024 * 1024);
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        size = bytes.size();
        theSettings.Set(Slot::DxfUnit, 40);
        theSettings.SetPath(Slot::ProgramDir, FromUtf8(dir.string() + "/"));
    }
    testsupport::TempFolder folder{"orlat_bench_dxf_"};
    std::filesystem::path dir, path;
    size_t size = 0;
};

MarkerFile& Marker()
{
    static MarkerFile file;
    return file;
}

void BM_DxfLoad(benchmark::State& state)
{
    MarkerFile& m = Marker();
    const std::u16string path = FromUtf8(m.path.string());
    for (auto _ : state) {
        CDxfDrawing dxf;
        dxf.CreateDrawing();
        if (dxf.LoadDxf(path) != 1) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(dxf.Drawing()->entities.records.size());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * m.size));
}
BENCHMARK(BM_DxfLoad)->Unit(benchmark::kMillisecond);

void BM_DxfLoadAndConvert(benchmark::State& state)
{
    MarkerFile& m = Marker();
    const std::u16string path = FromUtf8(m.path.string());
    size_t curves = 0;
    for (auto _ : state) {
        CDxfDrawing dxf;
        dxf.CreateDrawing();
        dxf.LoadDxf(path);
        CDxfLabelFile labels;
        labels.Create(DxfLabelFilePath());
        labels.Write("IN;SP1;");
        COnePage page;
        if (dxf.ImportToPage(page, labels) != DxfImportResult::Ok) state.SkipWithError("import failed");
        dxf.DestroyDrawing();
        labels.Close();
        curves = page.m_curves.size();
    }
    state.counters["curves"] = static_cast<double>(curves);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * m.size));
}
BENCHMARK(BM_DxfLoadAndConvert)->Unit(benchmark::kMillisecond);

// Every pair of the marker through the reader.
template <class ReadPair>
void ReadAllPairs(benchmark::State& state, ReadPair readPair)
{
    MarkerFile& m = Marker();
    const std::u16string path = FromUtf8(m.path.string());
    size_t pairs = 0;
    for (auto _ : state) {
        auto r = DxfOpenReader(path);
        pairs = 0;
        while (!DxfAtEnd(*r)) {
            readPair(*r);
            ++pairs;
        }
        benchmark::DoNotOptimize(r->code);
    }
    state.counters["pairs"] = static_cast<double>(pairs);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * m.size));
}

void BM_DxfReadPairs(benchmark::State& state)
{
    ReadAllPairs(state, DxfReadPair);
}
BENCHMARK(BM_DxfReadPairs)->Unit(benchmark::kMillisecond);

// The same without the copy into the pair buffer, as the entity readers read.
void BM_DxfReadPairViews(benchmark::State& state)
{
    ReadAllPairs(state, DxfReadPairView);
}
BENCHMARK(BM_DxfReadPairViews)->Unit(benchmark::kMillisecond);

// A marker of n pieces as garment CAD programs write unnamed ones: n blocks
// all named "?????", each a closed four-point polyline, inserted once each.
// Load and conversion must stay linear in n up to the block table's bound.
void BM_DxfSharedNamePieces(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    std::string blocks, inserts;
    for (int i = 0; i < n; ++i) {
        const int x = (i % 100) * 120, y = (i / 100) * 100;
        blocks += "0\r\nBLOCK\r\n2\r\n?????\r\n0\r\nPOLYLINE\r\n70\r\n1\r\n";
        for (int k = 0; k < 4; ++k)
            blocks += "0\r\nVERTEX\r\n10\r\n" + std::to_string(x + (k == 1 || k == 2 ? 100 : 0)) + "\r\n20\r\n" +
                      std::to_string(y + (k >= 2 ? 80 : 0)) + "\r\n";
        blocks += "0\r\nSEQEND\r\n0\r\nENDBLK\r\n";
        inserts += "0\r\nINSERT\r\n2\r\n?????\r\n";
    }
    const std::string bytes = "0\r\nSECTION\r\n2\r\nBLOCKS\r\n" + blocks + "0\r\nENDSEC\r\n0\r\nSECTION\r\n2\r\nENTITIES\r\n" +
                              inserts + "0\r\nENDSEC\r\n0\r\nEOF\r\n";
    MarkerFile& m = Marker();  // its folder and settings
    const std::filesystem::path file = m.dir / "pieces.dxf";
    std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    const std::u16string path = FromUtf8(file.string());
    size_t curves = 0;
    for (auto _ : state) {
        CDxfDrawing dxf;
        dxf.CreateDrawing();
        if (dxf.LoadDxf(path) != 1) state.SkipWithError("load failed");
        CDxfLabelFile labels;
        labels.Create(DxfLabelFilePath());
        COnePage page;
        dxf.ImportToPage(page, labels);
        labels.Close();
        curves = page.m_curves.size();
    }
    if (curves != static_cast<size_t>(n)) state.SkipWithError("a piece lost or drawn twice");
    state.counters["pieces"] = static_cast<double>(curves);
    state.SetComplexityN(n);
}
BENCHMARK(BM_DxfSharedNamePieces)->RangeMultiplier(4)->Range(256, 65536)->Complexity()->Unit(benchmark::kMillisecond);

}  // namespace
