// Guards: a preview that draws, zooms, pans or selects elsewhere than the pointer and the plot units say.
#include <gtest/gtest.h>

#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <cmath>
#include <mutex>

#include "app/preview/BandOverlay.h"
#include "app/commands/ContextMenus.h"
#include "jobs/OrlatCenterDoc.h"
#include "app/preview/PreviewMouse.h"
#include "app/preview/PreviewPicture.h"
#include "app/preview/PreviewTransform.h"
#include "app/preview/PreviewView.h"
#include "link/output/BandCounters.h"
#include "model/DispSet.h"
#include "model/MachineParams.h"
#include "model/Settings.h"
#include "tests/support/PageBuilder.h"

using testsupport::AddCurve;
using testsupport::MakeCurve;

namespace {

// Keeps theDispSet and the slots a test changes.
struct ViewStateGuard {
    ViewStateGuard() : disp(theDispSet), paper(theSettings.Get(Slot::PaperLenMm)), lang(theSettings.Get(Slot::Language))
    {
        theSettings.Set(Slot::PaperLenMm, 2000);
        theSettings.Set(Slot::Language, 0);
    }
    ~ViewStateGuard()
    {
        theDispSet = disp;
        theSettings.Set(Slot::PaperLenMm, paper);
        theSettings.Set(Slot::Language, lang);
    }
    CDispSet disp;
    int paper, lang;
};

// Records the picture as calls.
struct RecordingCanvas : PreviewCanvas {
    struct Label {
        int x, y;
        QString text;
    };
    std::vector<Label> labels;
    std::vector<std::pair<ViewPoint, ViewPoint>> gridLines;
    std::vector<std::array<int, 4>> rects;
    int polylines = 0;
    Rgb pen;

    void SetPen(PenStyle, int32_t, Rgb c) override { pen = c; }
    void Polyline(const ViewPoint* p, int32_t n) override
    {
        if (pen == kGridColour && n == 2) gridLines.push_back({p[0], p[1]});
        else ++polylines;
    }
    void Rectangle(int32_t l, int32_t t, int32_t r, int32_t b) override { rects.push_back({l, t, r, b}); }
    void FilledPolygon(const ViewPoint*, int32_t) override {}
    void FillBackground(int32_t, int32_t) override {}
    void Text(int32_t x, int32_t y, const QString& t) override { labels.push_back({x, y, t}); }
};

void SetDisp(double scale, int height, int sx = 0, int sy = 0)
{
    theDispSet.m_scale = scale;
    theDispSet.m_viewHeight = height;
    theDispSet.m_scrollX = sx;
    theDispSet.m_scrollY = sy;
}

}  // namespace

TEST(PreviewTransform, FitAndScaleLimits)
{
    ViewStateGuard g;
    SetDisp(0.5, 10, 7, 9);
    FitToHeight(660, 2000);
    EXPECT_DOUBLE_EQ(theDispSet.m_scale, 600 / 80000.0);
    EXPECT_EQ(theDispSet.m_viewHeight, 660);
    EXPECT_EQ(theDispSet.m_scrollX, 0);
    EXPECT_EQ(theDispSet.m_scrollY, 0);

    // A view of 60 px or less (a collapsed splitter pane) keeps the scale.
    for (int h : {60, 0, -5}) {
        theDispSet.m_scale = 0.02;
        FitToHeight(h, 2000);
        EXPECT_EQ(theDispSet.m_scale, 0.02) << h;
    }
    FitToHeight(61, 2000);
    EXPECT_DOUBLE_EQ(theDispSet.m_scale, 1 / 80000.0);
    FitToHeight(100000, 1);  // a paper of 1 mm in a tall view: at most 100
    EXPECT_EQ(theDispSet.m_scale, kMaxScale);

    theDispSet.m_scale = 80;
    ZoomInTwice();
    EXPECT_EQ(theDispSet.m_scale, kMaxScale);
    SetDisp(2e-6, 400);
    for (int i = 0; i < 5; ++i) ZoomAtPoint(100, 100, 0.8);
    EXPECT_EQ(theDispSet.m_scale, kMinScale);
    const int sx = theDispSet.m_scrollX, sy = theDispSet.m_scrollY;
    for (int i = 0; i < 20; ++i) ZoomAtPoint(333, 77, 0.8);  // held at the limit, nothing moves
    EXPECT_EQ(theDispSet.m_scrollX, sx);
    EXPECT_EQ(theDispSet.m_scrollY, sy);

    // Zoom out halves the offsets toward zero; at 0.001 or below nothing.
    SetDisp(0.01, 400, 7, -7);
    EXPECT_TRUE(ZoomOutHalf());
    EXPECT_EQ(theDispSet.m_scrollX, 3);
    EXPECT_EQ(theDispSet.m_scrollY, -3);
    SetDisp(0.001, 400, 8, 8);
    EXPECT_FALSE(ZoomOutHalf());
    EXPECT_EQ(theDispSet.m_scrollX, 8);

    EXPECT_EQ(NormalizePageIndex(2, 3), 2);
    EXPECT_EQ(NormalizePageIndex(3, 3), 0);
    EXPECT_EQ(NormalizePageIndex(-1, 3), 0);
    EXPECT_EQ(NormalizePageIndex(5, 0), 0);
}

