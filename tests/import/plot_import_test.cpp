// Guards: the import road choosing the wrong reader, scaling or preparing other than its steps one by one, or failing without its message.
//
// The one import road: reader by file name, labels and join for DXF, unit
// scaling, the preparation, and one result with its message.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "import/DxfImport.h"
#include "import/HpglFile.h"
#include "import/PlotImport.h"
#include "model/Page.h"
#include "model/Settings.h"
#include "model/Text.h"
#include "dxf_files.h"
#include "tests/support/GlobalsGuard.h"

using namespace dxftest;

namespace {

class PlotImportRoad : public ::testing::Test {
protected:
    void SetUp() override
    {
        theSettings.Set(Slot::DxfUnit, 40);
        theSettings.Set(Slot::SearchOutline, 0);
        theSettings.Set(Slot::PaperLenMm, 2000);
        theSettings.Set(Slot::AutoRotate, 1);
        theSettings.Set(Slot::AutoStart, 0);
        theSettings.SetPath(Slot::ProgramDir, dir.Dir());
    }
    testsupport::GlobalsGuard guard;
    TempFolder dir;
};

int Count(const COnePage& page, int32_t kind)
{
    int n = 0;
    for (const auto& c : page.m_curves) n += c->m_kind == kind;
    return n;
}

// Runs a copy of plot-info from its own folder: the tool keeps its fonts and
// label file beside itself, and other tests run the built one meanwhile.
std::string RunPlotInfo(const std::string& args)
{
    const std::string built = ORLAT_BINARY_DIR "/tools/plot-info/plot-info";
    if (!std::filesystem::exists(built)) return {};
    static TempFolder folder("orlat_plot_info_");
    const std::string tool = folder.File("plot-info");
    std::error_code ec;
    if (!std::filesystem::exists(tool)) std::filesystem::copy_file(built, tool, ec);
    FILE* p = popen((tool + " " + args + " 2>/dev/null").c_str(), "r");
    if (!p) return {};
    std::string out;
    char buf[512];
    while (size_t n = fread(buf, 1, sizeof buf, p)) out.append(buf, n);
    pclose(p);
    return out;
}

}  // namespace

TEST(PlotImportName, ReaderByFileName)
{
    struct Case {
        const char16_t* name;
        bool dxf;
    };
    const Case cases[] = {{u"a.dxf", true}, {u"A.DXF", true}, {u"m.DxF", true}, {u".dxf", true},
                          {u"dxf", false},  {u"a.plt", false}, {u"a.dxf.plt", false}, {u"adxf", false}};
    for (const Case& c : cases) EXPECT_EQ(IsDxfFileName(c.name), c.dxf) << std::string(c.name, c.name + 4);
}

// The page as the import leaves it, field by field.
std::string PageDump(const COnePage& p)
{
    std::string s = std::to_string(p.m_minX) + ' ' + std::to_string(p.m_maxX) + ' ' + std::to_string(p.m_minY) + ' ' +
                    std::to_string(p.m_maxY) + " ink " + std::to_string(p.m_inkMaxX) + ' ' + std::to_string(p.m_inkMaxY) +
                    " cut " + std::to_string(p.m_cutMaxX) + ' ' + std::to_string(p.m_cutMaxY) + '\n';
    for (const auto& c : p.m_curves) {
        s += std::to_string(c->m_kind) + ' ' + std::to_string(c->m_lineType) + " [" + std::to_string(c->m_minX) + ' ' +
             std::to_string(c->m_maxX) + ' ' + std::to_string(c->m_minY) + ' ' + std::to_string(c->m_maxY) + "]";
        for (const PlotPoint& q : c->m_points) s += ' ' + std::to_string(q.x) + ',' + std::to_string(q.y);
        s += '\n';
    }
    return s;
}

