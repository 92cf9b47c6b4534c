// Guards: stroke-font headers or glyph offsets read wrongly, damaged fonts that still draw, a missing font reported more than once, built-in glyphs outside their cells.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "HpglFixture.h"
#include "import/HpglFile.h"
#include "import/StrokeFont.h"

namespace {

using fixture::Glyph;

TEST(FontLoader, ReadsHeadersAndFindsEveryCode)
{
    std::vector<Glyph> en;
    for (uint16_t c = 0x20; c <= 0x7E; ++c) en.push_back({c, static_cast<uint16_t>(c % 7 + 10), {0, 0x10, 0}});
    std::vector<Glyph> hz;
    for (uint16_t c = 0xA1A1; c < 0xA1A1 + 300; c += 3) hz.push_back({c, 0, {0, 0x10}});
    fixture::InstallFonts(fixture::MakeEnFont(en), fixture::MakeHzFont(hz));
    CHpglFile r;
    r.m_keepRecords = true;  // the tests look at the records
    // The fonts are loaded at the first label.
    ASSERT_EQ(fixture::Read(r, "IN;   "), 0);
    EXPECT_TRUE(r.m_enFont.m_index.empty());
    ASSERT_EQ(fixture::Read(r, "IN;LB\x03   "), 0);
    EXPECT_TRUE(fixture::Messages().empty());
    EXPECT_EQ(r.m_enFont.m_topGap, 4);
    EXPECT_EQ(r.m_enFont.m_ascent, 22);
    EXPECT_EQ(r.m_enFont.m_descent, 7);
    EXPECT_EQ(r.m_enFont.m_index.size(), 95u);
    EXPECT_EQ(r.m_hzFont.m_advance, 16);
    EXPECT_EQ(r.m_hzFont.m_cellHeight, 16);
    ASSERT_EQ(r.m_hzFont.m_index.size(), 100u);
    for (const Glyph& g : en) {
        const CCharactor* c = r.m_enFont.Find(g.code);
        ASSERT_NE(c, nullptr) << g.code;
        EXPECT_EQ(c->m_advance, g.advance);
        EXPECT_EQ(c->m_strokeLen, 3);
    }
    for (const Glyph& g : hz) {
        ASSERT_NE(r.m_hzFont.Find(g.code), nullptr) << g.code;
        EXPECT_EQ(r.m_hzFont.Find(static_cast<uint16_t>(g.code + 1)), nullptr);
    }
    EXPECT_EQ(r.m_enFont.Find(0x1F), nullptr);
    EXPECT_EQ(r.m_enFont.Find(0x7F), nullptr);
    EXPECT_EQ(r.m_hzFont.Find(0xA1A0), nullptr);
    EXPECT_EQ(r.m_hzFont.Find(0xFFFF), nullptr);
}

TEST(FontLoader, OffsetsAboveSixteenBits)
{
    std::vector<uint8_t> hz;
    fixture::Put16(hz, 16);
    fixture::Put16(hz, 16);
    fixture::Put32(hz, 1);
    fixture::Put16(hz, 0xB0A1);
    fixture::Put16(hz, 2);
    fixture::Put32(hz, 0x12345);
    hz.resize(0x12345, 0);
    hz.push_back(0x10);
    hz.push_back(0x14);
    CStrokeFont f;
    EXPECT_EQ(f.Parse(hz, FontKind::DoubleByte, "fon_hz.bin"), "");
    ASSERT_EQ(f.m_index.size(), 1u);
    EXPECT_EQ(f.m_index[0].m_offset, 0x12345);
    EXPECT_EQ(f.Strokes(f.m_index[0])[1], 0x14);
}

std::vector<uint8_t> Patched(std::vector<uint8_t> bytes, size_t at, std::vector<uint8_t> with)
{
    for (size_t i = 0; i < with.size(); ++i) bytes[at + i] = with[i];
    return bytes;
}

// Every damaged file leaves the font without glyphs, with the default metrics,
// and reports one message; a label drawn with it draws only what the other
// font has.
TEST(FontLoader, DamagedFilesHaveNoGlyphs)
{
    const std::vector<uint8_t> en = fixture::MakeEnFont(fixture::EnGlyphs(), 9, 9, 9);
    const std::vector<uint8_t> hz = fixture::MakeHzFont(fixture::HzGlyphs(), 9, 9);
    struct Case {
        const char* name;
        std::vector<uint8_t> en, hz;
        bool enBroken, hzBroken;
    };
    const std::vector<Case> cases = {
        {"empty en", {}, hz, true, false},
        {"empty hz", en, {}, false, true},
        {"short header", {4, 0, 22, 0, 7}, {16, 0, 16}, true, true},
        {"count beyond the file", Patched(en, 6, {4, 0, 0, 0}), Patched(hz, 4, {2, 0, 0, 0}), true, true},
        {"huge count", Patched(en, 6, {0xFF, 0xFF, 0xFF, 0xFF}), Patched(hz, 4, {0xFF, 0xFF, 0xFF, 0x7F}), true,
         true},
        {"offset beyond the file", Patched(en, 10 + 10 + 6, {0xFF, 0xFF, 0, 0}), Patched(hz, 8 + 4, {0, 0, 1, 0}),
         true, true},
        {"length beyond the file", Patched(en, 10 + 10 + 2, {0xFF, 0x7F}), Patched(hz, 8 + 2, {0xFF, 0xFF}), true,
         true},
        {"unsorted", Patched(en, 10, {0x7E, 0}), hz, true, false},
        {"zero cell height", Patched(en, 0, {0, 0, 0, 0}), Patched(hz, 0, {0, 0, 0, 0}), true, true},
        {"sound", en, hz, false, false},
    };
    for (const Case& c : cases) {
        fixture::InstallFonts(c.en, c.hz);
        CHpglFile r;
        r.m_keepRecords = true;  // the tests look at the records
        ASSERT_EQ(fixture::Read(r, "PU1000,1000;LBA\xB0\xA1I\x03"), 0) << c.name;
        EXPECT_EQ(fixture::Messages().size(), size_t{c.enBroken} + size_t{c.hzBroken}) << c.name;
        EXPECT_EQ(r.m_enFont.m_index.empty(), c.enBroken) << c.name;
        EXPECT_EQ(r.m_hzFont.m_index.empty(), c.hzBroken) << c.name;
        EXPECT_EQ(r.m_enFont.m_topGap + r.m_enFont.m_ascent, c.enBroken ? 26 : 18) << c.name;
        EXPECT_EQ(r.m_hzFont.m_cellHeight, c.hzBroken ? 16 : 9) << c.name;
        size_t starts = 0;
        for (const auto& rec : r.Records()) starts += rec.type == CHpglFile::recStart;
        EXPECT_EQ(starts, size_t{!c.enBroken} * 2 + size_t{!c.hzBroken}) << c.name;
    }
}

TEST(FontLoader, MissingFileReportsOnce)
{
    theSettings.SetPath(Slot::FontEnPath, u"/nonexistent/fon_en.bin");
    theSettings.SetPath(Slot::FontHzPath, u"/nonexistent/fon_hz.bin");
    SetMessageSink(&fixture::Capture);
    fixture::Messages().clear();
    CHpglFile r;
    r.m_keepRecords = true;  // the tests look at the records
    ASSERT_EQ(fixture::Read(r, "PU1000,1000;LBA\xB0\xA1\x03"), 0);
    EXPECT_EQ(fixture::Messages(), (std::vector<std::string>{"Failed to open fon_hz.bin", "Failed to open fon_en.bin"}));
    EXPECT_TRUE(r.Records().empty());

    // The messages name the fonts by their own file names, whatever the paths.
    theSettings.SetPath(Slot::FontEnPath, u"/nonexistent/single.font");
    theSettings.SetPath(Slot::FontHzPath, u"/nonexistent/double.font");
    fixture::Messages().clear();
    CHpglFile other;
    other.m_keepRecords = true;  // the tests look at the records
    ASSERT_EQ(fixture::Read(other, "PU1000,1000;LBA\x03"), 0);
    EXPECT_EQ(fixture::Messages(), (std::vector<std::string>{"Failed to open fon_hz.bin", "Failed to open fon_en.bin"}));
    SetMessageSink(nullptr);  // back to stderr

    // Each loader text reaches the sink with its key and its Chinese form.
    const UserMessage m = FontLoadMessage("Damaged font file fon_en.bin");
    EXPECT_STREQ(m.key, "FontDamaged");
    EXPECT_EQ(m.chinese, u"字库文件已损坏 fon_en.bin");
    EXPECT_EQ(m.english, u"Damaged font file fon_en.bin");
}

}  // namespace

