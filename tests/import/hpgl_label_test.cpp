// Guards: HP-GL labels drawn with wrong glyphs, advance, origin, line breaks or terminators, or beyond the label buffer and the point limit.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "HpglFixture.h"
#include "import/HpglFile.h"
#include "model/Page.h"

namespace {

using fixture::Read;

// The label's strokes as point lists (one per recStart + recPoints).
std::vector<std::vector<PlotPoint>> Strokes(const CHpglFile& r)
{
    std::vector<std::vector<PlotPoint>> out;
    for (const auto& rec : r.Records()) {
        auto v = r.Values(rec);
        if (rec.type == CHpglFile::recStart) out.push_back({{v[0], v[1]}});
        if (rec.type == CHpglFile::recPoints)
            for (size_t i = 0; i + 1 < v.size(); i += 2) out.back().push_back({v[i], v[i + 1]});
    }
    return out;
}

using S = std::vector<std::vector<PlotPoint>>;

class HpglLabel : public ::testing::Test {
protected:
    void SetUp() override { fixture::InstallFixtureFonts(); }
};

TEST_F(HpglLabel, AsciiGlyphsStandOnTheBaseline)
{
    CHpglFile r;
    r.m_keepRecords = true;  // the tests look at the records
    // H = 150, k = 416/150: 'A' is 64 glyph units wide, 'I' 64 high, advance 320.
    ASSERT_EQ(Read(r, "PU1000,1000;LBAI\x03"), 0);
    EXPECT_EQ(Strokes(r), (S{{{1000, 1000}, {1023, 1000}}, {{1115, 1000}, {1115, 1023}}}));
    EXPECT_TRUE(fixture::Messages().empty());
}

TEST_F(HpglLabel, GbkGlyphsAdvanceOneCell)
{
    CHpglFile r;
    r.m_keepRecords = true;  // the tests look at the records
    // Double-byte strokes in units of 26; one character advances H; an absent
    // character leaves an empty cell.
    ASSERT_EQ(Read(r, "PU1000,1000;LB\xB0\xA1\xB0\xA2" "A\x03"), 0);
    EXPECT_EQ(Strokes(r), (S{{{1000, 1000}, {1009, 1000}, {1009, 1009}}, {{1300, 1000}, {1323, 1000}}}));
}

TEST_F(HpglLabel, DoubleByteHeaderIsAdvanceThenCellHeight)
{
    // A font whose two header values differ: advance 8 at offset 0, cell
    // height 32 at offset 2. base = 26 x 32 = 832 glyph units span H = 150;
    // a double-byte character advances 26 x 8 = 208 units, 37.5 plot units.
    fixture::InstallFonts(fixture::MakeEnFont(fixture::EnGlyphs()), fixture::MakeHzFont(fixture::HzGlyphs(), 8, 32));
    CHpglFile r;
    r.m_keepRecords = true;  // the tests look at the records
    ASSERT_EQ(Read(r, "PU1000,1000;LB\xB0\xA1\xB0\xA2" "A\x03"), 0);
    EXPECT_EQ(r.m_hzFont.m_advance, 8);
    EXPECT_EQ(r.m_hzFont.m_cellHeight, 32);
    EXPECT_EQ(Strokes(r), (S{{{1000, 1000}, {1005, 1000}, {1005, 1005}}, {{1075, 1000}, {1098, 1000}}}));
}

TEST_F(HpglLabel, HighLastByteIsASingleByte)
{
    CHpglFile r;
    r.m_keepRecords = true;  // the tests look at the records
    ASSERT_EQ(Read(r, "PU1000,1000;LB\xB0" "A\x03"), 0);  // lead byte then 'A': not a pair in the font
    EXPECT_EQ(Strokes(r), S{});
    CHpglFile last;
    last.m_keepRecords = true;  // the tests look at the records
    ASSERT_EQ(Read(last, "PU1000,1000;LBA\xB0\x03;LBI\x03"), 0);
    // "\xB0" at the end: no glyph, the space's advance; the next label starts over.
    EXPECT_EQ(Strokes(last), (S{{{1000, 1000}, {1023, 1000}}, {{1000, 1000}, {1000, 1023}}}));
}

TEST_F(HpglLabel, LineBreaks)
{
    CHpglFile r;
    r.m_keepRecords = true;  // the tests look at the records
    ASSERT_EQ(Read(r, "PU1000,1000;LBA\nA\rI\x03"), 0);
    // LF: next line 150 further along +Y at the pen's X; CR: back over the same line.
    EXPECT_EQ(Strokes(r), (S{{{1000, 1000}, {1023, 1000}},
                             {{1000, 1150}, {1023, 1150}},
                             {{1000, 1150}, {1000, 1173}}}));
    CHpglFile up;
    up.m_keepRecords = true;  // the tests look at the records
    ASSERT_EQ(Read(up, "DI0,1;PU1000,1000;LBA\nA\x03"), 0);
    // Direction 90: the text runs along +Y and LF still moves along +Y.
    EXPECT_EQ(Strokes(up), (S{{{1000, 1000}, {1000, 1023}}, {{1000, 1150}, {1000, 1173}}}));
}

TEST_F(HpglLabel, Terminators)
{
    struct Case {
        const char* text;
        const char* label;
    };
    const Case cases[] = {
        {"LBAB\x03LBCD\x03", "ABCD"},
        {"DT*,0;LBAB*;", "AB*"},
        {"DT*;LBAB*;", "AB"},
        {"DT*,1;LBAB*;", "AB"},
        {"DT*,0;LBAB*LBCD*;", "ABCD*"},
        {"DT*;DT;LBAB\x03;", "AB"},
        {"DT\x05;LBA;B\x03", "A;B"},
        {"DT*X;LBAB*;", "AB"},  // X is read again between commands
        {"LBA\r\nB;C\x03", "A\r\nB;C"},
        {"LBAB\x03L", "AB"},
        {"LBunterminated", "unterminated"},
    };
    for (const Case& c : cases) {
        CHpglFile r;
        r.m_keepRecords = true;  // the tests look at the records
        ASSERT_EQ(Read(r, c.text + std::string("      ")), 0) << c.text;
        // The trailing blanks of the unterminated case are part of its label.
        EXPECT_EQ(std::string(r.m_label).substr(0, std::strlen(c.label)), c.label) << c.text;
    }
}

TEST_F(HpglLabel, UnterminatedLabelAtTheEndIsDrawn)
{
    CHpglFile r;
    r.m_keepRecords = true;  // the tests look at the records
    ASSERT_EQ(Read(r, "PU1000,1000;LBA"), 0);
    EXPECT_EQ(Strokes(r), (S{{{1000, 1000}, {1023, 1000}}}));
}

TEST_F(HpglLabel, LongLabelIsCutAtTheBuffer)
{
    CHpglFile r;
    r.m_keepRecords = true;  // the tests look at the records
    ASSERT_EQ(Read(r, "PU1000,1000;LB" + std::string(700, 'A') + "\x03PU5,6;"), 0);
    EXPECT_EQ(r.m_labelLen, 511);
    EXPECT_EQ(std::strlen(r.m_label), 511u);
    EXPECT_EQ(Strokes(r).size(), 511u);
    EXPECT_EQ(r.m_penX, 5);  // the rest up to the terminator was consumed
    EXPECT_EQ(r.m_penY, 6);
}

TEST_F(HpglLabel, LabelPointsBeyondTheLimitRefuseTheFile)
{
    // Each 'A' of the fixture font is one stroke of two points.
    CHpglFile within;
    within.m_keepRecords = true;  // the tests look at the records
    within.m_maxLabelPoints = 8;
    ASSERT_EQ(Read(within, "PU1000,1000;LBAAAA\x03;PD5,5;"), 0);
    EXPECT_EQ(Strokes(within).size(), 5u);
    CHpglFile beyond;
    beyond.m_keepRecords = true;  // the tests look at the records
    beyond.m_maxLabelPoints = 8;
    EXPECT_EQ(Read(beyond, "PU1000,1000;LBAAAA\x03;LBA\x03;PD5,5;"), -2);
    EXPECT_TRUE(beyond.Records().empty());
    EXPECT_TRUE(beyond.LabelsTooLarge());  // the labels, not the file's size
    // The count starts over with every read.
    EXPECT_EQ(Read(beyond, "PU1000,1000;LBAAAA\x03;"), 0);
    EXPECT_FALSE(beyond.LabelsTooLarge());
}

TEST_F(HpglLabel, OriginCodes)
{
    // H = 150, W = 114, segment of 4 bytes: shifts along u and v.
    struct Case {
        int code;
        double su, sv;
    };
    const double h = 150, w = 114, n = 4;
    const Case cases[] = {
        {1, 0, h},
        {2, 0, 0.5 * h},
        {3, 0, 0},
        {4, -n / 2 * w, h},
        {5, -n / 2 * w, 0.5 * h},
        {6, -n / 2 * w, 0},
        {7, -n * w, h},
        {8, -n * w, 0.5 * h},
        {9, -n * w, 0},
        {11, w / 4, 1.25 * h},
        {12, w / 4, 0.5 * h},
        {13, w / 4, -h / 4},
        {14, -n / 2 * w, 1.25 * h},
        {15, -n / 2 * w, 0.5 * h},
        {16, -n / 2 * w, -h / 4},
        {17, -(n + 0.25) * w, 1.25 * h},
        {18, -(n + 0.25) * w, 0.5 * h},
        {19, -(n + 0.25) * w, -h / 4},
    };
    CHpglFile r;
    r.m_keepRecords = true;  // the tests look at the records
    ASSERT_EQ(Read(r, "IN;   "), 0);
    for (const Case& c : cases) {
        r.m_labelOrigin = c.code;
        r.m_labelDir = 0;
        double x = 1000, y = 1000;
        r.PlaceLabelOrigin(x, y, 4);
        EXPECT_NEAR(x, 1000 + c.su, 1e-9) << c.code;
        EXPECT_NEAR(y, 1000 + c.sv, 1e-9) << c.code;
        r.m_labelDir = 90;  // u = (0, 1), v = (-1, 0)
        x = 1000, y = 1000;
        r.PlaceLabelOrigin(x, y, 4);
        EXPECT_NEAR(x, 1000 - c.sv, 1e-9) << c.code;
        EXPECT_NEAR(y, 1000 + c.su, 1e-9) << c.code;
    }
    r.m_labelOrigin = 6;
    r.m_labelDir = 0;
    double x = 0, y = 0;
    r.PlaceLabelOrigin(x, y, 0);  // an empty segment stays
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
}

TEST_F(HpglLabel, OriginCodeMovesTheDrawnLabel)
{
    CHpglFile r;
    r.m_keepRecords = true;  // the tests look at the records
    ASSERT_EQ(Read(r, "PU1000,1000;LO3;LBA\x03LO6;LBAAAA\x03"), 0);
    const S s = Strokes(r);
    ASSERT_EQ(s.size(), 5u);
    EXPECT_EQ(s[0][0], (PlotPoint{1000, 850}));  // LO3: the start is the top-left corner
    EXPECT_EQ(s[1][0], (PlotPoint{1000 - 228, 850}));
}

TEST_F(HpglLabel, StrokeCode)
{
    struct Case {
        std::vector<uint8_t> code;
        int64_t unit;
        S strokes;  // in glyph units from (0, 0)
    };
    const std::vector<Case> cases = {
        // right 3; pen up; move (5, 5); pen down; up 2
        {{0, 0x30, 2, 8, 5, 5, 1, 0x24, 0}, 1, {{{0, 0}, {3, 0}}, {{8, 5}, {8, 7}}}},
        // a flagged vector is skipped
        {{14, 0x30, 0x10}, 1, {{{0, 0}, {1, 0}}}},
        // flagged 8 and 9 are skipped whole; 3 takes its operand; undefined bytes do nothing
        {{14, 8, 9, 9, 14, 9, 1, 1, 0, 0, 3, 0x30, 5, 6, 7, 10, 11, 12, 13, 0x10}, 1, {{{0, 0}, {1, 0}}}},
        // 9: pairs up to 0, 0
        {{9, 1, 0, 0, 1, 0, 0, 0x10}, 1, {{{0, 0}, {1, 0}, {1, 1}, {2, 1}}}},
        // signed operands
        {{8, 0xFF, 0xFE}, 2, {{{0, 0}, {-2, -4}}}},
        // 0, 1, 2 are carried out under the flag, which stays set
        {{2, 14, 1, 0x30, 0x10}, 1, {{{0, 0}, {1, 0}}}},
        // odd directions use the integer half
        {{0x31, 0x35, 0x3B, 0x3F}, 1, {{{0, 0}, {3, 1}, {2, 4}, {1, 1}, {4, 0}}}},
        // the length is taken as an unsigned 16-bit number
        {{0xF0}, 0x2000, {{{0, 0}, {57344, 0}}}},
        // operands cut off by the end of the glyph
        {{0x10, 8, 1}, 1, {{{0, 0}, {1, 0}}}},
        {{9, 1, 0, 1}, 1, {{{0, 0}, {1, 0}}}},
        {{3}, 1, {}},
        {{}, 1, {}},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        CHpglFile r;
        r.m_keepRecords = true;  // the tests look at the records
        ASSERT_EQ(Read(r, "IN;   "), 0);
        // k = 1, direction 0: a glyph point (gx, gy) lands on (1000 + gx, 1000 + gy - 416).
        r.DecodeGlyphStrokes(1000, 1416, c.code, 0, 0, c.unit, 1.0, 1.0, 0.0);
        S want = c.strokes;
        for (auto& s : want)
            for (auto& p : s) p = {p.x + 1000, p.y + 1000};
        EXPECT_EQ(Strokes(r), want) << "case " << i;
    }
}

TEST_F(HpglLabel, SizesThatDrawNothing)
{
    for (const char* text : {"SI0,0;PU5,5;LBA\x03", "SI1,1E400;PU5,5;LBA\x03", "SI1,-0;LBA\x03"}) {
        CHpglFile r;
        r.m_keepRecords = true;  // the tests look at the records
        ASSERT_EQ(Read(r, text), 0) << text;
        EXPECT_EQ(Strokes(r), S{}) << text;
    }
    CHpglFile big;
    big.m_keepRecords = true;  // the tests look at the records
    ASSERT_EQ(Read(big, "SI1,1E300;PU5,5;LBA\x03"), 0);  // huge but finite: saturated points
}

}  // namespace