// The import against its steps taken one by one over the whole page: the
// reader as it is, ToPage, then the preparation, or the scaling, the bounds
// and the two extents.
TEST_F(PlotImportRoad, HpglEqualsItsStepsOneByOne)
{
    std::vector<std::string> files = {
        "IN;SP1;PU100,200;PD300,200;PD300,200;PD300,400;PD300,600;PU;PD300,600;SP2;PD5,5,5,5,9,9;",
        "PD1,1,500,500;PG;PD10,10,20,20;FR;PD1,2;PG;SP2;PD-5,-5,-5,-5;PD-5,-5;LT1;PU7,7;PD8,8;",
        "PU0,0;PD0,0;PD1000,0;PD1000,0;PD1000,1000;PD0,1000;PD0,0;PU2000,0;PD2000,0;",
    };
    std::string marker = "IN;SP1;";
    unsigned x = 1000, y = 1000;
    for (int i = 0; i < 3000; ++i) {
        if (i % 40 == 0) marker += "PU" + std::to_string(x = (x * 69069u + 7u) % 90000u) + "," + std::to_string(y) + ";";
        if (i % 400 == 0) marker += (i / 400) % 2 ? "SP2;" : "SP1;";
        x = (x * 1103515245u + 12345u) % 90000u;
        y = (y * 22695477u + 1u) % 120000u;
        marker += "PD" + std::to_string(x) + "," + std::to_string(y) + ";";
    }
    files.push_back(marker);
    const std::filesystem::path corpus = std::filesystem::path(ORLAT_TEST_DATA) / ".." / "fuzz" / "corpus" / "hpgl";
    for (const auto& e : std::filesystem::directory_iterator(corpus)) {
        std::ifstream in(e.path(), std::ios::binary);
        files.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    int n = 0;
    for (const std::string& text : files) {
        const std::u16string path = dir.Write("f" + std::to_string(n++) + ".plt", text + "      ");
        for (int variant = 0; variant < 6; ++variant) {
            PlotImportOptions options;
            options.prepare = variant != 0 && variant != 5;
            options.mil = variant == 2 || variant == 5;
            theSettings.Set(Slot::SearchOutline, variant == 3);
            theSettings.Set(Slot::PaperLenMm, variant == 4 ? 100 : 2000);
            COnePage got;
            const PlotImportResult r = ImportPlotFile(path, got, options);

            COnePage want;
            CHpglFile reader;
            reader.m_strPath = path;
            ASSERT_EQ(reader.ReadPltFile(), r.code) << n << ' ' << variant;
            if (r.code == 0) reader.ToPage(want, true);
            if (r.code == 0 && options.prepare && !want.m_curves.empty()) {
                PrepareImportedPage(want, options.mil);
            } else {
                if (r.code == 0 && options.mil) want.ScaleAll(1.016, 1.016);
                want.CalcPageBounds();
                want.CalcInkExtents();
                want.CalcCutExtents();
            }
            EXPECT_EQ(PageDump(got), PageDump(want)) << "file " << n - 1 << " variant " << variant;
        }
    }
}

TEST_F(PlotImportRoad, HpglIsReadScaledAndPrepared)
{
    const std::u16string path = dir.Write("m.plt", "IN;PU100,200;PD10100,200,10100,8200;PU;");
    for (const bool mil : {false, true}) {
        COnePage page;
        PlotImportOptions options;
        options.mil = mil;
        const PlotImportResult r = ImportPlotFile(path, page, options);
        EXPECT_EQ(r.format, PlotFormat::Hpgl);
        EXPECT_EQ(r.code, 0);
        EXPECT_TRUE(r.read);
        EXPECT_FALSE(r.message);
        EXPECT_EQ(page.m_strFileName, path);
        ASSERT_EQ(page.m_curves.size(), 1u);
        // Moved to the origin; 0.0254 mm files grow by 1.016.
        EXPECT_EQ(page.m_minX, 0);
        EXPECT_EQ(page.m_maxX, mil ? 10160 : 10000) << mil;
        EXPECT_EQ(page.m_state, JobState::Manual);
    }
    // Without the preparation the page stays where the file put it.
    COnePage raw;
    PlotImportOptions options;
    options.prepare = false;
    ASSERT_EQ(ImportPlotFile(path, raw, options).code, 0);
    EXPECT_EQ(raw.m_minX, 100);
}

TEST_F(PlotImportRoad, FailuresComeWithTheirMessage)
{
    COnePage missing;
    const PlotImportResult hpgl = ImportPlotFile(dir.Dir() + u"none.plt", missing);
    EXPECT_FALSE(hpgl.read);
    EXPECT_TRUE(hpgl.retryLater);  // cannot be opened (yet)
    ASSERT_TRUE(hpgl.message);
    EXPECT_EQ(hpgl.message.english, u"Open File Failed!");
    EXPECT_EQ(hpgl.message.chinese, u"文件打开失败!");

    std::string many;
    for (size_t i = 0; i <= kDxfBlockCapacity; ++i) many += "0\r\nBLOCK\r\n2\r\nP\r\n0\r\nLINE\r\n0\r\nENDBLK\r\n";
    COnePage page;
    const PlotImportResult dxf =
        ImportPlotFile(dir.Write("big.DXF", Section("BLOCKS", many) + Section("ENTITIES", Lines("0|INSERT|2|P")) + Eof()), page);
    EXPECT_EQ(dxf.format, PlotFormat::Dxf);
    EXPECT_EQ(dxf.code, DxfImportResult::TooManyBlocks);
    EXPECT_FALSE(dxf.read);
    EXPECT_FALSE(dxf.retryLater);
    ASSERT_TRUE(dxf.message);
    EXPECT_STREQ(dxf.message.key, "DxfTooManyBlocks");
    EXPECT_EQ(dxf.message.english, u"the file holds more blocks than the program can take");
    EXPECT_TRUE(page.m_curves.empty());
}

// A file refused for its size says so: too large is not "cannot be opened"
// (the operator would look for a fault in the file), too small holds nothing.
TEST_F(PlotImportRoad, FilesRefusedForTheirSizeSayWhy)
{
    struct Case {
        const char* name;
        uint64_t bytes;  // a sparse file of this size; 0: the text below
        const char* text;
        PlotImportResult::Size size;
        const char* key;
    };
    const Case cases[] = {
        {"2gb.plt", uint64_t{2} << 30, "", PlotImportResult::Size::TooLarge, "HpglTooLarge"},
        {"one-over.plt", CHpglFile::kMaxFileSize + 1, "", PlotImportResult::Size::TooLarge, "HpglTooLarge"},
        {"tiny.plt", 0, "IN;", PlotImportResult::Size::TooSmall, "OpenFileFailed"},
        // Not a size: as it was.
        {"df.plt", 0, "IN;DF1;PD0,0,400,400;", PlotImportResult::Size::Fits, "OpenFileFailed"},
        {"big.dxf", kDxfMaxFileSize + 1, "", PlotImportResult::Size::TooLarge, "DxfImport"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::u16string path = dir.Write(c.name, c.text);
        if (c.bytes > 0) std::filesystem::resize_file(std::filesystem::path(ToUtf8(path)), c.bytes);
        COnePage page;
        const PlotImportResult r = ImportPlotFile(path, page);
        EXPECT_FALSE(r.read);
        EXPECT_FALSE(r.retryLater);
        EXPECT_EQ(r.size, c.size);
        ASSERT_TRUE(r.message);
        EXPECT_STREQ(r.message.key, c.key);
        EXPECT_TRUE(page.m_curves.empty());
        if (c.size == PlotImportResult::Size::TooLarge) {
            EXPECT_NE(ToUtf8(r.message.english).find("larger than"), std::string::npos) << ToUtf8(r.message.english);
            EXPECT_NE(ToUtf8(r.message.chinese).find("大于"), std::string::npos);
        }
    }
}

TEST_F(PlotImportRoad, GarmentMarkerWithOutlineSearch)
{
    theSettings.Set(Slot::SearchOutline, 1);
    COnePage page;
    const PlotImportResult r = ImportPlotFile(FromUtf8(ORLAT_TEST_DATA "/dxf/garment_shared_names.dxf"), page);
    ASSERT_EQ(r.code, DxfImportResult::Ok);
    ASSERT_EQ(r.entities.size(), 1u);
    EXPECT_EQ(r.entities[0], (std::pair<std::string, int32_t>{"INSERT", 5}));
    // Joined into five contours and five grain lines; each contour one cut line.
    EXPECT_EQ(Count(page, CurveKind::Cut), 5);
    EXPECT_EQ(Count(page, CurveKind::Plot), 5);

    // plot-info goes the same road: --outlines counts the cut lines it made.
    const std::string file = ORLAT_TEST_DATA "/dxf/garment_shared_names.dxf";
    const std::string with = RunPlotInfo("--prepare --outlines " + file);
    if (with.empty()) GTEST_SKIP() << "plot-info not built";
    EXPECT_NE(with.find("\"curves\": {\"plot\": 5, \"cut\": 5, \"shortcut\": 0}"), std::string::npos) << with;
    EXPECT_NE(with.find("\"outlines\": 5,"), std::string::npos) << with;
    const std::string without = RunPlotInfo("--prepare " + file);
    EXPECT_NE(without.find("\"outlines\": 0,"), std::string::npos) << without;
    EXPECT_NE(without.find("\"curves\": {\"plot\": 10,"), std::string::npos) << without;
}
