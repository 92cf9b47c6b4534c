#include "jobs/AskedJobs.h"

#include <algorithm>

CAskedJobs::CAskedJobs(const PageList& pages)
{
    m_jobs.reserve(pages.size());
    for (size_t i = 0; i < pages.size(); ++i) m_jobs.push_back(JobRef::At(pages, static_cast<int>(i)));
}

std::vector<bool> CAskedJobs::AskedMask(const PageList& pages) const
{
    std::vector<bool> asked(pages.size(), false);
    for (const JobRef& j : m_jobs)
        if (const int i = j.Find(pages); i >= 0) asked[static_cast<size_t>(i)] = true;
    return asked;
}

void CAskedJobs::DeleteFrom(PageList& pages) const
{
    const std::vector<bool> asked = AskedMask(pages);
    PageList stay;
    stay.reserve(pages.size());
    for (size_t i = 0; i < pages.size(); ++i)
        if (!asked[i]) stay.push_back(std::move(pages[i]));
    pages = std::move(stay);
}

CAskedJobs::Newcomers CAskedJobs::TakeNewcomers(PageList& pages) const
{
    const std::vector<bool> asked = AskedMask(pages);
    Newcomers n;
    PageList stay;
    stay.reserve(pages.size());
    for (size_t i = 0; i < pages.size(); ++i) {
        if (asked[i]) {
            stay.push_back(std::move(pages[i]));
        } else {
            n.at.push_back(i);
            n.jobs.push_back(std::move(pages[i]));
        }
    }
    pages = std::move(stay);
    return n;
}

void CAskedJobs::PutBack(PageList& pages, Newcomers newcomers, bool replaced)
{
    pages.reserve(pages.size() + newcomers.jobs.size());
    for (size_t k = 0; k < newcomers.jobs.size(); ++k) {
        // In ascending order each index is where the job stood among those already back.
        const size_t at = replaced ? pages.size() : std::min(newcomers.at[k], pages.size());
        pages.insert(pages.begin() + static_cast<std::ptrdiff_t>(at), std::move(newcomers.jobs[k]));
    }
}
