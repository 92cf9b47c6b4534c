// Guards the command line: --help and --version answer without a display, a refused line exits 2 and touches nothing, a marker from the desktop becomes a job.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <QTemporaryDir>
#include <QTest>

#include "app/frame/MainFrame.h"
#include "jobs/OrlatCenterDoc.h"
#include "app/shell/OrlatCenterApp.h"
#include "app/shell/StartOptions.h"
#include "app/text/AppMessage.h"
#include "tests/app/support/ProgramProcess.h"
#include "tests/support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

struct LineCase {
    QStringList args;
    QString programDir;
    int port;  // 0: none
    QString taskFile;
    QStringList plotFiles;
    bool help, version;
    const char* error;  // part of the message; nullptr when the line is good
};

const LineCase kLines[] = {
    {{}, "", 0, "", {}, false, false, nullptr},
    {{"--program-dir", "/p", "--machine-port", "6001", "a.orlattask"}, "/p", 6001, "a.orlattask", {}, false, false, nullptr},
    {{"--program-dir=/p q", "--machine-port=1"}, "/p q", 1, "", {}, false, false, nullptr},
    {{"--", "--help"}, "", 0, "--help", {}, false, false, nullptr},
    {{"-h"}, "", 0, "", {}, true, false, nullptr},
    {{"--help", "--program-dir", "/p"}, "/p", 0, "", {}, true, false, nullptr},
    {{"--version"}, "", 0, "", {}, false, true, nullptr},
    {{"-v"}, "", 0, "", {}, false, true, nullptr},
    {{"--bogus"}, "", 0, "", {}, false, false, "Unknown option 'bogus'"},
    {{"--program-dir"}, "", 0, "", {}, false, false, "Missing value after '--program-dir'"},
    {{"--machine-port"}, "", 0, "", {}, false, false, "Missing value after '--machine-port'"},
    {{"--program-dir="}, "", 0, "", {}, false, false, "--program-dir needs a folder"},
    {{"--machine-port", "x"}, "", 0, "", {}, false, false, "port number from 1 to 65535"},
    {{"--machine-port", "65536"}, "", 0, "", {}, false, false, "port number from 1 to 65535"},
    {{"--machine-port", "0"}, "", 0, "", {}, false, false, "port number from 1 to 65535"},
    {{"a", "b"}, "", 0, "", {}, false, false, "only one task file"},
    // A file manager's multi-select: any number of markers, one task file.
    {{"a.plt", "t.orlattask", "B.DXF", "c.hpgl"}, "", 0, "t.orlattask", {"a.plt", "B.DXF", "c.hpgl"}, false, false, nullptr},
    {{"a.plt", "t.orlattask", "u.orlattask"}, "", 0, "", {}, false, false, "only one task file"},
};

TEST(CommandLine, EachLineReadsAsMeant)
{
    for (const LineCase& c : kLines) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const StartOptions o = ParseStartOptions(c.args);
        if (c.error) {
            EXPECT_TRUE(o.error.contains(QLatin1String(c.error))) << o.error.toStdString();
            EXPECT_EQ(AnswerWithoutWindow(o), 2);
            continue;
        }
        EXPECT_EQ(o.error, QString());
        EXPECT_EQ(o.programDir, c.programDir);
        EXPECT_EQ(o.machinePort.value_or(0), c.port);
        EXPECT_EQ(o.taskFile, c.taskFile);
        EXPECT_EQ(o.plotFiles, c.plotFiles);
        EXPECT_EQ(o.help, c.help);
        EXPECT_EQ(o.version, c.version);
        EXPECT_EQ(AnswerWithoutWindow(o), c.help || c.version ? 0 : -1);
    }
}

const fs::path kProgram = testsupport::BuiltProgram();

struct ProgramRun {
    int status = -1;
    std::string out, err;
};

// The real program with no display of any kind: no DISPLAY, no
// WAYLAND_DISPLAY, no QT_QPA_PLATFORM.
ProgramRun RunWithoutDisplay(const fs::path& dir, const std::vector<std::string>& args)
{
    testsupport::Launch l;
    l.args = args;
    l.unset = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
    l.set = {"XDG_RUNTIME_DIR=" + dir.string()};
    l.out = dir / "out.txt";
    l.err = dir / "err.txt";
    ProgramRun r;
    testsupport::ChildProcess p;
    if (!p.Start(kProgram, l)) return r;
    r.status = p.Wait(60000);
    if (r.status < 0) return r;
    r.out = testsupport::ReadFile(l.out);
    r.err = testsupport::ReadFile(l.err);
    return r;
}

class CommandLineProcess : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!fs::exists(kProgram)) GTEST_SKIP() << "the program is not built";
    }
    testsupport::TempFolder folder{"orlat_command_line_"};
};

