// Guards: a hostile or cut-short DXF file that crashes, hangs or ends without a defined result.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "import/DxfImport.h"
#include "import/DxfLabelFile.h"
#include "model/Page.h"
#include "model/Settings.h"
#include "dxf_files.h"

using namespace dxftest;
using namespace std::string_literals;

namespace {

struct Outcome {
    int load = -99;
    int import = -99;
    size_t curves = 0;
};

Outcome RunFile(const TempFolder& dir, const std::string& bytes)
{
    Outcome o;
    CDxfDrawing dxf;
    dxf.CreateDrawing();
    o.load = dxf.LoadDxf(dir.Write("hostile.dxf", bytes));
    COnePage page;
    CDxfLabelFile labels;
    labels.Create(DxfLabelFilePath());
    o.import = dxf.ImportToPage(page, labels);
    labels.Close();
    o.curves = page.m_curves.size();
    return o;
}

std::string Garbage(uint32_t seed, size_t n)
{
    std::mt19937 gen(seed);
    const char alphabet[] = "0123456789 -.\r\n\r\nSECTIONENTITIESLINEBLOCKENDBLKENDSECPOLYLINEVERTEXINSERT\0\x03\xff";
    std::string s;
    for (size_t i = 0; i < n; ++i) s += alphabet[gen() % (sizeof alphabet - 1)];
    return s;
}

}  // namespace

TEST(DxfHostile, EveryFileEndsWithADefinedResult)
{
    TempFolder dir;
    theSettings.Set(Slot::DxfUnit, 40);
    theSettings.SetPath(Slot::ProgramDir, dir.Dir());
    const std::string big(4000, 'W');
    const std::string bigCode(4000, '1');
    const std::string zeros(4000, '0');
    std::string layers;
    for (int i = 0; i < 300; ++i) layers += Lines("0|LAYER|2|L" + std::to_string(i) + "|62|" + std::to_string(i - 150) + "|6|CONTINUOUS");
    std::string emptyTables;
    for (int i = 0; i < 2000; ++i) emptyTables += Lines("0|TABLE|2|LAYER");
    std::string openSections;  // each left open: no search may run to the end of the file each time
    for (int i = 0; i < 3000; ++i)
        openSections += Lines("0|SECTION|2|TABLES|0|TABLE|2|LAYER|0|SECTION|2|BLOCKS|0|BLOCK|2|B|0|SECTION|2|TABLES");
    std::string chain;  // 256 blocks, each inserting the one before and the last
    for (int i = 0; i < 256; ++i)
        chain += Lines("0|BLOCK|2|C" + std::to_string(i) + "|0|LINE|11|1|0|INSERT|2|C" + std::to_string(i ? i - 1 : 255) +
                       "|0|ENDBLK");

    struct Case {
        const char* what;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {"empty file", ""},
        {"line ends only", "\r\n\r\n\n\r"},
        {"one code", "0"},
        {"4,000-byte layer name", Section("ENTITIES", Lines("0|LINE|8|" + big + "|10|1|11|2")) + Eof()},
        {"4,000-byte text", Section("ENTITIES", Lines("0|TEXT|1|" + big + "|10|1")) + Eof()},
        {"4,000-byte section name", Lines("0|SECTION|2|" + big) + Section("ENTITIES", Lines("0|LINE")) + Eof()},
        {"4,000-byte table and entry names",
         Section("TABLES", Lines("0|TABLE|2|" + big + "|0|TABLE|2|LTYPE|0|LTYPE|2|" + big + "|3|" + big + "|0|ENDTAB")) + Eof()},
        {"4,000-byte block names",
         Section("BLOCKS", Lines("0|BLOCK|2|" + big + "|0|LINE|0|ENDBLK")) + Section("ENTITIES", Lines("0|INSERT|2|" + big)) + Eof()},
        {"4,000-digit codes", Lines(zeros + "|SECTION|" + bigCode + "|ENTITIES|" + zeros + "|LINE|" + bigCode + "|1") + Eof()},
        {"4,000-byte arrow names", Section("TABLES", Lines("0|TABLE|2|DIMSTYLE|0|DIMSTYLE|2|D|6|" + big + "|7|" + big)) + Eof()},
        {"300 layers", Section("TABLES", LTypeTable() + Lines("0|TABLE|2|LAYER") + layers + Lines("0|ENDTAB")) +
                           Section("ENTITIES", Lines("0|LINE|8|L3|62|1|11|1|0|LINE|8|L200|62|1|11|1")) + Eof()},
        {"2,000 open LAYER tables", Section("TABLES", emptyTables) + Section("ENTITIES", Lines("0|LINE")) + Eof()},
        {"9,000 open sections", openSections + Section("ENTITIES", Lines("0|LINE")) + Eof()},
        {"256 chained blocks", Section("BLOCKS", chain) + Section("ENTITIES", Lines("0|INSERT|2|C255")) + Eof()},
        {"non-numbers everywhere",
         Section("ENTITIES", Lines("0|CIRCLE|10|inf|20|-inf|40|nan|0|LINE|10|1e308|20|-1e308|11|x|21|,5|62|99999|"
                                   "0|POLYLINE|70|-1|0|VERTEX|10|1e999|0|SEQEND|0|TEXT|10|nan|20|inf|50|1e308|1|t")) + Eof()},
        {"stray structure",
         Section("ENTITIES", Lines("0|VERTEX|10|1|0|SEQEND|0|ENDBLK|0|BLOCK|2|X|0|ENDTAB|0|TABLE|0|LINE|0|SECTION|2|BLOCKS")) + Eof()},
        {"blocks section with loose entities", Section("BLOCKS", Lines("0|LINE|0|ENDBLK|0|BLOCK|0|ENDSEC")) + Eof()},
        {"codes with blanks and signs", Lines(" 0 |SECTION|+2|ENTITIES|-0|LINE|  10|1|\t0|EOF")},
        {"NUL bytes in values", Section("ENTITIES", "0\r\nLI\0NE\r\n0\r\nLINE\0junk\r\n8\r\n\0\r\n"s) + Eof()},
        {"garbage 1", Garbage(1, 20000)},
        {"garbage 2", Garbage(2, 70000)},
    };
    for (const Case& c : cases) {
        const Outcome o = RunFile(dir, c.bytes);
        EXPECT_EQ(o.load, 1) << c.what;
        EXPECT_TRUE(o.import == DxfImportResult::Ok || o.import == DxfImportResult::TooLarge) << c.what << " " << o.import;
    }
    // Many INSERTs of a block that never comes, among entities that stay: each
    // store is swept once at the end, not once per dropped INSERT.
    std::string inserts;
    for (int i = 0; i < 30000; ++i) inserts += Lines("0|INSERT|2|GONE|0|LINE|11|1");
    const Outcome o = RunFile(dir, Section("ENTITIES", inserts) + Eof());
    EXPECT_EQ(o.import, DxfImportResult::Ok);
    EXPECT_EQ(o.curves, 30000u);
}