TEST(PreviewPicture, GridStepsAndLabels)
{
    ViewStateGuard g;
    const std::pair<double, int> steps[] = {{0.001, 500}, {0.00499, 500}, {0.005, 200}, {0.0075, 200}, {0.01, 100},
                                            {0.02, 50},   {0.05, 20},     {0.0999, 20}, {0.1, 10},     {5, 10}};
    for (auto [s, e] : steps) EXPECT_EQ(GridStepMm(s), e) << s;

    // 660 px, paper 2000 mm: 200 mm steps, ten lines across, vertical lines
    // every 200 mm up to the page's end.
    FitToHeight(660, 2000);
    COnePage page;
    page.m_maxX = 40 * 1000;
    AddCurve(page, {{0, 0}, {40000, 40000}});
    RecordingCanvas c;
    DrawPreview(c, &page, 2000, 660, 2000);
    ASSERT_FALSE(c.rects.empty());
    const ViewPoint o = PlotToView(0, 0);
    const ViewPoint e = PlotToView(40000, 80000);
    EXPECT_EQ(c.rects[0], (std::array<int, 4>{o.x - 4, o.y + 4, e.x + 4, e.y - 4}));
    EXPECT_EQ(o.x, 50);
    EXPECT_EQ(o.y, 630);
    EXPECT_EQ(e.y, 30);

    QStringList texts;
    for (const auto& l : c.labels) texts << l.text;
    EXPECT_EQ(texts, QStringList({"0", "200", "400", "600", "800", "1000", "200", "400", "600", "800", "1000", "1200",
                                  "1400", "1600", "1800", "2000"}));
    EXPECT_EQ(c.labels[0].x, 38);
    EXPECT_EQ(c.labels[0].y, 636);
    ASSERT_EQ(c.gridLines.size(), 15u);  // 5 vertical, 10 horizontal
    EXPECT_EQ(c.gridLines[0].first.x, PlotToView(8000, 0).x);
    EXPECT_EQ(c.gridLines[0].second.y, 30);
    EXPECT_EQ(c.gridLines[14].first.y, 30);
    EXPECT_EQ(c.gridLines[14].second.x, e.x);
    EXPECT_EQ(c.polylines, 1);

    // A page shorter than one step: no vertical line, only "0" on that axis.
    page.m_maxX = 40 * 199;
    RecordingCanvas short_;
    DrawPreview(short_, &page, 2000, 660, 2000);
    EXPECT_EQ(short_.gridLines.size(), 10u);
    EXPECT_EQ(short_.labels[1].text, "200");
    EXPECT_EQ(short_.labels[1].x, 50 - 36);

    // With no page: only the ground.
    RecordingCanvas none;
    DrawPreview(none, nullptr, 100, 100, 2000);
    EXPECT_TRUE(none.labels.empty());
    EXPECT_TRUE(none.rects.empty());
}

