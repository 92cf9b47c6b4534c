#pragma once
// The name an export is written under: ".plt" is appended unless the chosen
// name already ends in it (any case) after at least one more character.
#include <string>

struct ExportName {
    std::u16string path;
    bool appended = false;  // the dialog's overwrite question did not cover this name
};

ExportName ExportNameFor(const std::u16string& chosen);
