#include "jobs/AutoJobStart.h"

#include "link/LinkCommand.h"
#include "link/LinkState.h"
#include "link/MyCommu.h"
#include "link/ParamsLink.h"
#include "link/job/JobStart.h"
#include "model/Settings.h"

AutoStartLink RealAutoStartLink(CJobObserver& observer, const JobLink& jobLink)
{
    AutoStartLink l;
    l.jobRunning = [] { return g_pSendJobThread != nullptr; };
    l.readParams = [] { return ReadMachineParams(); };
    l.pollStatus = [] { return theCommu.SendShortCommand(LinkCommand::StatusPoll); };
    l.status = [] { return MachineStatus.load(); };
    l.startPlot = [&observer, jobLink](const COnePage& job) { return StartPlot(job, observer, jobLink); };
    return l;
}

AutoStartResult StartNextAutoJob(PageList& pages, const AutoStartLink& link)
{
    AutoStartResult r;
    if (theSettings.Get(Slot::Quitting) != 0) return r;
    if (link.jobRunning()) return r;
    for (size_t i = 0; i < pages.size();) {
        COnePage& job = *pages[i];
        if (job.m_state != JobState::Auto) {
            ++i;
            continue;
        }
        if (job.m_curves.empty()) {
            pages.erase(pages.begin() + static_cast<std::ptrdiff_t>(i));
            r.removed = true;
            continue;
        }
        if (theSettings.Get(Slot::AutoOffline) == 1) {
            if (link.readParams() != 0) return r;
            LinkConnected = 1;
            if (link.pollStatus() != 0) {
                LinkConnected = 0;
                MachineStatus = 0;
                return r;
            }
        }
        r.result = 0;
        if (link.status() != MachineState::Ready) return r;
        // Printing before the start: the list that says so is kept before
        // the machine hears of the job.
        job.m_state = JobState::Printing;
        if (link.startPlot(job) != 0) {
            job.m_state = JobState::Auto;
            return r;
        }
        r.started = static_cast<int>(i);
        return r;
    }
    return r;
}
