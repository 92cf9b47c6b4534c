// Guards a killed or signalled program printing a finished job again, losing a job, or leaving the machine inside one.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "link/LinkState.h"
#include "model/Page.h"
#include "model/TaskFile.h"
#include "model/Text.h"
#include "tests/app/support/AppFixture.h"
#include "tests/app/support/ProgramOnSim.h"
#include "tests/app/support/ProgramProcess.h"
#include "tools/machine-sim/MachineSim.h"

namespace fs = std::filesystem;
using namespace JobState;
using testsupport::ReadFile;
using testsupport::WaitFor;

namespace {

const fs::path kProgram = testsupport::BuiltProgram();

struct Listed {
    std::u16string name;
    int32_t state;
    bool operator==(const Listed&) const = default;
};
void PrintTo(const Listed& l, std::ostream* os) { *os << ToUtf8(l.name) << ":" << l.state; }

class CrashProcess : public testsupport::ProgramOnSim {
protected:
    void SetUp() override
    {
        if (!fs::exists(kProgram)) GTEST_SKIP() << "the program is not built";
        MakeFolders("crash_process");
    }
    void TearDown() override
    {
        EndFolders();
    }
    fs::path Errors() const { return root / "stderr.txt"; }

    void WriteIni(int autoDelFinish)
    {
        std::ofstream(Prog() / "OrlatV2.ini") << "[Para]\nConnectViaEth=1\nMachineIP=16777343\nAutoAddToList=1\n"
                                                 "AutoStart=1\nUnitNoHintNextTime=1\nAutoDelFinish="
                                              << autoDelFinish << "\nDataDirMm=" << Data().string()
                                              << "/\nDataDirMil=" << (Prog() / "DataMil").string() << "/\n";
    }
    void SaveList(const fs::path& file, std::vector<std::unique_ptr<COnePage>> pages)
    {
        ASSERT_EQ(SaveTaskFile(FromUtf8(file.string()), pages), TaskFileStatus::Ok);
    }
    // The list the next start loads.
    std::vector<Listed> NextStartsList()
    {
        std::vector<Listed> l;
        if (!fs::exists(LastTask())) return l;
        std::vector<std::unique_ptr<COnePage>> pages;
        EXPECT_EQ(LoadTaskFile(FromUtf8(LastTask().string()), pages), TaskFileStatus::Ok);
        for (auto& p : pages) l.push_back({p->m_strFileName, p->m_state});
        return l;
    }

    void Start(const std::vector<std::string>& extra = {})
    {
        testsupport::Launch l = testsupport::Offscreen(
            root / "rt", {"--program-dir", Prog().string(), "--machine-port", std::to_string(sim.Port())});
        l.args.insert(l.args.end(), extra.begin(), extra.end());
        l.err = Errors();
        ASSERT_TRUE(program.Start(kProgram, l)) << program.Error();
    }
    // Up once its lock names it: from here on its signal handlers are in place.
    bool WaitLocked() { return program.WaitLocked(root / "rt"); }
    // Exit status (128 + signal when killed), or -1 when it did not end in time.
    int Signal(int sig) { return program.Signal(sig); }

    int JobStarts() { return sim.WithMachine([](CSimMachine& m) { return m.jobs; }); }
    int32_t JobLength() { return sim.WithMachine([](CSimMachine& m) { return m.job.lengthPulses; }); }
    bool InJobWithBands()
    {
        return sim.WithMachine([](CSimMachine& m) { return m.InJob() && !m.job.bands.empty(); });
    }
    // The operator's pause on the machine, and later its delete.
    void PauseMachine() { sim.WithMachine([](CSimMachine& m) { m.state = MachineState::Paused; }); }
    void FreeMachine()
    {
        sim.WithMachine([](CSimMachine& m) {
            m.job.aborted = true;
            m.state = MachineState::Ready;
        });
    }
    // A marker dropped into the watched folder, whole at once; it prints as
    // the next job and ends: what the machine saw until then is all it will.
    void PrintSentinel(int startsBefore)
    {
        std::ofstream(root / "sentinel.plt") << "IN;SP1;PU0,0;PD1200,0,1200,1200,0,1200,0,0;PU;";
        fs::rename(root / "sentinel.plt", Data() / "sentinel.plt");
        ASSERT_TRUE(WaitFor(
            [&] {
                return sim.WithMachine([&](CSimMachine& m) {
                    return m.jobs > startsBefore && m.job.finished && m.job.lengthPulses != firstLength;
                });
            },
            40000))
            << "the sentinel did not print";
    }

