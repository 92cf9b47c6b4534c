#pragma once
// The job list's menu 150 and the preview's menu 151 as Qt menus, from the
// command table. Each action carries its command id as data(); no entry is
// greyed or checked. Their ids (JobCmd, PreviewCmd) are in CommandIds.
#include "app/commands/CommandIds.h"

class QMenu;

void BuildJobMenu(QMenu& menu);
void BuildPreviewMenu(QMenu& menu);
// The command id of the action the user chose, 0 for none.
int CommandOfAction(const class QAction* action);
