// Guards the preview and the job list telling the same story: a deleted last job must leave the picture, and deleting curves must reach the list's size cell.
#include <QAbstractItemModel>
#include <QImage>
#include <QTest>

#include "app/joblist/JobListView.h"
#include "app/preview/PreviewView.h"
#include "model/DispSet.h"
#include "tests/app/frame/FrameFixture.h"
#include "tests/support/PageBuilder.h"

using namespace appfix;

namespace {

int CountColour(const QImage& img, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) ++n;
    return n;
}

class PreviewListSync : public FrameFixture {
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        frame->resize(1200, 900);
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    }
    COrlatCenterView* Preview() const { return frame->PreviewView(); }
    CMyListView* List() const { return frame->ListView(); }
    // What the operator sees in the preview now.
    QImage Shown() const { return Preview()->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    QString SizeCell(int row) const { return List()->model()->index(row, 2).data().toString(); }
    // A printed square of 100 mm at the origin, as the one job of the list.
    void ShowOneJob(int32_t state)
    {
        auto page = Job(state);
        page->m_curves.clear();
        testsupport::AddCurve(*page, {{0, 0}, {4000, 0}, {4000, 4000}, {0, 4000}, {0, 0}});
        page->CalcPageBounds();
        doc.m_pages.push_back(std::move(page));
        List()->RefreshJobList();
        Preview()->SetCurrentPage(0);
        ASSERT_GT(CountColour(Shown(), qRgb(255, 255, 255)), 0);
    }
};

// Every way the last job can leave the list: the picture becomes the empty one
// (black ground, no paper, no curves), on the widget as well as in the buffer.
TEST_F(PreviewListSync, TheLastJobDeletedLeavesTheEmptyPicture)
{
    const struct {
        const char* way;
        std::function<void()> remove;
    } ways[] = {
        {"Done clean-up of the clock",
         [this] {
             doc.m_pages[0]->m_state = JobState::Done;
             frame->Service().DeleteDoneJobs();
         }},
        {"list command 3011 (delete Done)",
         [this] {
             doc.m_pages[0]->m_state = JobState::Done;
             List()->OnCommand(3011);
         }},
        {"Delete key on the selected row",
         [this] {
             List()->selectRow(0);
             List()->setFocus();
             QTest::keyClick(List(), Qt::Key_Delete);
         }},
    };
    for (const auto& w : ways) {
        SCOPED_TRACE(w.way);
        ShowOneJob(JobState::Manual);
        w.remove();
        ASSERT_TRUE(doc.m_pages.empty());
        QApplication::processEvents();
        const QImage buffer = Preview()->Picture();
        const QImage shown = Shown();
        for (const QImage* img : {&buffer, &shown}) {
            ASSERT_FALSE(img->isNull());
            EXPECT_EQ(CountColour(*img, qRgb(255, 255, 255)), 0) << "the deleted job's curves";
            EXPECT_EQ(CountColour(*img, qRgb(0, 255, 0)), 0) << "the deleted job's paper";
            EXPECT_EQ(CountColour(*img, qRgb(0, 0, 0)), img->width() * img->height());
        }
    }
}

// Delete (command 1005) changes the page's extent; the list's "X * Y" cell
// follows at once, as it does for rotation and the move to the lower left.
TEST_F(PreviewListSync, DeletingCurvesRefreshesTheSizeCell)
{
    auto page = Job(JobState::Manual);
    page->m_curves.clear();
    testsupport::AddCurve(*page, {{0, 0}, {4000, 0}, {4000, 4000}});       // 100 mm
    testsupport::AddCurve(*page, {{8000, 2000}, {12000, 2000}});           // reaches 300 mm
    page->CalcPageBounds();
    doc.m_pages.push_back(std::move(page));
    List()->RefreshJobList();
    Preview()->SetCurrentPage(0);
    EXPECT_EQ(SizeCell(0), QStringLiteral("300 * 100 "));

    // The far line picked with the mouse, then Delete released in the preview.
    const ViewPoint on = PlotToView(10000, 2000);
    QTest::mouseClick(Preview(), Qt::LeftButton, {}, QPoint(on.x, on.y));
    ASSERT_EQ(doc.m_pages[0]->m_curves[1]->m_bSelected, 1);
    Preview()->setFocus();
    QTest::keyClick(Preview(), Qt::Key_Delete);
    ASSERT_EQ(doc.m_pages[0]->m_curves.size(), 1u);
    EXPECT_EQ(SizeCell(0), QStringLiteral("100 * 100 "));

    // The same through the context menu's entry.
    doc.m_pages[0]->m_curves[0]->m_bSelected = 1;
    testsupport::AddCurve(*doc.m_pages[0], {{0, 0}, {2000, 2000}});
    Preview()->OnCommand(1005);
    EXPECT_EQ(SizeCell(0), QStringLiteral("50 * 50 "));
}

}  // namespace