TEST(PreviewMouse, Thresholds)
{
    const LeftRelease click = ClassifyLeftRelease({100, 100}, {108, 109});
    EXPECT_FALSE(click.rectangle);
    const LeftRelease right = ClassifyLeftRelease({100, 100}, {111, 100});
    EXPECT_TRUE(right.rectangle);
    EXPECT_TRUE(right.crossing);
    const LeftRelease left = ClassifyLeftRelease({100, 100}, {89, 95});
    EXPECT_TRUE(left.rectangle);
    EXPECT_FALSE(left.crossing);
    EXPECT_EQ(left.left, 89);
    EXPECT_EQ(left.top, 95);
    EXPECT_EQ(left.right, 100);
    EXPECT_EQ(left.bottom, 100);
    EXPECT_TRUE(ClassifyLeftRelease({100, 100}, {100, 111}).rectangle);
    EXPECT_TRUE(ClassifyLeftRelease({100, 100}, {110, 110}).rectangle == false);

    EXPECT_TRUE(IsMenuClick({50, 50}, {51, 49}));
    EXPECT_FALSE(IsMenuClick({50, 50}, {52, 50}));
    EXPECT_FALSE(IsMenuClick({50, 50}, {50, 48}));

    WheelSteps w;
    EXPECT_EQ(w.Add(60), 0);
    EXPECT_EQ(w.Add(60), 1);
    EXPECT_EQ(w.Add(-360), -3);
    EXPECT_EQ(w.Add(-100), 0);
    EXPECT_EQ(w.Add(220), 1);
}



class PreviewView : public ::testing::Test {
protected:
    void SetUp() override
    {
        COnePage& p = AddPage();
        // A white square 40 mm a side at (100 mm, 100 mm) and a red cut line.
        AddCurve(p, {{4000, 4000}, {5600, 4000}, {5600, 5600}, {4000, 5600}, {4000, 4000}});
        AddCurve(p, {{8000, 2000}, {8000, 12000}}, CurveKind::Cut);
        p.CalcPageBounds();
        AddPage();
        view = std::make_unique<COrlatCenterView>(doc);
        view->resize(800, 660);
        view->show();
        view->SetCurrentPage(0);
        view->SetShowMessage([this](QWidget*, const QString& t) { messages << t; });
        view->SetAskNumber([this](QWidget*, const QString& prompt, double) -> std::optional<double> {
            prompts << prompt;
            if (duringDialog) duringDialog();
            return answer;
        });
        view->SetRunMenu([this](QMenu& m, const QPoint&) {
            ++menus;
            menuEntries = m.actions().size();
            if (duringDialog) duringDialog();
            return menuAnswer;
        });
    }
    COnePage& AddPage()
    {
        doc.m_pages.push_back(std::make_unique<COnePage>());
        doc.m_pages.back()->m_maxX = 40 * 500;
        doc.m_pages.back()->m_strFileName = u"p" + std::u16string(1, char16_t(u'0' + doc.m_pages.size()));
        return *doc.m_pages.back();
    }
    COnePage& Page(int i) { return *doc.m_pages[static_cast<size_t>(i)]; }
    QPoint At(int x, int y) const
    {
        const ViewPoint v = PlotToView(x, y);
        return {v.x, v.y};
    }
    void Wheel(QPoint at, int dy, int dx = 0)
    {
        QWheelEvent e(at, view->mapToGlobal(at), QPoint(), QPoint(dx, dy), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.get(), &e);
    }

    ViewStateGuard guard;
    COrlatCenterDoc doc;
    std::unique_ptr<COrlatCenterView> view;
    QStringList messages, prompts;
    std::optional<double> answer;
    std::function<void()> duringDialog;
    int menus = 0;
    qsizetype menuEntries = 0;
    int menuAnswer = 0;
};

