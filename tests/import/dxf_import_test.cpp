// Guards: DXF entities converted to wrong curves, hidden ones drawn, blocks expanded without end, texts turned into wrong or oversized label commands.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "import/DxfImport.h"
#include "import/DxfLabelFile.h"
#include "model/Numeric.h"
#include "model/Page.h"
#include "model/Settings.h"
#include "dxf_files.h"
#include "tests/support/GlobalsGuard.h"

using namespace dxftest;

namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

std::string CurvesText(const COnePage& page)
{
    std::string out;
    for (const auto& c : page.m_curves) {
        EXPECT_EQ(c->m_kind, CurveKind::Plot);
        for (size_t i = 0; i < c->m_points.size(); ++i)
            out += (i ? " " : "") + std::to_string(c->m_points[i].x) + "," + std::to_string(c->m_points[i].y);
        out += "\n";
    }
    return out;
}

class DxfImportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        theSettings.Set(Slot::DxfUnit, 40);
        theSettings.SetPath(Slot::ProgramDir, dir.Dir());
    }

    // Loads bytes, converts them with the label file open; result of the conversion.
    int Import(const std::string& bytes, COnePage& page, std::string* labelBytes = nullptr)
    {
        CDxfDrawing dxf;
        EXPECT_EQ(dxf.CreateDrawing(), 1);
        EXPECT_EQ(dxf.LoadDxf(dir.Write("in.dxf", bytes)), 1);
        CDxfLabelFile labels;
        EXPECT_TRUE(labels.Create(DxfLabelFilePath()));
        labels.Write("IN;SP1;");
        const int result = dxf.ImportToPage(page, labels);
        EXPECT_EQ(dxf.DestroyDrawing(), 1);
        EXPECT_EQ(labels.Close(), 0);
        if (labelBytes) *labelBytes = ReadBytes(dir.path() / "dxfChar.plt");
        return result;
    }

    std::string Curves(const std::string& entities, const std::string& before = "")
    {
        COnePage page;
        EXPECT_EQ(Import(before + Section("ENTITIES", entities) + Eof(), page), DxfImportResult::Ok);
        return CurvesText(page);
    }

    testsupport::GlobalsGuard guard;
    TempFolder dir;
};

const std::string kOffLayer =
    Section("TABLES", LTypeTable() + Lines("0|TABLE|2|LAYER|0|LAYER|2|OFF|70|0|62|-7|6|CONTINUOUS|0|ENDTAB"));

}  // namespace

TEST_F(DxfImportTest, EzdxfFixturesGiveTheExpectedCurvesAndLabels)
{
    const std::string data = ORLAT_TEST_DATA "/dxf/";
    for (const char* name : {"shapes_r12", "nested_r12"}) {
        const std::string lf = ReadBytes(data + name + ".dxf");
        ASSERT_FALSE(lf.empty()) << name;
        const std::string expectedCurves = ReadBytes(data + name + ".curves");
        const std::string expectedLabels = ReadBytes(data + name + ".labels");
        // ezdxf writes bare LF; the CR LF and CR copies must give the same page.
        const std::string crlf = ReplaceAll(lf, "\n", "\r\n");
        for (const std::string* bytes : {&lf, &crlf}) {
            COnePage page;
            std::string labels;
            EXPECT_EQ(Import(*bytes, page, &labels), DxfImportResult::Ok) << name;
            EXPECT_EQ(CurvesText(page), expectedCurves) << name;
            EXPECT_EQ(labels, expectedLabels) << name;
        }
        COnePage cr;
        Import(ReplaceAll(lf, "\n", "\r"), cr);
        EXPECT_EQ(CurvesText(cr), expectedCurves) << name;
    }
}

