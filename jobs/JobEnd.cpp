#include "jobs/JobEnd.h"

#include "link/LinkState.h"

int CountFinishedCopy(PageList& pages)
{
    const int printing = FirstInState(pages, JobState::Printing);
    if (printing < 0) return -1;
    COnePage& job = *pages[static_cast<size_t>(printing)];
    job.m_copies -= 1;
    if (job.m_copies <= 0) job.m_state = JobState::Done;
    return printing;
}

int ApplyJobEnd(PageList& pages, int result, std::optional<int> counted, bool byClose)
{
    const int index = counted ? *counted : FirstInState(pages, JobState::Printing);
    COnePage* job = index >= 0 ? pages[static_cast<size_t>(index)].get() : nullptr;
    if (result == JobResult::Finished) {
        if (job != nullptr) {
            if (!counted) job->m_copies -= 1;
            job->m_state = job->m_copies <= 0 ? JobState::Done : JobState::Auto;
        }
        return index;
    }
    if (job != nullptr) {
        if (counted) job->m_copies += 1;
        job->m_state = JobState::Manual;
    }
    if (byClose) return index;
    for (auto& p : pages)
        if (p->m_state == JobState::Auto) p->m_state = JobState::Manual;
    return index;
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
