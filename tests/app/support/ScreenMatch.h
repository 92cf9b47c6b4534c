// Guards screenshot tests against windows that reach the screen unlike their own rendering.
#pragma once
// What a window shows on the X screen against the widget's own rendering,
// and the ink of text at a computed place.
#include <QImage>
#include <QRect>

class QWidget;

// The widget's area of its screen, grabbed from the root window (RGB32).
QImage ScreenImageOf(QWidget* w);
// The widget's own rendering (RGB32).
QImage OwnImageOf(QWidget* w);
// Pixels of a and b that differ in their 5-bit channels (a caret or a focus
// frame differs a little); -1 when the sizes differ.
int DifferingPixels(const QImage& a, const QImage& b);
// Pixels darker than `below` (grey level) inside r: the strokes of text.
int InkPixels(const QImage& img, const QRect& r, int below = 110);
// The widget's frame lies whole on its screen.
bool WholeOnScreen(QWidget* w);
