#pragma once
// The job list as the document holds it: pages in list order, owned.
#include <memory>
#include <vector>

#include "model/Page.h"

using PageList = std::vector<std::unique_ptr<COnePage>>;

// Index of page in pages, or -1 when it is no longer there (a nested event
// loop may have deleted it).
inline int IndexOfPage(const PageList& pages, const COnePage* page)
{
    for (size_t i = 0; i < pages.size(); ++i)
        if (pages[i].get() == page) return static_cast<int>(i);
    return -1;
}

// Index of the first job in the given state, or -1.
inline int FirstInState(const PageList& pages, int32_t state)
{
    for (size_t i = 0; i < pages.size(); ++i)
        if (pages[i]->m_state == state) return static_cast<int>(i);
    return -1;
}
