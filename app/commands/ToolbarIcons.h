#pragma once
// The toolbar's own 32 x 32 icons for the commands without a picture file:
// fit to screen (314), machine parameters (315), control bar (316).
#include <QIcon>
#include <cstdint>

// The icon of a toolbar command; the picture files for 309 and 317.
QIcon ToolbarIcon(uint16_t command);
