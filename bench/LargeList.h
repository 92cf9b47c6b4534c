#pragma once
// A large job list for the task-file benchmarks: 200 jobs of 500 curves of
// 40 points, about 33 MB of task file.
#include <memory>
#include <vector>

#include "model/Curve.h"
#include "model/Page.h"

inline std::vector<std::unique_ptr<COnePage>> LargeJobList()
{
    std::vector<std::unique_ptr<COnePage>> pages;
    for (int p = 0; p < 200; ++p) {
        auto page = std::make_unique<COnePage>();
        page->m_strFileName = u"/data/plots/marker.plt";
        for (int c = 0; c < 500; ++c) {
            auto curve = std::make_unique<CCurve>();
            for (int32_t i = 0; i < 40; ++i) curve->m_points.push_back({c * 100 + i, i * i});
            curve->CalcBoundRect();
            page->m_curves.push_back(std::move(curve));
        }
        pages.push_back(std::move(page));
    }
    return pages;
}
