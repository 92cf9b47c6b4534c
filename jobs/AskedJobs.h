#pragma once
// The jobs in the list at the moment the operator was asked. A question or a
// file dialog runs a nested event loop in which the watched folders go on
// importing (the source file deleted once read) and the clean-up deletes:
// "the list" the operator agreed to empty or replace is the list as it
// stood then, never a job that came in meanwhile.
#include <cstddef>
#include <vector>

#include "jobs/JobRef.h"
#include "jobs/PageList.h"

class CAskedJobs {
public:
    explicit CAskedJobs(const PageList& pages);

    // Deletes the asked jobs still in the list; the others stay, in order.
    void DeleteFrom(PageList& pages) const;

    // Jobs that came in meanwhile, taken out of the list while it is replaced.
    struct Newcomers {
        PageList jobs;
        std::vector<size_t> at;  // each one's index before it was taken out
    };
    Newcomers TakeNewcomers(PageList& pages) const;
    // Replaced: the newcomers follow the new list. Not replaced: each goes
    // back where it was, so the list is as it was.
    static void PutBack(PageList& pages, Newcomers newcomers, bool replaced);

private:
    // Which entries of pages are asked jobs.
    std::vector<bool> AskedMask(const PageList& pages) const;

    std::vector<JobRef> m_jobs;
};
