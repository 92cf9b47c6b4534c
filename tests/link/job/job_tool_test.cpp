// Guards: the send-job tool sending other than the file as one job, wrong exit codes, or its settings file ignored.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/TempFolder.h"
#include "tools/machine-sim/MachineSim.h"

namespace {

namespace fs = std::filesystem;

const fs::path kTool = fs::path(ORLAT_BINARY_DIR) / "tools" / "send-job" / "send-job";

struct ToolRun {
    int exit = -1;
    std::string out;
};

ToolRun SendJob(const std::string& args)
{
    ToolRun r;
    const std::string cmd = kTool.string() + " " + args + " </dev/null 2>/dev/null";
    FILE* p = popen(cmd.c_str(), "r");
    if (p == nullptr) return r;
    char buf[512];
    while (std::fgets(buf, sizeof buf, p) != nullptr) r.out += buf;
    const int status = pclose(p);
    r.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string LastLine(const std::string& s)
{
    const auto end = s.find_last_not_of('\n');
    if (end == std::string::npos) return {};
    const auto start = s.find_last_of('\n', end);
    return s.substr(start == std::string::npos ? 0 : start + 1, end - (start == std::string::npos ? 0 : start + 1) + 1);
}

class SendJobTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!fs::exists(kTool)) GTEST_SKIP() << "send-job is not built";
        ASSERT_TRUE(folder.Made());
        // A printed square and a cut square, 100 mm.
        std::ofstream(dir / "m.plt") << "IN;SP1;PU400,400;PD4400,400,4400,4400,400,4400,400,400;"
                                        "SP2;PU800,800;PD4000,800,4000,4000,800,4000,800,800;SP0;";
        sim.SetLogToStderr(false);
        ASSERT_GT(sim.Start(0), 0);
    }
    void TearDown() override
    {
        sim.Stop();
    }
    std::string Tcp() const { return "--tcp 127.0.0.1:" + std::to_string(sim.Port()); }

    testsupport::TempFolder folder{"orlat_send_job_"};
    const fs::path& dir = folder.path();
    CMachineSim sim;
};

TEST_F(SendJobTool, SendsTheFileAsOneJob)
{
    const ToolRun r = SendJob((dir / "m.plt").string() + " " + Tcp());
    EXPECT_EQ(r.exit, 0) << r.out;
    EXPECT_EQ(LastLine(r.out), "result: finished");
    EXPECT_NE(r.out.find("band 0 sent"), std::string::npos);
    EXPECT_NE(r.out.find("knife pass 0 sent"), std::string::npos);
    const SimJob job = sim.WithMachine([](CSimMachine& m) { return m.job; });
    EXPECT_TRUE(job.finished);
    EXPECT_EQ(job.knifePasses.size(), 1u);
}

TEST_F(SendJobTool, ExitCodes)
{
    EXPECT_EQ(SendJob((dir / "m.plt").string()).exit, 2);
    EXPECT_EQ(SendJob((dir / "m.plt").string() + " --usb " + Tcp()).exit, 2);
    EXPECT_EQ(SendJob((dir / "m.plt").string() + " --tcp nowhere").exit, 2);
    EXPECT_EQ(SendJob((dir / "m.plt").string() + " " + Tcp() + " --settings " + (dir / "none.ini").string()).exit, 2);
    // A machine that refuses the link: the block cannot be read.
    SimFaults f;
    f.refuse = true;
    sim.SetFaults(f);
    const ToolRun r = SendJob((dir / "m.plt").string() + " " + Tcp());
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(LastLine(r.out), "result: failed");
}

TEST_F(SendJobTool, SettingsFileChangesWhatIsPrinted)
{
    // PlotCutLine 1 prints the cut square too: more ink in the first band.
    const ToolRun plain = SendJob((dir / "m.plt").string() + " " + Tcp());
    std::ofstream(dir / "s.ini") << "[Para]\nPlotCutLine=1\nLineWidth=3\n";
    const ToolRun both = SendJob((dir / "m.plt").string() + " " + Tcp() + " --settings " + (dir / "s.ini").string());
    ASSERT_EQ(plain.exit, 0);
    ASSERT_EQ(both.exit, 0);
    auto bytesOfBand0 = [](const std::string& out) {
        const auto at = out.find("band 0 sent, ");
        return at == std::string::npos ? -1 : std::stoi(out.substr(at + 13));
    };
    EXPECT_GT(bytesOfBand0(both.out), bytesOfBand0(plain.out));

    // The same settings as the program reads them: case, blanks, quotes,
    // CRLF, a byte order mark and trailing text after the digits.
    std::ofstream(dir / "w.ini") << "\xEF\xBB\xBF[para]\r\n plotcutline = \"1\" \r\nLINEWIDTH=3px\r\nLineWidth=1\r\n";
    const ToolRun win = SendJob((dir / "m.plt").string() + " " + Tcp() + " --settings " + (dir / "w.ini").string());
    ASSERT_EQ(win.exit, 0);
    EXPECT_EQ(bytesOfBand0(win.out), bytesOfBand0(both.out));
}

}  // namespace
