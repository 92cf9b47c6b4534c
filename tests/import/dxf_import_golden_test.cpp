// Guards: the DXF import storing other entities, ids or blocks, or making other curves or label commands, than recorded from the import it replaced, at the edges of blocks, layers, numbers and texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "import/DxfImport.h"
#include "model/Settings.h"
#include "tests/import/GoldenFile.h"
#include "tests/import/GoldenSummary.h"
#include "tests/import/ImportCases.h"
#include "tests/support/TempFolder.h"

namespace {

const std::string kGolden = golden::DataPath("dxf_import.golden");

// ORLAT_GOLDEN_WRITE=1: the file written anew from the import as it is.
bool WriteAnew()
{
    testsupport::TempFolder dir("orlat_dxf_golden_");
    std::vector<golden::Record> records;
    for (const golden::FileCase& c : golden::DxfImportCases(dir.path()))
        records.push_back({c.name, golden::DxfImportSummary<CDxfDrawing>(c.path, dir.path() / "labels.plt", c.detail)});
    return golden::WriteRecords(kGolden, golden::Header(golden::kDxfImportWhat), records);
}

class DxfImportGolden : public ::testing::Test {
protected:
    void SetUp() override
    {
        theSettings.Set(Slot::DxfUnit, 40);
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
        for (const golden::FileCase& c : golden::DxfImportCases(dir.path())) {
            if (c.name.rfind(prefix, 0) != 0) continue;
            ++n;
            const std::string* want = golden::Recorded(kGolden, c.name);
            ASSERT_NE(want, nullptr) << "no record of " << c.name << " in " << kGolden;
            ASSERT_EQ(golden::DxfImportSummary<CDxfDrawing>(c.path, dir.path() / "labels.plt", c.detail), *want)
                << c.name;
        }
        EXPECT_GE(n, atLeast);
    }

    testsupport::TempFolder dir{"orlat_dxf_golden_"};
};

TEST_F(DxfImportGolden, CommittedFilesAsRecorded)
{
    ExpectAsRecorded("data/", 7);
    ExpectAsRecorded("corpus/", 7);
}

TEST_F(DxfImportGolden, EdgeDrawingsAsRecorded) { ExpectAsRecorded("edge ", golden::DxfEdges().size()); }

TEST_F(DxfImportGolden, GeneratedDrawingsAsRecorded) { ExpectAsRecorded("generated ", golden::kDxfGenerated); }

}  // namespace
