// Guards: the real program showing its job row misplaced or its preview mirrored, flipped or blank, in three languages.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <QColor>
#include <QImage>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "model/Page.h"
#include "model/TaskFile.h"
#include "model/Text.h"
#include "tests/app/support/ProgramProcess.h"
#include "tests/app/support/Xvfb.h"

namespace fs = std::filesystem;

namespace {

const fs::path kProgram = testsupport::BuiltProgram();
const fs::path kGrab = fs::path(ORLAT_BINARY_DIR) / "tests" / "app" / "support" / "screen-grab";
const fs::path kOutputs = fs::path(ORLAT_BINARY_DIR) / "test-output";

// A marker of white (printed) pieces.
void WriteMarkerTask(const fs::path& path)
{
    std::vector<std::unique_ptr<COnePage>> pages;
    auto page = std::make_unique<COnePage>();
    for (int piece = 0; piece < 6; ++piece) {
        auto c = std::make_unique<CCurve>();
        const int32_t x = 2000 + piece * 9000, y = 3000 + (piece % 2) * 20000;
        c->m_points = {{x, y}, {x + 7000, y}, {x + 8000, y + 9000}, {x + 3500, y + 15000}, {x - 1000, y + 9000}, {x, y}};
        c->m_kind = CurveKind::Plot;
        c->CalcBoundRect();
        page->m_curves.push_back(std::move(c));
    }
    page->CalcPageBounds();
    page->m_state = JobState::Manual;
    page->m_strFileName = u"/markers/shirt.plt";
    pages.push_back(std::move(page));
    ASSERT_EQ(SaveTaskFile(FromUtf8(path.string()), pages), TaskFileStatus::Ok);
}

// The bounding box of the pixels of img (within `within`) that match.
template <class Match>
QRect BoxOf(const QImage& img, const QRect& within, Match match)
{
    QRect box;
    const QRect area = within.intersected(img.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (match(img.pixelColor(x, y))) box |= QRect(x, y, 1, 1);
    return box;
}

bool ListGround(const QColor& p) { return p.red() == 250 && p.green() == 250 && p.blue() == 236; }
bool Ink(const QColor& p) { return p.red() + p.green() + p.blue() < 450; }
bool Green(const QColor& p) { return p.red() < 60 && p.green() > 200 && p.blue() < 60; }
bool White(const QColor& p) { return p.red() > 240 && p.green() > 240 && p.blue() > 240; }

// Where the shot shows the list and the preview, and what lies in them.
struct Layout {
    QRect list, listInk, preview, paper, pieces;
    bool Complete() const { return !list.isEmpty() && !listInk.isEmpty() && !paper.isEmpty() && !pieces.isEmpty(); }
};

Layout Find(const QImage& img)
{
    Layout l;
    // The list: the rows whose ground runs across a good part of the screen
    // (single pixels of that colour elsewhere do not count).
    for (int y = 0; y < img.height(); ++y) {
        const QRect row = BoxOf(img, QRect(0, y, img.width(), 1), ListGround);
        if (row.width() > img.width() / 4) l.list |= row;
    }
    if (!l.list.isEmpty()) l.listInk = BoxOf(img, l.list.adjusted(2, 0, -2, 0), Ink);
    // The preview: the black field below the list, as wide as the list
    // (the screen past the window is black too).
    if (!l.list.isEmpty()) {
        const int cx = l.list.center().x();
        int top = l.list.bottom() + 1;
        while (top < img.height() && img.pixelColor(cx, top) != QColor(Qt::black)) ++top;
        int bottom = top;
        while (bottom + 1 < img.height() && img.pixelColor(cx, bottom + 1) == QColor(Qt::black)) ++bottom;
        if (top < img.height()) l.preview = QRect(QPoint(l.list.left(), top), QPoint(l.list.right(), bottom));
        l.paper = BoxOf(img, l.preview, Green);
        if (!l.paper.isEmpty()) l.pieces = BoxOf(img, l.paper.adjusted(2, 2, -2, -2), White);
    }
    return l;
}

class MainWindowShot : public ::testing::TestWithParam<int> {};

}  // namespace

TEST_P(MainWindowShot, ListAndPreviewOfTheRealProgram)
{
    if (!fs::exists(kProgram) || !fs::exists(kGrab)) GTEST_SKIP() << "the program is not built";
    XvfbServer x("1024x768x24");
    if (!x.Running()) GTEST_SKIP() << "no Xvfb: " << x.Error();
    const int language = GetParam();
    const fs::path root = fs::path(ORLAT_BINARY_DIR) / ("screenshot_" + std::to_string(::getpid()) + "_" +
                                                        std::to_string(language));
    fs::remove_all(root);
    fs::create_directories(root / "prog" / "DataMm");
    fs::create_directories(root / "prog" / "DataMil");
    testsupport::MakeRuntimeFolder(root / "rt");
    fs::create_directories(kOutputs);
    // No machine: the link stays offline; nothing is watched.
    std::ofstream(root / "prog" / "OrlatV2.ini") << "[Para]\nLanguage=" << language
                                                   << "\nConnectViaEth=1\nMachineIP=16777343\nAutoAddToList=0\n";
    WriteMarkerTask(root / "marker.orlattask");

    // The desktop libraries Qt's X platform loads keep caches to the end of
    // the process; not the program's own.
    const std::string suppressions = std::string(ORLAT_TEST_DATA) + "/../app/support/lsan.supp";
    const std::vector<std::string> env = {"DISPLAY=" + x.Display(), "QT_QPA_PLATFORM=xcb",
                                          "XDG_RUNTIME_DIR=" + (root / "rt").string(),
                                          "LSAN_OPTIONS=suppressions=" + suppressions};
    testsupport::Launch run;
    run.args = {"--program-dir", (root / "prog").string(), "--machine-port", "9", (root / "marker.orlattask").string()};
    run.set = env;
    testsupport::ChildProcess program;
    ASSERT_TRUE(program.Start(kProgram, run)) << program.Error();
    const char* const names[] = {"zh", "en", "tr"};
    const fs::path png = kOutputs / "main-window" / ("main-window-" + std::string(names[language]) + ".png");
    fs::create_directories(png.parent_path());
    fs::remove(png);
    // Grab once the window has been painted (a few tries: start-up under ASan is slow).
    Layout l;
    QImage img;
    for (int attempt = 0; attempt < 20; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        testsupport::Launch shot;
        shot.args = {png.string()};
        shot.set = env;
        testsupport::ChildProcess grab;  // killed when it runs past its time
        ASSERT_TRUE(grab.Start(kGrab, shot)) << grab.Error();
        if (grab.Wait(20000) != 0) continue;
        img = QImage(QString::fromStdString(png.string())).convertToFormat(QImage::Format_RGB32);
        if (img.isNull()) continue;
        l = Find(img);
        if (l.Complete()) break;
    }
    EXPECT_EQ(program.Signal(SIGTERM, 20000), 0);
    ASSERT_TRUE(l.Complete()) << png;
    // The one job's row is the list's first: its text in the top row's band,
    // none further down.
    EXPECT_LT(l.listInk.top() - l.list.top(), 12) << png;
    EXPECT_LT(l.listInk.bottom() - l.list.top(), 40) << png;
    EXPECT_GT(l.listInk.width(), l.list.width() / 3) << "the row's cells" << png;
    // The paper (its outline and scale, both green) stands on the preview's
    // bottom left; the marker's pieces fill its lower part, the lower row
    // at its bottom.
    EXPECT_LT(l.paper.left() - l.preview.left(), 80) << png;
    EXPECT_LT(l.preview.bottom() - l.paper.bottom(), 40) << png;
    EXPECT_GT(l.preview.right() - l.paper.right(), l.preview.width() / 3) << png;
    EXPECT_LT(l.paper.bottom() - l.pieces.bottom(), 40) << png;
    EXPECT_GT(l.pieces.top() - l.paper.top(), l.paper.height() / 3) << "the pieces at the paper's top: flipped" << png;
    EXPECT_LT(l.pieces.left() - l.paper.left(), 60) << png;
    fs::remove_all(root);
}

INSTANTIATE_TEST_SUITE_P(Languages, MainWindowShot, ::testing::Values(0, 1, 2));
