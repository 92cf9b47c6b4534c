// The DXF import with its compact entity store against the import it
// replaced (kept in tests/import/support as the oracle): the same drawing,
// entity by entity with every id, and the same page and label file, on the
// committed files, the fuzz corpus and generated drawings.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "DxfDrawingDump.h"
#include "OracleDxfImport.h"
#include "import/DxfImport.h"
#include "import/DxfLabelFile.h"
#include "model/Curve.h"
#include "model/Page.h"
#include "model/Settings.h"
#include "model/Text.h"
#include "tests/support/TempFolder.h"

namespace {

using dxfdump::DumpDrawing;
using dxfdump::Num;

struct Outcome {
    int loaded = 0;
    std::string drawing;
    int result = 0;
    std::string page;
    std::string labels;
};

template <class Dxf>
Outcome Import(const std::u16string& path, const std::filesystem::path& labelPath)
{
    Outcome o;
    Dxf dxf;
    dxf.CreateDrawing();
    o.loaded = dxf.LoadDxf(path);
    o.drawing = DumpDrawing(*dxf.Drawing());
    if (o.loaded != 1) return o;
    COnePage page;
    {
        CDxfLabelFile labels;
        labels.Create(FromUtf8(labelPath.string()));
        labels.Write("IN;SP1;");
        o.result = dxf.ImportToPage(page, labels);
        labels.Close();
    }
    std::ostringstream s;
    for (const auto& c : page.m_curves) {
        s << c->m_kind << ':';
        for (const PlotPoint& p : c->m_points) s << ' ' << p.x << ',' << p.y;
        s << '\n';
    }
    o.page = s.str();
    std::ifstream in(labelPath, std::ios::binary);
    o.labels.assign(std::istreambuf_iterator<char>(in), {});
    return o;
}

class DxfImportOracle : public ::testing::Test {
protected:
    void SetUp() override { theSettings.Set(Slot::DxfUnit, 40); }

    void ExpectSame(const std::u16string& path)
    {
        const Outcome now = Import<CDxfDrawing>(path, dir.path() / "now.plt");
        const Outcome was = Import<oracle::CDxfDrawing>(path, dir.path() / "was.plt");
        const std::string name = ToUtf8(path);
        EXPECT_EQ(now.loaded, was.loaded) << name;
        EXPECT_EQ(now.drawing, was.drawing) << name;
        EXPECT_EQ(now.result, was.result) << name;
        EXPECT_EQ(now.page, was.page) << name;
        EXPECT_EQ(now.labels, was.labels) << name;
    }

