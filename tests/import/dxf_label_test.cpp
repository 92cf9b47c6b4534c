// Guards: DXF texts missing from the page or drawn on another, and label-file failures that are not result codes.
//
// The label road of a DXF import: texts through "dxfChar.plt" and the HP-GL
// reader into the same page as the drawing's curves.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "HpglFixture.h"
#include "import/DxfFileImport.h"
#include "import/DxfImport.h"
#include "import/HpglFile.h"
#include "model/Page.h"
#include "model/Settings.h"
#include "dxf_files.h"
#include "tests/support/GlobalsGuard.h"

using namespace dxftest;

namespace {

std::string PageText(const COnePage& page)
{
    std::string out;
    for (const auto& c : page.m_curves) {
        for (const PlotPoint& p : c->m_points) out += std::to_string(p.x) + "," + std::to_string(p.y) + " ";
        out += "k" + std::to_string(c->m_kind) + "\n";
    }
    return out;
}

class DxfLabelRoad : public ::testing::Test {
protected:
    void SetUp() override
    {
        fixture::InstallFixtureFonts();
        theSettings.Set(Slot::DxfUnit, 40);
        theSettings.SetPath(Slot::ProgramDir, dir.Dir());
    }
    testsupport::GlobalsGuard guard;
    TempFolder dir;
};

const std::string kFile = Section("ENTITIES", Lines("0|LINE|10|0|20|0|11|10|21|0|0|TEXT|10|12.7|20|3.9|50|90|1|AI|"
                                                    "0|CIRCLE|10|5|20|5|40|1|0|TEXT|10|-3|20|7|1|IA")) +
                          Eof();

}  // namespace

TEST_F(DxfLabelRoad, TextsBecomeStrokeLabelsOfTheSamePage)
{
    CDxfDrawing dxf;
    COnePage page;
    DxfEntityCounts counts;
    const std::u16string path = dir.Write("marker.dxf", kFile);
    ASSERT_EQ(ImportDxfIntoPage(dxf, path, page, &counts), DxfImportResult::Ok);
    EXPECT_FALSE(dxf.IsOpen());
    EXPECT_EQ(page.m_strFileName, path);
    EXPECT_EQ(counts, (DxfEntityCounts{{"LINE", 1}, {"CIRCLE", 1}, {"TEXT", 2}}));

    // The import's own label file is gone; it held these commands.
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().filename().string().rfind("dxfChar", 0), std::string::npos) << entry.path();
    const std::string labels = "IN;SP1;PU480,120;DI0.000,1.000;LBAI\x03PU-120,280;DI1.000,0.000;LBIA\x03";

    // The page: the drawing's curves, then what the HP-GL reader makes of the labels.
    COnePage expected;
    expected.m_curves.push_back(std::make_unique<CCurve>());
    expected.m_curves.back()->m_points = {{0, 0}, {400, 0}};
    {
        CDxfDrawing only;
        COnePage tmp;
        ImportDxfIntoPage(only, dir.Write("circle.dxf", Section("ENTITIES", Lines("0|CIRCLE|10|5|20|5|40|1")) + Eof()), tmp);
        ASSERT_EQ(tmp.m_curves.size(), 1u);
        expected.m_curves.push_back(std::move(tmp.m_curves[0]));
    }
    fixture::WriteText((dir.path() / "labels.plt").string(), labels);
    CHpglFile hpgl;
    hpgl.m_strPath = dir.Dir() + u"labels.plt";
    ASSERT_EQ(hpgl.ReadPltFile(), 0);
    hpgl.ToPage(expected, false);
    ASSERT_GT(expected.m_curves.size(), 2u);  // the labels drew something
    EXPECT_EQ(PageText(page), PageText(expected));

    // LF-only and CR LF copies of the same file give the same page.
    COnePage lf;
    CDxfDrawing dxf2;
    ASSERT_EQ(ImportDxfIntoPage(dxf2, dir.Write("lf.dxf", ReplaceAll(kFile, "\r\n", "\n")), lf), DxfImportResult::Ok);
    EXPECT_EQ(PageText(lf), PageText(page));
}

TEST_F(DxfLabelRoad, FailuresAreResultCodes)
{
    const std::u16string path = dir.Write("marker.dxf", kFile);
    CDxfDrawing dxf;
    {
        COnePage page;
        EXPECT_EQ(ImportDxfIntoPage(dxf, dir.Dir() + u"missing.dxf", page), DxfImportResult::LoadFailed);
        EXPECT_TRUE(page.m_curves.empty());
        EXPECT_FALSE(dxf.IsOpen());
    }
    {
        // The label file cannot be written: the curves stay, no labels are read.
        theSettings.SetPath(Slot::ProgramDir, dir.Dir() + u"no/such/folder/");
        COnePage page;
        EXPECT_EQ(ImportDxfIntoPage(dxf, path, page), DxfImportResult::LabelWriteFailed);
        EXPECT_EQ(page.m_curves.size(), 2u);
    }
    {
        // A drawing held from before is dropped first.
        theSettings.SetPath(Slot::ProgramDir, dir.Dir());
        dxf.CreateDrawing();
        COnePage page;
        EXPECT_EQ(ImportDxfIntoPage(dxf, path, page), DxfImportResult::Ok);
        EXPECT_GT(page.m_curves.size(), 2u);
    }
}

TEST(DxfPlotInfo, ReportsADxfFileWithItsEntities)
{
    const std::string tool = ORLAT_BINARY_DIR "/tools/plot-info/plot-info";
    if (!std::filesystem::exists(tool)) GTEST_SKIP() << "plot-info not built";
    TempFolder dir;
    std::filesystem::copy_file(ORLAT_TEST_DATA "/dxf/shapes_r12.dxf", dir.path() / "Marker.DXF");
    const std::string command = tool + " " + (dir.path() / "Marker.DXF").string() + " 2>/dev/null";
    FILE* p = popen(command.c_str(), "r");
    ASSERT_TRUE(p);
    std::string out;
    char buf[512];
    while (size_t n = fread(buf, 1, sizeof buf, p)) out.append(buf, n);
    EXPECT_EQ(pclose(p), 0) << out;
    EXPECT_NE(out.find("\"format\": \"dxf\", \"result\": 0,"), std::string::npos) << out;
    EXPECT_NE(out.find("\"entities\": {\"LINE\": 5, \"POINT\": 1, \"CIRCLE\": 2, \"TEXT\": 2, \"ARC\": 1, "
                       "\"SOLID\": 1, \"INSERT\": 1, \"POLYLINE\": 2}"),
              std::string::npos)
        << out;

    // A drawing with nothing stored is no drawing, and still reports its
    // (empty) entity counts.
    const auto empty = dir.path() / "empty.dxf";
    std::filesystem::copy_file(ORLAT_TEST_DATA "/dxf/shapes_r12.dxf", empty);
    std::filesystem::resize_file(empty, 0);
    FILE* q = popen((tool + " " + empty.string() + " 2>/dev/null").c_str(), "r");
    ASSERT_TRUE(q);
    out.clear();
    while (size_t n = fread(buf, 1, sizeof buf, q)) out.append(buf, n);
    pclose(q);
    EXPECT_NE(out.find("\"result\": 1,"), std::string::npos) << out;
    EXPECT_NE(out.find("\"entities\": {}"), std::string::npos) << out;
}
