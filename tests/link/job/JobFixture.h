#pragma once
// A job sent over real loopback TCP to the simulated machine: the transport,
// the queue and short time-outs of the job's own, and an observer that records.
#include <gtest/gtest.h>

#include <netinet/in.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "link/job/JobObserver.h"
#include "link/job/JobSender.h"
#include "link/job/JobStart.h"
#include "link/KeyQueue.h"
#include "link/LinkState.h"
#include "link/MyCommu.h"
#include "link/MyEth.h"
#include "link/MyUSB.h"
#include "model/MachineParams.h"
#include "model/Page.h"
#include "model/Settings.h"
#include "tests/support/GlobalsGuard.h"
#include "tests/support/PageBuilder.h"
#include "tools/machine-sim/MachineSim.h"

using testsupport::AddCurve;

// Records the sending thread's reports: "B<j>" per ink step, "C<i>" per cut pass.
class RecordingObserver final : public CJobObserver {
public:
    // Called on the sending thread after band j's step (before the next wait).
    std::function<void(int32_t band)> onBand;
    // Called on the sending thread when the last step is done (before the end command).
    std::function<void()> onLastStep;

    void BandSent(int32_t band, int result, int32_t) override
    {
        {
            std::lock_guard<std::mutex> l(m_lock);
            steps.push_back("B" + std::to_string(band));
            if (result != 0) ++failedBands;
        }
        if (onBand) onBand(band);
    }
    void CutPassSent(int32_t pass, int32_t records, int) override
    {
        std::lock_guard<std::mutex> l(m_lock);
        steps.push_back("C" + std::to_string(pass));
        knifeRecords += records;
    }
    void LastStepSent() override
    {
        {
            std::lock_guard<std::mutex> l(m_lock);
            ++lastSteps;
        }
        if (onLastStep) onLastStep();
    }
    void Message(const char* key, const std::u16string&) override
    {
        std::lock_guard<std::mutex> l(m_lock);
        messages.push_back(key);
    }
    void JobFinished(int r) override
    {
        std::lock_guard<std::mutex> l(m_lock);
        result = r;
        m_done.notify_all();
    }
    // The job's result, or -1 when it has not ended within ms.
    int WaitResult(int ms)
    {
        std::unique_lock<std::mutex> l(m_lock);
        m_done.wait_for(l, std::chrono::milliseconds(ms), [&] { return result >= 0; });
        return result;
    }

    std::vector<std::string> steps;
    std::vector<std::string> messages;
    int failedBands = 0;
    int lastSteps = 0;
    int32_t knifeRecords = 0;
    int result = -1;

private:
    std::mutex m_lock;
    std::condition_variable m_done;
};

class JobOnSim : public ::testing::Test {
protected:
    void SetUp() override
    {
        sim.SetLogToStderr(false);
        ASSERT_GT(sim.Start(0), 0);
        theEthOptions.port = sim.Port();
        theEthOptions.addressOverride = INADDR_LOOPBACK;
        theEthOptions.connectTimeoutMs = 300;
        theEthOptions.replyTimeoutMs = 150;
        theSettings.Set(Slot::ConnectViaEth, 1);
        theSettings.Set(Slot::LineWidth, 2);
        theSettings.Set(Slot::PlotCutLine, 0);
        theSettings.Set(Slot::BiDirPlot, 1);
        theSettings.Set(Slot::CleanThickness, 3);
        g_jobActive = false;
        MachineStatus = 0;
        MachineParams p{};
        FillDefaultMachineParams(p);
        p.angleComp = 0;
        StoreMachineParams(p);
        queue.Clear();
    }
    void TearDown() override
    {
        if (g_pSendJobThread) g_pSendJobThread->Join();
        g_pSendJobThread.reset();
        sim.Stop();
    }

    JobLink Link()
    {
        JobLink l;
        l.commu = &commu;
        l.queue = &queue;
        l.timings.readyPauseMs = 2;
        l.timings.pollRetryMs = 50;
        l.timings.linkLostMs = 300;
        return l;
    }
    void Fault(const char* fault)
    {
        SimFaults f;
        ASSERT_TRUE(ApplyFault(fault, f)) << fault;
        sim.SetFaults(f);
    }
    // Starts the job on the sending thread and waits for its end.
    int RunJob(const COnePage& job, RecordingObserver& obs, int waitMs = 8000)
    {
        EXPECT_EQ(StartPlot(job, obs, Link()), 0);
        const int r = obs.WaitResult(waitMs);
        if (g_pSendJobThread) g_pSendJobThread->Join();
        g_pSendJobThread.reset();
        return r;
    }
    // Codes of the frames the machine received, in order (data chunks as -1).
    std::vector<int> Codes()
    {
        std::vector<int> out;
        for (const SimUnit& u : sim.Received()) out.push_back(u.chunk || u.bytes.size() < 2 ? -1 : u.bytes[1]);
        return out;
    }
    // Whether pred comes true within ms: a wait on what the test needs, as
    // long as a loaded machine may take, never a guess of how long it takes.
    static bool WaitUntil(const std::function<bool()>& pred, int ms = 20000)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (!pred()) {
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }
    bool WaitSimState(uint8_t state)
    {
        return WaitUntil([&] { return sim.WithMachine([](CSimMachine& m) { return m.state; }) == state; });
    }
    SimJob Job()
    {
        return sim.WithMachine([](CSimMachine& m) { return m.job; });
    }
    MachineParams SimParams()
    {
        return sim.WithMachine([](CSimMachine& m) { return m.params; });
    }

    // Settings, parameter block, TCP options, job flag and WorkPage come back as they were.
    testsupport::GlobalsGuard guard;
    CMachineSim sim;
    CMyUSB usb;
    CMyEth eth;
    CMyCommu commu{usb, eth};
    CKeyQueue queue;
};

