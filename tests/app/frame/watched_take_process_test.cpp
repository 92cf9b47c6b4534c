// Guards the real program against losing a watched file's job or printing it twice: a kill at the delete of the file or just before its list is saved, a full or read-only program folder, a read-only watched folder over three runs, and one folder named as both data directories.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "jobs/TakenSourcesFile.h"
#include "model/Page.h"
#include "model/TaskFile.h"
#include "model/Text.h"
#include "tests/app/support/ProgramProcess.h"
#include "tools/machine-sim/MachineSim.h"

namespace fs = std::filesystem;
using testsupport::WaitFor;

namespace {

const fs::path kProgram = testsupport::BuiltProgram();
constexpr int kLong = 40000;

struct Listed {
    std::string name;  // the last part of the job's name
    int32_t state;
    int32_t width;
};

class WatchedProcess : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!fs::exists(kProgram)) GTEST_SKIP() << "the program is not built";
        root = fs::path(ORLAT_BINARY_DIR) / ("watched_take_" + std::to_string(::getpid()));
        Unmount();
        fs::remove_all(root);
        testsupport::MakeRuntimeFolder(root / "rt");
        fs::create_directories(Prog());
        fs::create_directories(Data());
        sim.SetLogToStderr(false);
        ASSERT_GT(sim.Start(0), 0);
    }
    void TearDown() override
    {
        program.Kill();
        sim.Stop();
        Unmount();
        if (!HasFailure() && !root.empty()) {
            std::error_code ec;
            fs::permissions(Data(), fs::perms::owner_all, fs::perm_options::add, ec);
            fs::remove_all(root, ec);
        }
    }

    fs::path Prog() const { return root / "prog"; }
    // Outside the program folder: it stays writable while that one is not.
    fs::path Data() const { return root / "data"; }
    fs::path LastTask() const { return Prog() / "last2107.orlattask"; }
    fs::path Record() const { return Prog() / kTakenSourcesName; }

    void WriteIni(int autoStart, bool oneFolder = false)
    {
        const fs::path mil = oneFolder ? Data() : Prog() / "DataMil";
        std::ofstream(Prog() / "OrlatV2.ini")
            << "[Para]\nConnectViaEth=1\nMachineIP=16777343\nAutoAddToList=1\nAutoDelFinish=0\nAutoRotate=0\n"
               "UnitNoHintNextTime=1\nAutoStart="
            << autoStart << "\nDataDirMm=" << Data().string() << "/\nDataDirMil=" << mil.string() << "/\n";
    }
    void Start(const std::string& stopAt = {}, bool withoutOverrides = false)
    {
        testsupport::Launch l = testsupport::Offscreen(
            root / "rt", {"--program-dir", Prog().string(), "--machine-port", std::to_string(sim.Port())});
        if (!stopAt.empty()) l.set.push_back("ORLAT_STOP_AT=" + stopAt);
        l.withoutOverrides = withoutOverrides;
        l.err = root / "stderr.txt";
        ASSERT_TRUE(program.Start(kProgram, l)) << program.Error();
    }
    // A marker of a square `side` units wide, renamed into the folder whole.
    void Drop(const std::string& name, int side)
    {
        const std::string s = std::to_string(side);
        std::ofstream(root / "drop.tmp") << "IN;SP1;PU0,0;PD" << s << ",0," << s << "," << s << ",0," << s << ",0,0;PU;";
        fs::rename(root / "drop.tmp", Data() / name);
    }
    bool InFolder(const std::string& name) const { return fs::exists(Data() / name); }

    // The list the next start loads, read as the program reads it.
    std::vector<Listed> Kept() const
    {
        std::vector<Listed> l;
        std::vector<std::unique_ptr<COnePage>> pages;
        if (LoadTaskFile(FromUtf8(LastTask().string()), pages) != TaskFileStatus::Ok) return l;
        for (const auto& p : pages) {
            const std::string n = ToUtf8(p->m_strFileName);
            l.push_back({n.substr(n.rfind('/') + 1), p->m_state, p->m_maxX - p->m_minX});
        }
        return l;
    }
    std::multiset<std::string> KeptNames() const
    {
        std::multiset<std::string> names;
        for (const Listed& l : Kept()) names.insert(l.name);
        return names;
    }
    bool AllDone(size_t jobs) const
    {
        const std::vector<Listed> l = Kept();
        return l.size() == jobs && std::all_of(l.begin(), l.end(), [](const Listed& j) { return j.state == JobState::Done; });
    }
    // The job starts the machine logged, by the job's length.
    std::vector<int32_t> JobStarts()
    {
        std::vector<int32_t> lengths;
        for (const SimUnit& u : sim.Received()) {
            if (u.chunk) continue;
            const std::string line = CSimMachine::Describe(u);
            const size_t at = line.find(" length=");
            if (at != std::string::npos) lengths.push_back(std::stoi(line.substr(at + 8)));
        }
        return lengths;
    }
    // Each of `jobs` markers went to the machine once: as many starts as
    // markers, no length twice.
    void PrintedOnceEach(size_t jobs)
    {
        const std::vector<int32_t> starts = JobStarts();
        EXPECT_EQ(starts.size(), jobs);
        EXPECT_EQ(std::set<int32_t>(starts.begin(), starts.end()).size(), jobs) << "a marker was printed twice";
    }
    // The program is up and taking files once a marker dropped in has
    // printed and its list says so.
    void Probe(const std::string& name, int side, size_t jobsThen)
    {
        Drop(name, side);
        ASSERT_TRUE(WaitFor([&] { return !InFolder(name) && AllDone(jobsThen); }, kLong)) << "the program took nothing";
    }

    // A small file system of its own as the program folder (root only).
    bool MountProgramFolder()
    {
        if (::mount("tmpfs", Prog().c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=1m,mode=0755") != 0) return false;
        mounted = true;
        return true;
    }
    void Unmount()
    {
        if (mounted) ::umount2(Prog().c_str(), MNT_DETACH);
        mounted = false;
    }
    bool Remount(bool readOnly)
    {
        return ::mount(nullptr, Prog().c_str(), nullptr, MS_REMOUNT | MS_NOSUID | MS_NODEV | (readOnly ? MS_RDONLY : 0),
                       nullptr) == 0;
    }
    // Fills the program folder to its last byte.
    void Fill()
    {
        const int fd = ::open((Prog() / "filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        ASSERT_GE(fd, 0);
        const std::string block(65536, 'x');
        while (::write(fd, block.data(), block.size()) > 0) {
        }
        while (::write(fd, "x", 1) == 1) {
        }
        ::close(fd);
        const int probe = ::open((Prog() / "probe").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        const bool wrote = probe >= 0 && ::write(probe, "x", 1) == 1;
        if (probe >= 0) ::close(probe);
        fs::remove(Prog() / "probe");
        ASSERT_FALSE(wrote) << "the folder is not full";
    }

    fs::path root;
    bool mounted = false;
    testsupport::ChildProcess program;
    CMachineSim sim;
};

}  // namespace

TEST_F(WatchedProcess, AKillAtTheDeleteOfATakenFileOrJustBeforeItsListIsSavedLeavesOneJobPrintedOnce)
{
    for (const std::string point : {"source-recorded", "source-unlink"}) {
        SCOPED_TRACE(point);
        fs::remove_all(Prog());
        fs::create_directories(Prog());
        sim.ClearReceived();
        const int endedBefore = sim.JobsEnded();
        WriteIni(1);
        Start(point);
        Drop("m.plt", 2000);
        ASSERT_TRUE(program.WaitStopped()) << program.Error();
        // The instant: the file is still there and the record names it; the
        // list holds its job only past the save.
        EXPECT_TRUE(InFolder("m.plt"));
        const TakenRead record = ReadTakenSources(Record().string());
        ASSERT_EQ(record.status, TakenRead::Ok);
        ASSERT_EQ(record.sources.size(), 1u);
        EXPECT_EQ(record.sources[0].path, (Data() / "m.plt").string());
        EXPECT_FALSE(record.sources[0].kept);
        EXPECT_EQ(KeptNames().count("m.plt"), point == "source-unlink" ? 1u : 0u);
        program.Kill();
        EXPECT_TRUE(JobStarts().empty());

        Start();
        ASSERT_TRUE(WaitFor([&] { return sim.JobsEnded() > endedBefore && AllDone(1) && !InFolder("m.plt"); }, kLong));
        EXPECT_EQ(program.Signal(SIGTERM), 0);
        EXPECT_EQ(KeptNames(), (std::multiset<std::string>{"m.plt"}));
        PrintedOnceEach(1);
        EXPECT_TRUE(ReadTakenSources(Record().string()).sources.empty());
    }
}

TEST_F(WatchedProcess, AFullOrReadOnlyProgramFolderLeavesWatchedFilesWhereTheyAreUntilTheListCanBeSaved)
{
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to mount a small file system";
    enum class Then { Killed, Signalled, SavesAgain };
    const struct Case {
        const char* what;
        bool full;  // else read-only
        Then then;
    } cases[] = {
        {"full, killed", true, Then::Killed},
        {"full, then room again", true, Then::SavesAgain},
        {"read-only, SIGTERM", false, Then::Signalled},
        {"read-only, then writable again", false, Then::SavesAgain},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Unmount();
        fs::remove_all(Prog());
        fs::create_directories(Prog());
        if (!MountProgramFolder()) GTEST_SKIP() << "cannot mount a tmpfs here";
        sim.ClearReceived();
        WriteIni(1);
        Start("take-refused");
        Probe("p0.plt", 1000, 1);
        if (c.full) Fill();
        else ASSERT_TRUE(Remount(true));
        Drop("a.plt", 1400);
        Drop("b.plt", 1800);
        Drop("c.plt", 2200);
        ASSERT_TRUE(program.WaitStopped()) << program.Error();
        const auto unblock = [&] {
            if (c.full) fs::remove(Prog() / "filler");
            else ASSERT_TRUE(Remount(false));
        };
        if (c.then == Then::SavesAgain) {
            unblock();
            program.ContinueWith(0);
        } else {
            if (c.then == Then::Killed) {
                program.Kill();
            } else {
                program.ContinueWith(SIGTERM);
                EXPECT_NE(program.Wait(), -1) << "the close hangs";
            }
            for (const char* name : {"a.plt", "b.plt", "c.plt"}) EXPECT_TRUE(InFolder(name)) << name << " was lost";
            EXPECT_EQ(KeptNames(), (std::multiset<std::string>{"p0.plt"}));
            unblock();
            Start();
        }
        ASSERT_TRUE(WaitFor([&] { return !InFolder("a.plt") && !InFolder("b.plt") && !InFolder("c.plt") && AllDone(4); },
                            kLong));
        EXPECT_EQ(program.Signal(SIGTERM), 0);
        EXPECT_EQ(KeptNames(), (std::multiset<std::string>{"p0.plt", "a.plt", "b.plt", "c.plt"}));
        PrintedOnceEach(4);
    }
}

TEST_F(WatchedProcess, AReadOnlyWatchedFolderTakesAndPrintsEachFileOnceOverThreeRuns)
{
    WriteIni(1);
    // Read-only to the program; the test lets itself in to drop a file.
    const auto dropInto = [&](const std::string& name, int side) {
        fs::permissions(Data(), fs::perms::owner_write, fs::perm_options::add);
        Drop(name, side);
        fs::permissions(Data(), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
    };
    dropInto("a.plt", 1000);
    const std::vector<std::string> sentinels = {"", "b.plt", "c.plt"};
    for (size_t run = 0; run < 3; ++run) {
        SCOPED_TRACE(run + 1);
        // Each later run is known to have passed the file over once a
        // sentinel after it in name order has printed.
        const std::string last = run == 0 ? "a.plt" : sentinels[run];
        if (run > 0) dropInto(last, 1000 + 400 * static_cast<int>(run));
        Start({}, true);
        ASSERT_TRUE(WaitFor(
            [&] {
                const TakenRead r = ReadTakenSources(Record().string());
                return AllDone(run + 1) &&
                       std::any_of(r.sources.begin(), r.sources.end(), [&](const TakenSource& s) {
                           return s.kept && s.path == (Data() / last).string();
                       });
            },
            kLong))
            << "the run did not take " << last;
        EXPECT_EQ(program.Signal(SIGTERM), 0);
        EXPECT_TRUE(InFolder("a.plt"));
    }
    EXPECT_EQ(KeptNames(), (std::multiset<std::string>{"a.plt", "b.plt", "c.plt"}));
    PrintedOnceEach(3);
}

TEST_F(WatchedProcess, OneFolderAsBothDataDirectoriesTakesEachMarkerOnceAtOneSize)
{
    WriteIni(0, true);
    Start();
    const std::vector<std::string> names = {"m1.plt", "m2.plt", "m3.plt", "m4.plt", "m5.plt", "m6.plt"};
    for (const std::string& name : names) Drop(name, 1000);
    ASSERT_TRUE(WaitFor(
        [&] {
            return std::none_of(names.begin(), names.end(), [&](const std::string& n) { return InFolder(n); }) &&
                   Kept().size() == names.size();
        },
        kLong));
    EXPECT_EQ(program.Signal(SIGTERM), 0);
    const std::vector<Listed> kept = Kept();
    EXPECT_EQ(KeptNames(), std::multiset<std::string>(names.begin(), names.end()));
    for (const Listed& l : kept) EXPECT_EQ(l.width, 1000) << l.name << " was taken in mil";
}