namespace {

// The program's own fonts, written from the embedded resources: every
// printable ASCII character and a few GBK characters draw inside their cells.
TEST(FontLoader, BuiltInFontsDrawInsideTheirCells)
{
    const std::string dir = fixture::TempPath("program");
    ASSERT_EQ(::mkdir(dir.c_str(), 0700), 0);
    theSettings.InitPathsFrom(FromUtf8(dir));
    SetMessageSink(&fixture::Capture);
    fixture::Messages().clear();

    std::string text = "IN;PU1000,1000;LB";
    for (char c = 0x21; c < 0x7F; ++c)
        if (c != 3) text += std::string(1, c) + "\x03;PU1000,1000;LB";
    text += "\xB7\xFE\x03;PU1000,1000;LB\xD6\xD0\x03;PU1000,1000;LB\xB0\xA1\x03";
    CHpglFile r;
    r.m_keepRecords = true;  // the tests look at the records
    ASSERT_EQ(fixture::Read(r, text), 0);
    EXPECT_TRUE(fixture::Messages().empty());
    ASSERT_FALSE(r.m_enFont.m_index.empty());
    ASSERT_FALSE(r.m_hzFont.m_index.empty());

    // H = 150 with the glyphs' baseline on y = 1000; descenders reach a
    // little below it, and nothing is wider than two cells.
    size_t starts = 0;
    for (const auto& rec : r.Records()) {
        auto v = r.Values(rec);
        starts += rec.type == CHpglFile::recStart;
        for (size_t i = 0; i + 1 < v.size(); i += 2) {
            EXPECT_GE(v[i], 1000 - 10);
            EXPECT_LE(v[i], 1000 + 300);
            EXPECT_GE(v[i + 1], 1000 - 75);
            EXPECT_LE(v[i + 1], 1000 + 175);
        }
    }
    EXPECT_GE(starts, 94u + 3u);  // at least one stroke per character
    std::filesystem::remove_all(dir);
}

}  // namespace
