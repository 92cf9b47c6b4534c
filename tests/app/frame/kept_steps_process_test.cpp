// Guards the real program against a kill or a signal at the instant the machine hears of a job or of a copy's
// end (a job sent twice, a copy printed twice, a made copy asked for again), a close that saves before it knows
// what the machine did, and a close that cannot save but ends as if it had.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>

#include "link/LinkCommand.h"
#include "link/LinkState.h"
#include "model/Page.h"
#include "model/TaskFile.h"
#include "model/Text.h"
#include "tests/app/support/ProgramOnSim.h"
#include "tests/app/support/ProgramProcess.h"
#include "tools/machine-sim/MachineSim.h"

namespace fs = std::filesystem;
using namespace JobState;
using testsupport::ReadFile;
using testsupport::WaitFor;

namespace {

const fs::path kProgram = testsupport::BuiltProgram();

// A job of one square `side` plot units wide, printed or cut.
std::unique_ptr<COnePage> Square(int32_t side, int32_t state, std::u16string name, int32_t copies = 1,
                                 int32_t kind = CurveKind::Plot)
{
    auto page = std::make_unique<COnePage>();
    auto c = std::make_unique<CCurve>();
    c->m_points = {{0, 0}, {side, 0}, {side, side}, {0, side}, {0, 0}};
    c->m_kind = kind;
    c->CalcBoundRect();
    page->m_curves.push_back(std::move(c));
    page->CalcPageBounds();
    page->m_state = state;
    page->m_copies = copies;
    page->m_strFileName = std::move(name);
    return page;
}

// A large marker parked in the list (a day's work waiting): one line of
// many points, so that every save of the list takes its time.
std::unique_ptr<COnePage> Parked(int index)
{
    auto page = std::make_unique<COnePage>();
    auto c = std::make_unique<CCurve>();
    constexpr int kPoints = 100000;
    c->m_points.reserve(kPoints);
    for (int i = 0; i < kPoints; ++i) c->m_points.push_back({i % 4000, (i / 4000) * 40 + (i % 2) * 20});
    c->m_kind = CurveKind::Plot;
    c->CalcBoundRect();
    page->m_curves.push_back(std::move(c));
    page->CalcPageBounds();
    page->m_state = Manual;
    page->m_strFileName = u"parked " + FromUtf8(std::to_string(index));
    return page;
}
constexpr int kParked = 8;

struct Listed {
    std::u16string name;
    int32_t state;
    int32_t copies;
    bool operator==(const Listed&) const = default;
};
void PrintTo(const Listed& l, std::ostream* os) { *os << ToUtf8(l.name) << ":" << l.state << "x" << l.copies; }

bool IsFrame(const SimUnit& u, uint8_t code) { return !u.chunk && u.bytes.size() >= 2 && u.bytes[1] == code; }

class KeptStepsProcess : public testsupport::ProgramOnSim {
protected:
    void SetUp() override
    {
        if (!fs::exists(kProgram)) GTEST_SKIP() << "the program is not built";
        MakeFolders("kept_steps_process");
        WriteIni();
    }
    void TearDown() override
    {
        sim.SetUnitHook({});
        EndFolders();
    }
    fs::path Errors() const { return root / "stderr.txt"; }

    void WriteIni()
    {
        std::ofstream(Prog() / "OrlatV2.ini") << "[Para]\nConnectViaEth=1\nMachineIP=16777343\nAutoAddToList=1\n"
                                                 "AutoStart=1\nUnitNoHintNextTime=1\nAutoDelFinish=0\nDataDirMm="
                                              << Data().string() << "/\nDataDirMil=" << (Prog() / "DataMil").string()
                                              << "/\n";
    }
    // The last run's list: the given jobs, then a day's markers parked as Manual.
    void LeaveList(std::vector<std::unique_ptr<COnePage>> pages, bool parked)
    {
        if (parked)
            for (int i = 0; i < kParked; ++i) pages.push_back(Parked(i));
        ASSERT_EQ(SaveTaskFile(FromUtf8(LastTask().string()), pages), TaskFileStatus::Ok);
    }
    // The list the next start loads, read as it reads it.
    std::vector<Listed> NextStartsList()
    {
        std::vector<Listed> l;
        if (!fs::exists(LastTask())) return l;
        std::vector<std::unique_ptr<COnePage>> pages;
        EXPECT_EQ(LoadTaskFile(FromUtf8(LastTask().string()), pages), TaskFileStatus::Ok);
        for (auto& p : pages) l.push_back({p->m_strFileName, p->m_state, p->m_copies});
        return l;
    }
    // The first `n` jobs of the next start's list; the rest must be the parked ones.
    std::vector<Listed> Head(size_t n, bool parked)
    {
        std::vector<Listed> l = NextStartsList();
        EXPECT_EQ(l.size(), n + (parked ? kParked : 0)) << "jobs were lost";
        if (l.size() > n) l.resize(n);
        return l;
    }

