#include "link/CommPoll.h"

#include <mutex>

#include "link/JobCommands.h"
#include "link/KeyQueue.h"
#include "link/LinkClock.h"
#include "link/LinkCommand.h"
#include "link/LinkState.h"
#include "link/MyCommu.h"
#include "link/ParamsLink.h"
#include "model/Settings.h"

std::atomic<bool> g_commPollThreadRunning{false};

void ServeQueuedCode(CMyCommu& commu, CLinkClock& clock, uint8_t code)
{
    if (IsControlCode(code))
        commu.SendShortCommand(code);
    else if (code == LinkCommand::WriteParams)
        WriteMachineParams(commu, clock);
}

void CCommPoller::PumpKeyQueue()
{
    const int code = m_queue.Pop();
    if (code >= 0) ServeQueuedCode(m_commu, m_clock, static_cast<uint8_t>(code));
}

void CCommPoller::DropLink()
{
    LinkConnected.store(0);
    MachineStatus.store(0);
}

void CCommPoller::PollMachineStatus()
{
    if (m_commu.SendShortCommand(LinkCommand::StatusPoll) != 0) {
        if (theSettings.Get(Slot::ConnectViaEth) == 1) {
            DropLink();
        } else if (++m_pollFailures >= kUsbPollFailuresToDrop) {
            m_pollFailures = 0;
            DropLink();
        }
        return;
    }
    m_pollFailures = 0;
    m_clock.SleepMs(1);
    if (MachineStatus.load() != MachineState::Ready) return;
    int32_t position = 0;
    if (ReadHeadPosition(m_commu, position) == 0) HeadPosition.store(position);
}

bool CCommPoller::RunPass()
{
    if (!m_queueCleared) {
        m_queue.Clear();
        m_queueCleared = true;
    }
    if (theSettings.Get(Slot::Quitting) != 0) return false;

    // A job's sending thread owns the link: only re-check.
    if (g_jobActive.load()) {
        m_clock.SleepMs(kIdlePauseMs);
        return true;
    }
    if (LinkConnected.load() == 0) {
        if (theSettings.Get(Slot::AutoOffline) != 0) {
            m_clock.SleepMs(kIdlePauseMs);
            return true;
        }
        {
            std::lock_guard<std::mutex> owner(g_linkOwnerLock);
            if (!g_jobActive.load() && ReadMachineParams(m_commu) == 0) LinkConnected.store(1);
        }
        m_clock.SleepMs(kRetryPauseMs);
        return true;
    }
    if (theSettings.Get(Slot::AutoOffline) == 1) {
        DropLink();
        return true;
    }
    {
        std::lock_guard<std::mutex> owner(g_linkOwnerLock);
        if (!g_jobActive.load()) PumpKeyQueue();
    }
    m_clock.SleepMs(kPumpPauseMs);
    if (m_passCounter++ > 100) {
        std::lock_guard<std::mutex> owner(g_linkOwnerLock);
        if (!g_jobActive.load()) PollMachineStatus();
        m_passCounter = 0;
    }
    return true;
}

void CCommPoller::Run()
{
    while (RunPass()) {
    }
}

int CommPollThread(CCommPoller* poller)
{
    g_commPollThreadRunning.store(true);
    if (poller != nullptr) {
        poller->Run();
    } else {
        CCommPoller own(theCommu, RealLinkClock(), KeyQueue);
        own.Run();
    }
    g_commPollThreadRunning.store(false);
    return 0;
}
