// Guards: a first start that misses settings keys or data folders, or a killed instance whose lock blocks the next.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "model/ProfileFile.h"

namespace fs = std::filesystem;

extern char** environ;

namespace {

const fs::path kProgram = fs::path(ORLAT_BINARY_DIR) / "app" / "OrlatCenter";

// The real program in processes of its own, offscreen, with a private
// runtime folder for its lock and socket.
class Process : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!fs::exists(kProgram)) GTEST_SKIP() << "the program is not built";
        root = fs::path(ORLAT_BINARY_DIR) / ("startup_process_" + std::to_string(::getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "rt");
        ::chmod((root / "rt").c_str(), 0700);
        prog = root / "prog";
    }
    void TearDown() override
    {
        for (pid_t p : running) {
            ::kill(p, SIGKILL);
            ::waitpid(p, nullptr, 0);
        }
        fs::remove_all(root);
    }

    pid_t Start(const std::vector<std::string>& args)
    {
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e) {
            const std::string v = *e;
            if (v.rfind("XDG_RUNTIME_DIR=", 0) != 0 && v.rfind("QT_QPA_PLATFORM=", 0) != 0) env.push_back(v);
        }
        env.push_back("XDG_RUNTIME_DIR=" + (root / "rt").string());
        env.push_back("QT_QPA_PLATFORM=offscreen");
        std::vector<std::string> all = {kProgram.string()};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv, envp;
        for (auto& a : all) argv.push_back(a.data());
        argv.push_back(nullptr);
        for (auto& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        pid_t pid = -1;
        if (::posix_spawn(&pid, kProgram.c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0) return -1;
        running.push_back(pid);
        return pid;
    }
    // Exit status, or -1 when it did not end within ms.
    int Wait(pid_t pid, int ms = 20000)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            int status = 0;
            if (::waitpid(pid, &status, WNOHANG) == pid) {
                std::erase(running, pid);
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return -1;
    }
    // Up once the lock names it (a killed one leaves its lock and socket).
    bool WaitUp(pid_t pid, int ms = 20000)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            for (const auto& e : fs::directory_iterator(root / "rt")) {
                if (e.path().extension() != ".lock") continue;
                std::ifstream in(e.path());
                std::string first;
                std::getline(in, first);
                if (first == std::to_string(pid)) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // lock, then socket
                    return ::kill(pid, 0) == 0;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }
    std::string Ini() const
    {
        std::ifstream in(prog / "OrlatV2.ini", std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }

    fs::path root, prog;
    std::vector<pid_t> running;
};

TEST_F(Process, AFreshFolderGetsEveryKeyAndItsDataFolders)
{
    const pid_t p = Start({"--program-dir", prog.string()});
    ASSERT_TRUE(WaitUp(p));
    ::kill(p, SIGTERM);  // as a logout closes it: through the window's close
    ASSERT_EQ(Wait(p), 0);
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

    const pid_t first = Start({"--program-dir", prog.string()});
    ASSERT_TRUE(WaitUp(first));
    const auto t0 = std::chrono::steady_clock::now();
    const pid_t second = Start({"--program-dir", prog.string()});
    EXPECT_EQ(Wait(second), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(10));
    EXPECT_EQ(Ini(), mine);  // byte for byte
    EXPECT_EQ(::kill(first, 0), 0);

    // A bad option ends with 2 and leaves the file too.
    EXPECT_EQ(Wait(Start({"--program-dir", prog.string(), "--nonsense"})), 2);
    EXPECT_EQ(Ini(), mine);

    ::kill(first, SIGKILL);
    Wait(first);
    const pid_t next = Start({"--program-dir", prog.string()});
    ASSERT_TRUE(WaitUp(next));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_EQ(::kill(next, 0), 0) << "the stale lock was not taken over";
    ::kill(next, SIGTERM);
    ASSERT_EQ(Wait(next), 0);
    const std::string after = Ini();
    EXPECT_EQ(after.rfind("; mine\r\n[Para]\r\nLanguage=1\r\nPaperLenMm=2000\r\n", 0), 0u) << after;
}

}  // namespace
