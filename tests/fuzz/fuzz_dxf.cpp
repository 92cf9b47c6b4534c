// DXF load and conversion of arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "import/DxfImport.h"
#include "import/DxfLabelFile.h"
#include "model/Page.h"
#include "model/Settings.h"
#include "model/Text.h"

namespace {

// One folder per fuzzing process for the input copy and the label file,
// removed when the process ends.
struct WorkFolder {
    WorkFolder()
    {
        path = std::filesystem::temp_directory_path() / ("orlat_fuzz_dxf_" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        theSettings.Set(Slot::DxfUnit, 40);
        theSettings.SetPath(Slot::ProgramDir, FromUtf8(path.string() + "/"));
    }
    ~WorkFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::filesystem::path path;
};

const std::filesystem::path& WorkDir()
{
    static const WorkFolder folder;
    return folder.path;
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
    if (dxf.LoadDxf(FromUtf8(file.string())) != 1) __builtin_trap();  // any readable file loads
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
