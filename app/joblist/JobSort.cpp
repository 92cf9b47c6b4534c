#include "app/joblist/JobSort.h"

#include <algorithm>

#include "model/Page.h"

std::optional<int> NextSortMode(int mode, int column)
{
    if (column == 5) return mode == SortMode::TimeUp ? SortMode::TimeDown : SortMode::TimeUp;
    if (column == 6) return mode == SortMode::NameUp ? SortMode::NameDown : SortMode::NameUp;
    return std::nullopt;
}

void SortJobs(std::vector<std::unique_ptr<COnePage>>& pages, int mode)
{
    using P = std::unique_ptr<COnePage>;
    switch (mode) {
    case SortMode::NameUp:
        std::stable_sort(pages.begin(), pages.end(),
                         [](const P& a, const P& b) { return a->m_strFileName < b->m_strFileName; });
        break;
    case SortMode::NameDown:
        std::stable_sort(pages.begin(), pages.end(),
                         [](const P& a, const P& b) { return b->m_strFileName < a->m_strFileName; });
        break;
    case SortMode::TimeUp:
        std::stable_sort(pages.begin(), pages.end(), [](const P& a, const P& b) { return a->m_time < b->m_time; });
        break;
    case SortMode::TimeDown:
        std::stable_sort(pages.begin(), pages.end(), [](const P& a, const P& b) { return b->m_time < a->m_time; });
        break;
    default: break;
    }
}
