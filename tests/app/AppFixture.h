#pragma once
// Shared helpers of the application tests: pages, a temporary folder, and a
// guard that puts the settings back.
#include <unistd.h>

#include <array>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "app/PageList.h"
#include "model/Settings.h"
#include "model/Text.h"

namespace appfix {

inline std::unique_ptr<COnePage> Job(int32_t state, int32_t copies = 1, bool withCurve = true)
{
    auto p = std::make_unique<COnePage>();
    p->m_state = state;
    p->m_copies = copies;
    if (withCurve) {
        auto c = std::make_unique<CCurve>();
        c->m_points = {{0, 0}, {400, 0}, {400, 400}};
        c->m_kind = CurveKind::Plot;
        c->CalcBoundRect();
        p->m_curves.push_back(std::move(c));
        p->CalcPageBounds();
    }
    return p;
}

inline std::vector<int32_t> States(const PageList& pages)
{
    std::vector<int32_t> s;
    for (auto& p : pages) s.push_back(p->m_state);
    return s;
}

class TempDir {
public:
    TempDir()
    {
        static std::atomic<int> serial{0};
        m_path = std::filesystem::path(::testing::TempDir()) /
                 ("orlat_app_" + std::to_string(::getpid()) + "_" + std::to_string(serial++));
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    std::string Path() const { return m_path.string() + "/"; }
    std::string File(const std::string& name) const { return (m_path / name).string(); }
    void Write(const std::string& name, const std::string& text) const
    {
        std::ofstream(File(name), std::ios::binary) << text;
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(m_path / name); }

private:
    std::filesystem::path m_path;
};

// Puts every integer slot back at the end of a test.
class SettingsGuard {
public:
    SettingsGuard()
    {
        for (int i = 0; i < Slot::Count; ++i) m_saved[static_cast<size_t>(i)] = theSettings.Get(i);
        m_unit = PltFileUnit.load();
    }
    ~SettingsGuard()
    {
        for (int i = 0; i < Slot::Count; ++i) theSettings.Set(i, m_saved[static_cast<size_t>(i)]);
        PltFileUnit = m_unit;
    }

private:
    std::array<int32_t, Slot::Count> m_saved{};
    int32_t m_unit = 0;
};

// A small HP-GL square of side `units` plot units.
inline std::string Square(int units)
{
    const std::string u = std::to_string(units);
    return "IN;SP1;PU0,0;PD" + u + ",0," + u + "," + u + ",0," + u + ",0,0;PU;";
}

}  // namespace appfix
