// Guards: a watched marker that does not print, stays in the folder, or is printed twice across a SIGTERM.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "model/Page.h"
#include "model/TaskFile.h"
#include "model/Text.h"
#include "tests/app/support/ProgramProcess.h"
#include "tools/machine-sim/MachineSim.h"

namespace fs = std::filesystem;
using testsupport::WaitFor;

namespace {

const fs::path kProgram = testsupport::BuiltProgram();
const fs::path kSendJob = fs::path(ORLAT_BINARY_DIR) / "tools" / "send-job" / "send-job";

std::string ReadAll(const fs::path& p) { return testsupport::ReadFile(p); }

// A marker of a printed frame, a cut square and a few printed lines.
std::string Marker()
{
    return "IN;SP1;PU0,0;PD4000,0,4000,3000,0,3000,0,0;PU800,800;PD3200,800,3200,2200;"
           "SP2;PU1000,1000;PD3000,1000,3000,2000,1000,2000,1000,1000;PU;";
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!fs::exists(kProgram) || !fs::exists(kSendJob)) GTEST_SKIP() << "the program is not built";
        root = fs::path(ORLAT_BINARY_DIR) / ("end_to_end_" + std::to_string(::getpid()));
        fs::remove_all(root);
        testsupport::MakeRuntimeFolder(root / "rt");
        fs::create_directories(root / "prog" / "DataMm");
        fs::create_directories(root / "prog" / "DataMil");
        sim.SetLogToStderr(false);
        sim.SetRecordDir((root / "rec").string());
        fs::create_directories(root / "rec");
        ASSERT_GT(sim.Start(0), 0);
        std::ofstream(Ini()) << "[Para]\nConnectViaEth=1\nMachineIP=16777343\nAutoDelFinish=0\nAutoAddToList=1\n"
                                "AutoStart=1\nUnitNoHintNextTime=1\nDataDirMm="
                             << (root / "prog" / "DataMm").string() << "/\nDataDirMil="
                             << (root / "prog" / "DataMil").string() << "/\n";
    }
    void TearDown() override
    {
        program.Kill();
        sim.Stop();
        if (!HasFailure()) fs::remove_all(root);
    }
    fs::path Ini() const { return root / "prog" / "OrlatV2.ini"; }
    fs::path LastTask() const { return root / "prog" / "last2107.orlattask"; }
    // The one job of the kept list is Done with no copies left.
    bool LastTaskShowsDone() const
    {
        std::vector<std::unique_ptr<COnePage>> pages;
        if (LoadTaskFile(FromUtf8(LastTask().string()), pages) != TaskFileStatus::Ok) return false;
        return pages.size() == 1 && pages[0]->m_state == JobState::Done && pages[0]->m_copies == 0;
    }

    void Start(const std::vector<std::string>& extra = {})
    {
        testsupport::Launch l = testsupport::Offscreen(
            root / "rt", {"--program-dir", (root / "prog").string(), "--machine-port", std::to_string(sim.Port())});
        l.args.insert(l.args.end(), extra.begin(), extra.end());
        ASSERT_TRUE(program.Start(kProgram, l)) << program.Error();
    }
    // Exit status, or -1 when it did not end in time.
    int Stop() { return program.Signal(SIGTERM); }

    fs::path root;
    testsupport::ChildProcess program;
    CMachineSim sim;
};

}  // namespace

TEST_F(EndToEnd, AMarkerInTheWatchedFolderPrintsAndIsGone)
{
    Start();
    const fs::path data = root / "prog" / "DataMm";
    ASSERT_TRUE(WaitFor([&] { return fs::exists(data); }, 20000));
    // Written beside the folder, then renamed in: never seen half-written.
    const fs::path beside = root / "prog" / "marker.plt";
    std::ofstream(beside) << Marker();
    fs::rename(beside, data / "marker.plt");

    ASSERT_TRUE(WaitFor([&] { return sim.JobsEnded() >= 1; }, 40000)) << "no job reached the machine";
    EXPECT_TRUE(WaitFor([&] { return !fs::exists(data / "marker.plt"); }, 5000));
    // The job has ended only once the program has taken its end: the kept list says so.
    ASSERT_TRUE(WaitFor([&] { return LastTaskShowsDone(); }, 20000));
    ASSERT_EQ(Stop(), 0);
    EXPECT_EQ(sim.JobsEnded(), 1);

    std::vector<std::unique_ptr<COnePage>> pages;
    ASSERT_EQ(LoadTaskFile(FromUtf8(LastTask().string()), pages), TaskFileStatus::Ok);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0]->m_state, JobState::Done);
    EXPECT_EQ(pages[0]->m_copies, 0);

    // The same file and settings through send-job: the same bytes recorded.
    fs::create_directories(root / "rec_send");
    const std::string printed = ReadAll(root / "rec" / "print.pbm");
    const std::string knife = ReadAll(root / "rec" / "knife.svg");
    ASSERT_FALSE(printed.empty());
    sim.SetRecordDir((root / "rec_send").string());
    std::ofstream(root / "marker.plt") << Marker();
    const std::string cmd = kSendJob.string() + " " + (root / "marker.plt").string() + " --tcp 127.0.0.1:" +
                            std::to_string(sim.Port()) + " --settings " + Ini().string() + " > " +
                            (root / "send.log").string() + " 2>&1";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << ReadAll(root / "send.log");
    EXPECT_TRUE(printed == ReadAll(root / "rec_send" / "print.pbm"));
    EXPECT_TRUE(knife == ReadAll(root / "rec_send" / "knife.svg"));
}

