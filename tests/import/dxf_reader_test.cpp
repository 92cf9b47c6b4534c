// Guards: DXF pairs misread across the buffer end or at odd line ends, rewinds to the wrong place, overlong lines not passed over, searches past their section, failed reads forgotten.
#include <gtest/gtest.h>

#include <unistd.h>

#include <clocale>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <string>

#include "import/DxfNumber.h"
#include "import/DxfBlocks.h"
#include "import/DxfReader.h"
#include "import/DxfTables.h"
#include "dxf_files.h"

using namespace dxftest;

namespace {

std::unique_ptr<DxfReader> Open(const TempFolder& dir, const std::string& bytes)
{
    auto r = DxfOpenReader(dir.Write("t.dxf", bytes));
    EXPECT_TRUE(r);
    return r;
}

}  // namespace

TEST(DxfReader, PairsStraddlingTheBufferEnd)
{
    TempFolder dir;
    // Move a pair across the 32 KiB boundary one byte at a time, its code line,
    // its CR LF and its value each falling on the boundary in turn.
    for (size_t lead = 32750; lead <= 32780; ++lead) {
        const std::string pad(lead - 5 - 2, 'x');  // "999\r\n" + pad + "\r\n" = lead bytes
        auto r = Open(dir, "999\r\n" + pad + "\r\n  10\r\n123.25\r\n  0\r\nEOF\r\n");
        ASSERT_TRUE(r);
        DxfReadPair(*r);
        EXPECT_EQ(r->code, 999);
        EXPECT_EQ(std::string(r->value.data()), pad.substr(0, kDxfValueSize - 1)) << lead;
        EXPECT_EQ(r->pos, static_cast<int64_t>(lead));
        DxfReadPair(*r);
        EXPECT_EQ(r->code, 10) << lead;
        EXPECT_STREQ(r->value.data(), "123.25") << lead;
        DxfReadPair(*r);
        EXPECT_EQ(r->code, 0);
        EXPECT_STREQ(r->value.data(), "EOF");
        EXPECT_TRUE(DxfAtEnd(*r));
    }
}

TEST(DxfReader, RewindToAMarkBeforeTheBuffer)
{
    TempFolder dir;
    std::string body;
    for (int i = 0; i < 20000; ++i) body += "10\r\n" + std::to_string(i) + "\r\n";
    auto r = Open(dir, body);
    for (int i = 0; i < 10; ++i) DxfReadPair(*r);
    DxfSetMark(*r);
    while (r->pos < 3 * static_cast<int64_t>(kDxfReaderBufferSize)) DxfReadPair(*r);
    ASSERT_GT(r->bufferStart, r->mark);
    DxfRewind(*r);
    DxfReadPair(*r);
    EXPECT_STREQ(r->value.data(), "10");
    DxfReadPair(*r);
    EXPECT_STREQ(r->value.data(), "11");

    // A failed seek comes back to where it started, even across buffers.
    const int64_t before = r->pos;
    EXPECT_EQ(DxfSeekGroup(*r, 0, "SECTION"), 0);
    EXPECT_EQ(r->pos, before);
    DxfReadPair(*r);
    EXPECT_STREQ(r->value.data(), "12");
    EXPECT_EQ(DxfSeekGroup(*r, 10, "19999"), 1);
    EXPECT_TRUE(DxfAtEnd(*r));
}

TEST(DxfReader, LineEndsCrCrLfAndBareLfReadAlike)
{
    TempFolder dir;
    const char* list = "  0|SECTION|2|HEADER|9|$ACADVER|1|AC1009 |0|ENDSEC|0|EOF";
    for (const char* eol : {"\r\n", "\r", "\n"}) {
        auto r = Open(dir, Lines(list, eol));
        std::string seen;
        while (!DxfAtEnd(*r)) {
            DxfReadPair(*r);
            seen += std::to_string(r->code) + "=" + r->value.data() + ";";
        }
        EXPECT_EQ(seen, "0=SECTION;2=HEADER;9=$ACADVER;1=AC1009 ;0=ENDSEC;0=EOF;") << int(eol[0]) << int(eol[1]);
    }
    // A file without a final line end still gives its last line.
    auto r = Open(dir, "0\nEOF");
    DxfReadPair(*r);
    EXPECT_STREQ(r->value.data(), "EOF");
}