    int32_t firstLength = 0;  // the job of the last run, as the machine saw it
};

}  // namespace

TEST_F(CrashProcess, AKillAfterAJobFinishedNeverSendsItAgain)
{
    struct Case {
        const char* moment;
        std::function<bool()> reached;
    };
    const Case cases[] = {
        {"as the machine ends it", [&] { return sim.JobsEnded() >= 1; }},
        {"once it was deleted as Done", [&] { return sim.JobsEnded() >= 1 && !fs::exists(LastTask()); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.moment);
        fs::remove_all(Prog());
        fs::create_directories(Data());
        sim.WithMachine([](CSimMachine& m) { m.jobs = 0; });
        WriteIni(1);
        std::vector<std::unique_ptr<COnePage>> last;
        last.push_back(appfix::SquareJob(Auto, 2000, u"left from the last run"));
        SaveList(LastTask(), std::move(last));

        Start();
        ASSERT_TRUE(WaitFor(c.reached, 40000));
        EXPECT_EQ(Signal(SIGKILL), 128 + SIGKILL);
        ASSERT_EQ(JobStarts(), 1);
        firstLength = JobLength();
        const int endedBefore = sim.JobsEnded();

        Start();
        PrintSentinel(1);
        EXPECT_EQ(JobStarts(), 2) << "the finished job went out again";
        EXPECT_EQ(sim.JobsEnded(), endedBefore + 1);
        EXPECT_EQ(Signal(SIGTERM), 0);
    }
}

TEST_F(CrashProcess, AKillDuringAJobKeepsItAsManualAndTheNextStartDoesNotSendIt)
{
    fs::create_directories(Prog());
    WriteIni(0);
    std::vector<std::unique_ptr<COnePage>> last;
    last.push_back(appfix::SquareJob(Auto, 40000, u"big"));
    last.push_back(appfix::SquareJob(Manual, 2000, u"waiting"));
    SaveList(LastTask(), std::move(last));
    Start();
    ASSERT_TRUE(WaitFor([&] { return InJobWithBands(); }, 40000));
    PauseMachine();  // held inside the job while the power goes
    EXPECT_EQ(Signal(SIGKILL), 128 + SIGKILL);
    firstLength = JobLength();
    EXPECT_EQ(NextStartsList(), (std::vector<Listed>{{u"big", Manual}, {u"waiting", Manual}}));

    Start();
    FreeMachine();
    PrintSentinel(1);
    EXPECT_EQ(JobStarts(), 2);
    EXPECT_EQ(Signal(SIGTERM), 0);
    const std::vector<Listed> after = NextStartsList();
    ASSERT_EQ(after.size(), 3u);
    EXPECT_EQ(after[0], (Listed{u"big", Manual}));
    EXPECT_EQ(after[1], (Listed{u"waiting", Manual}));
    EXPECT_EQ(after[2].state, Done);
}

TEST_F(CrashProcess, ASigtermDuringAJobCancelsItOnTheMachineAndEnds)
{
    fs::create_directories(Prog());
    WriteIni(0);
    std::vector<std::unique_ptr<COnePage>> last;
    last.push_back(appfix::SquareJob(Auto, 40000, u"big"));
    SaveList(LastTask(), std::move(last));
    Start();
    ASSERT_TRUE(WaitFor([&] { return InJobWithBands(); }, 40000));
    PauseMachine();
    EXPECT_EQ(Signal(SIGTERM), 0);
    EXPECT_TRUE(sim.WithMachine([](CSimMachine& m) { return m.job.aborted && !m.InJob(); }))
        << "the machine was left inside the job";
    EXPECT_EQ(sim.WithMachine([](CSimMachine& m) { return m.Status(SimFaults{}, 0); }), MachineState::Ready);
    EXPECT_EQ(NextStartsList(), (std::vector<Listed>{{u"big", Manual}}));
}

TEST_F(CrashProcess, AJobFromTheWatchedFolderSurvivesAKillOnceItsFileIsGone)
{
    fs::create_directories(Prog());
    WriteIni(0);
    PauseMachine();  // busy: the job waits in the list as Auto
    Start();
    std::ofstream(root / "m.plt") << "IN;SP1;PU0,0;PD800,0,800,800,0,800,0,0;PU;";
    fs::rename(root / "m.plt", Data() / "m.plt");
    ASSERT_TRUE(WaitFor([&] { return !fs::exists(Data() / "m.plt") && NextStartsList().size() == 1; }, 20000));
    EXPECT_EQ(Signal(SIGKILL), 128 + SIGKILL);
    const std::vector<Listed> kept = NextStartsList();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_NE(kept[0].name.find(u"m.plt"), std::u16string::npos);
    EXPECT_EQ(kept[0].state, Auto);
    EXPECT_EQ(JobStarts(), 0);
}

TEST_F(CrashProcess, ASignalDuringAStartUpBoxNeitherHangsNorDropsTheLastRunsList)
{
    for (const int sig : {SIGTERM, SIGKILL}) {
        SCOPED_TRACE(sig == SIGTERM ? "SIGTERM" : "SIGKILL");
        fs::remove_all(Prog());
        // A settings file that cannot be read: a box at start, and none
        // may be waited on at the exit either.
        fs::create_directories(Prog() / "OrlatV2.ini");
        std::vector<std::unique_ptr<COnePage>> last;
        last.push_back(appfix::SquareJob(Auto, 2000, u"last 1"));
        last.push_back(appfix::SquareJob(Manual, 2000, u"last 2"));
        SaveList(LastTask(), std::move(last));
        std::vector<std::unique_ptr<COnePage>> named;
        named.push_back(appfix::SquareJob(Manual, 2000, u"named"));
        SaveList(root / "named.orlattask", std::move(named));

        Start({(root / "named.orlattask").string()});
        ASSERT_TRUE(WaitLocked());
        const int status = Signal(sig);
        ASSERT_NE(status, -1) << "the program hangs";
        if (sig == SIGTERM) {
            // The box said the settings file is left alone: nothing is tried at the exit.
            EXPECT_EQ(status, 0);
            EXPECT_TRUE(fs::is_directory(Prog() / "OrlatV2.ini"));
            // The close before the first poll took the last run's jobs in first.
            EXPECT_EQ(NextStartsList(),
                      (std::vector<Listed>{{u"last 1", Auto}, {u"last 2", Manual}, {u"named", Manual}}));
        } else {
            EXPECT_EQ(NextStartsList(), (std::vector<Listed>{{u"last 1", Auto}, {u"last 2", Manual}}));
        }
        EXPECT_EQ(JobStarts(), 0);
    }
}

TEST_F(CrashProcess, ASignalWithTheSettingsFileGoneUnwritableSaysSoOnStandardErrorAndEnds)
{
    fs::create_directories(Prog());
    WriteIni(0);
    Start();
    ASSERT_TRUE(WaitLocked());
    // The event loop runs once a watched file has been taken.
    fs::create_directories(Data());
    std::ofstream(root / "m.plt") << "IN;SP1;PU0,0;PD800,0,800,800,0,800,0,0;PU;";
    fs::rename(root / "m.plt", Data() / "m.plt");
    ASSERT_TRUE(WaitFor([&] { return !fs::exists(Data() / "m.plt"); }, 20000));
    fs::remove(Prog() / "OrlatV2.ini");
    fs::create_directories(Prog() / "OrlatV2.ini");
    const int status = Signal(SIGTERM);
    ASSERT_NE(status, -1) << "the exit waits on a box";
    EXPECT_EQ(status, 1);  // the settings could not be written
    EXPECT_NE(ReadFile(Errors()).find("无法保存设置"), std::string::npos) << ReadFile(Errors());
    EXPECT_EQ(NextStartsList().size(), 1u);
}
