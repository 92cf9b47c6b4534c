// A job that stopped part-way went back to Manual with nothing said, or was
// explained in the language of its start instead of the language of now.
#include <gtest/gtest.h>

#include "jobs/JobStopNote.h"
#include "model/Text.h"
#include "link/LinkState.h"
#include "tests/app/support/AppFixture.h"

using namespace appfix;

TEST(JobStopNote, SaysWhichJobStoppedAndWhyInTheLanguageOfNow)
{
    SettingsGuard guard;
    struct Case {
        int language;
        JobEndFacts facts;
        const char* expected;  // the whole note; empty: nothing to say
    };
    const auto facts = [](int result, const char* key, bool cut, uint8_t status) {
        JobEndFacts f;
        f.result = result;
        f.jobName = u"/data/PlotDirMm/marker 7.plt";
        if (key != nullptr) f.messageKey = key;
        f.messageText = u"as the thread said it";
        f.cutPassFailed = cut;
        f.machineStatus = status;
        return f;
    };
    const Case cases[] = {
        {1, facts(1, nullptr, false, MachineState::Ready), ""},
        {1, facts(2, nullptr, false, MachineState::Plotting),
         "Job \"marker 7.plt\" stopped: the machine stopped answering. It and the jobs waiting are Manual now."},
        {1, facts(2, nullptr, false, 0x16), "Job \"marker 7.plt\" stopped: the machine stopped answering."},
        {0, facts(2, nullptr, false, MachineState::Offline), "任务 \"marker 7.plt\" 已停止: 机器无响应。"},
        {1, facts(2, nullptr, false, MachineState::Ready), "stopped: cancelled, the machine is ready again."},
        {1, facts(2, nullptr, false, MachineState::MemError), "stopped: the machine reported a memory error."},
        {1, facts(2, nullptr, false, MachineState::SeekZero), "stopped: the machine left printing (state 7)."},
        // A knife pass refused while the machine still plots.
        {1, facts(2, nullptr, true, MachineState::Plotting), "stopped: a knife pass could not be sent."},
        // The thread's own message, said in the language of now.
        {0, facts(2, "SendCommandFailed", false, MachineState::Ready), "已停止: 发送命令失败，请重试。该任务"},
        {2, facts(2, "WidthExceeded", true, MachineState::Ready),
         "stopped: Plot width (add start position) bigger than machine width. It"},
        {1, facts(2, "NoSuchKey", false, MachineState::Ready), "stopped: as the thread said it."},
        // A knife pass too long for the machine's buffer names the limit, refused
        // at the start or at the pass (the thread's key wins over "could not be sent").
        {1, facts(2, "KnifePassTooLong", false, MachineState::Ready), "more than 50,000 knife points"},
        {1, facts(2, "KnifePassRefused", true, MachineState::Plotting), "more than 50,000 knife points"},
        {0, facts(2, "KnifePassRefused", true, MachineState::Plotting), "超过50000个刀点"},
        {0, facts(2, "KnifePassTooLong", false, MachineState::Ready), "超过50000个刀点"},
    };
    for (const Case& c : cases) {
        theSettings.Set(Slot::Language, c.language);
        const std::string note = ToUtf8(JobStopNote(c.facts));
        SCOPED_TRACE(c.expected);
        if (*c.expected == '\0') EXPECT_TRUE(note.empty()) << note;
        else EXPECT_NE(note.find(c.expected), std::string::npos) << note;
    }

    // A job no longer known by name still says that a job stopped.
    theSettings.Set(Slot::Language, 1);
    JobEndFacts unnamed = facts(2, nullptr, false, MachineState::Plotting);
    unnamed.jobName.clear();
    EXPECT_EQ(ToUtf8(JobStopNote(unnamed)).rfind("The job stopped: ", 0), 0u);
}
