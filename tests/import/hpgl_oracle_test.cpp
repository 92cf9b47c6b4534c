// The single-pass HP-GL reader against the two-pass reader it replaced (kept
// in tests/import/support as the oracle): the same result code and the same
// page for the committed files, the fuzz corpus and generated files, read in
// whole and in tiny blocks, into an empty page and into one that already
// holds curves (where a page break's offset depends on them).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "HpglFixture.h"
#include "OracleHpglFile.h"
#include "import/HpglFile.h"
#include "model/Page.h"

namespace {

std::string PageText(const COnePage& page)
{
    std::ostringstream s;
    s << "bounds " << page.m_minX << ' ' << page.m_maxX << ' ' << page.m_minY << ' ' << page.m_maxY << '\n';
    for (const auto& c : page.m_curves) {
        s << "curve " << c->m_kind << ' ' << c->m_lineType << ':';
        for (const PlotPoint& p : c->m_points) s << ' ' << p.x << ',' << p.y;
        s << '\n';
    }
    return s.str();
}

// A page holding one curve far to the right, so a page break lands beyond it.
void Prefill(COnePage& page)
{
    auto c = std::make_unique<CCurve>();
    c->m_points = {{5000, 10}, {70000, 20}};
    page.m_curves.push_back(std::move(c));
}

struct Outcome {
    int rc = 0;
    std::string page;
    bool operator==(const Outcome&) const = default;
};

std::string BoundsText(const COnePage& p)
{
    std::ostringstream s;
    s << p.m_minX << ' ' << p.m_maxX << ' ' << p.m_minY << ' ' << p.m_maxY << " ink " << p.m_inkMaxX << ' '
      << p.m_inkMaxY << " cut " << p.m_cutMaxX << ' ' << p.m_cutMaxY;
    for (const auto& c : p.m_curves) s << " | " << c->m_minX << ' ' << c->m_maxX << ' ' << c->m_minY << ' ' << c->m_maxY;
    return s.str();
}

// The bounds gathered while reading against the three passes over the points
// that the importer made before.
void ExpectFoldMatchesRecomputation(const CHpglFile& r, COnePage& page)
{
    r.CurveBounds().Apply(page);
    const std::string folded = BoundsText(page);
    page.CalcPageBounds();
    page.CalcInkExtents();
    page.CalcCutExtents();
    EXPECT_EQ(folded, BoundsText(page));
}

template <class Reader>
Outcome ReadWith(const std::string& path, size_t block, bool prefilled)
{
    Reader r;
    r.m_strPath = FromUtf8(path);
    r.m_blockSize = block;
    Outcome o;
    try {
        o.rc = r.ReadPltFile();
    } catch (const std::exception& e) {
        o.rc = 99;
        o.page = e.what();
        return o;
    }
    if (o.rc == 0) {
        COnePage page;
        if (prefilled) Prefill(page);
        r.ToPage(page, true);
        o.page = PageText(page) + ToUtf8(page.m_strFileName) + ' ' + std::to_string(page.m_time);
        if constexpr (std::is_same_v<Reader, CHpglFile>) {
            if (!prefilled) ExpectFoldMatchesRecomputation(r, page);
        }
    }
    return o;
}

void ExpectSame(const std::string& path, std::vector<size_t> blocks = {size_t{1} << 20, 7, 1})
{
    for (size_t block : blocks)
        for (bool prefilled : {false, true}) {
            const Outcome want = ReadWith<COracleHpglFile>(path, block, prefilled);
            const Outcome got = ReadWith<CHpglFile>(path, block, prefilled);
            EXPECT_EQ(got.rc, want.rc) << path << " block " << block;
            EXPECT_EQ(got.page, want.page) << path << " block " << block << " prefilled " << prefilled;
        }
}

TEST(HpglOracle, CommittedFiles)
{
    fixture::InstallFixtureFonts();
    std::vector<std::string> files = {ORLAT_TEST_DATA "/hpgl/graph_plotutils.plt"};
    const std::filesystem::path corpus = std::filesystem::path(ORLAT_TEST_DATA) / ".." / "fuzz" / "corpus" / "hpgl";
    for (const auto& e : std::filesystem::directory_iterator(corpus)) files.push_back(e.path().string());
    ASSERT_GT(files.size(), 5u);
    for (const std::string& f : files) ExpectSame(f);
}

TEST(HpglOracle, HandWrittenCases)
{
    fixture::InstallFixtureFonts();
    const char* cases[] = {
        "IN;SP1;PU100,200;PD300,200,300,400;",
        "PU0,0;PD100,0;PD100,100;PU0,0;PD100,0;PU200,0;PD300,0;",
        "SP2;PD10,10,20,20;SP1;PD30,30;SP;PD40,40;SP0;PD50,50;",
        "LT1;PD0,0,10,10;PU;PD20,20;LT;PD30,30;LT0;PU5,5;PD6,6;",
        "PD1,1,500,500;PG;PD10,10,20,20;FR;PD1,2;PG;PG;PD-5,-5;",
        "PG;SP2;LT1;PD1,1;",
        "DF;PD1,1;DF;IN;PD2,2;",
        "pd10,10;P1PD10,20PU30,40PD50,60",
        "PU0,1E3;PD1.5,2.5,-3.5,-0.5,1e2,2E-1;PD+7,-0;PD00000000000000001,2;",
        "PD1-2,3..4,--5,+-6,.5,-.5,1.e1;",
        "PD1234567890123456,1;PD99999999999999999999,5;PD1e400,1e-400;",
        "PD2147483647.6,-2147483648.6;PG;PD2000000000,0;",
        "\x1b%-1BIN;PD1,1;\x1b.@;PD2,2;",
        "LBAB\x03LBCD\x03PD5,5;",
        "DT*,0;LBAB*PD1,1;DT*;LBAB*;DT;LBx\x03",
        "SI0.5,0.8;DI0,1;LO5;LBHello\r\nWorld\x03DR1,0;LO19;LBx\x03",
        "SP2;PD1,1;LBCut\x03SP1;LBPlot\x03PG;LBNext\x03",
        "PA10,20;PD;PA30,40,50,60;PU;PA70,80;PD90",
        "PD1,1,2,2,3",
        "DF5;",
        "PD1,1;LBend",
    };
    int n = 0;
    for (const char* text : cases) {
        const std::string path = fixture::TempPath("case" + std::to_string(n++) + ".plt");
        fixture::WriteText(path, std::string(text) + "      ");
        ExpectSame(path);
    }
}

// Files of random commands in the reader's grammar and beside it.
std::string RandomFile(std::mt19937& rng)
{
    static const char* mnemonics[] = {"PD", "PU", "PA", "SP", "LT", "PG", "FR", "IN", "DF", "DI", "DR",
                                      "SI", "LO", "LB", "DT", "CI", "pd", "pu", "XX"};
    static const char* numbers[] = {"0", "1", "-1", "12", "400", "1.5", "-2.5", "1e2", "3E-1", "+4", ".5",
                                    "1-2", "99999", "2147483648", "-0", "7."};
    std::uniform_int_distribution<int> pick(0, 99);
    std::string s;
    const int commands = 1 + pick(rng) * 3;
    for (int i = 0; i < commands; ++i) {
        const char* m = mnemonics[pick(rng) % std::size(mnemonics)];
        s += m;
        if (m[0] == 'L' && m[1] == 'B') {
            s += "AB";
            if (pick(rng) < 20) s += "\r\nC";
            s += pick(rng) < 80 ? "\x03" : "*";
            continue;
        }
        if (m[0] == 'D' && m[1] == 'T') {
            s += pick(rng) < 50 ? "*" : "*,0";
        } else if (!(m[0] == 'D' && m[1] == 'F')) {
            const int k = pick(rng) % 7;
            for (int j = 0; j < k; ++j) {
                if (j) s += pick(rng) < 90 ? "," : " ";
                s += numbers[pick(rng) % std::size(numbers)];
            }
        }
        const int end = pick(rng);
        if (end < 70) s += ';';
        else if (end < 75) s += "\x1b.@;";
        else if (end < 80) s += "\r\n";
    }
    return s;
}

TEST(HpglOracle, GeneratedFiles)
{
    fixture::InstallFixtureFonts();
    std::mt19937 rng(17);
    for (int i = 0; i < 300; ++i) {
        const std::string path = fixture::TempPath("gen.plt");
        fixture::WriteText(path, "IN;" + RandomFile(rng));
        ExpectSame(path, {size_t{1} << 20, 3});
        if (HasFailure()) {
            std::ifstream in(path, std::ios::binary);
            ADD_FAILURE() << "file: " << std::string(std::istreambuf_iterator<char>(in), {});
            return;
        }
    }
}

}  // namespace
