// Guards: HP-GL commands making wrong curves, kinds, line types or page offsets, numbers split by block ends, files read while written, wrong result codes, hostile input that crashes or hangs.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "HpglFixture.h"
#include "import/FileBusy.h"
#include "import/HpglFile.h"
#include "model/Page.h"

namespace {

using fixture::Read;

struct Shape {
    int32_t kind;
    int32_t lineType;
    std::vector<PlotPoint> points;
    bool operator==(const Shape&) const = default;
};

void PrintTo(const Shape& s, std::ostream* os)
{
    *os << "{kind " << s.kind << ", lt " << s.lineType << ":";
    for (const PlotPoint& p : s.points) *os << " (" << p.x << "," << p.y << ")";
    *os << "}";
}

std::vector<Shape> Curves(const COnePage& page)
{
    std::vector<Shape> out;
    for (const auto& c : page.m_curves) out.push_back({c->m_kind, c->m_lineType, c->m_points});
    return out;
}

std::vector<Shape> Convert(const std::string& text, int* rc = nullptr)
{
    CHpglFile r;
    r.m_keepRecords = true;  // the tests look at the records
    const int got = Read(r, text);
    if (rc) *rc = got;
    COnePage page;
    r.ToPage(page, false);
    return Curves(page);
}

class HpglReader : public ::testing::Test {
protected:
    void SetUp() override { fixture::InstallFixtureFonts(); }
};

TEST_F(HpglReader, DrawnPathsBecomeCurves)
{
    EXPECT_EQ(Convert("IN;SP1;PU100,200;PD300,200,300,400;"),
              (std::vector<Shape>{{1, 0, {{100, 200}, {300, 200}, {300, 400}}}}));
    // A path that goes on where the last ended stays one curve, repeating the vertex.
    EXPECT_EQ(Convert("PU0,0;PD100,0;PD100,100;"),
              (std::vector<Shape>{{1, 0, {{0, 0}, {100, 0}, {100, 0}, {100, 100}}}}));
    EXPECT_EQ(Convert("PU0,0;PD100,0;PU200,0;PD300,0;"),
              (std::vector<Shape>{{1, 0, {{0, 0}, {100, 0}}}, {1, 0, {{200, 0}, {300, 0}}}}));
    // Lower case, no semicolons, halves rounded up.
    EXPECT_EQ(Convert("pu10.5,-10.5pd20,20"), (std::vector<Shape>{{1, 0, {{11, -10}, {20, 20}}}}));
    // PA draws with the pen down and moves with it up.
    EXPECT_EQ(Convert("PU;PA5,5;PD;PA10,10,20,20;PU;PA30,30;PD40,40;"),
              (std::vector<Shape>{{1, 0, {{5, 5}, {10, 10}, {20, 20}}}, {1, 0, {{30, 30}, {40, 40}}}}));
}

TEST_F(HpglReader, CommandTable)
{
    struct Case {
        const char* text;
        std::vector<int32_t> types;  // record types in order
        int32_t penX, penY, penDown;
    };
    const std::vector<Case> cases = {
        {"PU10,20;", {}, 10, 20, 0},
        {"PU1,2,3,4;", {}, 3, 4, 0},
        {"PD10,20;", {21, 20}, 10, 20, 1},
        {"PD;", {}, 0, 0, 1},
        {"PD1,1;IN;", {21, 20, 23}, 0, 0, 0},
        {"IN;", {}, 0, 0, 0},
        {"PD1,1;DF;", {21, 20, 23}, 1, 1, 1},
        {"PG;FR;", {22, 22}, 0, 0, 0},
        {"SP2;SP;", {24, 24}, 0, 0, 0},
        {"LT;LT1;", {23, 23}, 0, 0, 0},
        {"PR10,10;CI50;VS3;PU5,5;", {}, 5, 5, 0},  // read and ignored
        {"P1PU7,7;", {}, 7, 7, 0},                 // "P1": the P is dropped
    };
    for (const Case& c : cases) {
        CHpglFile r;
        r.m_keepRecords = true;  // the tests look at the records
        ASSERT_EQ(Read(r, c.text + std::string(";;;;;;")), 0) << c.text;
        std::vector<int32_t> types;
        for (const auto& rec : r.Records()) types.push_back(rec.type);
        EXPECT_EQ(types, c.types) << c.text;
        EXPECT_EQ(r.m_penX, c.penX) << c.text;
        EXPECT_EQ(r.m_penY, c.penY) << c.text;
        EXPECT_EQ(r.m_penDown, c.penDown) << c.text;
    }
}

TEST_F(HpglReader, PenAndLineTypeRecords)
{
    CHpglFile r;
    r.m_keepRecords = true;  // the tests look at the records
    ASSERT_EQ(Read(r, "SP2.5;SP;LT;LT0;LT2,1;LT1,0;SP-3;"), 0);
    std::vector<std::vector<int32_t>> values;
    for (const auto& rec : r.Records()) {
        auto v = r.Values(rec);
        values.emplace_back(v.begin(), v.end());
    }
    EXPECT_EQ(values, (std::vector<std::vector<int32_t>>{{3}, {0}, {0}, {0}, {1}, {0}, {-3}}));
}

TEST_F(HpglReader, LabelStateCommands)
{
    struct Case {
        const char* text;
        double dir, width, height;
        int32_t origin;
    };
    const std::vector<Case> cases = {
        {"DI-1,0;", 180, 0.285, 0.375, 1},
        {"DI0,1;", 90, 0.285, 0.375, 1},
        {"DI0,-1;", -90, 0.285, 0.375, 1},
        {"DI0,1;DI0,0;", 90, 0.285, 0.375, 1},
        {"DI0,1;DI;", 0, 0.285, 0.375, 1},
        {"DI0,1;DR1,1;", 90, 0.285, 0.375, 1},
        {"DR-1,0;", 180, 0.285, 0.375, 1},
        {"DI0,1;DR1,2,3;", 90, 0.285, 0.375, 1},
        {"DI0,1;DR;", 0, 0.285, 0.375, 1},
        {"SI0.5,0.75;", 0, 0.5, 0.75, 1},
        {"SI0.5,0.75;SI;", 0, 0.285, 0.375, 1},
        {"LO7;", 0, 0.285, 0.375, 7},
        {"LO10;", 0, 0.285, 0.375, 1},
        {"LO20;", 0, 0.285, 0.375, 1},
        {"LO18.6;", 0, 0.285, 0.375, 19},
        {"LO7;LO;", 0, 0.285, 0.375, 1},
        {"SI1,1;LO5;DI0,1;DF;", 0, 0.285, 0.375, 1},
    };
    for (const Case& c : cases) {
        CHpglFile r;
        r.m_keepRecords = true;  // the tests look at the records
        ASSERT_EQ(Read(r, c.text + std::string("    ")), 0) << c.text;
        EXPECT_NEAR(r.m_labelDir, c.dir, 1e-9) << c.text;
        EXPECT_EQ(r.m_charWidth, c.width) << c.text;
        EXPECT_EQ(r.m_charHeight, c.height) << c.text;
        EXPECT_EQ(r.m_labelOrigin, c.origin) << c.text;
    }
}

TEST_F(HpglReader, PensChooseKind)
{
    EXPECT_EQ(Convert("SP2;PU0,0;PD500,0;"), (std::vector<Shape>{{2, 0, {{0, 0}, {500, 0}}}}));
    EXPECT_EQ(Convert("SP3;PU0,0;PD500,0;SP1;PD600,0;SP0;PD700,0;SP;PD800,0;"),
              (std::vector<Shape>{{2, 0, {{0, 0}, {500, 0}}}, {1, 0, {{500, 0}, {600, 0}, {600, 0}, {700, 0}, {700, 0}, {800, 0}}}}));
    // Changing pens in a connected path splits it at the shared point.
    EXPECT_EQ(Convert("SP1;PU0,0;PD100,0;SP2;PD100,100;"),
              (std::vector<Shape>{{1, 0, {{0, 0}, {100, 0}}}, {2, 0, {{100, 0}, {100, 100}}}}));
}

TEST_F(HpglReader, LineTypeAppliesFromTheNextBreak)
{
    EXPECT_EQ(Convert("LT1;PU0,0;PD10,0;PD20,0;PU30,0;PD40,0;LT;PU50,0;PD60,0;"),
              (std::vector<Shape>{{1, 0, {{0, 0}, {10, 0}, {10, 0}, {20, 0}}},
                                  {1, 1, {{30, 0}, {40, 0}}},
                                  {1, 0, {{50, 0}, {60, 0}}}}));
}

TEST_F(HpglReader, PagesContinueToTheRight)
{
    COnePage page;
    CHpglFile r;
    r.m_keepRecords = true;  // the tests look at the records
    ASSERT_EQ(Read(r, "SP2;PU0,0;PD100,50;PG;PU0,0;PD200,10;PG;PU10,0;PD20,300;PG;PG;PU0,0;PD5,5;"), 0);
    r.ToPage(page, true);
    EXPECT_EQ(Curves(page), (std::vector<Shape>{{2, 0, {{0, 0}, {100, 50}}},
                                                {1, 0, {{100, 0}, {300, 10}}},
                                                {1, 0, {{310, 0}, {320, 300}}},
                                                {1, 0, {{320, 0}, {325, 5}}}}));
    // The bounds set at the last break are those of everything before it.
    EXPECT_EQ(page.m_minX, 0);
    EXPECT_EQ(page.m_maxX, 320);
    EXPECT_EQ(page.m_minY, 0);
    EXPECT_EQ(page.m_maxY, 300);
    EXPECT_EQ(page.m_strFileName, r.m_strPath);
    EXPECT_EQ(page.m_time, r.m_fileTime);
    EXPECT_GT(r.m_fileTime, 0);
}

TEST_F(HpglReader, PageBreakCountsCurvesAlreadyOnThePage)
{
    COnePage page;
    auto old = std::make_unique<CCurve>();
    old->m_points = {{-50, -7}, {1000, 0}};
    page.m_curves.push_back(std::move(old));
    CHpglFile r;
    r.m_keepRecords = true;  // the tests look at the records
    ASSERT_EQ(Read(r, "PG;PU0,0;PD10,10;PG;PU0,0;PD1,1;"), 0);
    r.ToPage(page, false);
    ASSERT_EQ(page.m_curves.size(), 3u);
    EXPECT_EQ(page.m_curves[1]->m_points, (std::vector<PlotPoint>{{1000, 0}, {1010, 10}}));
    EXPECT_EQ(page.m_curves[2]->m_points, (std::vector<PlotPoint>{{1010, 0}, {1011, 1}}));
    EXPECT_EQ(page.m_minX, -50);
    EXPECT_EQ(page.m_minY, -7);
    EXPECT_EQ(page.m_maxX, 1010);
    EXPECT_TRUE(page.m_strFileName.empty());
}

std::vector<std::vector<int32_t>> AllValues(const CHpglFile& r)
{
    std::vector<std::vector<int32_t>> out;
    for (const auto& rec : r.Records()) {
        auto v = r.Values(rec);
        out.emplace_back(v.begin(), v.end());
    }
    return out;
}

TEST_F(HpglReader, NumbersDoNotDependOnBlockEnds)
{
    // An exponent is taken into the value; its letter then ends the command.
    const std::string text = "IN;PU12.5,-3e2;PD+1000,.5;PD1-2,-.5;PD2.5,1E+1;PD4,100e-1;PU0,1E3;PD7,7;LT0,1;SP2;";
    const std::vector<std::vector<int32_t>> expected = {
        {13, -300}, {1000, 1}, {1000, 1}, {1, 0}, {1, 0}, {3, 10}, {3, 10}, {4, 10}, {0, 1000}, {7, 7}, {1}, {2}};
    for (size_t block = 1; block <= 9; ++block) {
        CHpglFile r;
        r.m_keepRecords = true;  // the tests look at the records
        ASSERT_EQ(Read(r, text, block), 0);
        EXPECT_EQ(AllValues(r), expected) << block;
    }
    CHpglFile whole;
    whole.m_keepRecords = true;  // the tests look at the records
    ASSERT_EQ(Read(whole, text), 0);
    EXPECT_EQ(AllValues(whole), expected);
}

TEST_F(HpglReader, EscapeSequencesAreSkipped)
{
    EXPECT_EQ(Convert("\x1b%-1BIN;PU1,1;PD2,2;"), (std::vector<Shape>{{1, 0, {{1, 1}, {2, 2}}}}));
    // ESC ends a number command, which still executes, and takes 4 bytes with it.
    EXPECT_EQ(Convert("PU1,1;PD2,2\x1bPD9,9PD3,3;"), (std::vector<Shape>{{1, 0, {{1, 1}, {2, 2}, {2, 2}, {3, 3}}}}));
}

TEST_F(HpglReader, EndOfFileExecutesTheOpenCommand)
{
    EXPECT_EQ(Convert("PU1,1;PD100,200"), (std::vector<Shape>{{1, 0, {{1, 1}, {100, 200}}}}));
    EXPECT_EQ(Convert("PU1,1;PD100,2E2"), (std::vector<Shape>{{1, 0, {{1, 1}, {100, 200}}}}));
    EXPECT_EQ(Convert("PU1,1;PD100,20E"), (std::vector<Shape>{{1, 0, {{1, 1}, {100, 20}}}}));
}

TEST_F(HpglReader, ResultCodes)
{
    int rc = 0;
    Convert("PU1,1;DF5;PD2,2;", &rc);
    EXPECT_EQ(rc, -3);
    Convert("PU1,1;DF;PD2,2;", &rc);
    EXPECT_EQ(rc, 0);

    CHpglFile missing;

    missing.m_keepRecords = true;  // the tests look at the records
    missing.m_strPath = u"/nonexistent/dir/x.plt";
    EXPECT_EQ(missing.ReadPltFile(), 1);
    EXPECT_EQ(missing.m_fileTime, 0);
}

TEST_F(HpglReader, SizeLimits)
{
    struct Case {
        size_t size;
        int rc;
    };
    for (const Case c : {Case{0, -2}, Case{5, -2}, Case{6, 0}, Case{8000000, 0}, Case{8000001, -2}}) {
        std::string text(c.size, ' ');
        if (c.size >= 6) text.replace(0, 6, "PD1,1;");
        CHpglFile r;
        r.m_keepRecords = true;  // the tests look at the records
        EXPECT_EQ(Read(r, text), c.rc) << c.size;
        EXPECT_EQ(r.Records().empty(), c.rc != 0) << c.size;
    }
}

TEST_F(HpglReader, FileHeldOpenForWritingIsNotReadYet)
{
    const std::string path = fixture::TempPath("busy.plt");
    std::FILE* writer = std::fopen(path.c_str(), "wb");
    ASSERT_NE(writer, nullptr);
    std::fputs("PU", writer);  // too short so far: must not count as -2
    std::fflush(writer);
    CHpglFile r;
    r.m_keepRecords = true;  // the tests look at the records
    r.m_strPath = FromUtf8(path);
    EXPECT_EQ(r.ReadPltFile(), 1);
    EXPECT_TRUE(r.Records().empty());
    std::fputs("0,0;PD5,5;", writer);
    std::fclose(writer);
    CHpglFile again;
    again.m_keepRecords = true;  // the tests look at the records
    again.m_strPath = FromUtf8(path);
    EXPECT_EQ(again.ReadPltFile(), 0);
    EXPECT_EQ(again.Records().size(), 2u);
    std::remove(path.c_str());
}

// Each hostile input gets a defined result; the sanitizers watch the rest.
TEST_F(HpglReader, HostileInputs)
{
    std::string allBytes;
    for (int i = 0; i < 256; ++i) allBytes += static_cast<char>(i);
    struct Case {
        std::string text;
        int rc;
    };
    const std::vector<Case> cases = {
        {"PU1,1;LB" + std::string(5000, 'A'), 0},                          // unterminated label
        {"DT*,0;LB" + std::string(511, 'A') + "*;", 0},                    // terminator kept at a full buffer
        {"PU" + std::string(2000, '9') + "." + std::string(2000, '1') + ";PD1,1;", 0},
        {"PD" + std::string(3000, '-') + ";", 0},
        {"PD1,2,3;PA4,5,6;PU7;PD;", 0},                                    // odd counts
        {"PU1e12,-1e12;PD1e12,1e12;PD1E99999999999999;", 0},
        {"SI1e300,1e300;LBAAAA\x03;SI-1,-1;DI1e300,-1e300;LBA\x03;", 0},
        {"LO1e300;SP1e300;LT1e300;LO-1e300;SP-1e300;", 0},
        {"PU1,1;\x1b", 0},                                                // ESC at the end
        {"PU1,1;DT", 0},
        {"PU1,1;DT*", 0},
        {"PU1,1;DT*,", 0},
        {"PU1,1;P", 0},
        {"PU1,1;DF", 0},
        {"PU1,1;PD5,5E", 0},
        {"PU1,1;PD5,5E-", 0},
        {std::string("PU1,1;\0\0\0PD\0\0", 11), 0},
        {allBytes + allBytes, 0},
        {"PU1,1;DF;DF-;", -3},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        for (size_t block : {size_t{3}, size_t{1} << 20}) {
            CHpglFile r;
            r.m_keepRecords = true;  // the tests look at the records
            EXPECT_EQ(Read(r, cases[i].text, block), cases[i].rc) << "case " << i;
            COnePage page;
            r.ToPage(page, true);
        }
    }
}

TEST_F(HpglReader, OddNumberCountsKeepCompletePairs)
{
    CHpglFile r;
    r.m_keepRecords = true;  // the tests look at the records
    ASSERT_EQ(Read(r, "PU1,1;PD;PA10,20,30;PD40,50,60;PU70,80,90;PA100,110,120;PU5;"), 0);
    COnePage page;
    r.ToPage(page, false);
    EXPECT_EQ(Curves(page), (std::vector<Shape>{{1, 0, {{1, 1}, {10, 20}, {10, 20}, {40, 50}}}}));
    EXPECT_EQ(r.m_penX, 100);
    EXPECT_EQ(r.m_penY, 110);
}

TEST_F(HpglReader, HugeCoordinatesSaturate)
{
    const std::vector<Shape> got = Convert("PU-2147483649,0;PD3000000000,-3000000000;PD0,1E12;PD-5,-1E400;");
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].points, (std::vector<PlotPoint>{{INT32_MIN, 0},
                                                     {INT32_MAX, INT32_MIN},
                                                     {INT32_MAX, INT32_MIN},
                                                     {0, INT32_MAX},
                                                     {0, INT32_MAX},
                                                     {-5, INT32_MIN}}));
    // The page offset is added wide and saturates too.
    COnePage page;
    CHpglFile r;
    r.m_keepRecords = true;  // the tests look at the records
    ASSERT_EQ(Read(r, "PU0,0;PD2147483000,0;PG;PU0,0;PD1000,5;"), 0);
    r.ToPage(page, false);
    ASSERT_EQ(page.m_curves.size(), 2u);
    EXPECT_EQ(page.m_curves[1]->m_points, (std::vector<PlotPoint>{{2147483000, 0}, {INT32_MAX, 5}}));
}

TEST_F(HpglReader, LongNumberRunMakesProgress)
{
    const std::string digits(2000, '7');
    for (size_t block : {size_t{1000}, size_t{1} << 20}) {
        CHpglFile r;
        r.m_keepRecords = true;  // the tests look at the records
        ASSERT_EQ(Read(r, "PU" + digits + ",5;PD1,1;", block), 0);
        ASSERT_EQ(r.Records().size(), 2u);
        auto start = r.Values(r.Records()[0]);
        EXPECT_EQ(start[0], INT32_MAX);
        EXPECT_EQ(start[1], 5);
    }
}

}  // namespace
