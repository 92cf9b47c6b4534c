// The DXF reader over the whole file against the 32 KiB-window reader it
// replaced (kept in tests/import/support as the oracle): the same pairs, lines,
// seeks, marks, sections and the same window, operation by operation, on the
// committed files, the fuzz corpus and generated files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "OracleDxfReader.h"
#include "import/DxfReader.h"
#include "model/Text.h"
#include "tests/support/TempFolder.h"

namespace {

template <class R>
std::string State(const R& r, long result)
{
    std::ostringstream s;
    s << "result " << result << " pos " << r.pos << " mark " << r.mark << " size " << r.size << " window "
      << r.bufferStart << '+' << r.bufferLen << " section " << r.section << " table " << r.table << " block "
      << r.blockOpen << " pair " << r.code << " [" << r.value.data() << "] progress " << r.lastPercent;
    return s.str();
}

// One operation of the reader's interface, chosen by op, on either reader.
template <class R, class Api>
long Run(R& r, int op, const char* text)
{
    switch (op) {
    case 0:
    case 1:
    case 2: return Api::ReadPair(r);
    case 3: {
        char small[6];
        const long n = static_cast<long>(Api::GetLine(r, small, sizeof small));
        return n * 1000 + (small[0] & 0x7f);
    }
    case 4: Api::SetMark(r); return 0;
    case 5: Api::Rewind(r); return 0;
    case 6: return Api::SeekGroup(r, 0, text);
    case 7: return Api::SeekGroupInSection(r, 0, text, op % 2 == 0);
    case 8: return Api::NextSection(r);
    case 9: return Api::NextTable(r);
    case 10: Api::CloseSection(r); return 0;
    case 11: Api::PassEndBlock(r); return 0;
    default: Api::ProgressStep(r); return 0;
    }
}

struct NewApi {
    static int ReadPair(DxfReader& r) { return DxfReadPair(r); }
    static size_t GetLine(DxfReader& r, char* d, size_t c) { return DxfGetLine(r, d, c); }
    static void SetMark(DxfReader& r) { DxfSetMark(r); }
    static void Rewind(DxfReader& r) { DxfRewind(r); }
    static int SeekGroup(DxfReader& r, int c, const char* t) { return DxfSeekGroup(r, c, t); }
    static int SeekGroupInSection(DxfReader& r, int c, const char* t, bool w) { return DxfSeekGroupInSection(r, c, t, w); }
    static int NextSection(DxfReader& r) { return DxfNextSection(r); }
    static int NextTable(DxfReader& r) { return DxfNextTable(r); }
    static void CloseSection(DxfReader& r) { DxfCloseSection(r); }
    static void PassEndBlock(DxfReader& r) { DxfPassEndBlock(r); }
    static void ProgressStep(DxfReader& r) { DxfProgressStep(r); }
};

struct OldApi {
    using R = oracle::DxfReader;
    static int ReadPair(R& r) { return oracle::DxfReadPair(r); }
    static size_t GetLine(R& r, char* d, size_t c) { return oracle::DxfGetLine(r, d, c); }
    static void SetMark(R& r) { oracle::DxfSetMark(r); }
    static void Rewind(R& r) { oracle::DxfRewind(r); }
    static int SeekGroup(R& r, int c, const char* t) { return oracle::DxfSeekGroup(r, c, t); }
    static int SeekGroupInSection(R& r, int c, const char* t, bool w) { return oracle::DxfSeekGroupInSection(r, c, t, w); }
    static int NextSection(R& r) { return oracle::DxfNextSection(r); }
    static int NextTable(R& r) { return oracle::DxfNextTable(r); }
    static void CloseSection(R& r) { oracle::DxfCloseSection(r); }
    static void PassEndBlock(R& r) { oracle::DxfPassEndBlock(r); }
    static void ProgressStep(R& r) { oracle::DxfProgressStep(r); }
};

// Reads the file through both readers, with one seeded script of operations
// (mostly pairs, so the end is reached), or pairs only from start to end;
// stops at the first difference.
void ExpectSame(const std::u16string& file, unsigned seed, bool pairsOnly = false)
{
    const std::string path = ToUtf8(file);
    auto now = DxfOpenReader(file);
    auto was = oracle::DxfOpenReader(file);
    ASSERT_EQ(now != nullptr, was != nullptr) << path;
    if (!now) return;
    static const char* texts[] = {"SECTION", "TABLE", "ENDSEC", "ENTITIES", "EOF", "LINE", "nothing"};
    std::mt19937 rng(seed);
    ASSERT_EQ(State(*now, 0), State(*was, 0)) << path << " at open";
    const int steps = pairsOnly ? 1000000 : 20000;
    for (int step = 0; step < steps && !(DxfAtEnd(*now) && step > 50); ++step) {
        const int op = pairsOnly ? 0 : static_cast<int>(rng() % 14);
        const char* text = texts[rng() % std::size(texts)];
        const long a = Run<DxfReader, NewApi>(*now, op, text);
        const long b = Run<oracle::DxfReader, OldApi>(*was, op, text);
        ASSERT_EQ(State(*now, a), State(*was, b)) << path << " step " << step << " op " << op;
    }
    EXPECT_EQ(DxfCloseReader(now), oracle::DxfCloseReader(was));
}

TEST(DxfReaderOracle, CommittedFiles)
{
    std::vector<std::string> files;
    for (const char* dir : {ORLAT_TEST_DATA "/dxf", ORLAT_TEST_DATA "/../fuzz/corpus/dxf"})
        for (const auto& e : std::filesystem::directory_iterator(dir))
            if (e.path().extension() == ".dxf") files.push_back(e.path().string());
    ASSERT_GT(files.size(), 8u);
    for (const std::string& f : files)
        for (unsigned seed : {1u, 2u, 3u}) ExpectSame(FromUtf8(f), seed);
}

// Pairs with every kind of line end, long codes and values, blanks and the
// structure words, beyond several windows.
TEST(DxfReaderOracle, GeneratedFiles)
{
    testsupport::TempFolder dir("orlat_dxf_oracle_");
    static const char* ends[] = {"\r\n", "\r", "\n", "\r\r\n", "\n\r"};
    static const char* values[] = {"SECTION", "ENTITIES", "TABLES", "TABLE", "LAYER", "ENDTAB", "ENDSEC", "LINE",
                                   "ENDBLK", "BLOCK", "EOF", "SECTION ", "1.5", ""};
    std::mt19937 rng(103);
    for (int i = 0; i < 12; ++i) {
        std::string s;
        const size_t target = 1000 + rng() % 150000;
        while (s.size() < target) {
            const int kind = static_cast<int>(rng() % 20);
            std::string code = kind == 0 ? std::string(40, ' ') + "0" : kind == 1 ? "  -7" : kind < 12 ? "0" : "10";
            std::string value = values[rng() % std::size(values)];
            if (kind == 2) value = std::string(3000 + rng() % 40000, 'v');
            const char* end = ends[(i % 3 == 0) ? rng() % std::size(ends) : 0];
            s += code + end + value + end;
        }
        if (i % 2) s.resize(s.size() - 1);  // ends inside a line end
        const std::u16string path = dir.Write("gen.dxf", s);
        ExpectSame(path, static_cast<unsigned>(i));
        if (HasFailure()) return;
    }
}

// Files larger than the stretch the reader holds: line ends on either side
// of its edge, a CR LF split by it, lines longer than a stretch, and
// rewinds over several stretches.
TEST(DxfReaderOracle, FilesBeyondOneStretch)
{
    testsupport::TempFolder dir("orlat_dxf_oracle_");
    const size_t edge = kDxfReadStretch;
    std::mt19937 rng(1030);
    for (int i = 0; i < 8; ++i) {
        std::string s;
        // Short pairs up to a few bytes before the edge, then one line end
        // placed across it (CR before, LF after), at it, or just after it.
        while (s.size() + 1100 < edge) s += "0\r\n" + std::string(1000, 'v') + "\r\n";
        while (s.size() + 40 < edge) s += (rng() % 4 ? "0\r\nLINE\r\n" : "10\r\n1.5\r\n");
        s += "0\r\n";
        const size_t shift = static_cast<size_t>(i % 4);  // 0: CR last byte of the stretch
        s += std::string(edge - 1 - s.size() + shift, 'x') + "\r\n";
        // Longer than a stretch, in one line.
        if (i >= 4) s += "1\r\n" + std::string(edge + 100 + rng() % 5000, 'y') + (i % 2 ? "\r\n" : "\r");
        while (s.size() < 2 * edge + 5000)
            s += (rng() % 50 == 0 ? "2\r\n" + std::string(rng() % 200000, 'z') + "\r\n" : "0\r\nSECTION\r\n");
        s += "0\r\nEOF";
        const std::u16string path = dir.Write("big.dxf", s);
        ExpectSame(path, static_cast<unsigned>(i), true);
        ExpectSame(path, static_cast<unsigned>(i));
        if (HasFailure()) return;
    }
}

}  // namespace
