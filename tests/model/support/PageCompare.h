#pragma once
// Field-by-field comparison of pages and deep copies for oracle tests.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "model/Page.h"

inline std::unique_ptr<CCurve> CloneCurve(const CCurve& c)
{
    auto d = std::make_unique<CCurve>();
    d->CopyFrom(c);
    d->m_bNoJoin = c.m_bNoJoin;
    d->m_length = c.m_length;
    return d;
}

inline void ClonePage(const COnePage& src, COnePage& dst)
{
    dst.m_curves.clear();
    for (const auto& c : src.m_curves) dst.m_curves.push_back(CloneCurve(*c));
    dst.m_minX = src.m_minX;
    dst.m_maxX = src.m_maxX;
    dst.m_minY = src.m_minY;
    dst.m_maxY = src.m_maxY;
}

inline ::testing::AssertionResult SamePages(const COnePage& a, const COnePage& b)
{
    if (a.m_curves.size() != b.m_curves.size())
        return ::testing::AssertionFailure() << "curve count " << a.m_curves.size() << " vs " << b.m_curves.size();
    if (a.m_minX != b.m_minX || a.m_maxX != b.m_maxX || a.m_minY != b.m_minY || a.m_maxY != b.m_maxY)
        return ::testing::AssertionFailure() << "page bounds differ";
    for (size_t i = 0; i < a.m_curves.size(); ++i) {
        const CCurve& x = *a.m_curves[i];
        const CCurve& y = *b.m_curves[i];
        if (x.m_points != y.m_points) return ::testing::AssertionFailure() << "points of curve " << i;
        if (x.m_kind != y.m_kind || x.m_bSelected != y.m_bSelected || x.m_lineType != y.m_lineType ||
            x.m_bNoJoin != y.m_bNoJoin)
            return ::testing::AssertionFailure() << "flags of curve " << i;
        if (x.m_minX != y.m_minX || x.m_maxX != y.m_maxX || x.m_minY != y.m_minY || x.m_maxY != y.m_maxY)
            return ::testing::AssertionFailure() << "bounds of curve " << i;
        if (!(x.m_length == y.m_length)) return ::testing::AssertionFailure() << "length of curve " << i;
    }
    return ::testing::AssertionSuccess();
}