TEST_F(DxfImportTest, EntitiesToCurves)
{
    struct Case {
        const char* what;
        std::string entities;
        std::string curves;
    };
    const Case cases[] = {
        {"line", Lines("0|LINE|10|0.5|20|1.25|11|10|21|20"), "20,50 400,800\n"},
        {"negative truncates toward zero", Lines("0|LINE|10|-0.5|20|-1.25|11|-0.01|21|0.01"), "-20,-50 0,0\n"},
        {"coordinates saturate", Lines("0|LINE|10|1e300|20|-1e300|11|nan|21|1e400"),
         std::to_string(kMax) + "," + std::to_string(kMin) + " 0," + std::to_string(kMax) + "\n"},
        {"closed polyline", Lines("0|POLYLINE|70|1|0|VERTEX|10|0|20|0|0|VERTEX|10|10|0|VERTEX|20|10|0|SEQEND"),
         "400,400 400,0 0,0 400,400\n"},
        {"open polyline", Lines("0|POLYLINE|70|0|0|VERTEX|10|1|20|2|0|VERTEX|10|3|20|4|0|SEQEND"), "120,160 40,80\n"},
        {"closed polyline without vertices", Lines("0|POLYLINE|70|1|0|SEQEND"), "\n"},
        {"arc, point and solid make nothing", Lines("0|ARC|40|5|0|POINT|0|SOLID|11|1"), ""},
    };
    for (const Case& c : cases) EXPECT_EQ(Curves(c.entities), c.curves) << c.what;
}

TEST_F(DxfImportTest, CircleSegments)
{
    struct Case {
        const char* radius;
        size_t points;
    };
    const Case cases[] = {{"10", 63}, {"0.1", 9}, {"0", 9}, {"-50", 9}, {"nan", 9}, {"1e9", 100001}, {"1e300", 100001}};
    for (const Case& c : cases) {
        COnePage page;
        Import(Section("ENTITIES", Lines(std::string("0|CIRCLE|10|1|20|2|40|") + c.radius)) + Eof(), page);
        ASSERT_EQ(page.m_curves.size(), 1u) << c.radius;
        const auto& pts = page.m_curves[0]->m_points;
        EXPECT_EQ(pts.size(), c.points) << c.radius;
    }
    COnePage page;
    Import(Section("ENTITIES", Lines("0|CIRCLE|10|0|20|0|40|10")) + Eof(), page);
    const auto& pts = page.m_curves[0]->m_points;
    EXPECT_EQ(pts[0], (PlotPoint{400, 0}));
    EXPECT_EQ(pts[31], (PlotPoint{-400, 0}));  // half way round, 62 segments
    // The last point is the formula's point for i = n, not a copy of the
    // first: on a negative whole-number centre it truncates one unit apart.
    COnePage neg;
    Import(Section("ENTITIES", Lines("0|CIRCLE|10|0|20|-2|40|10")) + Eof(), neg);
    EXPECT_EQ(neg.m_curves[0]->m_points.front(), (PlotPoint{400, -80}));
    const double full = 2.0 * 62 * 3.14159265359 / 62;
    EXPECT_EQ(neg.m_curves[0]->m_points.back(),
              (PlotPoint{TruncToInt((std::cos(full) * 10 + 0) * 40), TruncToInt((std::sin(full) * 10 - 2) * 40)}));
    EXPECT_EQ(neg.m_curves[0]->m_points.back(), (PlotPoint{400, -79}));
    // Far out, points saturate rather than wrap.
    COnePage far;
    Import(Section("ENTITIES", Lines("0|CIRCLE|10|1e12|20|0|40|1")) + Eof(), far);
    for (const PlotPoint& p : far.m_curves[0]->m_points) EXPECT_EQ(p.x, kMax);
}

TEST_F(DxfImportTest, HiddenEntitiesByColourAndLayer)
{
    struct Case {
        const char* what;
        std::string entities;
        size_t curves;
    };
    const std::string block = Section("BLOCKS", Lines("0|BLOCK|2|B|0|LINE|8|OFF|62|1|11|1|0|LINE|8|OFF|11|2|0|ENDBLK"));
    const Case cases[] = {
        {"own colour on an off layer", Lines("0|LINE|8|OFF|62|1|11|1"), 0},
        {"BYLAYER on an off layer", Lines("0|LINE|8|OFF|62|256|11|1"), 1},
        {"BYBLOCK on an off layer", Lines("0|LINE|8|OFF|62|0|11|1"), 1},
        {"no colour on an off layer", Lines("0|LINE|8|OFF|11|1"), 1},
        {"own colour on an unknown layer", Lines("0|LINE|8|NONE|62|1|11|1"), 1},
        {"circle", Lines("0|CIRCLE|8|OFF|62|2|40|1"), 0},
        {"polyline", Lines("0|POLYLINE|8|OFF|62|2|0|VERTEX|0|SEQEND"), 0},
        {"the insert itself", Lines("0|INSERT|2|B|8|OFF|62|3"), 0},
        {"inside an inserted block, one by one", Lines("0|INSERT|2|B"), 1},
    };
    for (const Case& c : cases) {
        COnePage page;
        std::string labels;
        Import(kOffLayer + block + Section("ENTITIES", c.entities + Lines("0|TEXT|8|OFF|62|1|1|T")) + Eof(), page,
               &labels);
        EXPECT_EQ(page.m_curves.size(), c.curves) << c.what;
        EXPECT_NE(labels.find("LBT\x03"), std::string::npos) << c.what;  // TEXT is never hidden
    }
}

