// Guards: shipped font files written wrong, over existing ones or cut short, and wrong glyph indexes of the embedded fonts.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#include "model/Settings.h"
#include "tests/support/GlobalsGuard.h"
#include "tests/support/TempFolder.h"
#include "model/Text.h"
#include "resources/EmbeddedFonts.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> ReadFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& p, const std::string& bytes)
{
    std::ofstream(p, std::ios::binary) << bytes;
}

std::vector<std::string> Listing(const fs::path& dir)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<uint8_t> Bytes(std::span<const uint8_t> s) { return {s.begin(), s.end()}; }

// A fresh folder with theSettings' font paths pointing into it.
class FontFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.Made());
        theSettings.SetPath(Slot::FontEnPath, FromUtf8((dir / "fon_en.bin").string()));
        theSettings.SetPath(Slot::FontHzPath, FromUtf8((dir / "fon_hz.bin").string()));
    }
    testsupport::GlobalsGuard guard;
    testsupport::TempFolder folder{"orlat_fonts_"};
    const fs::path& dir = folder.path();
};

TEST_F(FontFiles, MissingFilesAreWrittenByteForByte)
{
    theSettings.EnsureFontFiles();
    EXPECT_EQ(ReadFile(dir / "fon_en.bin"), Bytes(EmbeddedFontEn()));
    EXPECT_EQ(ReadFile(dir / "fon_hz.bin"), Bytes(EmbeddedFontHz()));
    // No temporary file stays behind.
    EXPECT_EQ(Listing(dir), (std::vector<std::string>{"fon_en.bin", "fon_hz.bin"}));
}

TEST_F(FontFiles, ExistingFileIsNeverOverwritten)
{
    WriteFile(dir / "fon_en.bin", "");      // empty
    WriteFile(dir / "fon_hz.bin", "junk");  // wrong content
    theSettings.EnsureFontFiles();
    EXPECT_TRUE(ReadFile(dir / "fon_en.bin").empty());
    EXPECT_EQ(ReadFile(dir / "fon_hz.bin"), (std::vector<uint8_t>{'j', 'u', 'n', 'k'}));

    // Called directly, the writer refuses too, also for a folder or a dangling link.
    const fs::path hz = dir / "fon_hz.bin";
    EXPECT_FALSE(CSettings::ExtractResourceToFile(153, u"fon", FromUtf8(hz.string())));
    EXPECT_EQ(ReadFile(hz).size(), 4u);
    fs::create_directory(dir / "folder");
    EXPECT_FALSE(CSettings::ExtractResourceToFile(154, u"FON", FromUtf8((dir / "folder").string())));
    fs::create_symlink(dir / "nowhere", dir / "link");
    EXPECT_FALSE(CSettings::ExtractResourceToFile(154, u"FON", FromUtf8((dir / "link").string())));
    EXPECT_FALSE(fs::exists(dir / "nowhere"));
}

TEST_F(FontFiles, ResourceLookup)
{
    struct Case { int id; std::u16string type; bool found; };
    const Case cases[] = {
        {154, u"fon", true}, {153, u"FON", true}, {154, u"Fon", true},
        {155, u"fon", false}, {152, u"fon", false}, {154, u"font", false}, {154, u"", false},
    };
    for (const Case& c : cases) {
        const fs::path p = dir / "out.bin";
        EXPECT_EQ(CSettings::ExtractResourceToFile(c.id, c.type, FromUtf8(p.string())), c.found) << c.id;
        EXPECT_EQ(fs::exists(p), c.found) << c.id;
        if (c.found) {
            EXPECT_EQ(ReadFile(p), Bytes(c.id == 153 ? EmbeddedFontHz() : EmbeddedFontEn()));
        }
        fs::remove(p);
    }
    EXPECT_FALSE(CSettings::ExtractResourceToFile(154, u"fon", u""));
}