TEST_F(PreviewView, PictureIsBlackWithGreenPaperAndWhiteCurves)
{
    EXPECT_DOUBLE_EQ(theDispSet.m_scale, 600 / 80000.0);
    const QImage& img = view->Picture();
    ASSERT_EQ(img.size(), QSize(800, 660));
    EXPECT_EQ(img.pixelColor(700, 5), QColor(Qt::black));
    const ViewPoint o = PlotToView(0, 0);
    EXPECT_EQ(img.pixelColor(o.x - 4, 300), QColor(0, 255, 0));
    const QPoint sq = At(4800, 4000);
    EXPECT_EQ(img.pixelColor(sq), QColor(Qt::white));
    const QPoint cut = At(8000, 8000);
    EXPECT_EQ(img.pixelColor(cut), QColor(Qt::red));

    // The widget shows the picture as it is.
    const QImage shown = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown.pixelColor(sq), QColor(Qt::white));
}

TEST_F(PreviewView, WheelZoomKeepsThePointUnderTheCursor)
{
    const QPoint at(300, 200);
    const PlotPoint before = ViewToPlot(at.x(), at.y());
    const double scale = theDispSet.m_scale;
    Wheel(at, 120);
    EXPECT_DOUBLE_EQ(theDispSet.m_scale, scale * 1.25);
    const ViewPoint back = PlotToView(before.x, before.y);
    EXPECT_LE(std::abs(back.x - at.x()), 1);
    EXPECT_LE(std::abs(back.y - at.y()), 1);

    Wheel(at, 0, 120);  // horizontal only: nothing
    Wheel(at, 60);      // half a step: nothing yet
    EXPECT_DOUBLE_EQ(theDispSet.m_scale, scale * 1.25);
    Wheel(at, -60);
    for (int i = 0; i < 4; ++i) Wheel(at, 120);
    for (int i = 0; i < 5; ++i) Wheel(at, -120);
    EXPECT_NEAR(theDispSet.m_scale, scale, scale * 1e-12);
    const ViewPoint again = PlotToView(before.x, before.y);
    EXPECT_LE(std::abs(again.x - at.x()), 3);
    EXPECT_LE(std::abs(again.y - at.y()), 3);
}

TEST_F(PreviewView, RightDragPansRightClickOpensTheMenu)
{
    QTest::mousePress(view.get(), Qt::RightButton, {}, QPoint(400, 300));
    QTest::mouseMove(view.get(), QPoint(430, 290));
    QTest::mouseRelease(view.get(), Qt::RightButton, {}, QPoint(430, 290));
    EXPECT_EQ(theDispSet.m_scrollX, -30);
    EXPECT_EQ(theDispSet.m_scrollY, 10);
    EXPECT_EQ(menus, 0);

    QTest::mousePress(view.get(), Qt::RightButton, {}, QPoint(400, 300));
    QTest::mouseRelease(view.get(), Qt::RightButton, {}, QPoint(402, 300));
    EXPECT_EQ(menus, 0);
    QTest::mousePress(view.get(), Qt::RightButton, {}, QPoint(400, 300));
    QTest::mouseRelease(view.get(), Qt::RightButton, {}, QPoint(401, 301));
    EXPECT_EQ(menus, 1);
    EXPECT_EQ(menuEntries, 9);  // with the "删除" submenu

    // Arrows while focused: the picture moves 80 px the arrow's way.
    view->setFocus();
    const int x0 = theDispSet.m_scrollX, y0 = theDispSet.m_scrollY;
    QTest::keyClick(view.get(), Qt::Key_Left);
    QTest::keyClick(view.get(), Qt::Key_Up);
    QTest::keyClick(view.get(), Qt::Key_Up);
    QTest::keyClick(view.get(), Qt::Key_Right);
    QTest::keyClick(view.get(), Qt::Key_Down);
    QTest::keyClick(view.get(), Qt::Key_Left);
    EXPECT_EQ(theDispSet.m_scrollX, x0 + 80);
    EXPECT_EQ(theDispSet.m_scrollY, y0 + 80);
}

