// Guards: bar buttons acting outside their state, a start turning the wrong job Auto, a jog hold without one stop.
#include <gtest/gtest.h>

#include <vector>

#include "app/controlbar/BarControls.h"
#include "app/controlbar/BarDecisions.h"
#include "app/controlbar/JogHold.h"
#include "model/Page.h"

namespace {

TEST(BarDecisions, ClickActsOnlyInItsState)
{
    struct Row {
        int id;
        uint8_t status;
        bool checked;
        int code;  // -1: nothing
    };
    const Row rows[] = {
        {BarControl::Knife, 1, true, 8},   {BarControl::Knife, 1, false, 9},  {BarControl::Knife, 3, true, -1},
        {BarControl::Fan, 1, true, 5},     {BarControl::Fan, 1, false, 6},    {BarControl::Fan, 0x11, true, 5},
        {BarControl::Fan, 4, true, -1},    {BarControl::Clean, 1, false, 7},  {BarControl::Clean, 2, false, -1},
        {BarControl::Delete, 4, false, 11}, {BarControl::Delete, 3, false, -1}, {BarControl::Pause, 3, false, 13},
        {BarControl::Pause, 0x13, false, 13}, {BarControl::Pause, 4, false, -1}, {BarControl::JogUp, 1, false, -1},
        {BarControl::Start, 1, false, -1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.id << " status " << int(r.status));
        const auto code = ClickCode(r.id, r.status, r.checked);
        EXPECT_EQ(code ? int(*code) : -1, r.code);
    }
}

TEST(BarDecisions, StartTurnsOnlyTheFirstManualJobAuto)
{
    using namespace JobState;
    std::vector<int32_t> jobs = {Done, Manual, Manual};
    StartDecision d = DecideStart(false, 1, jobs);
    ASSERT_EQ(d.kind, StartDecision::MakeAuto);
    EXPECT_EQ(d.jobIndex, 1);
    jobs[size_t(d.jobIndex)] = Auto;
    // A second press while that job waits as Auto does nothing.
    EXPECT_EQ(DecideStart(false, 1, jobs).kind, StartDecision::Nothing);
    EXPECT_EQ(DecideStart(false, 0, std::vector<int32_t>{Done, Done}).kind, StartDecision::Nothing);
    EXPECT_EQ(DecideStart(false, 0, std::vector<int32_t>{}).kind, StartDecision::Nothing);
    // The machine's state does not matter without a job: the start tick waits for Ready.
    EXPECT_EQ(DecideStart(false, 6, std::vector<int32_t>{Manual}).kind, StartDecision::MakeAuto);
}

TEST(BarDecisions, StartWhileAJobRunsResumesOnlyWhenPaused)
{
    const std::vector<int32_t> jobs = {JobState::Printing, JobState::Manual};
    EXPECT_EQ(DecideStart(true, 4, jobs).kind, StartDecision::Resume);
    EXPECT_EQ(DecideStart(true, 0x14, jobs).kind, StartDecision::Resume);
    EXPECT_EQ(DecideStart(true, 3, jobs).kind, StartDecision::Nothing);
    EXPECT_EQ(DecideStart(true, 1, jobs).kind, StartDecision::Nothing);
}

class JogHoldTest : public ::testing::Test {
protected:
    std::vector<int> pushed;
    CJogHold hold{[this](uint8_t c) {
        pushed.push_back(c);
        return 0;
    }};
};

TEST_F(JogHoldTest, SequencesOfPressesAndReleases)
{
    hold.Hold(BarControl::JogUp, 1);
    hold.Hold(BarControl::JogUp, 0);
    EXPECT_EQ(pushed, (std::vector<int>{1, 0}));
    pushed.clear();
    hold.Hold(BarControl::Start, 1);
    hold.Hold(BarControl::Start, 0);
    EXPECT_EQ(pushed, (std::vector<int>{0}));
    pushed.clear();
    // A double click: two press/release pairs.
    for (int i = 0; i < 2; ++i) {
        hold.Hold(BarControl::JogRight, 1);
        hold.Hold(BarControl::JogRight, 0);
    }
    EXPECT_EQ(pushed, (std::vector<int>{4, 0, 4, 0}));
    EXPECT_FALSE(hold.Holding());
}

TEST_F(JogHoldTest, AHoldEndedEarlyGivesOneStop)
{
    hold.Hold(BarControl::JogLeft, 1);
    hold.EndAll();  // the window lost activation
    hold.Hold(BarControl::JogLeft, 0);  // the late release of the same hold
    hold.EndAll();
    EXPECT_EQ(pushed, (std::vector<int>{3, 0}));
}

}  // namespace
