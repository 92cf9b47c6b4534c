// Bytes as each stroke-font file in turn, the other font sound; labels drawn
// with every code the fuzzed index holds.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "import/HpglFile.h"
#include "import/StrokeFont.h"
#include "model/Page.h"
#include "model/Settings.h"
#include "model/Text.h"
#include "tests/import/FontBuilder.h"

namespace {

void Quiet(const char*, const std::u16string&, const std::u16string&) {}

std::string g_base;
std::vector<uint8_t> g_en, g_hz;

void WriteFile(const std::string& path, const uint8_t* data, size_t size)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
}

const char kLabels[] =
    "IN;SP1;PU500,500;LB !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`abcdefghijklmnopqrstuvwxyz{|}~\x03"
    "DI0,1;LO5;SI0.2,0.3;PU100,9000;LB\xB0\xA1\xA1\xA1\xF7\xFE\xB0\x03;"
    "DI-1,-1;LO19;PU7,7;LBA\r\nB\nC\x80\x03;";

void Run(bool fuzzEn, const uint8_t* data, size_t size)
{
    WriteFile(g_base + "_en.bin", fuzzEn ? data : g_en.data(), fuzzEn ? size : g_en.size());
    WriteFile(g_base + "_hz.bin", fuzzEn ? g_hz.data() : data, fuzzEn ? g_hz.size() : size);
    CHpglFile r;
    r.m_strPath = FromUtf8(g_base + ".plt");
    if (r.ReadPltFile() != 0) std::abort();
    const CStrokeFont& font = fuzzEn ? r.m_enFont : r.m_hzFont;
    size_t drawn = 0;
    for (const CCharactor& c : font.m_index) {
        if (++drawn > 200) break;
        const uint8_t bytes[3] = {static_cast<uint8_t>(c.m_code >> 8), static_cast<uint8_t>(c.m_code), 'A'};
        if (fuzzEn)
            r.DrawLabelText(1000, 1000, bytes + 1, 2);
        else
            r.DrawLabelText(1000, 1000, bytes, 3);
    }
    COnePage page;
    r.ToPage(page, false);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    g_base = "/tmp/orlat_fuzz_fonts_" + std::to_string(::getpid());
    g_en = fontbuilder::MakeEnFont(fontbuilder::EnGlyphs());
    g_hz = fontbuilder::MakeHzFont(fontbuilder::HzGlyphs());
    WriteFile(g_base + ".plt", reinterpret_cast<const uint8_t*>(kLabels), sizeof kLabels - 1);
    theSettings.SetPath(Slot::FontEnPath, FromUtf8(g_base + "_en.bin"));
    theSettings.SetPath(Slot::FontHzPath, FromUtf8(g_base + "_hz.bin"));
    SetMessageSink(&Quiet);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Run(true, data, size);
    Run(false, data, size);
    return 0;
}
