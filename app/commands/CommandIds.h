#pragma once
// Every command id of the menus, the toolbar and the accelerators, named
// once. The command table lays the menus out by these names; the frame, the
// job list and the preview route by them. The values are the program's
// resource ids.
#include <cstdint>

// The frame's commands: menu 128, the toolbar and the window's keys.
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
}  // namespace framecmd

// The job list's commands: menu 150.
namespace JobCmd {
enum : int {
    DeleteSelected = 3010, DeleteDone = 3011, MoveToFront = 3020, StateAuto = 3021, StateManual = 3022,
    StateDone = 3023, ChangeCopies = 3024, ChangeStartPos = 3025
};
}

// The preview's commands: menu 151, and the arrow keys' pans.
namespace PreviewCmd {
enum : int {
    ConvertToPlot = 1003, ConvertToCut = 1004, DeleteSelectedCurves = 1005, SelectAll = 1006, DeleteInk = 1007,
    DeleteCut = 1008, Rotate90 = 1009, ManualSplit = 1010, MoveToLowerLeft = 1011, DetectOutline = 3200,
    PanLeft = 333, PanRight = 334, PanUp = 335, PanDown = 336
};
}
