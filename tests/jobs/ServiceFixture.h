// Guards job-service tests against a link, a sending thread, a watched folder or settings left over from the test before.
#pragma once
// The job service without a window: a recording observer, the sending
// thread's reports brought to the test's thread as the window's hub brings
// them to the UI thread (the thread waits until its report has run), and the
// simulated machine over loopback TCP.
#include <netinet/in.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "jobs/JobService.h"
#include "link/LinkState.h"
#include "link/MyEth.h"
#include "link/job/JobStart.h"
#include "model/MachineParams.h"
#include "tests/app/support/AppFixture.h"
#include "tests/support/SimLink.h"
#include "tools/machine-sim/MachineSim.h"

namespace servicefix {

using namespace appfix;

// What the service told, in order.
struct Told : CJobServiceObserver {
    std::vector<std::string> events;
    std::vector<JobNote> notes;
    void ListChanged(int showIndex) override { events.push_back("list " + std::to_string(showIndex)); }
    void JobProgress(int index) override { events.push_back("progress " + std::to_string(index)); }
    void MachineChanged() override { events.push_back("machine"); }
    void Noted(const JobNote& note) override
    {
        events.push_back(note.box ? "box" : "note");
        notes.push_back(note);
    }
    int Count(const std::string& what) const { return static_cast<int>(std::count(events.begin(), events.end(), what)); }
    std::string LastNote() const { return notes.empty() ? std::string() : ToUtf8(notes.back().text); }
};

// The sending thread's reports, each run on the test's thread by Deliver()
// while the sender waits; once closed they return at once, as the hub's do
// once the program quits.
class Mailbox : public CJobObserver {
public:
    explicit Mailbox(CJobObserver& to) : m_to(to) {}
    void BandSent(int32_t band, int result, int32_t bytes) override
    {
        Post([=, this] { m_to.BandSent(band, result, bytes); });
    }
    void CutPassSent(int32_t pass, int32_t records, int result) override
    {
        Post([=, this] { m_to.CutPassSent(pass, records, result); });
    }
    void LastStepSent() override
    {
        Post([this] { m_to.LastStepSent(); });
    }
    void Message(const char* key, const std::u16string& text) override
    {
        Post([k = std::string(key != nullptr ? key : ""), text, this] { m_to.Message(k.c_str(), text); });
    }
    void JobFinished(int result) override
    {
        Post([=, this] { m_to.JobFinished(result); });
    }
    // Runs what has arrived; waits up to ms for the first.
    void Deliver(int ms = 20)
    {
        std::unique_lock<std::mutex> lock(m_lock);
        m_cv.wait_for(lock, std::chrono::milliseconds(ms), [&] { return !m_posted.empty(); });
        while (!m_posted.empty()) {
            auto f = std::move(m_posted.front());
            m_posted.pop_front();
            lock.unlock();
            f();
            lock.lock();
            ++m_done;
            m_cv.notify_all();
        }
    }
    void Close()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_closed = true;
        m_cv.notify_all();
    }

private:
    void Post(std::function<void()> f)
    {
        std::unique_lock<std::mutex> lock(m_lock);
        if (m_closed) return;
        m_posted.push_back(std::move(f));
        const uint64_t mine = m_done + m_posted.size();
        m_cv.notify_all();
        m_cv.wait(lock, [&] { return m_closed || m_done >= mine; });
    }

    CJobObserver& m_to;
    // All below under m_lock: the sending thread posts, the test's thread delivers.
    std::mutex m_lock;
    std::condition_variable m_cv;
    std::deque<std::function<void()>> m_posted;
    uint64_t m_done = 0;
    bool m_closed = false;
};

class ServiceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseProgramFolder(program);
        SetDefaultMachineParams();
        service.SetObserver(&told);
        service.SetReportsTo(&mailbox);
        service.Begin();
    }
    void TearDown() override
    {
        mailbox.Close();
        if (g_pSendJobThread) {
            g_pSendJobThread->Join();
            g_pSendJobThread.reset();
        }
        WorkPage.DeleteAllCurves();
        StopMachine();
        theSettings.DataDirMm.clear();
        theSettings.DataDirMil.clear();
    }

    // The simulated machine, linked as the program links it (short time-outs).
    void StartMachine(const std::string& faults = {})
    {
        testsupport::LinkToSim(sim, faults, service.jobLink);
        if (HasFatalFailure()) return;
        service.StartLinkThread();
        machine = true;
    }
    void StopMachine()
    {
        if (!machine) return;
        theSettings.Set(Slot::Quitting, 1);
        service.JoinLinkThread([] { std::this_thread::sleep_for(std::chrono::milliseconds(5)); });
        testsupport::UnlinkFromSim(sim);
        machine = false;
    }
    // Ticks and delivers the reports until done() or ms have passed.
    bool RunUntil(const std::function<bool()>& done, int ms = 20000)
    {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (!done()) {
            if (std::chrono::steady_clock::now() > until) return false;
            service.StartTick();
            mailbox.Deliver();
        }
        return true;
    }
    // The list as kept, once the keeper's writer has put it on disk.
    std::vector<int32_t> StatesOnDisk()
    {
        const CLastTaskKeeper& keeper = service.Keeper();
        if (!keeper.WaitDurable(keeper.Ticket(), std::chrono::seconds(10))) return {-2};
        PageList pages;
        if (LoadTaskFile(theSettings.Path(Slot::LastTaskPath), pages) != TaskFileStatus::Ok) return {-1};
        return States(pages);
    }

    SettingsGuard guard;
    TempDir program;
    CJobService service;
    COrlatCenterDoc& doc = service.Doc();
    Told told;
    Mailbox mailbox{service};
    CMachineSim sim;
    bool machine = false;
};

}  // namespace servicefix