TEST_F(PreviewView, SelectionByClickRectangleAndKeys)
{
    CCurve& square = *Page(0).m_curves[0];
    CCurve& cut = *Page(0).m_curves[1];
    // A click of under 10 px picks at the release point.
    const QPoint edge = At(4800, 4000);
    QTest::mousePress(view.get(), Qt::LeftButton, {}, edge - QPoint(8, 9));
    QTest::mouseRelease(view.get(), Qt::LeftButton, {}, edge);
    EXPECT_EQ(square.m_bSelected, 1);
    EXPECT_EQ(cut.m_bSelected, 0);

    // Ctrl adds; a rectangle dragged left encloses only.
    const QPoint a = At(3000, 1000), b = At(9000, 13000);
    QTest::mousePress(view.get(), Qt::LeftButton, Qt::ControlModifier, QPoint(b.x(), a.y()));
    QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::ControlModifier, QPoint(a.x(), b.y()));
    EXPECT_EQ(square.m_bSelected, 1);
    EXPECT_EQ(cut.m_bSelected, 1);

    // Left-drag over the cut line alone, rightwards, crossing it.
    const QPoint c1 = At(7000, 6000), c2 = At(9000, 7000);
    QTest::mousePress(view.get(), Qt::LeftButton, {}, c1);
    QTest::mouseRelease(view.get(), Qt::LeftButton, {}, c2);
    EXPECT_EQ(square.m_bSelected, 0);
    EXPECT_EQ(cut.m_bSelected, 1);
    // The same leftwards encloses: the line is not inside.
    QTest::mousePress(view.get(), Qt::LeftButton, {}, c2);
    QTest::mouseRelease(view.get(), Qt::LeftButton, {}, c1);
    EXPECT_EQ(cut.m_bSelected, 0);

    // Ctrl+1 / Ctrl+2 convert the selection; Delete (released) removes it.
    view->setFocus();
    cut.m_bSelected = 1;
    QTest::keyClick(view.get(), Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(Page(0).m_curves[0]->m_kind, CurveKind::Plot);
    EXPECT_EQ(Page(0).m_curves[1]->m_kind, CurveKind::Plot);
    EXPECT_EQ(Page(0).m_curves[1]->m_bSelected, 1);
    QTest::keyClick(view.get(), Qt::Key_2, Qt::ControlModifier);
    EXPECT_EQ(Page(0).m_curves[0]->m_kind, CurveKind::Cut);  // cut lines first
    EXPECT_EQ(Page(0).m_curves[0]->m_bSelected, 1);
    QTest::keyClick(view.get(), Qt::Key_Delete);
    ASSERT_EQ(Page(0).m_curves.size(), 1u);
    EXPECT_EQ(Page(0).m_curves[0]->m_kind, CurveKind::Plot);
}

TEST_F(PreviewView, BandOverlayOnlyOnThePrintingJobShown)
{
    const int savedStepped = BandsStepped.load();
    MachineParams savedParams;
    {
        std::lock_guard<std::mutex> lock(g_machineParamsLock);
        savedParams = g_machineParams;
        g_machineParams.headSelect = 1;
    }
    BandsStepped = 3;
    Page(0).m_startPos = 10;
    view->DrawBandOverlay();
    EXPECT_TRUE(view->BandOverlay().empty());  // nothing Printing

    Page(0).m_state = JobState::Printing;
    view->DrawBandOverlay();
    ASSERT_EQ(view->BandOverlay().size(), 1u);
    const QRect r = view->BandOverlay()[0];
    EXPECT_EQ(r.left(), PlotToView(400 + 1500, 0).x);
    EXPECT_EQ(r.right(), PlotToView(400 + 2000, 0).x);
    EXPECT_EQ(r.top(), PlotToView(0, 80000).y);
    view->DrawBandOverlay();
    EXPECT_EQ(view->BandOverlay().size(), 2u);
    view->RedrawBuffered();
    EXPECT_TRUE(view->BandOverlay().empty());

    view->SetCurrentPage(1);
    view->DrawBandOverlay();
    EXPECT_TRUE(view->BandOverlay().empty());
    view->SetCurrentPage(0);
    BandsStepped = -1;
    view->DrawBandOverlay();
    EXPECT_TRUE(view->BandOverlay().empty());

    BandsStepped = savedStepped;
    std::lock_guard<std::mutex> lock(g_machineParamsLock);
    g_machineParams = savedParams;
}

