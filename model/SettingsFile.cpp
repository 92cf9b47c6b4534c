#include "model/SettingsFile.h"

#include <atomic>
#include <string_view>

#include "model/MachineParams.h"
#include "model/ProfileFile.h"
#include "model/Settings.h"
#include "model/Text.h"

namespace {

enum class Target { Slot, Global, MachineIp, DataDirMm, DataDirMil };

struct Key {
    const char* name;
    Target target;
    int slot;                      // Target::Slot
    std::atomic<int32_t>* global;  // Target::Global
    int32_t defaultValue;          // integers; strings default to ""
};

constexpr int32_t kDefaultPaperLenMm = 2000;
// 192.168.1.215 with the first octet in the low byte.
constexpr int32_t kDefaultMachineIp = static_cast<int32_t>(0xD701A8C0u);

const Key kLoadOrder[kSettingsKeyCount] = {
    {"AutoDelFinish", Target::Slot, Slot::AutoDelFinish, nullptr, 1},
    {"UnitNoHintNextTime", Target::Global, 0, &UnitNoHintNextTime, 1},
    {"AutoOffline", Target::Slot, Slot::AutoOffline, nullptr, 0},
    {"Language", Target::Slot, Slot::Language, nullptr, 0},
    {"BiDirPlot", Target::Slot, Slot::BiDirPlot, nullptr, 1},
    {"LineWidth", Target::Slot, Slot::LineWidth, nullptr, 2},
    {"PlotOnly", Target::Slot, Slot::PlotOnly, nullptr, 0},
    {"PlotCutLine", Target::Slot, Slot::PlotCutLine, nullptr, 0},
    {"CleanAtStart", Target::Slot, Slot::CleanAtStart, nullptr, 0},
    {"CleanAtSection", Target::Slot, Slot::CleanAtSection, nullptr, 0},
    {"DxfUnit", Target::Slot, Slot::DxfUnit, nullptr, 40},
    {"CutSEOftHpgl", Target::Slot, Slot::CutSEOftHpgl, nullptr, 10},
    {"CleanThickness", Target::Slot, Slot::CleanThickness, nullptr, 3},
    {"DataDirMm", Target::DataDirMm, 0, nullptr, 0},
    {"DataDirMil", Target::DataDirMil, 0, nullptr, 0},
    {"AutoRotate", Target::Slot, Slot::AutoRotate, nullptr, 1},
    {"PaperLenMm", Target::Slot, Slot::PaperLenMm, nullptr, kDefaultPaperLenMm},
    {"SearchOutline", Target::Slot, Slot::SearchOutline, nullptr, 0},
    {"MachineIP", Target::MachineIp, 0, nullptr, kDefaultMachineIp},
    {"ConnectViaEth", Target::Slot, Slot::ConnectViaEth, nullptr, 0},
    {"AutoAddToList", Target::Slot, Slot::AutoAddToList, nullptr, 1},
    {"AutoStart", Target::Slot, Slot::AutoStart, nullptr, 1},
    {"PltFileUnit", Target::Global, 0, &PltFileUnit, 0},
    {"InkBox2Left", Target::Global, 0, &InkBox2Left, 0},
};

// Indexes into kLoadOrder.
const int kSaveOrder[kSettingsKeyCount] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11,
                                           12, 13, 14, 16, 17, 20, 21, 15, 18, 19, 23, 22};

void ApplyInt(const Key& k, int32_t v)
{
    switch (k.target) {
    case Target::Slot: theSettings.Set(k.slot, v); break;
    case Target::Global: k.global->store(v); break;
    case Target::MachineIp: {
        MachineParams p = SnapshotMachineParams();
        p.machineIp = static_cast<uint32_t>(v);
        StoreMachineParams(p);
        break;
    }
    default: break;
    }
}

int32_t HeldInt(const Key& k)
{
    switch (k.target) {
    case Target::Slot: return theSettings.Get(k.slot);
    case Target::Global: return k.global->load();
    case Target::MachineIp: return static_cast<int32_t>(SnapshotMachineParams().machineIp);
    default: return 0;
    }
}

}  // namespace

std::string SettingsFilePath() { return ToUtf8(theSettings.Path(Slot::ProgramDir)) + kSettingsFileName; }

void ApplySettings(const ProfileFile& profile)
{
    for (const Key& k : kLoadOrder) {
        if (k.target == Target::DataDirMm || k.target == Target::DataDirMil) {
            std::u16string& dir = k.target == Target::DataDirMm ? theSettings.DataDirMm : theSettings.DataDirMil;
            dir = FromUtf8(profile.GetString(kSettingsSection, k.name).value_or(""));
            continue;
        }
        ApplyInt(k, profile.GetInt(kSettingsSection, k.name, k.defaultValue));
    }
    if (theSettings.Get(Slot::PaperLenMm) <= 0) theSettings.Set(Slot::PaperLenMm, kDefaultPaperLenMm);
}

void StoreSettings(ProfileFile& profile)
{
    for (int index : kSaveOrder) {
        const Key& k = kLoadOrder[index];
        if (k.target == Target::DataDirMm) profile.SetString(kSettingsSection, k.name, ToUtf8(theSettings.DataDirMm));
        else if (k.target == Target::DataDirMil) profile.SetString(kSettingsSection, k.name, ToUtf8(theSettings.DataDirMil));
        else profile.SetInt(kSettingsSection, k.name, HeldInt(k));
    }
}

bool LoadSettings(std::string* error)
{
    ProfileFile profile;
    const bool ok = ReadProfileFile(SettingsFilePath(), profile, error);
    ApplySettings(ok ? profile : ProfileFile{});
    theSettings.EnsureDataDirs();
    return ok;
}

bool SaveSettings(std::string* error)
{
    const std::string path = SettingsFilePath();
    ProfileFile profile;
    // A file we cannot read is not replaced: its other lines would be lost.
    if (!ReadProfileFile(path, profile, error)) return false;
    StoreSettings(profile);
    return WriteFileAtomically(path, profile.Text(), error);
}

int32_t ReadLanguageSetting(const std::string& path)
{
    ProfileFile profile;
    std::string error;
    if (!ReadProfileFile(path, profile, &error)) return 0;
    return profile.GetInt(kSettingsSection, "Language", 0);
}
