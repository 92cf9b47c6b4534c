// Bytes as a plot file: read, then convert into a page, by the reader and by
// the two-pass reader it replaced (the oracle): both must give the same page.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "OracleHpglFile.h"
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
    COracleHpglFile oracle;
    oracle.m_strPath = r.m_strPath;
    oracle.m_blockSize = size % 3 ? 5 : size_t{1} << 20;
    const int rc = r.ReadPltFile();
    if (rc != 0 && rc != -2 && rc != -3) std::abort();
    if (oracle.ReadPltFile() != rc) std::abort();
    if (rc == 0) {
        // Every other run into a page that already holds a curve: page breaks
        // then start beyond it.
        COnePage page, want;
        if (size % 4 < 2) {
            for (COnePage* p : {&page, &want}) {
                auto c = std::make_unique<CCurve>();
                c->m_points = {{3000, 1}, {90000, 2}};
                p->m_curves.push_back(std::move(c));
            }
        }
        r.ToPage(page, true);
        oracle.ToPage(want, true);
        page.CalcPageBounds();
        want.CalcPageBounds();
        if (page.m_curves.size() != want.m_curves.size()) std::abort();
        for (size_t i = 0; i < page.m_curves.size(); ++i) {
            const CCurve& a = *page.m_curves[i];
            const CCurve& b = *want.m_curves[i];
            if (a.m_kind != b.m_kind || a.m_lineType != b.m_lineType || a.m_points != b.m_points) std::abort();
        }
        if (page.m_minX != want.m_minX || page.m_maxX != want.m_maxX || page.m_minY != want.m_minY ||
            page.m_maxY != want.m_maxY)
            std::abort();
    }
    return 0;
}
