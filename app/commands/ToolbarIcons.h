#pragma once
// The toolbar's own 32 x 32 icons for the commands without a picture file:
// fit to screen, machine parameters, control bar.
#include <QIcon>
#include <cstdint>

// The icon of a toolbar command; the picture files for add file and hide.
QIcon ToolbarIcon(uint16_t command);
