#pragma once
// The settings file "OrlatV2.ini", section "Para": its 24 keys, their
// defaults, load order and save order, between the file and theSettings,
// the three program-wide integers and the machine address.
#include <cstdint>
#include <string>

class ProfileFile;

inline constexpr char kSettingsFileName[] = "OrlatV2.ini";
inline constexpr char kSettingsSection[] = "Para";
inline constexpr int kSettingsKeyCount = 24;

// ProgramDir + "OrlatV2.ini".
std::string SettingsFilePath();

// Every key in load order, a missing one taking its default. A paper width
// of 0 or less becomes 2000: the preview and the page split divide by it.
void ApplySettings(const ProfileFile& profile);
// Every key in save order, from the values held in memory.
void StoreSettings(ProfileFile& profile);

// Reads the settings file (the defaults where it has no value), then
// EnsureDataDirs. False, with *error naming file and reason, when the file
// exists but cannot be read: the defaults are used then.
bool LoadSettings(std::string* error);
// Reads the file again, sets the keys and writes it once through a temporary
// file: every other line stays, and a failure leaves the old file whole.
// False with *error naming file and reason.
bool SaveSettings(std::string* error);

// The Language key of a settings file, read only (0 when unreadable).
int32_t ReadLanguageSetting(const std::string& path);
