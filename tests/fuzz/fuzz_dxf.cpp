// DXF load and conversion of arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "import/DxfImport.h"
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::filesystem::path file = WorkDir() / "input.dxf";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
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