    testsupport::TempFolder dir{"orlat_dxf_import_oracle_"};
};

TEST_F(DxfImportOracle, CommittedFiles)
{
    size_t files = 0;
    for (const char* folder : {ORLAT_TEST_DATA "/dxf", ORLAT_TEST_DATA "/../fuzz/corpus/dxf"})
        for (const auto& e : std::filesystem::directory_iterator(folder))
            if (e.path().extension() == ".dxf") {
                ExpectSame(FromUtf8(e.path().string()));
                ++files;
            }
    EXPECT_GT(files, 8u);
}

// Drawings of every entity kind, with blocks inserted before and after their
// definition, names shared by several blocks, layers that are off, groups
// missing or repeated, long texts and the odd hostile value.
std::string Generate(std::mt19937& rng)
{
    std::string s;
    auto pair = [&s](int code, const std::string& value) {
        s += std::to_string(code) + "\r\n" + value + "\r\n";
    };
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    auto num = [&]() {
        static const std::string odd[] = {"1e400", "-1e-400", "nan", "  7.25", "3,5", "", "-0", "12abc",
                                          std::string("12\0" "5", 4), std::string("\0" "9", 2)};
        if (pick(30) == 0) return odd[pick(10)];
        return Num((pick(20001) - 10000) / 8.0);
    };
    const int layers = 1 + pick(5), blocks = pick(6);
    // The last one is not in the table; a NUL ends a name where a copy would.
    auto layer = [&]() { return "L" + std::to_string(pick(layers + 1)) + (pick(20) ? "" : std::string("\0x", 2)); };
    auto block = [&]() { return "B" + std::to_string(pick(blocks + 2)); };  // some never defined
    auto entity = [&](bool inBlock) {
        const int kind = pick(12);
        static const char* names[] = {"LINE", "POINT", "CIRCLE", "ARC", "TEXT", "SOLID",
                                      "INSERT", "POLYLINE", "DIMENSION", "ELLIPSE", "SPLINE", "LINE"};
        pair(0, names[kind]);
        if (pick(3)) pair(8, layer());
        if (pick(4) == 0) pair(62, std::to_string(pick(300) - 20));
        if (pick(6) == 0) pair(39, num());
        if (pick(6) == 0) pair(48, num());
        if (pick(8) == 0) pair(6, "CONTINUOUS");
        const int groups = pick(12);
        static const int codes[] = {10, 20, 30, 11, 21, 31, 12, 22, 13, 23, 40, 41, 42, 43, 50, 51, 53, 70, 72, 73};
        for (int g = 0; g < groups; ++g) pair(codes[pick(20)], num());
        if (kind == 4) {
            pair(1, pick(5) == 0   ? std::string(2000 + pick(100), 'T')
                    : pick(9) == 0 ? std::string("PIE\0CE", 6)
                                   : "PIECE " + std::to_string(pick(1000)));
            if (pick(2)) pair(7, pick(2) ? "STANDARD" : "NONE");
        }
        if (kind == 6 || kind == 8) pair(2, inBlock && pick(2) ? "B" + std::to_string(pick(blocks + 1)) : block());
        if (kind == 7) {
            pair(70, std::to_string(pick(4)));
            for (int v = pick(15); v > 0; --v) {
                pair(0, "VERTEX");
                if (pick(5)) pair(10, num());
                if (pick(5)) pair(20, num());
                if (pick(9) == 0) pair(42, num());
            }
            pair(0, "SEQEND");
        }
    };
    pair(0, "SECTION"); pair(2, "TABLES");
    pair(0, "TABLE"); pair(2, "LTYPE"); pair(0, "LTYPE"); pair(2, "CONTINUOUS"); pair(70, "0"); pair(0, "ENDTAB");
    pair(0, "TABLE"); pair(2, "LAYER");
    for (int i = 0; i < layers; ++i) {
        pair(0, "LAYER"); pair(2, "L" + std::to_string(i)); pair(70, "0");
        pair(62, std::to_string(pick(3) == 0 ? -3 : 5)); pair(6, "CONTINUOUS");
    }
    pair(0, "ENDTAB");
    pair(0, "TABLE"); pair(2, "STYLE"); pair(0, "STYLE"); pair(2, "STANDARD"); pair(0, "ENDTAB");
    pair(0, "ENDSEC");
    pair(0, "SECTION"); pair(2, "BLOCKS");
    for (int b = 0; b < blocks; ++b) {
        pair(0, "BLOCK"); pair(2, "B" + std::to_string(pick(3) == 0 ? 0 : b)); pair(8, layer());
        pair(10, num()); pair(20, num());
        for (int e = pick(6); e > 0; --e) entity(true);
        pair(0, "ENDBLK");
    }
    pair(0, "ENDSEC");
    pair(0, "SECTION"); pair(2, "ENTITIES");
    for (int e = 5 + pick(200); e > 0; --e) entity(false);
    pair(0, "ENDSEC"); pair(0, "EOF");
    return s;
}

TEST_F(DxfImportOracle, GeneratedDrawings)
{
    std::mt19937 rng(2103);
    for (int i = 0; i < 150 && !HasFailure(); ++i) {
        const std::filesystem::path file = dir.path() / "gen.dxf";
        std::ofstream(file, std::ios::binary) << Generate(rng);
        ExpectSame(FromUtf8(file.string()));
    }
}

}  // namespace