TEST_F(PreviewView, PageIndexRuleAndEmptyList)
{
    view->SetCurrentPage(7);
    EXPECT_EQ(view->CurrentPage(), 0);
    view->SetCurrentPage(1);
    EXPECT_EQ(view->CurrentPage(), 1);
    doc.DeletePage(1);
    view->OnCommand(PreviewCmd::SelectAll);  // index beyond the end: job 0
    EXPECT_EQ(view->CurrentPage(), 0);
    EXPECT_EQ(Page(0).m_curves[0]->m_bSelected, 1);

    doc.DeleteAllPages();
    for (int id : {1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010, 1011, 3200}) view->OnCommand(id);
    EXPECT_TRUE(prompts.isEmpty());
    view->RedrawBuffered();
    EXPECT_EQ(view->Picture().pixelColor(60, 300), QColor(Qt::black));
}

TEST_F(PreviewView, SplitAndMenuWithTheirJobGoneMeanwhile)
{
    QSignalSpy changed(view.get(), &COrlatCenterView::jobListChanged);
    answer = 0.5;
    view->OnCommand(PreviewCmd::ManualSplit);
    EXPECT_EQ(prompts.back(), QStringLiteral("输入分页长度(mm):"));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(changed.count(), 0);

    answer = 100;  // the square lies across 100..140 mm: two strips
    view->OnCommand(PreviewCmd::ManualSplit);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_GT(Page(0).m_curves.size(), 2u);

    // The job goes while the dialog is open: nothing is split.
    duringDialog = [&] { doc.DeletePage(0); };
    view->OnCommand(PreviewCmd::ManualSplit);
    EXPECT_EQ(changed.count(), 1);
    ASSERT_EQ(doc.m_pages.size(), 1u);
    EXPECT_TRUE(Page(0).m_curves.empty());

    // The menu opened on job 1 (now 0); a job added before it meanwhile:
    // the command still acts on its own job.
    AddCurve(Page(0), {{0, 0}, {400, 400}});
    view->SetCurrentPage(0);
    duringDialog = [&] { doc.m_pages.insert(doc.m_pages.begin(), std::make_unique<COnePage>()); };
    menuAnswer = PreviewCmd::SelectAll;
    QTest::mousePress(view.get(), Qt::RightButton, {}, QPoint(400, 300));
    QTest::mouseRelease(view.get(), Qt::RightButton, {}, QPoint(400, 300));
    ASSERT_EQ(doc.m_pages.size(), 2u);
    EXPECT_EQ(view->CurrentPage(), 1);
    EXPECT_EQ(Page(1).m_curves[0]->m_bSelected, 1);

    // And gone while the menu is open: nothing.
    duringDialog = [&] { doc.DeletePage(1); };
    menuAnswer = PreviewCmd::DeleteInk;
    QTest::mousePress(view.get(), Qt::RightButton, {}, QPoint(400, 300));
    QTest::mouseRelease(view.get(), Qt::RightButton, {}, QPoint(400, 300));
    ASSERT_EQ(doc.m_pages.size(), 1u);
    EXPECT_TRUE(Page(0).m_curves.empty());
}

TEST_F(PreviewView, CursorPositionInPlotUnits)
{
    QSignalSpy moved(view.get(), &COrlatCenterView::cursorMoved);
    const QPoint p = At(40000, 20000);
    QTest::mouseMove(view.get(), p);
    ASSERT_GE(moved.count(), 1);
    const PlotPoint expect = ViewToPlot(p.x(), p.y());
    EXPECT_EQ(moved.back().at(0).toInt(), expect.x);
    EXPECT_EQ(moved.back().at(1).toInt(), expect.y);
}