TEST(DxfReader, OverlongLinesAreCutAndPassedOver)
{
    TempFolder dir;
    const std::string longCode(4000, '7');
    const std::string longValue(4000, 'v');
    auto r = Open(dir, longCode + "\r\n" + longValue + "\n5\r\nnext\r\n");
    DxfReadPair(*r);
    EXPECT_EQ(r->code, std::numeric_limits<int32_t>::max());
    EXPECT_EQ(std::string(r->value.data()), longValue.substr(0, kDxfValueSize - 1));
    DxfReadPair(*r);
    EXPECT_EQ(r->code, 5);
    EXPECT_STREQ(r->value.data(), "next");

    // Into a small destination: cut at cap - 1, the rest of the line consumed.
    auto s = Open(dir, "abcdefgh\r\nij\r\n");
    char small[4];
    EXPECT_EQ(DxfGetLine(*s, small, sizeof small), 3u);
    EXPECT_STREQ(small, "abc");
    EXPECT_EQ(DxfGetLine(*s, small, sizeof small), 2u);
    EXPECT_STREQ(small, "ij");
}

TEST(DxfReader, SectionsAndTables)
{
    TempFolder dir;
    const std::string file = Section("HEADER", "") +
                             Section("TABLES", Lines("0|TABLE|2|VPORT|0|ENDTAB|0|TABLE|2|LTYPE|0|ENDTAB")) +
                             Section("OBJECTS", "") + Section("ENTITIES", "") + Eof();
    auto r = Open(dir, file);
    EXPECT_EQ(DxfNextSection(*r), DxfSectionCode::Header);
    EXPECT_EQ(DxfNextSection(*r), DxfSectionCode::Tables);
    EXPECT_EQ(DxfNextTable(*r), DxfTableCode::Other);
    EXPECT_EQ(DxfNextTable(*r), DxfTableCode::LType);
    EXPECT_EQ(DxfCurrentTable(*r), DxfTableCode::LType);
    EXPECT_EQ(DxfNextTable(*r), 0);  // the section's end comes first: closed
    EXPECT_EQ(DxfCurrentSection(*r), DxfSectionCode::None);
    EXPECT_EQ(DxfNextSection(*r), DxfSectionCode::Other);
    EXPECT_EQ(DxfNextSection(*r), DxfSectionCode::Entities);
    EXPECT_EQ(DxfNextSection(*r), 0);

    // "SECTION " with a trailing blank is not the keyword.
    auto t = Open(dir, Lines("0|SECTION |2|ENTITIES|0|ENDSEC"));
    EXPECT_EQ(DxfNextSection(*t), 0);
}

TEST(DxfNumber, ConversionsFollowTheCLocale)
{
    struct IntCase { const char* s; int32_t v; };
    const IntCase ints[] = {{"  42", 42}, {"-7abc", -7}, {"+3", 3}, {"", 0}, {"x1", 0}, {"+-1", 0},
                            {"\t 070", 70}, {"99999999999999999999", 2147483647},
                            {"-99999999999", -2147483647 - 1}, {"2147483648", 2147483647}};
    for (const IntCase& c : ints) EXPECT_EQ(DxfAtoi(c.s), c.v) << c.s;

    struct RealCase { const char* s; double v; };
    const RealCase reals[] = {{"1.5", 1.5}, {"  -0.25", -0.25}, {"+2e3", 2000}, {".5", 0.5}, {"5.", 5},
                              {"1,5", 1}, {"abc", 0}, {"", 0}, {"1e-400", 0}, {"1.25E+01xyz", 12.5}};
    for (const RealCase& c : reals) EXPECT_EQ(DxfAtof(c.s), c.v) << c.s;
    EXPECT_EQ(DxfAtof("1e400"), HUGE_VAL);
    EXPECT_EQ(DxfAtof("-1e400"), -HUGE_VAL);
    const std::string tiny = "0." + std::string(400, '0') + "1";
    EXPECT_EQ(DxfAtof(tiny.c_str()), 0.0);
    EXPECT_EQ(DxfAtof(("1" + std::string(400, '0')).c_str()), HUGE_VAL);
    EXPECT_TRUE(std::isnan(DxfAtof("nan")));

    // Decimals of every length against strtod in the C locale, bit for bit:
    // the short path for plain decimals must round as the general one does.
    std::mt19937_64 rng(142);
    for (int i = 0; i < 200000; ++i) {
        std::string s = rng() % 3 ? "" : "-";
        for (int n = static_cast<int>(rng() % 21); n > 0; --n) s += static_cast<char>('0' + rng() % 10);
        if (rng() % 4) {
            s += '.';
            for (int n = static_cast<int>(rng() % 25); n > 0; --n) s += static_cast<char>('0' + rng() % 10);
        }
        if (rng() % 10 == 0) s += "e" + std::to_string(static_cast<int>(rng() % 40) - 20);
        const double want = std::strtod(s.c_str(), nullptr);
        const double got = DxfAtof(s.c_str());
        ASSERT_EQ(std::memcmp(&want, &got, sizeof want), 0) << s;
    }

    // Under a comma-decimal locale (when the system has one) nothing changes.
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "de_DE"}) {
        if (!std::setlocale(LC_NUMERIC, name)) continue;
        EXPECT_EQ(DxfAtof("1.5"), 1.5) << name;
        EXPECT_EQ(DxfAtof("1,5"), 1.0) << name;
        std::setlocale(LC_NUMERIC, "C");
        break;
    }
}

