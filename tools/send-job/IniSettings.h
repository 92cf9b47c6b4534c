#pragma once
// The few keys of the settings file's "Para" section that sending a job reads.
#include <string>

// The settings file's defaults for those keys, into theSettings.
void ApplyDefaultJobSettings();

// Reads section "Para" of an INI file and applies the integer keys a job
// uses (unknown keys are ignored, a missing key keeps its default). False,
// with *error set, when the file cannot be read or a known key is not a number.
bool ApplyIniSettings(const std::string& path, std::string* error);
