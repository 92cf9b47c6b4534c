// The real program on a private X server, with a task file holding a marker:
// the screen is grabbed in Chinese and in English and kept with the test
// outputs (build/test-output/); the job list shows its background with text,
// the preview a black field with the green paper outline and white curves.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
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
#include "tests/app/support/Xvfb.h"

namespace fs = std::filesystem;

extern char** environ;

namespace {

const fs::path kProgram = fs::path(ORLAT_BINARY_DIR) / "app" / "OrlatCenter";
const fs::path kGrab = fs::path(ORLAT_BINARY_DIR) / "tests" / "app" / "support" / "screen-grab";
const fs::path kOutputs = fs::path(ORLAT_BINARY_DIR) / "test-output";

pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv)
{
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string v = *e;
        if (v.rfind("DISPLAY=", 0) != 0 && v.rfind("QT_QPA_PLATFORM=", 0) != 0 && v.rfind("XDG_RUNTIME_DIR=", 0) != 0)
            env.push_back(v);
    }
    env.insert(env.end(), extraEnv.begin(), extraEnv.end());
    std::vector<std::string> all = args;
    std::vector<char*> argv, envp;
    for (auto& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    pid_t pid = -1;
    if (::posix_spawn(&pid, all[0].c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0) return -1;
    return pid;
}

int WaitExit(pid_t pid, int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    return -1;
}

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

struct Counts {
    int listBackground = 0, listText = 0;
    int black = 0, green = 0, white = 0;
};

Counts Count(const QImage& img)
{
    Counts c;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            const QColor p = img.pixelColor(x, y);
            const int r = p.red(), g = p.green(), b = p.blue();
            if (r == 250 && g == 250 && b == 236) ++c.listBackground;
            if (r == 0 && g == 0 && b == 0) ++c.black;
            if (r < 60 && g > 200 && b < 60) ++c.green;
            if (r > 240 && g > 240 && b > 240) ++c.white;
        }
    }
    // Text in the list: dark pixels inside the span of its background on
    // each row (the pane's own borders lie outside it).
    for (int y = 0; y < img.height(); ++y) {
        int first = -1, last = -1;
        for (int x = 0; x < img.width(); ++x) {
            const QColor p = img.pixelColor(x, y);
            if (p.red() == 250 && p.green() == 250 && p.blue() == 236) {
                if (first < 0) first = x;
                last = x;
            }
        }
        if (first < 0 || last - first < img.width() / 4) continue;
        for (int x = first + 2; x < last - 2; ++x) {
            const QColor p = img.pixelColor(x, y);
            if (p.red() + p.green() + p.blue() < 450) ++c.listText;  // the cells' text, any colour
        }
    }
    return c;
}

class Screenshot : public ::testing::TestWithParam<int> {};

}  // namespace

TEST_P(Screenshot, ListAndPreviewOfTheRealProgram)
{
    if (!fs::exists(kProgram) || !fs::exists(kGrab)) GTEST_SKIP() << "the program is not built";
    XvfbServer x("1280x800x24");
    if (!x.Running()) GTEST_SKIP() << "no Xvfb: " << x.Error();
    const int language = GetParam();
    const fs::path root = fs::path(ORLAT_BINARY_DIR) / ("screenshot_" + std::to_string(::getpid()) + "_" +
                                                        std::to_string(language));
    fs::remove_all(root);
    fs::create_directories(root / "prog" / "DataMm");
    fs::create_directories(root / "prog" / "DataMil");
    fs::create_directories(root / "rt");
    ::chmod((root / "rt").c_str(), 0700);
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
    const pid_t program = Spawn({kProgram.string(), "--program-dir", (root / "prog").string(), "--machine-port", "9",
                                 (root / "marker.orlattask").string()},
                                env);
    ASSERT_GT(program, 0);
    const fs::path png = kOutputs / (language == 0 ? "main_window_zh.png" : "main_window_en.png");
    fs::remove(png);
    // Grab once the window has been painted (a few tries: start-up under ASan is slow).
    Counts c;
    for (int attempt = 0; attempt < 20; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        const pid_t grab = Spawn({kGrab.string(), png.string()}, env);
        ASSERT_GT(grab, 0);
        if (WaitExit(grab, 20000) != 0) continue;
        QImage img(QString::fromStdString(png.string()));
        if (img.isNull()) continue;
        c = Count(img.convertToFormat(QImage::Format_RGB32));
        if (c.listBackground > 20000 && c.listText > 50 && c.green > 100 && c.white > 100) break;
    }
    ::kill(program, SIGTERM);
    EXPECT_EQ(WaitExit(program, 20000), 0);
    EXPECT_GT(c.listBackground, 20000) << png;
    EXPECT_GT(c.listText, 50) << png;
    EXPECT_GT(c.black, 100000) << png;
    EXPECT_GT(c.green, 100) << png;
    EXPECT_GT(c.white, 100) << png;
    fs::remove_all(root);
}

INSTANTIATE_TEST_SUITE_P(Languages, Screenshot, ::testing::Values(0, 1));
