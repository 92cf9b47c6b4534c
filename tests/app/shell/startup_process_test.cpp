// Guards: a first start that misses settings keys or data folders, a killed instance whose lock blocks the next, or two program folders taken for one instance.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "model/ProfileFile.h"
#include "tests/app/support/ProgramProcess.h"

namespace fs = std::filesystem;
using testsupport::ChildProcess;

namespace {

const fs::path kProgram = testsupport::BuiltProgram();

// The real program in processes of its own, offscreen, with a private
// runtime folder for its lock and socket.
class Process : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!fs::exists(kProgram)) GTEST_SKIP() << "the program is not built";
        root = fs::path(ORLAT_BINARY_DIR) / ("startup_process_" + std::to_string(::getpid()));
        fs::remove_all(root);
        testsupport::MakeRuntimeFolder(root / "rt");
        prog = root / "prog";
    }
    void TearDown() override { fs::remove_all(root); }

    // Killed and reaped when it goes.
    ChildProcess Start(const std::vector<std::string>& args)
    {
        ChildProcess p;
        p.Start(kProgram, testsupport::Offscreen(root / "rt", args));
        return p;
    }
    // Up once the lock names it (a killed one leaves its lock and socket).
    bool WaitUp(const ChildProcess& p)
    {
        if (!p.WaitLocked(root / "rt")) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));  // lock, then socket
        return ::kill(p.Pid(), 0) == 0;
    }
    std::string Ini() const { return testsupport::ReadFile(prog / "OrlatV2.ini"); }

    fs::path root, prog;
};

TEST_F(Process, AFreshFolderGetsEveryKeyAndItsDataFolders)
{
    ChildProcess p = Start({"--program-dir", prog.string()});
    ASSERT_TRUE(WaitUp(p));
    // As a logout closes it: through the window's close.
    ASSERT_EQ(p.Signal(SIGTERM), 0);
    const ProfileFile ini = ProfileFile::Parse(Ini());
    const char* keys[] = {"AutoDelFinish", "UnitNoHintNextTime", "AutoOffline", "Language", "BiDirPlot", "LineWidth",
                          "PlotOnly", "PlotCutLine", "CleanAtStart", "CleanAtSection", "DxfUnit", "CutSEOftHpgl",
                          "CleanThickness", "DataDirMm", "DataDirMil", "PaperLenMm", "SearchOutline", "AutoAddToList",
                          "AutoStart", "AutoRotate", "MachineIP", "ConnectViaEth", "InkBox2Left", "PltFileUnit"};
    for (const char* k : keys) EXPECT_TRUE(ini.GetString("Para", k).has_value()) << k;
    EXPECT_EQ(ini.GetString("Para", "DataDirMm"), prog.string() + "/PlotDirMm/");
    EXPECT_EQ(ini.GetString("Para", "DataDirMil"), prog.string() + "/PlotDirMil/");
    EXPECT_TRUE(fs::is_directory(prog / "PlotDirMm"));
    EXPECT_TRUE(fs::is_directory(prog / "PlotDirMil"));
}

TEST_F(Process, ASecondStartEndsAtOnceAndAKilledFirstIsTakenOver)
{
    fs::create_directories(prog);
    const std::string mine = "; mine\r\n[Para]\r\nLanguage=1\r\nPaperLenMm=0\r\n";
    std::ofstream(prog / "OrlatV2.ini", std::ios::binary) << mine;

    ChildProcess first = Start({"--program-dir", prog.string()});
    ASSERT_TRUE(WaitUp(first));
    const auto t0 = std::chrono::steady_clock::now();
    ChildProcess second = Start({"--program-dir", prog.string()});
    EXPECT_EQ(second.Wait(), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(10));
    EXPECT_EQ(Ini(), mine);  // byte for byte
    EXPECT_EQ(::kill(first.Pid(), 0), 0);

    // A bad option ends with 2 and leaves the file too.
    EXPECT_EQ(Start({"--program-dir", prog.string(), "--nonsense"}).Wait(), 2);
    EXPECT_EQ(Ini(), mine);

    first.Kill();
    ChildProcess next = Start({"--program-dir", prog.string()});
    ASSERT_TRUE(WaitUp(next));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_EQ(::kill(next.Pid(), 0), 0) << "the stale lock was not taken over";
    ASSERT_EQ(next.Signal(SIGTERM), 0);
    const std::string after = Ini();
    EXPECT_EQ(after.rfind("; mine\r\n[Para]\r\nLanguage=1\r\nPaperLenMm=2000\r\n", 0), 0u) << after;
}

// One program folder per machine: folders that differ only in a digit once
// made one instance, the second start ending at once on the first's window.
TEST_F(Process, ProgramFoldersThatDifferOnlyInADigitRunAnInstanceEach)
{
    ChildProcess one = Start({"--program-dir", (root / "cutter1").string()});
    ASSERT_TRUE(WaitUp(one));
    ChildProcess two = Start({"--program-dir", (root / "cutter2").string()});
    ASSERT_TRUE(two.WaitLocked(root / "rt")) << "the second folder's start found the first's instance";
    EXPECT_EQ(::kill(one.Pid(), 0), 0);
    EXPECT_EQ(one.Signal(SIGTERM), 0);
    EXPECT_EQ(two.Signal(SIGTERM), 0);
    // Each wrote its own settings.
    for (const char* dir : {"cutter1", "cutter2"})
        EXPECT_NE(testsupport::ReadFile(root / dir / "OrlatV2.ini").find("[Para]"), std::string::npos) << dir;
}

}  // namespace
