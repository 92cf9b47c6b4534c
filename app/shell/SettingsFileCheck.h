#pragma once
// Why a settings file that exists could not be read, so the operator is
// told in the program's language rather than in the system's words.
#include <string>

struct SettingsFileCheck {
    enum class Problem { None, NotAFile, TooLarge, Unreadable };
    Problem problem = Problem::None;
    int error = 0;  // errno, for Unreadable
};

// Looked at after the settings could not be loaded from path.
SettingsFileCheck CheckSettingsFile(const std::string& path);
