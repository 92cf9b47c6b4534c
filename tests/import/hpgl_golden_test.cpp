// Guards: the HP-GL reader giving other results, curves, points, kinds, line types or page breaks than recorded from the reader it replaced, or another page when its reads end inside a token.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstddef>
#include <sstream>
#include <string>
#include <vector>

#include "HpglFixture.h"
#include "tests/import/GoldenFile.h"
#include "tests/import/ImportCases.h"
#include "tests/import/GoldenSummary.h"
#include "import/HpglFile.h"
#include "model/Page.h"
#include "tests/support/TempFolder.h"

namespace {

const std::string kGolden = golden::DataPath("hpgl.golden");

std::string BoundsText(const COnePage& p)
{
    std::ostringstream s;
    s << p.m_minX << ' ' << p.m_maxX << ' ' << p.m_minY << ' ' << p.m_maxY << " ink " << p.m_inkMaxX << ' '
      << p.m_inkMaxY << " cut " << p.m_cutMaxX << ' ' << p.m_cutMaxY;
    for (const auto& c : p.m_curves) s << " | " << c->m_minX << ' ' << c->m_maxX << ' ' << c->m_minY << ' ' << c->m_maxY;
    return s.str();
}

// What every page must hold besides its curves: the file's name and time,
// and (read into an empty page) the bounds gathered while reading, the same
// as the passes over the points give.
void CheckPage(const CHpglFile& r, COnePage& page, bool prefilled)
{
    EXPECT_EQ(page.m_strFileName, r.m_strPath);
    struct stat st {};
    ASSERT_EQ(::stat(ToUtf8(r.m_strPath).c_str(), &st), 0);
    EXPECT_EQ(page.m_time, st.st_mtim.tv_sec);
    if (prefilled) return;
    r.CurveBounds().Apply(page);
    const std::string folded = BoundsText(page);
    page.CalcPageBounds();
    page.CalcInkExtents();
    page.CalcCutExtents();
    EXPECT_EQ(folded, BoundsText(page));
}

std::string Summary(const golden::FileCase& c, size_t block)
{
    return golden::HpglSummary<CHpglFile>(c.path, block, c.detail, CheckPage);
}

// ORLAT_GOLDEN_WRITE=1: the file written anew from the reader as it is.
bool WriteAnew()
{
    testsupport::TempFolder dir("orlat_hpgl_golden_");
    std::vector<golden::Record> records;
    for (const golden::FileCase& c : golden::HpglCases(dir.path()))
        records.push_back({c.name, golden::HpglSummary<CHpglFile>(c.path, size_t{1} << 20, c.detail,
                                                                  [](const CHpglFile&, COnePage&, bool) {})});
    return golden::WriteRecords(kGolden, golden::Header(golden::kHpglWhat), records);
}

class HpglGolden : public ::testing::Test {
protected:
    void SetUp() override
    {
        fixture::InstallFixtureFonts();
        if (golden::RewriteRequested()) {
            static const bool written = WriteAnew();
            ASSERT_TRUE(written) << kGolden;
            GTEST_SKIP() << "wrote " << kGolden;
        }
    }

    // The cases whose name starts so, each read in blocks of every size given
    // (a block of one byte ends inside every number and label), against its
    // record; stops at the first case that differs.
    void ExpectAsRecorded(std::vector<std::string> prefixes, std::vector<size_t> blocks, size_t atLeast)
    {
        size_t n = 0;
        for (const golden::FileCase& c : golden::HpglCases(dir.path())) {
            bool wanted = false;
            for (const std::string& p : prefixes) wanted = wanted || c.name.rfind(p, 0) == 0;
            if (!wanted) continue;
            ++n;
            const std::string* want = golden::Recorded(kGolden, c.name);
            ASSERT_NE(want, nullptr) << "no record of " << c.name << " in " << kGolden;
            for (size_t block : blocks) EXPECT_EQ(Summary(c, block), *want) << c.name << ", read in blocks of " << block;
            if (HasFailure()) {
                ADD_FAILURE() << "file: " << golden::Escape(golden::FileBytes(c.path), 2000);
                return;
            }
        }
        EXPECT_GE(n, atLeast);
    }

    testsupport::TempFolder dir{"orlat_hpgl_golden_"};
};

TEST_F(HpglGolden, CommittedFilesAsRecorded)
{
    ExpectAsRecorded({"data/", "corpus/"}, {size_t{1} << 20, 7, 1}, 6);
}

TEST_F(HpglGolden, EdgeCasesAsRecorded)
{
    ExpectAsRecorded({"edge "}, {size_t{1} << 20, 7, 1}, golden::HpglEdges().size());
}

TEST_F(HpglGolden, GeneratedFilesAsRecorded)
{
    ExpectAsRecorded({"generated "}, {size_t{1} << 20, 3}, golden::kHpglGenerated);
}

}  // namespace
