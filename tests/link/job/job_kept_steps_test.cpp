// Guards a job start or a copy's end command going out before the job list that accounts for it is on disk,
// a job sent although its list could not be kept, and a cancel that sends a job start, leaves the machine inside
// the job, or takes back a copy the machine has made.
#include <algorithm>

#include "link/LinkCommand.h"
#include "link/output/BandCounters.h"
#include "tests/link/job/JobFixture.h"

namespace {

// A printed frame and a cut rectangle over several bands.
void FillPage(COnePage& page)
{
    AddCurve(page, {{400, 400}, {19000, 400}, {19000, 11600}, {400, 11600}, {400, 400}}, CurveKind::Plot);
    AddCurve(page, {{1200, 1200}, {18200, 1200}, {18200, 10800}, {1200, 10800}, {1200, 1200}}, CurveKind::Cut);
    page.CalcPageBounds();
}

bool Has(const std::vector<int>& codes, int code) { return std::find(codes.begin(), codes.end(), code) != codes.end(); }

class KeptSteps : public JobOnSim {
protected:
    // The sending thread's events in order: "wait" for each call of the
    // list's hook, "last" for the last step's report. Written by the sending
    // thread, read once it has been joined.
    std::vector<std::string> events;
    // What the machine had received at each wait.
    std::vector<std::vector<int>> codesAtWait;
    // The hook's answers, in order (true once they run out).
    std::vector<bool> kept;
    std::shared_ptr<std::atomic<bool>> cancel = std::make_shared<std::atomic<bool>>(false);

    JobLink KeptLink()
    {
        JobLink l = Link();
        l.cancel = cancel;
        l.waitDurable = [this] {
            events.push_back("wait");
            codesAtWait.push_back(Codes());
            const size_t k = codesAtWait.size() - 1;
            return k < kept.size() ? kept[k] : true;
        };
        return l;
    }
    int Run(const COnePage& job, RecordingObserver& obs)
    {
        obs.onLastStep = [this, old = obs.onLastStep] {
            events.push_back("last");
            if (old) old();
        };
        EXPECT_EQ(StartPlot(job, obs, KeptLink()), 0);
        const int r = obs.WaitResult(8000);
        if (g_pSendJobThread) g_pSendJobThread->Join();
        g_pSendJobThread.reset();
        return r;
    }
};

}  // namespace

TEST_F(KeptSteps, TheListIsWaitedForBeforeTheJobStartAndAgainAfterTheLastStepBeforeTheEndCommand)
{
    COnePage job;
    FillPage(job);
    RecordingObserver obs;
    ASSERT_EQ(Run(job, obs), 1);
    EXPECT_EQ(events, (std::vector<std::string>{"wait", "last", "wait"}));
    ASSERT_EQ(codesAtWait.size(), 2u);
    EXPECT_FALSE(Has(codesAtWait[0], LinkCommand::JobStart)) << "the machine heard of the job first";
    EXPECT_TRUE(Has(codesAtWait[1], LinkCommand::KnifeHeader));
    EXPECT_EQ(static_cast<int32_t>(Job().bands.size()), InkBandCount.load()) << "the copy was counted before it was made";
    EXPECT_FALSE(Has(codesAtWait[1], LinkCommand::JobFinished));
    EXPECT_EQ(Codes().back(), LinkCommand::JobFinished);
    EXPECT_TRUE(Job().finished);
}

TEST_F(KeptSteps, AListThatCannotBeKeptRefusesTheJobStartButNeverHoldsAMadeCopysEnd)
{
    {
        SCOPED_TRACE("before the start");
        kept = {false};
        COnePage job;
        FillPage(job);
        RecordingObserver obs;
        EXPECT_EQ(Run(job, obs), 2);
        EXPECT_EQ(obs.messages, (std::vector<std::string>{"ListNotKept"}));
        EXPECT_EQ(obs.lastSteps, 0);
        const std::vector<int> codes = Codes();
        for (int code : {int(LinkCommand::JobStart), int(LinkCommand::JobFinished), int(LinkCommand::JobAbort)})
            EXPECT_FALSE(Has(codes, code)) << code;
    }
    {
        SCOPED_TRACE("before the end");
        sim.ClearReceived();
        events.clear();
        codesAtWait.clear();
        kept = {true, false};
        COnePage job;
        FillPage(job);
        RecordingObserver obs;
        EXPECT_EQ(Run(job, obs), 1);
        EXPECT_TRUE(obs.messages.empty());
        EXPECT_EQ(Codes().back(), LinkCommand::JobFinished);
        EXPECT_TRUE(Job().finished);
    }
}

