// DXF load and conversion of arbitrary bytes; first the reader against the
// 32 KiB-window reader it replaced (the oracle): the same pairs, seeks and
// window, operation by operation; then the load and conversion against the
// import it replaced: the same drawing, page and label bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "DxfDrawingDump.h"
#include "OracleDxfImport.h"
#include "OracleDxfReader.h"
#include "import/DxfImport.h"
#include "import/DxfReader.h"
#include "import/DxfLabelFile.h"
#include "model/Curve.h"
#include "model/Page.h"
#include "model/Settings.h"
#include "model/Text.h"
#include "tests/support/TempFolder.h"

namespace {

// One folder per fuzzing process for the input copy and the label file,
// removed when the process ends.
const std::filesystem::path& WorkDir()
{
    static const testsupport::TempFolder folder("orlat_fuzz_dxf_");
    static const bool set = [] {
        theSettings.Set(Slot::DxfUnit, 40);
        theSettings.SetPath(Slot::ProgramDir, folder.Dir());
        return true;
    }();
    (void)set;
    return folder.path();
}

template <class R>
bool SameState(const DxfReader& a, const R& b)
{
    return a.pos == b.pos && a.mark == b.mark && a.size == b.size && a.bufferStart == b.bufferStart &&
           a.bufferLen == b.bufferLen && a.section == b.section && a.table == b.table && a.code == b.code &&
           std::string(a.value.data()) == std::string(b.value.data());
}

void CompareReaders(const std::u16string& path, const uint8_t* data, size_t size)
{
    auto now = DxfOpenReader(path);
    auto was = oracle::DxfOpenReader(path);
    if (!now != !was) __builtin_trap();
    if (!now) return;
    for (size_t step = 0; step < 4 * size + 8 && !(DxfAtEnd(*now) && step > size); ++step) {
        const int op = size ? data[step % size] % 8 : 0;
        long a = 0, b = 0;
        switch (op) {
        case 0: case 1: case 2: a = DxfReadPair(*now); b = oracle::DxfReadPair(*was); break;
        case 3: DxfSetMark(*now); oracle::DxfSetMark(*was); break;
        case 4: DxfRewind(*now); oracle::DxfRewind(*was); break;
        case 5: a = DxfSeekGroup(*now, 0, "SECTION"); b = oracle::DxfSeekGroup(*was, 0, "SECTION"); break;
        case 6: a = DxfNextSection(*now); b = oracle::DxfNextSection(*was); break;
        default: {
            char x[5], y[5];
            a = static_cast<long>(DxfGetLine(*now, x, sizeof x));
            b = static_cast<long>(oracle::DxfGetLine(*was, y, sizeof y));
            if (a == b && std::string(x) != std::string(y)) __builtin_trap();
        }
        }
        if (a != b || !SameState(*now, *was)) __builtin_trap();
    }
}

// A digest of the page's curves: a page may hold millions of points.
uint64_t PageDigest(const COnePage& page)
{
    uint64_t h = 1469598103934665603ull;
    auto mix = [&h](int64_t v) {
        h ^= static_cast<uint64_t>(v);
        h *= 1099511628211ull;
    };
    for (const auto& c : page.m_curves) {
        mix(c->m_kind);
        mix(static_cast<int64_t>(c->m_points.size()));
        for (const PlotPoint& p : c->m_points) mix((int64_t{p.x} << 32) ^ static_cast<uint32_t>(p.y));
    }
    return h;
}

std::string FileText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The oracle import of the same file: its drawing, and when it loads, its
// conversion result, page and label bytes.
struct OracleOutcome {
    int loaded = 0;
    std::string drawing;
    int result = 0;
    uint64_t page = 0;
    std::string labels;
};

OracleOutcome RunOracle(const std::u16string& path)
{
    OracleOutcome o;
    oracle::CDxfDrawing dxf;
    if (dxf.CreateDrawing() != 1) __builtin_trap();
    o.loaded = dxf.LoadDxf(path);
    o.drawing = dxfdump::DumpDrawing(*dxf.Drawing());
    if (o.loaded != 1) return o;
    const std::filesystem::path labelPath = WorkDir() / "oracle.plt";
    {
        CDxfLabelFile labels;
        labels.Create(FromUtf8(labelPath.string()));
        labels.Write("IN;SP1;");
        COnePage page;
        o.result = dxf.ImportToPage(page, labels);
        labels.Close();
        o.page = PageDigest(page);
    }
    o.labels = FileText(labelPath);
    return o;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::filesystem::path file = WorkDir() / "input.dxf";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    CompareReaders(FromUtf8(file.string()), data, size);
    const OracleOutcome was = RunOracle(FromUtf8(file.string()));
    CDxfDrawing dxf;
    if (dxf.CreateDrawing() != 1) __builtin_trap();
    // Any readable file loads, unless it holds more blocks or table entries
    // than the drawing takes: then the load fails and says why.
    const int loaded = dxf.LoadDxf(FromUtf8(file.string()));
    if (loaded != was.loaded || dxfdump::DumpDrawing(*dxf.Drawing()) != was.drawing) __builtin_trap();
    if (loaded != 1) {
        if (dxf.Drawing()->error == DxfLoadError::None) __builtin_trap();
        return 0;
    }
    COnePage page;
    int result = 0;
    {
        CDxfLabelFile labels;
        labels.Create(DxfLabelFilePath());
        labels.Write("IN;SP1;");
        result = dxf.ImportToPage(page, labels);
        dxf.DestroyDrawing();
        labels.Close();
    }
    if (result != DxfImportResult::Ok && result != DxfImportResult::TooLarge) __builtin_trap();
    if (result != was.result || PageDigest(page) != was.page || FileText(ToUtf8(DxfLabelFilePath())) != was.labels)
        __builtin_trap();
    return 0;
}