TEST_F(DxfImportTest, InsertedBlocks)
{
    const std::string blocks = Section(
        "BLOCKS", Lines("0|BLOCK|2|TWO|10|50|20|50|0|LINE|10|1|20|1|11|2|21|2|0|LINE|10|3|20|3|11|4|21|4|0|ENDBLK|"
                        "0|BLOCK|2|SELF|0|LINE|11|1|0|INSERT|2|SELF|0|LINE|11|2|0|ENDBLK|"
                        "0|BLOCK|2|A|0|LINE|11|1|0|INSERT|2|B|0|ENDBLK|"
                        "0|BLOCK|2|B|0|LINE|11|2|0|INSERT|2|A|0|INSERT|2|TWO|0|ENDBLK"));
    // At the block's own coordinates whatever the insertion point, scale and rotation.
    EXPECT_EQ(Curves(Lines("0|INSERT|2|TWO|10|1000|20|1000|41|3|50|45"), blocks), "40,40 80,80\n120,120 160,160\n");
    EXPECT_EQ(Curves(Lines("0|INSERT|2|NOSUCH|0|LINE|11|1"), blocks), "0,0 40,0\n");
    // A block is not expanded again while it is being expanded.
    EXPECT_EQ(Curves(Lines("0|INSERT|2|SELF"), blocks), "0,0 40,0\n0,0 80,0\n");
    // In A: A's line, then B (B's line, not A again, then TWO).
    EXPECT_EQ(Curves(Lines("0|INSERT|2|A|0|INSERT|2|A"), blocks),
              "0,0 40,0\n0,0 80,0\n40,40 80,80\n120,120 160,160\n"
              "0,0 40,0\n0,0 80,0\n40,40 80,80\n120,120 160,160\n");

    // An INSERT whose block id names no block makes nothing.
    CDxfDrawing dxf;
    dxf.CreateDrawing();
    COnePage page;
    CDxfLabelFile labels;
    DxfInsert unknown{{}, 1, 1, 1, 0, 12345};
    DxfEntity e{DxfEntityHeader{DxfEntityType::Insert, DxfColour::ByLayer, 99, 0, 0, 0, 1}, &unknown};
    EXPECT_EQ(dxf.ConvertDxfEntity(*dxf.Drawing(), page, e, labels), DxfImportResult::Ok);
    EXPECT_TRUE(page.m_curves.empty());
}

TEST_F(DxfImportTest, RunawayBlockExpansionStops)
{
    // Seven levels of 20 inserts: 20^7 entities if expanded in full.
    std::string blocks = "0|BLOCK|2|B0";
    for (int i = 0; i < 20; ++i) blocks += "|0|POINT";
    blocks += "|0|ENDBLK";
    for (int level = 1; level <= 6; ++level) {
        blocks += "|0|BLOCK|2|B" + std::to_string(level);
        for (int i = 0; i < 20; ++i) blocks += "|0|INSERT|2|B" + std::to_string(level - 1);
        blocks += "|0|ENDBLK";
    }
    COnePage page;
    EXPECT_EQ(Import(Section("BLOCKS", Lines(blocks)) + Section("ENTITIES", Lines("0|INSERT|2|B6|0|LINE")) + Eof(),
                     page),
              DxfImportResult::TooLarge);
    EXPECT_TRUE(page.m_curves.empty());
}

TEST_F(DxfImportTest, LabelFileStaysWithinTheReadersLimit)
{
    // One long TEXT inserted 8,000 times would write 16 MB of labels.
    std::string blocks = "0|BLOCK|2|B0|0|TEXT|10|1|20|1|1|" + std::string(2000, 'T') + "|0|ENDBLK";
    for (int level = 1; level <= 3; ++level) {
        blocks += "|0|BLOCK|2|B" + std::to_string(level);
        for (int i = 0; i < 20; ++i) blocks += "|0|INSERT|2|B" + std::to_string(level - 1);
        blocks += "|0|ENDBLK";
    }
    COnePage page;
    std::string labels;
    EXPECT_EQ(Import(Section("BLOCKS", Lines(blocks)) + Section("ENTITIES", Lines("0|INSERT|2|B3|0|LINE|11|1")) + Eof(),
                     page, &labels),
              DxfImportResult::TooLarge);
    EXPECT_LE(labels.size(), kDxfMaxLabelFileBytes);
    EXPECT_GT(labels.size(), kDxfMaxLabelFileBytes - 2100);
    EXPECT_EQ(labels.back(), '\x03');  // whole labels only
    EXPECT_EQ(CurvesText(page), "0,0 40,0\n");  // the curves after the texts are all there
}