    void Start()
    {
        testsupport::Launch l = testsupport::Offscreen(
            root / "rt", {"--program-dir", Prog().string(), "--machine-port", std::to_string(sim.Port())});
        l.err = Errors();
        ASSERT_TRUE(program.Start(kProgram, l)) << program.Error();
    }
    // sig sent to the program at the instant the machine has taken the
    // first unit that `at` picks, before the program has its answer.
    void SignalAt(int sig, std::function<bool(const SimUnit&)> at)
    {
        fired = false;
        sim.SetUnitHook([this, sig, at, pid = program.Pid()](const SimUnit& u) {
            if (!fired.load() && at(u) && !fired.exchange(true)) ::kill(pid, sig);
        });
    }
    bool Fired() { return WaitFor([&] { return fired.load(); }, 60000); }

    int JobStarts() { return sim.WithMachine([](CSimMachine& m) { return m.jobs; }); }
    SimJob MachineJob() { return sim.WithMachine([](CSimMachine& m) { return m.job; }); }
    bool MachineInJob() { return sim.WithMachine([](CSimMachine& m) { return m.InJob(); }); }
    // The machine after a kill mid-job: the operator ends the job there.
    void FreeMachine()
    {
        sim.WithMachine([](CSimMachine& m) {
            m.job.aborted = true;
            m.state = MachineState::Ready;
        });
    }
    // A marker dropped into the watched folder: it prints as the next job;
    // once it has ended, the machine has seen all this run will send.
    void PrintSentinel()
    {
        const int before = JobStarts();
        std::ofstream(root / "sentinel.plt") << "IN;SP1;PU0,0;PD1200,0,1200,1200,0,1200,0,0;PU;";
        fs::rename(root / "sentinel.plt", Data() / "sentinel.plt");
        ASSERT_TRUE(WaitFor([&] { return JobStarts() > before && MachineJob().finished; }, 60000))
            << "the sentinel did not print";
    }

    std::atomic<bool> fired{false};
};

}  // namespace

