// The views' speed: the preview's full redraw of a 1 M-point marker at fit
// scale and zoomed 16 times, and the job list's rebuild and sort with 1,000
// jobs. Widgets run on the offscreen platform.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cmath>
#include <memory>
#include <random>

#include "app/joblist/JobListView.h"
#include "app/joblist/JobSort.h"
#include "jobs/OrlatCenterDoc.h"
#include "app/preview/PreviewTransform.h"
#include "app/preview/PreviewView.h"
#include "model/DispSet.h"
#include "model/Settings.h"

namespace {

void EnsureApp()
{
    static int argc = 1;
    static char name[] = "bench_views";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance() != nullptr) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(argc, argv);
}

// A marker of 10 m by 1.8 m: 2,000 closed pieces of 500 points, one in ten
// a cut line.
std::unique_ptr<COnePage> Marker()
{
    auto page = std::make_unique<COnePage>();
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> cx(4000, 396000), cy(4000, 68000), rad(800, 4000), wob(0.9, 1.1);
    for (int k = 0; k < 2000; ++k) {
        auto c = std::make_unique<CCurve>();
        const double x = cx(rng), y = cy(rng), r = rad(rng);
        for (int i = 0; i < 500; ++i) {
            const double a = 6.28318530718 * i / 499;
            const double rr = r * wob(rng);
            c->m_points.push_back({static_cast<int32_t>(x + rr * std::cos(a)), static_cast<int32_t>(y + rr * std::sin(a))});
        }
        c->m_kind = k % 10 == 0 ? CurveKind::Cut : CurveKind::Plot;
        c->CalcBoundRect();
        page->m_curves.push_back(std::move(c));
    }
    page->CalcPageBounds();
    return page;
}

void RedrawMarker(benchmark::State& state, double zoom)
{
    EnsureApp();
    theSettings.Set(Slot::PaperLenMm, 2000);
    COrlatCenterDoc doc;
    doc.m_pages.push_back(Marker());
    COrlatCenterView view(doc);
    view.resize(1600, 900);
    view.show();
    QApplication::processEvents();
    view.SetCurrentPage(0);
    if (zoom != 1) ZoomAtPoint(800, 450, zoom);
    for (auto _ : state) {
        view.RedrawBuffered();
        QApplication::processEvents();  // the paint: one copy of the picture
        benchmark::DoNotOptimize(view.Picture().constBits());
    }
    state.counters["scale"] = theDispSet.m_scale;
}

void BM_RedrawBufferedFit(benchmark::State& state) { RedrawMarker(state, 1); }
void BM_RedrawBufferedZoom16(benchmark::State& state) { RedrawMarker(state, 16); }

void FillJobs(COrlatCenterDoc& doc, int n)
{
    std::mt19937 rng(3);
    for (int i = 0; i < n; ++i) {
        auto p = std::make_unique<COnePage>();
        p->m_strFileName = u"/home/operator/data/marker_" + std::u16string(1, char16_t(u'a' + rng() % 26)) +
                           QString::number(rng() % 100000).toStdU16String() + u".plt";
        p->m_time = 1700000000 + static_cast<int64_t>(rng() % 10000000);
        p->m_maxX = static_cast<int32_t>(rng() % 400000);
        p->m_maxY = 72000;
        p->m_state = static_cast<int32_t>(rng() % 4);
        doc.m_pages.push_back(std::move(p));
    }
}

void BM_RefreshJobList1000(benchmark::State& state)
{
    EnsureApp();
    COrlatCenterDoc doc;
    FillJobs(doc, 1000);
    CMyListView view(doc);
    view.resize(1600, 300);
    view.show();
    for (auto _ : state) {
        view.RefreshJobList();
        QApplication::processEvents();
    }
}

// A header click: the sort, then the rebuild.
void BM_SortAndRefresh1000(benchmark::State& state)
{
    EnsureApp();
    COrlatCenterDoc doc;
    FillJobs(doc, 1000);
    CMyListView view(doc);
    view.resize(1600, 300);
    view.show();
    int mode = SortMode::NameUp;
    for (auto _ : state) {
        SortJobs(doc.m_pages, mode);
        view.RefreshJobList();
        QApplication::processEvents();
        mode = mode == SortMode::NameUp ? SortMode::TimeDown : SortMode::NameUp;
    }
}

}  // namespace

BENCHMARK(BM_RedrawBufferedFit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawBufferedZoom16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshJobList1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortAndRefresh1000)->Unit(benchmark::kMillisecond);
