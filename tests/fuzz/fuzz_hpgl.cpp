// Bytes as a plot file: read, then convert into a page, once in large blocks
// and once in blocks of a few bytes (a number, a label or an escape sequence
// then straddles block ends): both must give the same result and page, and
// the bounds gathered while reading must be those of the points.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <memory>
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
    CHpglFile r, small;
    r.m_strPath = FromUtf8(g_plotPath);
    r.m_blockSize = size_t{1} << 20;
    small.m_strPath = r.m_strPath;
    small.m_blockSize = 3 + size % 5;
    const int rc = r.ReadPltFile();
    if (rc != 0 && rc != -2 && rc != -3) std::abort();
    if (small.ReadPltFile() != rc) std::abort();
    if (rc == 0) {
        // Every other run into a page that already holds a curve: page breaks
        // then start beyond it.
        COnePage page, want;
        const bool prefilled = size % 4 < 2;
        if (prefilled) {
            for (COnePage* p : {&page, &want}) {
                auto c = std::make_unique<CCurve>();
                c->m_points = {{3000, 1}, {90000, 2}};
                p->m_curves.push_back(std::move(c));
            }
        }
        r.ToPage(page, true);
        small.ToPage(want, true);
        if (page.m_curves.size() != want.m_curves.size()) std::abort();
        for (size_t i = 0; i < page.m_curves.size(); ++i) {
            const CCurve& a = *page.m_curves[i];
            const CCurve& b = *want.m_curves[i];
            if (a.m_kind != b.m_kind || a.m_lineType != b.m_lineType || a.m_points != b.m_points ||
                a.m_minX != b.m_minX || a.m_maxX != b.m_maxX || a.m_minY != b.m_minY || a.m_maxY != b.m_maxY)
                std::abort();
        }
        if (!prefilled) {
            r.CurveBounds().Apply(page);
            const int32_t folded[] = {page.m_minX, page.m_maxX, page.m_minY, page.m_maxY,
                                      page.m_inkMaxX, page.m_inkMaxY, page.m_cutMaxX, page.m_cutMaxY};
            page.CalcPageBounds();
            page.CalcInkExtents();
            page.CalcCutExtents();
            const int32_t counted[] = {page.m_minX, page.m_maxX, page.m_minY, page.m_maxY,
                                       page.m_inkMaxX, page.m_inkMaxY, page.m_cutMaxX, page.m_cutMaxY};
            if (!std::equal(std::begin(folded), std::end(folded), std::begin(counted))) std::abort();
        }
    }
    return 0;
}
