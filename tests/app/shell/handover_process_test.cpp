// Guards the files of a second start (a file manager's "Open" while the program runs): once raised the first and dropped them, or said it had them when it had not.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "model/Page.h"
#include "model/TaskFile.h"
#include "model/Text.h"
#include "tests/app/support/ProgramProcess.h"

namespace fs = std::filesystem;
using testsupport::ChildProcess;

namespace {

const fs::path kProgram = testsupport::BuiltProgram();

// One running program on a program folder of its own, offscreen, and the
// later starts that hand it files.
class HandOver : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!fs::exists(kProgram)) GTEST_SKIP() << "the program is not built";
        root = fs::path(ORLAT_BINARY_DIR) / ("handover_process_" + std::to_string(::getpid()));
        fs::remove_all(root);
        testsupport::MakeRuntimeFolder(root / "rt");
        prog = root / "prog";
        in = root / "in";
        fs::create_directories(prog);
        fs::create_directories(in);
        // English boxes; jobs stay Manual (no machine here).
        std::ofstream(prog / "OrlatV2.ini") << "[Para]\nLanguage=1\nAutoStart=0\n";
        first = Start({"--program-dir", prog.string()}, "first");
        ASSERT_TRUE(first.WaitLocked(root / "rt")) << Log("first");
    }
    void TearDown() override
    {
        if (first.Running()) ::kill(first.Pid(), SIGCONT);
        first.Kill();
        fs::remove_all(root);
    }

    ChildProcess Start(std::vector<std::string> args, const std::string& name)
    {
        testsupport::Launch l = testsupport::Offscreen(root / "rt", std::move(args));
        l.out = root / (name + ".log");
        l.errWithOut = true;
        ChildProcess p;
        p.Start(kProgram, l);
        return p;
    }
    std::string Log(const std::string& name) const { return testsupport::ReadFile(root / (name + ".log")); }

    fs::path Marker(const std::string& name) const
    {
        const fs::path p = in / name;
        std::ofstream(p, std::ios::binary) << "IN;SP1;PU0,0;PD4000,0,4000,4000,0,4000,0,0;PU;";
        return p;
    }
    // The jobs as the running program keeps them in its last-task file.
    std::vector<std::u16string> Listed() const
    {
        std::vector<std::unique_ptr<COnePage>> pages;
        if (LoadTaskFile(FromUtf8((prog / "last2107.orlattask").string()), pages) != TaskFileStatus::Ok) return {};
        std::vector<std::u16string> names;
        for (const auto& p : pages) names.push_back(p->m_strFileName);
        return names;
    }
    bool WaitListed(const std::vector<std::u16string>& want) const
    {
        return testsupport::WaitFor([&] { return Listed() == want; }, 30000, 50);
    }
    static std::u16string U(const fs::path& p) { return FromUtf8(p.string()); }

    fs::path root, prog, in;
    ChildProcess first;
};

TEST_F(HandOver, TheFirstListsWhatASecondStartNamesAndTheSecondEndsOnceItHasThem)
{
    // A task file of two jobs, a marker and a file that is not there.
    std::vector<std::unique_ptr<COnePage>> task;
    for (const char* name : {"/cad/one.plt", "/cad/two.plt"}) {
        task.push_back(std::make_unique<COnePage>());
        task.back()->m_strFileName = FromUtf8(name);
    }
    const fs::path taskFile = in / "two jobs.orlattask";
    ASSERT_EQ(SaveTaskFile(U(taskFile), task), TaskFileStatus::Ok);
    const fs::path marker = Marker("a.plt");

    ChildProcess second = Start({"--program-dir", prog.string(), marker.string(), taskFile.string(),
                                 (in / "gone.plt").string()}, "second");
    EXPECT_EQ(second.Wait(30000), 0) << Log("second");
    EXPECT_EQ(Log("second"), "");
    // The task file opened as the open command opens it, then the marker
    // added; the missing file is a box ("Open File Failed!") and the first runs on.
    EXPECT_TRUE(WaitListed({u"/cad/one.plt", u"/cad/two.plt", U(marker)})) << Log("first");
    EXPECT_EQ(::kill(first.Pid(), 0), 0);
}

TEST_F(HandOver, AFirstThatDoesNotAnswerLeavesTheSecondToSaySoAndExitNonZero)
{
    const fs::path early = Marker("early.plt");
    ChildProcess start = Start({"--program-dir", prog.string(), early.string()}, "start");
    ASSERT_EQ(start.Wait(30000), 0) << Log("start");
    ASSERT_TRUE(WaitListed({U(early)})) << Log("first");

    // Stopped, the first holds its lock and its socket takes the bytes, but
    // nobody answers: the second names the files, says why and fails.
    ASSERT_EQ(::kill(first.Pid(), SIGSTOP), 0);
    const fs::path lost = Marker("lost.plt");
    ChildProcess second = Start({"--program-dir", prog.string(), lost.string()}, "second");
    const bool said = testsupport::WaitFor([&] { return Log("second").find(lost.string()) != std::string::npos; }, 40000, 50);
    EXPECT_TRUE(said) << Log("second");
    const std::string why = Log("second");
    EXPECT_NE(why.find("did not take these files (no answer within 10 s)"), std::string::npos) << why;
    // Its box (the same words) closes on a signal; the status stays a failure.
    EXPECT_EQ(second.Signal(SIGTERM, 30000), 1) << Log("second");

    // Woken, the first finds the asker gone and takes nothing of it; the
    // next start's file comes after the early one alone.
    ASSERT_EQ(::kill(first.Pid(), SIGCONT), 0);
    const fs::path later = Marker("later.plt");
    ChildProcess third = Start({"--program-dir", prog.string(), later.string()}, "third");
    EXPECT_EQ(third.Wait(30000), 0) << Log("third");
    EXPECT_TRUE(WaitListed({U(early), U(later)})) << Log("first");
}

}  // namespace
