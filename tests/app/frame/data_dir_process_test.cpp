// A marker copied into the watched folder by another account, stalled half-way, taken half and deleted by the running program or by the one started after a kill.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "model/Page.h"
#include "model/TaskFile.h"
#include "model/Text.h"
#include "tests/app/support/ProgramProcess.h"

namespace fs = std::filesystem;
using testsupport::WaitFor;

namespace {

const fs::path kProgram = testsupport::BuiltProgram();
constexpr int kLines = 3000;
constexpr int kHalf = 1548;

std::string Lines(int first, int count)
{
    std::string s;
    for (int i = first; i < first + count; ++i)
        s += "PU" + std::to_string(i * 10) + ",0;PD" + std::to_string(i * 10) + ",1000;";
    return s;
}

class CopyIn : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!fs::exists(kProgram)) GTEST_SKIP() << "the program is not built";
        // Another account's file needs root to make; the program then runs
        // as root without CAP_LEASE, so it meets the refusal an ordinary
        // account meets.
        if (::geteuid() != 0) GTEST_SKIP() << "needs root to write as another account";
        root = fs::path(ORLAT_BINARY_DIR) / ("copy_in_" + std::to_string(::getpid()));
        fs::remove_all(root);
        testsupport::MakeRuntimeFolder(root / "rt");
        fs::create_directories(data);
        fs::create_directories(root / "prog" / "DataMil");
        std::ofstream(root / "prog" / "OrlatV2.ini")
            << "[Para]\nConnectViaEth=1\nMachineIP=16777343\nAutoDelFinish=0\nAutoAddToList=1\nAutoStart=0\n"
               "UnitNoHintNextTime=1\nAutoRotate=0\nDataDirMm="
            << data.string() << "/\nDataDirMil=" << (root / "prog" / "DataMil").string() << "/\n";
    }
    void TearDown() override
    {
        program.Kill();
        if (writer >= 0) ::close(writer);
        if (!HasFailure() && !root.empty()) fs::remove_all(root);
    }

    void Start()
    {
        // Nothing listens on port 1: the machine stays offline.
        testsupport::Launch l =
            testsupport::Offscreen(root / "rt", {"--program-dir", (root / "prog").string(), "--machine-port", "1"});
        l.withoutLeases = true;
        ASSERT_TRUE(program.Start(kProgram, l)) << program.Error();
        // Up and watching once a marker dropped in is taken.
        Drop("0probe.plt");
        ASSERT_TRUE(WaitFor([&] { return !fs::exists(data / "0probe.plt"); }, 40000)) << "the program took nothing";
    }
    void Kill() { program.Kill(); }
    int Stop() { return program.Signal(SIGTERM); }
    // A whole small marker renamed into the folder.
    void Drop(const std::string& name)
    {
        std::ofstream(root / "prog" / "drop.tmp") << "IN;SP1;PU0,0;PD400,0,400,400;";
        fs::rename(root / "prog" / "drop.tmp", data / name);
    }
    // A copy by another account that writes the first part and stalls.
    void BeginCopy(const std::string& name)
    {
        writer = ::open((data / name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        ASSERT_GE(writer, 0);
        ASSERT_EQ(::fchown(writer, 65534, 65534), 0);
        Write("IN;SP1;" + Lines(0, kHalf));
    }
    void EndCopy()
    {
        Write(Lines(kHalf, kLines - kHalf));
        ::close(writer);
        writer = -1;
    }
    void Write(const std::string& s)
    {
        ASSERT_EQ(::write(writer, s.data(), s.size()), static_cast<ssize_t>(s.size()));
    }
    // While the copy stalls, scans pass it over: the markers after it come.
    void PassedOver(const std::string& copy)
    {
        for (const char* name : {"b1.plt", "b2.plt", "b3.plt"}) Drop(name);
        ASSERT_TRUE(WaitFor(
            [&] {
                return !fs::exists(data / "b1.plt") && !fs::exists(data / "b2.plt") && !fs::exists(data / "b3.plt");
            },
            40000));
        std::error_code ec;
        EXPECT_EQ(fs::file_size(data / copy, ec), ("IN;SP1;" + Lines(0, kHalf)).size()) << "taken half: " << ec.message();
    }
    std::vector<std::unique_ptr<COnePage>> LastTask()
    {
        std::vector<std::unique_ptr<COnePage>> pages;
        EXPECT_EQ(LoadTaskFile(FromUtf8((root / "prog" / "last2107.orlattask").string()), pages),
                  TaskFileStatus::Ok);
        return pages;
    }
    static size_t CurvesOf(const std::vector<std::unique_ptr<COnePage>>& pages, const std::string& name)
    {
        size_t found = 0, curves = 0;
        for (const auto& p : pages)
            if (ToUtf8(p->m_strFileName).ends_with("/" + name)) {
                ++found;
                curves = p->m_curves.size();
            }
        return found == 1 ? curves : 0;
    }

    fs::path root;
    fs::path data = fs::path(ORLAT_BINARY_DIR) / ("copy_in_" + std::to_string(::getpid())) / "prog" / "DataMm";
    testsupport::ChildProcess program;
    int writer = -1;
};

}  // namespace

TEST_F(CopyIn, AStalledCopyOfAnotherAccountComesInWholeOnceBeforeAndAfterAKill)
{
    // The running program: the folder's notifications hold the copy back.
    Start();
    BeginCopy("a.plt");
    PassedOver("a.plt");
    EndCopy();
    ASSERT_TRUE(WaitFor([&] { return !fs::exists(data / "a.plt"); }, 40000));
    ASSERT_EQ(Stop(), 0);
    EXPECT_EQ(CurvesOf(LastTask(), "a.plt"), static_cast<size_t>(kLines));

    // Killed while a copy stalls; the copy ends; the next program finds the
    // file there before it watched it, sees no writer, and lets it settle.
    Start();
    BeginCopy("c.plt");
    PassedOver("c.plt");
    Kill();
    EndCopy();
    Start();
    ASSERT_TRUE(WaitFor([&] { return !fs::exists(data / "c.plt"); }, 60000));
    ASSERT_EQ(Stop(), 0);
    const auto pages = LastTask();
    EXPECT_EQ(CurvesOf(pages, "a.plt"), static_cast<size_t>(kLines));
    EXPECT_EQ(CurvesOf(pages, "c.plt"), static_cast<size_t>(kLines));
}
