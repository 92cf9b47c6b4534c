#pragma once
// The job list's menu 150 and the preview's menu 151 as Qt menus, from the
// command table. Each action carries its command id as data(); no entry is
// greyed or checked.
class QMenu;

namespace JobCmd {
enum : int {
    DeleteSelected = 3010, DeleteDone = 3011, MoveToFront = 3020, StateAuto = 3021, StateManual = 3022,
    StateDone = 3023, ChangeCopies = 3024, ChangeStartPos = 3025
};
}

namespace PreviewCmd {
enum : int {
    ConvertToPlot = 1003, ConvertToCut = 1004, DeleteSelectedCurves = 1005, SelectAll = 1006, DeleteInk = 1007,
    DeleteCut = 1008, Rotate90 = 1009, ManualSplit = 1010, MoveToLowerLeft = 1011, DetectOutline = 3200,
    PanLeft = 333, PanRight = 334, PanUp = 335, PanDown = 336
};
}

void BuildJobMenu(QMenu& menu);
void BuildPreviewMenu(QMenu& menu);
// The command id of the action the user chose, 0 for none.
int CommandOfAction(const class QAction* action);
