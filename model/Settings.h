#pragma once
// The program's settings and well-known paths: one global record, theSettings.
#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

namespace Slot {
enum : int {
    ProgramDir = 0,
    LastTaskPath = 1,
    FontHzPath = 2,
    FontEnPath = 3,
    CleanThickness = 4,
    DxfUnit = 5,
    Language = 6,
    BiDirPlot = 7,
    AutoDelFinish = 8,
    CleanAtStart = 9,
    CleanAtSection = 10,
    PlotOnly = 11,
    PlotCutLine = 12,
    Quitting = 13,
    ConnectViaEth = 14,
    AutoOffline = 18,
    AutoAddToList = 19,
    AutoRotate = 20,
    AutoStart = 21,
    SearchOutline = 23,
    LineWidth = 24,
    PaperLenMm = 27,
    CutSEOftHpgl = 28,
    Count = 29
};
}

class CSettings {
public:
    // Written by the UI thread (dialogs, menu commands, the frame), read by every
    // thread. Every integer slot is atomic: the workers read Quitting,
    // AutoOffline, ConnectViaEth, BiDirPlot, AutoDelFinish, PlotCutLine and
    // LineWidth while the UI may write them.
    int32_t Get(int slot) const { return m_ints[slot].load(std::memory_order_relaxed); }
    void Set(int slot, int32_t v) { m_ints[slot].store(v, std::memory_order_relaxed); }

    // Slots 0-3. Written once by InitPaths before any worker thread starts.
    const std::u16string& Path(int slot) const { return m_paths[slot]; }
    void SetPath(int slot, std::u16string v) { m_paths[slot] = std::move(v); }

    // Written and read by the UI thread only.
    std::u16string DataDirMm;
    std::u16string DataDirMil;

    // ProgramDir = the executable's folder with a trailing '/', or the user's
    // data folder when the program is installed or its folder not writable;
    // the task file follows it, the fonts too unless the program's shipped
    // copies are used (model/ProgramData.h).
    void InitPaths();
    // Same, from a given program folder (tests use a temporary one).
    void InitPathsFrom(const std::u16string& programDir);
    // Same, for an executable in exeFolder.
    void InitPathsFrom(const std::u16string& programDir, const std::string& exeFolder);
    // The program folder InitPaths takes for an executable in exeFolder.
    static std::u16string ChooseProgramDir(const std::string& exeFolder);
    void EnsureDataDirs();
    // Writes the two stroke-font files from the embedded resources when missing.
    void EnsureFontFiles();

    // --- Stroke-font resources (model/FontFiles.cpp) ---
    // Resource ids of the embedded stroke fonts, type "FON".
    static constexpr int FontHzResource = 153;
    static constexpr int FontEnResource = 154;
    // Writes the embedded resource (id, type matched without regard to case)
    // to a new file at path; an existing file is left alone. True only when
    // every byte reached the file; a failed write leaves no file behind.
    static bool ExtractResourceToFile(int id, std::u16string_view type, const std::u16string& path);

    // --- Program folder fallback (model/SettingsPaths.cpp) ---
    // $XDG_DATA_HOME/OrlatCenter/ when that variable is an absolute path,
    // else ~/.local/share/OrlatCenter/; InitPaths creates it when used.
    static std::u16string UserDataProgramDir();

private:
    std::array<std::u16string, 4> m_paths;
    std::array<std::atomic<int32_t>, Slot::Count> m_ints{};
};

extern CSettings theSettings;

// Program-wide integers kept outside the slot table (settings file keys).
// Written by the settings load and the dialogs (UI thread); read by the import
// (UI thread) and, InkBox2Left, by the job start's snapshot for the sending thread.
extern std::atomic<int32_t> UnitNoHintNextTime;
extern std::atomic<int32_t> PltFileUnit;
extern std::atomic<int32_t> InkBox2Left;