TEST_F(EndToEnd, ACommandLineTaskOfTwoCopiesPrintsTwice)
{
    {
        std::vector<std::unique_ptr<COnePage>> pages;
        auto page = std::make_unique<COnePage>();
        auto c = std::make_unique<CCurve>();
        c->m_points = {{0, 0}, {2000, 0}, {2000, 2000}, {0, 2000}, {0, 0}};
        c->m_kind = CurveKind::Plot;
        c->CalcBoundRect();
        page->m_curves.push_back(std::move(c));
        page->CalcPageBounds();
        page->m_state = JobState::Auto;
        page->m_copies = 2;
        page->m_strFileName = u"two copies";
        pages.push_back(std::move(page));
        ASSERT_EQ(SaveTaskFile(FromUtf8((root / "two.orlattask").string()), pages), TaskFileStatus::Ok);
    }
    Start({(root / "two.orlattask").string()});
    ASSERT_TRUE(WaitFor([&] { return sim.JobsEnded() >= 2; }, 40000)) << "jobs: " << sim.JobsEnded();
    ASSERT_TRUE(WaitFor([&] { return LastTaskShowsDone(); }, 20000));
    ASSERT_EQ(Stop(), 0);
    EXPECT_EQ(sim.JobsEnded(), 2);
    std::vector<std::unique_ptr<COnePage>> pages;
    ASSERT_EQ(LoadTaskFile(FromUtf8(LastTask().string()), pages), TaskFileStatus::Ok);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0]->m_state, JobState::Done);
    EXPECT_EQ(pages[0]->m_copies, 0);
}

TEST_F(EndToEnd, SigtermWhileAJobIsSendingEndsAtOnceWithTheListSaved)
{
    SimFaults f;
    ASSERT_TRUE(ApplyFault("silent-after-bands=1", f));
    sim.SetFaults(f);
    {
        std::vector<std::unique_ptr<COnePage>> pages;
        auto page = std::make_unique<COnePage>();
        auto c = std::make_unique<CCurve>();
        c->m_points = {{0, 0}, {40000, 0}, {40000, 40000}, {0, 40000}, {0, 0}};
        c->m_kind = CurveKind::Plot;
        c->CalcBoundRect();
        page->m_curves.push_back(std::move(c));
        page->CalcPageBounds();
        page->m_state = JobState::Auto;
        pages.push_back(std::move(page));
        ASSERT_EQ(SaveTaskFile(FromUtf8((root / "big.orlattask").string()), pages), TaskFileStatus::Ok);
    }
    Start({(root / "big.orlattask").string()});
    ASSERT_TRUE(WaitFor(
        [&] {
            for (const SimUnit& u : sim.Received())
                if (u.chunk) return true;
            return false;
        },
        40000))
        << "no job data reached the machine";
    // The sending thread now waits on a silent machine: the cancel cannot
    // reach it, so the close gives up after a few seconds, and nothing the
    // thread still uses is torn down under it.
    const auto t0 = std::chrono::steady_clock::now();
    ASSERT_EQ(Stop(), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(8));
    EXPECT_EQ(sim.JobsEnded(), 0);
    std::vector<std::unique_ptr<COnePage>> pages;
    ASSERT_EQ(LoadTaskFile(FromUtf8(LastTask().string()), pages), TaskFileStatus::Ok);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0]->m_state, JobState::Manual);  // a Printing job is stored as Manual
}
