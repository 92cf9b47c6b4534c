// DXF load and conversion of arbitrary bytes; first the reader against the
// 32 KiB-window reader it replaced (the oracle): the same pairs, seeks and
// window, operation by operation.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "OracleDxfReader.h"
#include "import/DxfImport.h"
#include "import/DxfReader.h"
#include "import/DxfLabelFile.h"
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::filesystem::path file = WorkDir() / "input.dxf";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    CompareReaders(FromUtf8(file.string()), data, size);
    CDxfDrawing dxf;
    if (dxf.CreateDrawing() != 1) __builtin_trap();
    // Any readable file loads, unless it holds more blocks or table entries
    // than the drawing takes: then the load fails and says why.
    if (dxf.LoadDxf(FromUtf8(file.string())) != 1) {
        if (dxf.Drawing()->error == DxfLoadError::None) __builtin_trap();
        return 0;
    }
    CDxfLabelFile labels;
    labels.Create(DxfLabelFilePath());
    labels.Write("IN;SP1;");
    COnePage page;
    const int result = dxf.ImportToPage(page, labels);
    if (result != DxfImportResult::Ok && result != DxfImportResult::TooLarge) __builtin_trap();
    dxf.DestroyDrawing();
    labels.Close();
    return 0;
}
