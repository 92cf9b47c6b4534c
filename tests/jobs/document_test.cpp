// Guards: a job list changed by a damaged load, a save or an export, or a global document left dangling.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "jobs/OrlatCenterDoc.h"
#include "model/Settings.h"
#include "model/Text.h"
#include "tests/support/PageBuilder.h"

using testsupport::AddCurve;
using testsupport::MakeCurve;

namespace fs = std::filesystem;

namespace {

class Document : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::path(ORLAT_BINARY_DIR) / ("document_test_" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        saved = theDispSet;
        // One view pixel per plot unit: view (x + 50, 970 - y).
        theDispSet.m_scale = 1.0;
        theDispSet.m_viewHeight = 1000;
        theDispSet.m_scrollX = theDispSet.m_scrollY = 0;
    }
    void TearDown() override
    {
        theDispSet = saved;
        fs::remove_all(dir);
    }
    COnePage& AddPage(int state = JobState::Manual, int copies = 1)
    {
        doc.m_pages.push_back(std::make_unique<COnePage>());
        doc.m_pages.back()->m_state = state;
        doc.m_pages.back()->m_copies = copies;
        return *doc.m_pages.back();
    }
    std::u16string U(const fs::path& p) const { return FromUtf8(p.string()); }
    static std::string Slurp(const fs::path& p)
    {
        std::ifstream in(p, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    static ViewPoint V(int x, int y) { return {x + 50, 970 - y}; }

    fs::path dir;
    CDispSet saved;
    COrlatCenterDoc doc;
};

// The control bar and the sending thread read the global document: a gone
// document must not stay there, nor take a newer one with it.
TEST(DocumentGlobal, NeverLeftDanglingNorClearedByAnOlderOne)
{
    {
        auto older = std::make_unique<COrlatCenterDoc>();
        COrlatCenterDoc newer;
        EXPECT_EQ(g_pTaskDoc, &newer);
        older.reset();
        EXPECT_EQ(g_pTaskDoc, &newer) << "the older document's end cleared the newer one";
    }
    EXPECT_EQ(g_pTaskDoc, nullptr) << "dangling after the document ended";
}

TEST_F(Document, IndexGuardsAndThePrintingJob)
{
    AddPage(JobState::Manual, 0);
    AddPage(JobState::Printing, 2);
    AddPage(JobState::Done, 0);
    for (int bad : {-1, 3, 1000}) {
        doc.DeletePage(bad);
        doc.CheckPage(bad);
        doc.ClearPageSelection(bad);
        doc.PickCurve(bad, 0, 0);
        doc.SelectCurvesInRect(bad, {0, 0}, {10, 10}, true);
    }
    ASSERT_EQ(doc.PageCount(), 3);
    EXPECT_EQ(doc.m_pages[0]->m_checked + doc.m_pages[1]->m_checked + doc.m_pages[2]->m_checked, 0);

    for (int i = 0; i < 3; ++i) doc.CheckPage(i);
    doc.SetCheckedPagesState(JobState::Done);
    EXPECT_EQ(doc.m_pages[0]->m_copies, 0);  // Done leaves copies alone
    EXPECT_EQ(doc.m_pages[1]->m_state, JobState::Printing);
    doc.SetCheckedPagesState(JobState::Auto);
    EXPECT_EQ(doc.m_pages[0]->m_copies, 1);
    EXPECT_EQ(doc.m_pages[0]->m_state, JobState::Auto);
    EXPECT_EQ(doc.m_pages[1]->m_state, JobState::Printing);

    doc.DeleteCheckedPages();
    ASSERT_EQ(doc.PageCount(), 1);
    EXPECT_EQ(doc.m_pages[0]->m_state, JobState::Printing);
    doc.UncheckAllPages();
    EXPECT_EQ(doc.m_pages[0]->m_checked, 0);
    doc.DeletePage(0);  // the plain delete does not look at the state
    EXPECT_EQ(doc.PageCount(), 0);
}

TEST_F(Document, SavingKeepsThePrintingJobPrinting)
{
    AddPage(JobState::Printing, 3);
    AddPage(JobState::Auto, 1);
    const fs::path file = dir / "jobs.orlattask";
    ASSERT_EQ(doc.SaveTaskFile(U(file)), TaskFileStatus::Ok);
    EXPECT_EQ(doc.m_pages[0]->m_state, JobState::Printing);
    EXPECT_EQ(doc.CurrentPath(), U(file));

    // The bytes the last-task file gets: the same file, the job still Printing.
    const std::vector<uint8_t> stored = doc.StoredBytes();
    EXPECT_EQ(doc.m_pages[0]->m_state, JobState::Printing);
    EXPECT_EQ(doc.CurrentPath(), U(file));
    std::ifstream in(file, std::ios::binary);
    EXPECT_EQ(std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {}), stored);

    COrlatCenterDoc other;
    ASSERT_EQ(other.OpenTaskFile(U(file)), TaskFileStatus::Ok);
    ASSERT_EQ(other.PageCount(), 2);
    EXPECT_EQ(other.m_pages[0]->m_state, JobState::Manual);  // as files always held it
    EXPECT_EQ(other.m_pages[0]->m_copies, 3);
}

TEST_F(Document, ADamagedTaskFileLeavesTheListAlone)
{
    AddPage();
    std::ofstream(dir / "bad.orlattask", std::ios::binary) << std::string("\x05\x00\xff\xff", 4);
    EXPECT_NE(doc.OpenTaskFile(U(dir / "bad.orlattask")), TaskFileStatus::Ok);
    EXPECT_EQ(doc.OpenTaskFile(U(dir / "missing.orlattask")), TaskFileStatus::OpenFailed);
    EXPECT_EQ(doc.PageCount(), 1);
    EXPECT_TRUE(doc.CurrentPath().empty());
}

TEST_F(Document, PickingPrefersPlotAndTogglesBack)
{
    COnePage& page = AddPage();
    CCurve& cut = AddCurve(page, {{0, 0}, {400, 0}}, CurveKind::Cut);
    CCurve& plot = AddCurve(page, {{0, 0}, {400, 0}}, CurveKind::Plot);
    const ViewPoint at = V(200, 0);
    doc.PickCurve(0, at.x, at.y);
    EXPECT_TRUE(plot.m_bSelected);
    EXPECT_FALSE(cut.m_bSelected);
    doc.PickCurve(0, at.x, at.y);
    EXPECT_FALSE(plot.m_bSelected);
    doc.PickCurve(0, at.x, at.y + 40);  // far off: nothing
    EXPECT_FALSE(plot.m_bSelected || cut.m_bSelected);
    plot.m_bSelected = cut.m_bSelected = 1;
    doc.ClearPageSelection(0);
    EXPECT_FALSE(plot.m_bSelected || cut.m_bSelected);
}

TEST_F(Document, RectangleSelectionEdgesAndShortSegments)
{
    COnePage& page = AddPage();
    // Rectangle in plot units x 100..200, y 100..200, as view corners
    // left-top (inclusive) and right-bottom (exclusive).
    const ViewPoint a = V(100, 200), b = V(200, 100);
    CCurve& inside = AddCurve(page, {{100, 150}, {150, 101}});           // on the left edge: inside
    CCurve& onRight = AddCurve(page, {{150, 150}, {200, 150}});          // on the right edge: not inside
    CCurve& crossing = AddCurve(page, {{150, 150}, {250, 150}});         // crosses the right edge
    CCurve& shortCross = AddCurve(page, {{198, 120}, {202, 120}});       // 4 units across the edge
    CCurve& fiveCross = AddCurve(page, {{198, 130}, {203, 130}});        // 5 units: counts
    CCurve& outside = AddCurve(page, {{300, 300}, {400, 300}});
    outside.m_bSelected = 1;  // selection is only ever added

    doc.SelectCurvesInRect(0, a, b, false);
    EXPECT_TRUE(inside.m_bSelected);
    EXPECT_FALSE(onRight.m_bSelected);
    EXPECT_FALSE(crossing.m_bSelected);
    EXPECT_TRUE(outside.m_bSelected);

    doc.SelectCurvesInRect(0, a, b, true);
    EXPECT_TRUE(crossing.m_bSelected);
    EXPECT_FALSE(shortCross.m_bSelected);
    EXPECT_TRUE(fiveCross.m_bSelected);
    EXPECT_TRUE(outside.m_bSelected);
}

TEST_F(Document, ExportIsByteExact)
{
    const fs::path out = dir / "all.plt";
    std::string error;
    ASSERT_TRUE(doc.ExportHpgl(U(out), &error)) << error;
    EXPECT_EQ(Slurp(out), "");  // an empty list: an empty file

    AddCurve(AddPage(), {{0, 0}, {400, 0}});
    ASSERT_TRUE(doc.ExportHpgl(U(out), &error)) << error;
    EXPECT_EQ(Slurp(out), "SP1;PU0,0;PD0,0,400,0,;PG;");
    EXPECT_EQ(Slurp(out).size(), 26u);

    // Line types and pens: a change writes LT / SP, the page's first curve
    // always SP, a curve without points no PU; a page without curves "PG;".
    COnePage& second = AddPage();
    AddCurve(second, {{1, 2}, {3, 4}});
    AddCurve(second, {{-5, 6}}, CurveKind::Cut).m_lineType = 2;
    AddCurve(second, {}, CurveKind::Cut).m_lineType = 0;
    AddCurve(second, {{7, 8}, {9, 10}}, CurveKind::ShortCut);
    AddPage();
    ASSERT_TRUE(doc.ExportHpgl(U(out), &error)) << error;
    EXPECT_EQ(Slurp(out),
              "SP1;PU0,0;PD0,0,400,0,;PG;"
              "SP1;PU1,2;PD1,2,3,4,;LT2;SP2;PU-5,6;PD-5,6,;LT0;SP3;PU7,8;PD7,8,9,10,;PG;"
              "PG;");
}

TEST_F(Document, ExportFailureIsToldAndKeepsTheOldFile)
{
    AddCurve(AddPage(), {{0, 0}, {400, 0}});
    std::string error;
    EXPECT_FALSE(doc.ExportHpgl(U(dir / "no" / "such" / "x.plt"), &error));
    EXPECT_NE(error.find("no/such/x.plt"), std::string::npos);
    fs::create_directories(dir / "taken.plt" / "inside");  // a target the rename cannot replace
    EXPECT_FALSE(doc.ExportHpgl(U(dir / "taken.plt"), &error));
    EXPECT_TRUE(fs::is_directory(dir / "taken.plt" / "inside"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 1);
}

}  // namespace
