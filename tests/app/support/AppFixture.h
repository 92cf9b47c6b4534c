// Guards against app tests leaking program-wide values and temporary folders into each other.
#pragma once
// Shared helpers of the application tests: pages, a temporary folder and the
// guard of the program-wide values (the shared ones, under the names used here).
#include <unistd.h>

#include <array>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "jobs/PageList.h"
#include "model/Settings.h"
#include "model/Text.h"
#include "tests/support/GlobalsGuard.h"
#include "tests/support/TempFolder.h"

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

// A self-removing folder, as the app tests use it.
class TempDir : public testsupport::TempFolder {
public:
    TempDir() : TempFolder("orlat_app_") {}
    std::string Path() const { return path().string() + "/"; }
    void Write(const std::string& name, const std::string& text) const { TempFolder::Write(name, text); }
    bool Exists(const std::string& name) const { return std::filesystem::exists(path() / name); }
};

// Puts every program-wide value back at the end of a test.
using SettingsGuard = testsupport::GlobalsGuard;

// A job of one square, side units, named name.
inline std::unique_ptr<COnePage> SquareJob(int32_t state, int32_t units, const char16_t* name, int32_t copies = 1)
{
    auto job = Job(state, copies);
    job->m_curves[0]->m_points = {{0, 0}, {units, 0}, {units, units}, {0, units}, {0, 0}};
    job->m_curves[0]->CalcBoundRect();
    job->CalcPageBounds();
    job->m_strFileName = name;
    return job;
}

// The settings of a program in folder: its own program folder and watched
// folders, English texts, jobs entering Auto, nothing rotated or deleted by
// itself.
inline void UseProgramFolder(const TempDir& folder)
{
    theSettings.InitPathsFrom(FromUtf8(folder.Path()));
    theSettings.EnsureFontFiles();
    theSettings.DataDirMm = FromUtf8(folder.Path() + "DataMm/");
    theSettings.DataDirMil = FromUtf8(folder.Path() + "DataMil/");
    theSettings.EnsureDataDirs();
    theSettings.Set(Slot::Language, 1);
    theSettings.Set(Slot::Quitting, 0);
    theSettings.Set(Slot::AutoStart, 1);
    theSettings.Set(Slot::AutoAddToList, 1);
    theSettings.Set(Slot::AutoRotate, 0);
    theSettings.Set(Slot::PaperLenMm, 2000);
    theSettings.Set(Slot::AutoDelFinish, 0);
}

// A small HP-GL square of side `units` plot units.
inline std::string Square(int units)
{
    const std::string u = std::to_string(units);
    return "IN;SP1;PU0,0;PD" + u + ",0," + u + "," + u + ",0," + u + ",0,0;PU;";
}

}  // namespace appfix
