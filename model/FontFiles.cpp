#include "model/Settings.h"

// Placeholder until the embedded fonts exist.
void CSettings::EnsureFontFiles() {}
