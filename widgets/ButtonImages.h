#pragma once
// The flat button's pure helpers: which of its two images shows, the derived
// grey and darker images, and the state-colour shift.
#include <QColor>
#include <QImage>

namespace ButtonImage {
enum : int { Hover = 0, Normal = 1 };
}

// The normal image when there is one and the button is at rest: a toggle
// unpressed and unchecked, a plain button neither pressed nor hovered.
int ChooseStateImage(bool checkBoxMode, bool pressed, bool hovered, bool hasNormal);

// Every non-black pixel to its grey level int(0.299 R + 0.587 G + 0.114 B).
QImage GreyImage(const QImage& src);
// Every non-black pixel's channels c to int(c - 0.25 c).
QImage DarkerImage(const QImage& src);

// Adds one offset to all three channels, clipped so that none leaves 0..255
// (the hue steps stay). Offset within -255..255.
QColor ShiftColor(const QColor& c, int offset);
