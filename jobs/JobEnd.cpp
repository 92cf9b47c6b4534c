#include "jobs/JobEnd.h"

#include "link/LinkState.h"

int ApplyJobEnd(PageList& pages, int result)
{
    const int printing = FirstInState(pages, JobState::Printing);
    if (result == JobResult::Finished) {
        if (printing >= 0) {
            COnePage& job = *pages[static_cast<size_t>(printing)];
            job.m_copies -= 1;
            job.m_state = job.m_copies <= 0 ? JobState::Done : JobState::Auto;
        }
        return printing;
    }
    if (printing >= 0) pages[static_cast<size_t>(printing)]->m_state = JobState::Manual;
    for (auto& p : pages)
        if (p->m_state == JobState::Auto) p->m_state = JobState::Manual;
    return printing;
}

DoneDeletion DeleteDoneJobs(PageList& pages)
{
    DoneDeletion d;
    for (size_t i = 0; i < pages.size();) {
        if (pages[i]->m_state == JobState::Done) {
            pages.erase(pages.begin() + static_cast<std::ptrdiff_t>(i));
            ++d.deleted;
            continue;
        }
        if (pages[i]->m_state == JobState::Printing) d.printingIndex = static_cast<int>(i);
        ++i;
    }
    return d;
}

int PlottingJob(uint8_t machineStatus, const PageList& pages)
{
    if ((machineStatus & 0x0F) != MachineState::Plotting) return -1;
    return FirstInState(pages, JobState::Printing);
}