TEST(DxfHostile, TruncatedAtEverySection)
{
    TempFolder dir;
    theSettings.Set(Slot::DxfUnit, 40);
    theSettings.SetPath(Slot::ProgramDir, dir.Dir());
    const std::string whole = ReadBytes(ORLAT_TEST_DATA "/dxf/shapes_r12.dxf");
    ASSERT_FALSE(whole.empty());
    const size_t full = RunFile(dir, whole).curves;
    // Cut just before, inside and after every structure pair, and every 101
    // bytes in between.
    std::vector<size_t> cuts;
    for (size_t at = 0; at < whole.size(); at += 101) cuts.push_back(at);
    for (const char* key : {"SECTION", "ENDSEC", "TABLE", "ENDTAB", "BLOCK", "ENDBLK", "POLYLINE", "VERTEX", "SEQEND"}) {
        const std::string pair = "\n  0\n"s + key + "\n";
        for (size_t at = whole.find(pair); at != std::string::npos; at = whole.find(pair, at + 1))
            for (size_t d : {size_t{0}, size_t{3}, size_t{6}, pair.size() - 1, pair.size() + 3}) cuts.push_back(at + d);
    }
    for (size_t cut : cuts) {
        if (cut > whole.size()) continue;
        const Outcome o = RunFile(dir, whole.substr(0, cut));
        EXPECT_EQ(o.load, 1) << cut;
        EXPECT_EQ(o.import, DxfImportResult::Ok) << cut;
        EXPECT_LE(o.curves, full) << cut;
    }
    EXPECT_EQ(RunFile(dir, whole.substr(0, whole.rfind("EOF"))).curves, full);
}