TEST_F(CommandLineProcess, HelpAndVersionAnswerWithoutADisplay)
{
    const ProgramRun help = RunWithoutDisplay(folder.path(), {"--help"});
    EXPECT_EQ(help.status, 0) << help.err;
    EXPECT_NE(help.out.find("usage: OrlatCenter [--program-dir DIR] [--machine-port N] [FILE]..."), std::string::npos)
        << help.out;
    EXPECT_NE(help.out.find("--version"), std::string::npos);

    const ProgramRun version = RunWithoutDisplay(folder.path(), {"--version"});
    EXPECT_EQ(version.status, 0) << version.err;
    EXPECT_EQ(version.out.rfind("OrlatCenter ", 0), 0u) << version.out;
    EXPECT_EQ(version.out.back(), '\n');
}

TEST_F(CommandLineProcess, ARefusedLineSaysWhyExitsTwoAndMakesNoFolder)
{
    const fs::path prog = folder.path() / "prog";
    const struct {
        std::vector<std::string> args;
        const char* line;
    } cases[] = {
        {{"--program-dir", prog.string(), "--bogus"}, "OrlatCenter: Unknown option 'bogus'.\n"},
        {{"--program-dir", prog.string(), "--machine-port"}, "OrlatCenter: Missing value after '--machine-port'.\n"},
        {{"--program-dir", prog.string(), "--machine-port", "99999"},
         "OrlatCenter: --machine-port needs a port number from 1 to 65535\n"},
    };
    for (const auto& c : cases) {
        const ProgramRun r = RunWithoutDisplay(folder.path(), c.args);
        EXPECT_EQ(r.status, 2) << c.line;
        EXPECT_EQ(r.err.rfind(c.line, 0), 0u) << r.err;
        EXPECT_NE(r.err.find("usage: OrlatCenter"), std::string::npos);
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(fs::exists(prog)) << c.line;
    }
}

TEST(CommandLine, MarkersAreToldFromTaskFilesByTheirNames)
{
    for (const char* name : {"a.plt", "/x/B.PLT", "c.hpgl", "d.dxf", "E.Dxf"}) EXPECT_TRUE(IsPlotFileName(name)) << name;
    for (const char* name : {"", "a.orlattask", "plt", "a.plt.orlattask", "a.dxf~", "/x.plt/y"})
        EXPECT_FALSE(IsPlotFileName(name)) << name;
}

// A start in this process, as the desktop starts the program with a marker.
class OpenFromDesktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(runtime.isValid() && program.isValid());
        SetAppMessageHook([this](QMessageBox::Icon, const QString& text) { messages << text; });
    }
    void TearDown() override { SetAppMessageHook(nullptr); }
    std::unique_ptr<COrlatCenterApp> Start(const QString& file)
    {
        auto app = std::make_unique<COrlatCenterApp>();
        app->SetInstanceFolder(runtime.path());
        app->SetTranslationFolder(program.path());
        EXPECT_EQ(app->InitInstance({"--program-dir", program.path(), file}), COrlatCenterApp::Continue);
        return app;
    }

    QTemporaryDir runtime, program;
    QStringList messages;
};

TEST_F(OpenFromDesktop, AMarkerNamedAtStartIsAddedAsAJob)
{
    const QString plt = program.filePath("marker.plt");
    std::ofstream(plt.toStdString(), std::ios::binary) << "IN;SP1;PU0,0;PD4000,0,4000,4000,0,4000,0,0;PU;";
    const QString dxf = program.filePath("SHAPES.DXF");
    fs::copy_file(fs::path(ORLAT_TEST_DATA) / "dxf" / "shapes_r12.dxf", dxf.toStdString());
    for (const QString& file : {plt, dxf}) {
        SCOPED_TRACE(file.toStdString());
        auto app = Start(file);
        ASSERT_NE(g_pTaskDoc, nullptr);
        EXPECT_TRUE(QTest::qWaitFor([] { return g_pTaskDoc->PageCount() == 1; }));
        EXPECT_FALSE(g_pTaskDoc->m_pages.empty() || g_pTaskDoc->m_pages[0]->m_curves.empty());
        EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
        EXPECT_EQ(app->ExitInstance(0), 0);
        fs::remove(fs::path(program.path().toStdString()) / "last2107.orlattask");
    }
}

TEST_F(OpenFromDesktop, AMarkerThatCannotBeReadIsNamedAndTheProgramRuns)
{
    auto app = Start(program.filePath("gone.plt"));
    EXPECT_TRUE(QTest::qWaitFor([this] { return !messages.isEmpty(); }));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QString::fromUtf8("文件打开失败"))) << messages[0].toStdString();
    EXPECT_EQ(g_pTaskDoc->PageCount(), 0);
    EXPECT_TRUE(app->MainFrame()->isVisible());
    EXPECT_EQ(app->ExitInstance(0), 0);
}

}  // namespace