TEST_F(FontFiles, UnwritableFolderGivesFalseAndLeavesNothing)
{
    // A missing folder and a "folder" that is a file fail for any user.
    WriteFile(dir / "plain", "x");
    for (const fs::path& p : {dir / "missing" / "fon_en.bin", dir / "plain" / "fon_en.bin"})
        EXPECT_FALSE(CSettings::ExtractResourceToFile(154, u"fon", FromUtf8(p.string()))) << p;
    EXPECT_EQ(Listing(dir), (std::vector<std::string>{"plain"}));

    if (::geteuid() != 0) {  // root writes into read-only folders anyway
        fs::create_directory(dir / "ro");
        fs::permissions(dir / "ro", fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_FALSE(CSettings::ExtractResourceToFile(154, u"fon", FromUtf8((dir / "ro" / "f.bin").string())));
        EXPECT_TRUE(fs::is_empty(dir / "ro"));
    }
}

TEST_F(FontFiles, WriteCutShortLeavesNoTruncatedFont)
{
    // A file-size limit makes the write stop part way, as a full disk would.
    struct rlimit saved;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    theSettings.EnsureFontFiles();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    ASSERT_GT(EmbeddedFontEn().size(), 0u);
    ASSERT_GT(EmbeddedFontHz().size(), 4096u);
    // The small font fits under the limit and is written whole; the large one
    // is not written at all, so the next load tries again.
    if (EmbeddedFontEn().size() <= 4096) {
        EXPECT_EQ(ReadFile(dir / "fon_en.bin"), Bytes(EmbeddedFontEn()));
        EXPECT_EQ(Listing(dir), (std::vector<std::string>{"fon_en.bin"}));
    }
    EXPECT_FALSE(fs::exists(dir / "fon_hz.bin"));
    theSettings.EnsureFontFiles();
    EXPECT_EQ(ReadFile(dir / "fon_hz.bin"), Bytes(EmbeddedFontHz()));
}

// ---- The embedded fonts themselves ----

uint32_t U16(std::span<const uint8_t> d, size_t at) { return d[at] | d[at + 1] << 8; }
uint32_t U32(std::span<const uint8_t> d, size_t at) { return U16(d, at) | U16(d, at + 2) << 16; }

// Walks one glyph's stroke bytes: only the commands the fonts use, every
// operand inside the glyph, every move within the signed-byte range.
::testing::AssertionResult ValidStrokes(std::span<const uint8_t> s)
{
    if (s.size() < 2 || s.front() != 0 || s.back() != 0)
        return ::testing::AssertionFailure() << "glyph not framed by 0 bytes";
    for (size_t i = 0; i < s.size();) {
        const uint8_t b = s[i++];
        if (b == 0 || b == 1 || b == 2 || b >= 16) continue;
        if (b == 8) {
            if (i + 2 > s.size()) return ::testing::AssertionFailure() << "move cut short";
            i += 2;
        } else if (b == 9) {
            for (;;) {
                if (i + 2 > s.size()) return ::testing::AssertionFailure() << "run not ended";
                const bool end = s[i] == 0 && s[i + 1] == 0;
                i += 2;
                if (end) break;
            }
        } else {
            return ::testing::AssertionFailure() << "stroke byte " << int(b) << " at " << i - 1;
        }
    }
    return ::testing::AssertionSuccess();
}

TEST(EmbeddedFonts, SingleByteFontIndex)
{
    const auto d = EmbeddedFontEn();
    ASSERT_GE(d.size(), 10u);
    const uint32_t topGap = U16(d, 0), ascent = U16(d, 2), count = U32(d, 6);
    EXPECT_GT(topGap + ascent, 0u);
    ASSERT_EQ(count, 95u);
    const size_t dataStart = 10 + 10 * count;
    ASSERT_LE(dataStart, d.size());
    for (uint32_t i = 0; i < count; ++i) {
        const size_t e = 10 + 10 * i;
        const uint32_t code = U16(d, e), len = U16(d, e + 2), adv = U16(d, e + 4), off = U32(d, e + 6);
        EXPECT_EQ(code, 0x20 + i);
        EXPECT_GT(adv, 0u) << code;
        ASSERT_GE(off, dataStart) << code;
        ASSERT_LE(uint64_t(off) + len, d.size()) << code;
        EXPECT_TRUE(ValidStrokes(d.subspan(off, len))) << code;
    }
}

TEST(EmbeddedFonts, DoubleByteFontIndex)
{
    const auto d = EmbeddedFontHz();
    ASSERT_GE(d.size(), 8u);
    EXPECT_GT(U16(d, 0), 0u);  // advance
    EXPECT_GT(U16(d, 2), 0u);  // cell height
    const uint32_t count = U32(d, 4);
    const size_t dataStart = 8 + size_t(8) * count;
    ASSERT_LE(dataStart, d.size());
    std::set<uint32_t> codes;
    uint32_t prev = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const size_t e = 8 + size_t(8) * i;
        const uint32_t code = U16(d, e), len = U16(d, e + 2), off = U32(d, e + 4);
        ASSERT_GT(code, prev) << "index not sorted at " << i;
        prev = code;
        EXPECT_GE(code, 0xA1A1u);
        EXPECT_LE(code, 0xF7FEu);
        ASSERT_GE(off, dataStart) << std::hex << code;
        ASSERT_LE(uint64_t(off) + len, d.size()) << std::hex << code;
        EXPECT_TRUE(ValidStrokes(d.subspan(off, len))) << std::hex << code;
        codes.insert(code);
    }
    // Every GB2312 hanzi: rows B0..F7, trail bytes A1..FE, except D7FA..D7FE.
    int hanzi = 0;
    for (uint32_t lead = 0xB0; lead <= 0xF7; ++lead)
        for (uint32_t trail = 0xA1; trail <= 0xFE; ++trail) {
            if (lead == 0xD7 && trail > 0xF9) continue;
            ++hanzi;
            EXPECT_TRUE(codes.count(lead << 8 | trail)) << std::hex << (lead << 8 | trail);
        }
    EXPECT_EQ(hanzi, 6763);
    // The full-width letters, digits and punctuation of a label such as "尺码：ＸＬ".
    for (uint32_t c = 0xA3A1; c <= 0xA3FE; ++c) EXPECT_TRUE(codes.count(c)) << std::hex << c;
    for (uint32_t c : {0xA1A2u, 0xA1A3u, 0xA1B6u, 0xA1B7u, 0xA1BEu, 0xA1BFu})
        EXPECT_TRUE(codes.count(c)) << std::hex << c;
}

}  // namespace
