#pragma once
// The main frame's command decisions, free of widgets: which menu and toolbar
// commands carry a check mark, and what a language command does. The ids
// are in CommandIds.
#include <cstdint>
#include <string>

#include "app/commands/CommandIds.h"

namespace framecmd {

// What the check marks are read from.
struct CheckInputs {
    int language = 0;       // Language
    int connectViaEth = 0;  // ConnectViaEth
    bool barVisible = true; // m_bCtrlBarVisible
};

// Commands that may carry a check mark.
bool IsCheckable(uint16_t command);
// The mark of a checkable command (false for any other).
bool IsChecked(uint16_t command, const CheckInputs& in);

// A language command: nothing when the value is already set; otherwise the
// new value, the command's own notice (not the current language's), and the
// close of the program.
struct LanguageChange {
    bool act = false;
    int language = 0;
    std::u16string notice;
};
LanguageChange DecideLanguage(uint16_t command, int current);

// The status pane's cursor text: plot units / 40 in mm, truncated toward zero.
std::u16string CursorText(int x, int y, int language);

}  // namespace framecmd