TEST_F(KeptSteps, ACancelEndsTheJobAsTheOperatorsDeleteWouldAndKeepsAMadeCopy)
{
    enum class When { BeforeStart, WhileWaitingForTheList, BetweenBands, WhilePaused, AfterTheLastStep };
    struct Case {
        const char* what;
        When when;
        int result;
    };
    const Case cases[] = {
        {"before the start", When::BeforeStart, 2},
        {"while the start waits for the list", When::WhileWaitingForTheList, 2},
        {"between bands", When::BetweenBands, 2},
        {"while the machine is paused", When::WhilePaused, 2},
        {"after the last step", When::AfterTheLastStep, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sim.ClearReceived();
        sim.WithMachine([](CSimMachine& m) { m.state = MachineState::Ready; });
        events.clear();
        codesAtWait.clear();
        kept.clear();
        cancel->store(c.when == When::BeforeStart);
        COnePage job;
        FillPage(job);
        RecordingObserver obs;
        obs.onBand = [&](int32_t band) {
            if (band == 1 && c.when == When::BetweenBands) cancel->store(true);
            if (band == 0 && c.when == When::WhilePaused) queue.Push(LinkCommand::Pause);
        };
        obs.onLastStep = [&] {
            if (c.when == When::AfterTheLastStep) cancel->store(true);
        };
        JobLink l = KeptLink();
        if (c.when == When::WhileWaitingForTheList) {
            l.waitDurable = [this] {
                cancel->store(true);
                return true;
            };
        }
        ASSERT_EQ(StartPlot(job, obs, l), 0);
        if (c.when == When::WhilePaused) {
            EXPECT_TRUE(WaitSimState(MachineState::Paused));
            cancel->store(true);
        }
        EXPECT_EQ(obs.WaitResult(8000), c.result);
        if (g_pSendJobThread) g_pSendJobThread->Join();
        g_pSendJobThread.reset();
        EXPECT_TRUE(obs.messages.empty()) << obs.messages.front();

        const std::vector<int> codes = Codes();
        const SimJob rec = Job();
        EXPECT_FALSE(sim.WithMachine([](CSimMachine& m) { return m.InJob(); })) << "the machine was left inside the job";
        switch (c.when) {
        case When::BeforeStart:
        case When::WhileWaitingForTheList:
            EXPECT_FALSE(Has(codes, LinkCommand::JobStart));
            EXPECT_FALSE(Has(codes, LinkCommand::JobAbort));
            break;
        case When::BetweenBands:
        case When::WhilePaused: {
            EXPECT_TRUE(rec.aborted);
            EXPECT_LT(static_cast<int32_t>(rec.bands.size()), InkBandCount.load());
            // Pause, then delete, then the abort as the end command.
            const auto pause = std::find(codes.rbegin(), codes.rend(), int(LinkCommand::Pause));
            ASSERT_NE(pause, codes.rend());
            EXPECT_EQ(std::vector<int>(codes.rbegin(), pause), (std::vector<int>{LinkCommand::JobAbort, LinkCommand::JobAbort}));
            EXPECT_EQ(obs.lastSteps, 0);
            break;
        }
        case When::AfterTheLastStep:
            EXPECT_TRUE(rec.finished);
            EXPECT_FALSE(Has(codes, LinkCommand::Pause));
            EXPECT_EQ(codes.back(), LinkCommand::JobFinished);
            break;
        }
    }
}
