#pragma once
// The control bar's icons, drawn at start: 180-183 jog arrows (up, down,
// left, right), 184 start, 185 delete, 186 pause, 187 nozzle cleaning,
// 191/192 knife up/down, 193/194 fan on/off.
#include <QPixmap>

// The icon of that id, size x size pixels; a null pixmap for an unknown id.
QPixmap BarIcon(int id, int size = 24);
