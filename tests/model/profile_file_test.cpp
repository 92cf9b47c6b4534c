// Guards: profile files read or written unlike the profile functions, other lines or line ends lost, a half-written file left.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "model/ProfileFile.h"

namespace fs = std::filesystem;

namespace {

struct ReadCase {
    const char* text;
    const char* key;
    int32_t def;
    int32_t want;
};

// Reading as GetPrivateProfileInt does, one file per row.
const ReadCase kIntCases[] = {
    {"[Para]\nA=12\n", "A", 7, 12},
    {"[Para]\nA=12abc\n", "A", 7, 12},
    {"[Para]\nA=abc\n", "A", 7, 0},
    {"[Para]\nA=\n", "A", 7, 7},              // empty: the default
    {"[Para]\nA=   \n", "A", 7, 7},
    {"[Para]\nB=1\n", "A", 7, 7},             // missing key
    {"[Other]\nA=1\n", "A", 7, 7},            // missing section
    {"[Para]\nA=-687757120\n", "A", 0, -687757120},
    {"[Para]\nA=+5\n", "A", 0, 5},
    {"[Para]\nA=-\n", "A", 9, 0},
    {"[Para]\nA=4294967297\n", "A", 0, 1},   // wraps to 32 bits
    {"[Para]\nA=2147483648\n", "A", 0, INT32_MIN},
    {"[Para]\nA=0x10\n", "A", 0, 0},
    {"[Para]\nA=1 2\n", "A", 0, 1},
    {"[pArA]\n  a  =  3  \n", "A", 0, 3},    // names without case, blanks trimmed
    {"[ Para ]\nA=3\n", "A", 0, 3},
    {"[Para]\nA=\"42\"\n", "A", 0, 42},       // matching quotes dropped
    {"[Para]\nA='42'\n", "A", 0, 42},
    {"[Para]\nA=1\nA=2\n", "A", 0, 1},        // the first of duplicates
    {"[Para]\r\nA=5\r\nB=6\r\n", "B", 0, 6},  // CRLF
    {"\xEF\xBB\xBF[Para]\nA=8\n", "A", 0, 8}, // UTF-8 mark
    {"[Para]\n;A=1\nA=2\n", "A", 0, 2},       // a comment is no key
    {"[Para]\nA=1\n[X]\nA=2\n", "A", 0, 1},
    {"[X]\nA=2\n[Para]\nA=1", "A", 0, 1},     // no final line end
    {"A=4\n[Para]\n", "A", 0, 0},             // before any section: no key of Para
    {"", "A", 3, 3},
};

TEST(ProfileFile, ReadsIntegersAsTheProfileFunctions)
{
    for (const ReadCase& c : kIntCases) {
        const ProfileFile f = ProfileFile::Parse(c.text);
        EXPECT_EQ(f.GetInt("Para", c.key, c.def), c.want) << "file: " << c.text;
    }
}

TEST(ProfileFile, ReadsStrings)
{
    const ProfileFile f = ProfileFile::Parse("[Para]\nD = /a b/c/ \nQ=\"  x \"\nM=\"x'\nE=\nEq=a=b\n");
    EXPECT_EQ(f.GetString("Para", "D"), "/a b/c/");
    EXPECT_EQ(f.GetString("Para", "q"), "  x ");
    EXPECT_EQ(f.GetString("Para", "M"), "\"x'");  // unmatched quotes stay
    EXPECT_EQ(f.GetString("Para", "E"), "");
    EXPECT_EQ(f.GetString("Para", "Eq"), "a=b");
    EXPECT_FALSE(f.GetString("Para", "Missing").has_value());
}

TEST(ProfileFile, WritesInPlaceAndKeepsOtherLines)
{
    ProfileFile f = ProfileFile::Parse(
        "; written by hand\n[Para]\nlanguage = 1 ; old\nOther=x\n\n[Tail]\nK=v\n");
    f.SetInt("Para", "Language", 2);      // in place, with the stored spelling's place
    f.SetInt("para", "NewKey", -3);       // after the section's last entry
    f.SetString("Tail", "K", "w");
    f.SetString("Fresh", "S", "t");       // a new section at the end
    EXPECT_EQ(f.Text(),
              "; written by hand\n[Para]\nLanguage=2\nOther=x\nNewKey=-3\n\n[Tail]\nK=w\n[Fresh]\nS=t\n");
}

TEST(ProfileFile, KeepsLineEndsAndMarkAndUpdatesOnlyTheFirstDuplicate)
{
    ProfileFile f = ProfileFile::Parse("\xEF\xBB\xBF[Para]\r\nA=1\r\nA=2\r\n");
    f.SetInt("Para", "A", 5);
    EXPECT_EQ(f.Text(), "\xEF\xBB\xBF[Para]\r\nA=5\r\nA=2\r\n");
}

TEST(ProfileFile, ValuesRoundTrip)
{
    // Values that reading would change are written inside quotes; a line
    // break cannot be kept and must not make a second line.
    const char* values[] = {"plain", " lead", "trail ", "\"q\"", "'s'", "", "a=b;c", "x\ny=1"};
    for (const char* v : values) {
        ProfileFile f;
        f.SetString("Para", "V", v);
        const ProfileFile back = ProfileFile::Parse(f.Text());
        std::string want = v;
        std::erase(want, '\n');
        EXPECT_EQ(back.GetString("Para", "V"), want) << f.Text();
        EXPECT_FALSE(back.GetString("Para", "y").has_value());
    }
}

class ProfileDisk : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::path(ORLAT_BINARY_DIR) / ("profile_test_" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    static std::string Slurp(const fs::path& p)
    {
        std::ifstream in(p, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    fs::path dir;
};

TEST_F(ProfileDisk, MissingFileIsEmptyAndUnreadableOnesAreReported)
{
    ProfileFile f;
    std::string error;
    EXPECT_TRUE(ReadProfileFile((dir / "none.ini").string(), f, &error));
    EXPECT_EQ(f.Text(), "");

    fs::create_directory(dir / "adir.ini");
    EXPECT_FALSE(ReadProfileFile((dir / "adir.ini").string(), f, &error));
    EXPECT_NE(error.find("adir.ini"), std::string::npos);

    {
        std::ofstream big(dir / "big.ini", std::ios::binary);
        big << std::string(5 * 1024 * 1024, 'x');
    }
    EXPECT_FALSE(ReadProfileFile((dir / "big.ini").string(), f, &error));
    EXPECT_NE(error.find("too large"), std::string::npos);
}

TEST_F(ProfileDisk, AtomicWriteReplacesOrLeavesTheOldFile)
{
    const fs::path p = dir / "s.ini";
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(p.string(), "one\n", &error)) << error;
    EXPECT_EQ(Slurp(p), "one\n");
    ASSERT_TRUE(WriteFileAtomically(p.string(), "two\n", &error)) << error;
    EXPECT_EQ(Slurp(p), "two\n");

    // No folder to write in; a target the rename cannot replace.
    EXPECT_FALSE(WriteFileAtomically((dir / "no" / "s.ini").string(), "x", &error));
    EXPECT_NE(error.find("no/s.ini"), std::string::npos);
    fs::create_directories(dir / "d.ini" / "keep");
    EXPECT_FALSE(WriteFileAtomically((dir / "d.ini").string(), "x", &error));
    EXPECT_TRUE(fs::is_directory(dir / "d.ini" / "keep"));
    EXPECT_EQ(Slurp(p), "two\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 2);  // no temporary left
}

}  // namespace