TEST(DxfReader, SearchesStopAtTheNextSection)
{
    // A section left open (no ENDSEC) ends at the next SECTION pair: no search
    // runs on to the end of the file, which made a file of many open sections
    // take quadratic time.
    TempFolder dir;
    const std::string tail = Lines("0|SECTION|2|ENTITIES") + std::string(3 * kDxfReaderBufferSize, '\n');
    struct Case {
        const char* what;
        std::string head;
        std::function<void(DxfReader&)> run;
    };
    const Case cases[] = {
        {"next table", Lines("0|SECTION|2|TABLES"), [](DxfReader& r) { EXPECT_EQ(DxfNextTable(r), 0); }},
        {"table entry", Lines("0|SECTION|2|TABLES|0|TABLE|2|LAYER"),
         [](DxfReader& r) {
             DxfTableInput in;
             EXPECT_EQ(DxfReadTableEntry(r, in), 0);
             EXPECT_EQ(DxfNextTable(r), 0);
         }},
        {"next block", Lines("0|SECTION|2|BLOCKS"),
         [](DxfReader& r) {
             DxfBlockHeader h;
             EXPECT_EQ(DxfNextBlock(r, h), 0);
         }},
    };
    for (const Case& c : cases) {
        auto r = Open(dir, c.head + tail);
        ASSERT_NE(DxfNextSection(*r), 0) << c.what;
        c.run(*r);
        EXPECT_EQ(DxfCurrentSection(*r), DxfSectionCode::None) << c.what;
        EXPECT_EQ(r->bufferStart, 0) << c.what;  // nothing beyond the first stretch was read
        EXPECT_EQ(DxfNextSection(*r), DxfSectionCode::Entities) << c.what;
    }
}

// A read that fails beyond the first stretch (here: the descriptor turned
// into a pipe, which cannot be read at an offset) is remembered, so the load
// can refuse the file rather than keep the part before it.
TEST(DxfReader, AFailedReadPastTheFirstStretchIsRemembered)
{
    TempFolder dir;
    std::string s;
    while (s.size() < 3 * kDxfReadStretch) s += "  0\r\nLINE\r\n 10\r\n1.5\r\n";
    s += "  0\r\nEOF\r\n";
    auto r = Open(dir, s);
    ASSERT_TRUE(r);
    ASSERT_EQ(DxfReadPairView(*r), 1);
    EXPECT_FALSE(r->readFailed);
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    ASSERT_GE(dup2(ends[0], fileno(r->file)), 0);
    close(ends[0]);
    close(ends[1]);
    size_t pairs = 1;
    while (!DxfAtEnd(*r) && pairs < s.size()) {
        DxfReadPairView(*r);
        ++pairs;
    }
    EXPECT_TRUE(r->readFailed);
    // The reading ended with the failure, about a third of the way in.
    EXPECT_LT(pairs, s.size() / 11 / 2);  // 11 bytes a pair
}
