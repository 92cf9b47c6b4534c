// Bytes as a plot file: read, then convert into a page.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "import/HpglFile.h"
#include "import/StrokeFont.h"
#include "model/Page.h"
#include "model/Settings.h"
#include "model/Text.h"
#include "tests/import/FontBuilder.h"

namespace {

void Quiet(const char*, const std::u16string&, const std::u16string&) {}

std::string g_plotPath;

void WriteFile(const std::string& path, const uint8_t* data, size_t size)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const std::string base = "/tmp/orlat_fuzz_hpgl_" + std::to_string(::getpid());
    const auto en = fontbuilder::MakeEnFont(fontbuilder::EnGlyphs());
    const auto hz = fontbuilder::MakeHzFont(fontbuilder::HzGlyphs());
    WriteFile(base + "_en.bin", en.data(), en.size());
    WriteFile(base + "_hz.bin", hz.data(), hz.size());
    theSettings.SetPath(Slot::FontEnPath, FromUtf8(base + "_en.bin"));
    theSettings.SetPath(Slot::FontHzPath, FromUtf8(base + "_hz.bin"));
    SetMessageSink(&Quiet);
    g_plotPath = base + ".plt";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WriteFile(g_plotPath, data, size);
    CHpglFile r;
    r.m_strPath = FromUtf8(g_plotPath);
    // Small blocks in every other run: block ends must not change anything.
    r.m_blockSize = size % 2 ? 7 : size_t{1} << 20;
    const int rc = r.ReadPltFile();
    if (rc != 0 && rc != -2 && rc != -3) std::abort();
    if (rc == 0) {
        COnePage page;
        r.ToPage(page, true);
        page.CalcPageBounds();
    }
    return 0;
}
