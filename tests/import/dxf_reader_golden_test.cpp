// Guards: the DXF reader giving other pairs, lines, seeks, marks, sections or window than recorded from the 32 KiB-window reader it replaced, at any line end, long line or edge of what it holds.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "import/DxfReader.h"
#include "tests/import/GoldenFile.h"
#include "tests/import/GoldenSummary.h"
#include "tests/import/ImportCases.h"
#include "tests/support/TempFolder.h"

namespace {

const std::string kGolden = golden::DataPath("dxf_reader.golden");

struct Api {
    static std::unique_ptr<DxfReader> Open(const std::u16string& path) { return DxfOpenReader(path); }
    static int Close(std::unique_ptr<DxfReader>& r) { return DxfCloseReader(r); }
    static bool AtEnd(const DxfReader& r) { return DxfAtEnd(r); }
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

std::string Trace(const golden::ReaderCase& c)
{
    return golden::ReaderTrace<DxfReader, Api>(c.path, c.seed, c.pairsOnly);
}

// ORLAT_GOLDEN_WRITE=1: the file written anew from the reader as it is.
bool WriteAnew()
{
    testsupport::TempFolder dir("orlat_dxf_reader_golden_");
    std::vector<golden::Record> records;
    for (const golden::ReaderCase& c : golden::DxfReaderCases(dir.path(), kDxfReadStretch))
        records.push_back({c.name, Trace(c)});
    return golden::WriteRecords(kGolden, golden::Header(golden::kDxfReaderWhat), records);
}

class DxfReaderGolden : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (golden::RewriteRequested()) {
            static const bool written = WriteAnew();
            ASSERT_TRUE(written) << kGolden;
            GTEST_SKIP() << "wrote " << kGolden;
        }
    }

    // The cases whose name starts with prefix against their records; stops
    // at the first that differs.
    void ExpectAsRecorded(const std::string& prefix, size_t atLeast)
    {
        size_t n = 0;
        for (const golden::ReaderCase& c : golden::DxfReaderCases(dir.path(), kDxfReadStretch)) {
            if (c.name.rfind(prefix, 0) != 0) continue;
            ++n;
            const std::string* want = golden::Recorded(kGolden, c.name);
            ASSERT_NE(want, nullptr) << "no record of " << c.name << " in " << kGolden;
            ASSERT_EQ(Trace(c), *want) << c.name;
        }
        EXPECT_GE(n, atLeast);
    }

    testsupport::TempFolder dir{"orlat_dxf_reader_golden_"};
};

TEST_F(DxfReaderGolden, CommittedFilesAsRecorded)
{
    ExpectAsRecorded("data/", 21);
    ExpectAsRecorded("corpus/", 21);
}

TEST_F(DxfReaderGolden, EveryLineEndAsRecorded) { ExpectAsRecorded("line ends ", 12); }

// Line ends on either side of the edge of the stretch the reader holds, a
// CR LF split by it, lines longer than a stretch, rewinds over several.
TEST_F(DxfReaderGolden, StretchEdgesAsRecorded) { ExpectAsRecorded("stretch edge ", 16); }

}  // namespace
