#pragma once
// The main frame's command decisions, free of widgets: which menu and toolbar
// commands carry a check mark, and what a language command does.
#include <cstdint>
#include <string>

namespace framecmd {

inline constexpr uint16_t kAddPrintFile = 309;
inline constexpr uint16_t kExportListAsPlt = 310;
inline constexpr uint16_t kOpenTaskFile = 57601;
inline constexpr uint16_t kSaveTaskFile = 57603;
inline constexpr uint16_t kExit = 57665;
// The test-file sub-menu: one id per file, 10x10 .. 50x50.
inline constexpr uint16_t kTestFileFirst = 32700;
inline constexpr uint16_t kTestFileLast = 32704;
inline constexpr uint16_t kLangChinese = 3000;
inline constexpr uint16_t kLangEnglish = 3001;
inline constexpr uint16_t kLangTurkish = 3002;
inline constexpr uint16_t kPlotUnit = 3003;
inline constexpr uint16_t kLinkUsb = 3201;
inline constexpr uint16_t kLinkEthernet = 3202;
inline constexpr uint16_t kZoomIn = 312;
inline constexpr uint16_t kZoomOut = 313;
inline constexpr uint16_t kFitToScreen = 314;
inline constexpr uint16_t kMachineParams = 315;
inline constexpr uint16_t kToggleControlBar = 316;
inline constexpr uint16_t kHideToTray = 317;
inline constexpr uint16_t kAbout = 57664;

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