TEST_F(DxfImportTest, TextLabelCommands)
{
    struct Case {
        const char* groups;
        const char* bytes;
    };
    const Case cases[] = {
        {"10|12.7|20|3.9|50|90|1|ABC", "PU480,120;DI0.000,1.000;LBABC\x03"},
        {"10|12.7|20|3.9|1|ABC", "PU480,120;DI1.000,0.000;LBABC\x03"},
        {"10|-2.9|20|0.99|50|180|1|", "PU-80,0;DI-1.000,0.000;LB\x03"},
        {"10|1e20|20|-1e20|50|45|1|x", "PU2147483647,-2147483648;DI0.707,0.707;LBx\x03"},
        {"10|1|20|1|50|nan|1|y", "PU40,40;DI1.000,0.000;LBy\x03"},
    };
    for (const Case& c : cases) {
        COnePage page;
        std::string labels;
        Import(Section("ENTITIES", Lines(std::string("0|TEXT|40|2.5|41|0.8|72|1|7|STANDARD|") + c.groups)) + Eof(),
               page, &labels);
        EXPECT_EQ(labels, std::string("IN;SP1;") + c.bytes) << c.groups;
        EXPECT_TRUE(page.m_curves.empty());
    }
}

TEST_F(DxfImportTest, LabelWriteFailureIsAResult)
{
    const std::string file = Section("ENTITIES", Lines("0|LINE|11|1|0|TEXT|1|ABC|0|LINE|11|2")) + Eof();
    CDxfDrawing dxf;
    dxf.CreateDrawing();
    ASSERT_EQ(dxf.LoadDxf(dir.Write("in.dxf", file)), 1);

    CDxfLabelFile missing;  // its folder does not exist
    EXPECT_FALSE(missing.Create(dir.Dir() + u"no/such/dxfChar.plt"));
    COnePage page;
    EXPECT_EQ(dxf.ImportToPage(page, missing), DxfImportResult::LabelWriteFailed);
    EXPECT_EQ(page.m_curves.size(), 2u);  // the curves are all there
    EXPECT_EQ(missing.Close(), -1);

    CDxfLabelFile full;  // every write to it fails
    if (std::filesystem::is_character_file("/dev/full") && full.Create(u"/dev/full")) {
        COnePage page2;
        EXPECT_EQ(dxf.ImportToPage(page2, full), DxfImportResult::LabelWriteFailed);
        EXPECT_EQ(page2.m_curves.size(), 2u);
        EXPECT_EQ(full.Close(), -1);
    }
}

TEST_F(DxfImportTest, DrawingLifecycle)
{
    CDxfDrawing dxf;
    COnePage page;
    CDxfLabelFile labels;
    EXPECT_FALSE(dxf.IsOpen());
    EXPECT_EQ(dxf.LoadDxf(u"x.dxf"), 0);
    EXPECT_EQ(dxf.ImportToPage(page, labels), DxfImportResult::NoDrawing);
    EXPECT_EQ(dxf.CloseIfOpen(), 0);
    EXPECT_EQ(dxf.CreateDrawing(), 1);
    EXPECT_EQ(dxf.CreateDrawing(), 0);  // one is held already
    EXPECT_EQ(dxf.LoadDxf(u""), 0);
    EXPECT_EQ(dxf.LoadDxf(dir.Dir() + u"missing.dxf"), 0);
    EXPECT_EQ(dxf.LoadDxf(dir.Dir()), 0);                   // a directory
    EXPECT_EQ(dxf.LoadDxf(dir.Write("empty.dxf", "")), 1);  // an empty file is an empty drawing
    EXPECT_TRUE(dxf.IsOpen());
    EXPECT_EQ(dxf.CloseIfOpen(), 1);
    EXPECT_FALSE(dxf.IsOpen());
    EXPECT_EQ(dxf.DestroyDrawing(), 0);
}
