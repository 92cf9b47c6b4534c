// The job list over the preview on a real X server: this test program runs
// itself again under a private Xvfb (ViewScreenshot.DISABLED_Child, left out
// of ordinary runs), which shows both views and grabs the screen into a PNG
// among the test outputs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QScreen>
#include <QSplitter>
#include <QTest>
#include <cstdlib>
#include <filesystem>

#include "app/joblist/JobListView.h"
#include "app/jobs/OrlatCenterDoc.h"
#include "app/preview/PreviewView.h"
#include "model/Settings.h"
#include "tests/app/support/Xvfb.h"
#include "tests/support/PageBuilder.h"

using testsupport::AddCurve;
using testsupport::MakeCurve;

namespace {

const char kOutVar[] = "ORLAT_VIEW_SHOT";
const char kLangVar[] = "ORLAT_VIEW_SHOT_LANG";

struct Counts {
    int listGround = 0, blueText = 0, black = 0, green = 0, white = 0;
};

// The list is the top 200 pixels of the window at (0, 0); the preview below.
Counts CountPixels(const QImage& img)
{
    Counts c;
    for (int y = 0; y < std::min(img.height(), 700); ++y) {
        for (int x = 0; x < std::min(img.width(), 1200); ++x) {
            const QColor p = img.pixelColor(x, y);
            if (y < 200) {
                if (p == QColor(250, 250, 236)) ++c.listGround;
                if (p.blue() > 150 && p.red() < 120 && p.green() < 120) ++c.blueText;
            } else if (y > 215) {
                if (p == QColor(Qt::black)) ++c.black;
                if (p == QColor(0, 255, 0)) ++c.green;
                if (p == QColor(Qt::white)) ++c.white;
            }
        }
    }
    return c;
}

}  // namespace

TEST(ViewScreenshot, DISABLED_Child)
{
    const char* out = std::getenv(kOutVar);
    if (out == nullptr) GTEST_SKIP() << "run by ViewScreenshot.ListAndPreviewUnderXvfb";
    theSettings.Set(Slot::Language, std::atoi(std::getenv(kLangVar) ? std::getenv(kLangVar) : "0"));
    theSettings.Set(Slot::PaperLenMm, 2000);

    COrlatCenterDoc doc;
    for (int i = 0; i < 3; ++i) {
        auto p = std::make_unique<COnePage>();
        p->m_strFileName = u"/数据/马克" + std::u16string(1, char16_t(u'1' + i)) + u".plt";
        p->m_state = i;
        p->m_time = 1700000000 + i * 3600;
        AddCurve(*p, {{0, 0}, {40000, 0}, {40000, 60000}, {0, 60000}, {0, 0}});
        AddCurve(*p, {{4000, 4000}, {36000, 56000}});
        AddCurve(*p, {{2000, 2000}, {38000, 2000}}, CurveKind::Cut);
        p->CalcPageBounds();
        doc.m_pages.push_back(std::move(p));
    }
    QSplitter splitter(Qt::Vertical);
    auto* list = new CMyListView(doc, &splitter);
    auto* preview = new COrlatCenterView(doc, &splitter);
    QObject::connect(list, &CMyListView::jobClicked, preview, &COrlatCenterView::SetCurrentPage);
    splitter.setGeometry(0, 0, 1200, 700);
    splitter.setSizes({200, 500});
    splitter.setWindowFlags(Qt::FramelessWindowHint);
    splitter.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&splitter));
    splitter.move(0, 0);
    preview->SetCurrentPage(0);
    QTest::qWait(300);
    const QImage shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    ASSERT_TRUE(shot.save(QString::fromLocal8Bit(out)));
}

TEST(ViewScreenshot, ListAndPreviewUnderXvfb)
{
    XvfbServer x("1280x800x24");
    ASSERT_TRUE(x.Running()) << x.Error();
    const std::filesystem::path dir = std::filesystem::path(ORLAT_BINARY_DIR) / "test_output";
    std::filesystem::create_directories(dir);
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    // The xcb platform's D-Bus connection keeps a buffer to the process end,
    // which the leak checker would report as the child's.
    const char* asan = std::getenv("ASAN_OPTIONS");
    const std::string savedAsan = asan != nullptr ? asan : "";
    ::setenv("ASAN_OPTIONS", (savedAsan.empty() ? std::string("detect_leaks=0") : savedAsan + ":detect_leaks=0").c_str(), 1);

    for (const char* lang : {"0", "1"}) {
        SCOPED_TRACE(lang);
        const std::filesystem::path png = dir / (std::string("views_lang") + lang + ".png");
        std::filesystem::remove(png);
        ::setenv(kOutVar, png.c_str(), 1);
        ::setenv(kLangVar, lang, 1);
        const int status = RunOnDisplay(
            x.Display(), self, {"--gtest_also_run_disabled_tests", "--gtest_filter=ViewScreenshot.DISABLED_Child"});
        ::unsetenv(kOutVar);
        ::unsetenv(kLangVar);
        ASSERT_EQ(status, 0);
        QImage img(QString::fromStdString(png.string()));
        ASSERT_FALSE(img.isNull());
        const Counts c = CountPixels(img.convertToFormat(QImage::Format_RGB32));
        EXPECT_GT(c.listGround, 50000);  // the list's ground
        EXPECT_GT(c.blueText, 300);      // its texts, CJK file names and states
        EXPECT_GT(c.black, 200000);      // the preview's ground
        EXPECT_GT(c.green, 500);         // paper outline and labels
        EXPECT_GT(c.white, 300);         // the curves
    }
    if (asan != nullptr) ::setenv("ASAN_OPTIONS", savedAsan.c_str(), 1); else ::unsetenv("ASAN_OPTIONS");
}