TEST_F(KeptStepsProcess, AKillAsTheMachineHearsOfAJobLeavesItManualAndUnsentWithADaysListParked)
{
    struct Case {
        const char* moment;
        std::function<bool(const SimUnit&)> at;
    };
    const Case cases[] = {
        {"the job start", [](const SimUnit& u) { return IsFrame(u, LinkCommand::JobStart); }},
        {"the first band", [](const SimUnit& u) { return IsFrame(u, LinkCommand::BandHeader); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.moment);
        sim.WithMachine([](CSimMachine& m) { m.jobs = 0; });
        std::vector<std::unique_ptr<COnePage>> last;
        last.push_back(Square(2000, Auto, u"started"));
        LeaveList(std::move(last), true);

        Start();
        SignalAt(SIGKILL, c.at);
        ASSERT_TRUE(Fired()) << "the job never reached the machine";
        EXPECT_EQ(program.Wait(), 128 + SIGKILL);
        sim.SetUnitHook({});
        ASSERT_EQ(JobStarts(), 1);
        // Kept as started: Manual, its copy still to make.
        EXPECT_EQ(Head(1, true), (std::vector<Listed>{{u"started", Manual, 1}}));

        FreeMachine();
        Start();
        PrintSentinel();
        EXPECT_EQ(JobStarts(), 2) << "the job went out again by itself";
        EXPECT_EQ(program.Signal(SIGTERM, 60000), 0) << ReadFile(Errors());
        fs::remove_all(Data());
        fs::create_directories(Data());
    }
}

TEST_F(KeptStepsProcess, AKillAtTheEndOfTheFirstOfTwoCopiesLeavesOneAndReArmedItPrintsExactlyOneMore)
{
    std::vector<std::unique_ptr<COnePage>> last;
    last.push_back(Square(2000, Auto, u"two", 2));
    LeaveList(std::move(last), false);
    Start();
    SignalAt(SIGKILL, [](const SimUnit& u) { return IsFrame(u, LinkCommand::JobFinished); });
    ASSERT_TRUE(Fired()) << "the first copy never ended";
    EXPECT_EQ(program.Wait(), 128 + SIGKILL);
    sim.SetUnitHook({});
    ASSERT_EQ(JobStarts(), 1);
    EXPECT_TRUE(MachineJob().finished);
    const std::vector<Listed> kept = NextStartsList();
    ASSERT_EQ(kept, (std::vector<Listed>{{u"two", Manual, 1}})) << "the made copy is asked for again";

    // Re-armed by the operator, as the control bar's start does.
    {
        std::vector<std::unique_ptr<COnePage>> pages;
        ASSERT_EQ(LoadTaskFile(FromUtf8(LastTask().string()), pages), TaskFileStatus::Ok);
        pages[0]->m_state = Auto;
        ASSERT_EQ(SaveTaskFile(FromUtf8(LastTask().string()), pages), TaskFileStatus::Ok);
    }
    Start();
    ASSERT_TRUE(WaitFor([&] { return sim.JobsEnded() >= 2 && NextStartsList() == std::vector<Listed>{{u"two", Done, 0}}; },
                        60000))
        << "the last copy did not print";
    EXPECT_EQ(program.Signal(SIGTERM, 60000), 0) << ReadFile(Errors());
    EXPECT_EQ(JobStarts(), 2) << "one copy too many";
    EXPECT_EQ(NextStartsList(), (std::vector<Listed>{{u"two", Done, 0}}));
}

TEST_F(KeptStepsProcess, ASigtermAtTheLastKnifePassWithADaysListParkedEndsTheJobAsTheMachineDid)
{
    struct Case {
        const char* moment;
        std::function<bool(const SimUnit&)> at;
        bool surelyMade;  // the machine has made the copy by then
    };
    const Case cases[] = {
        {"during the last knife pass", [](const SimUnit& u) { return IsFrame(u, LinkCommand::KnifeHeader); }, false},
        {"as the machine ends it", [](const SimUnit& u) { return IsFrame(u, LinkCommand::JobFinished); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.moment);
        std::vector<std::unique_ptr<COnePage>> last;
        last.push_back(Square(2000, Auto, u"cut", 1, CurveKind::Cut));
        LeaveList(std::move(last), true);
        Start();
        SignalAt(SIGTERM, c.at);
        ASSERT_TRUE(Fired()) << "the job never reached its moment";
        EXPECT_EQ(program.Wait(60000), 0) << ReadFile(Errors());
        sim.SetUnitHook({});
        EXPECT_FALSE(MachineInJob()) << "the machine was left inside the job";
        const SimJob job = MachineJob();
        EXPECT_NE(job.finished, job.aborted);
        if (c.surelyMade) {
            EXPECT_TRUE(job.finished);
        }
        // What the machine made is never asked for again; what it did not
        // make is kept to be made.
        const std::vector<Listed> want{job.finished ? Listed{u"cut", Done, 0} : Listed{u"cut", Manual, 1}};
        EXPECT_EQ(Head(1, true), want);
    }
}

TEST_F(KeptStepsProcess, ACloseThatCannotSaveTheListSaysSoOnStandardErrorAndEndsWithStatusOne)
{
    std::vector<std::unique_ptr<COnePage>> last;
    last.push_back(Square(2000, Manual, u"kept"));
    LeaveList(std::move(last), false);
    Start();
    ASSERT_TRUE(program.WaitLocked(root / "rt"));
    // The list is loaded once a watched file has joined it.
    std::ofstream(root / "m.plt") << "IN;SP1;PU0,0;PD800,0,800,800,0,800,0,0;PU;";
    sim.WithMachine([](CSimMachine& m) { m.state = MachineState::Paused; });  // busy: nothing prints
    fs::rename(root / "m.plt", Data() / "m.plt");
    ASSERT_TRUE(WaitFor([&] { return NextStartsList().size() == 2; }, 60000));
    // The file's place taken by a folder that is not empty: no save can replace it.
    fs::remove(LastTask());
    fs::create_directories(LastTask() / "in the way");
    EXPECT_EQ(program.Signal(SIGTERM, 60000), 1);
    const std::string err = ReadFile(Errors());
    EXPECT_NE(err.find("任务列表无法保存到 " + LastTask().string()), std::string::npos) << err;
}
