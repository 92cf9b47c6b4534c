// Guards screenshot tests against windows that reach the screen unlike their own rendering.
#include "tests/app/support/ScreenMatch.h"

#include <QPixmap>
#include <QScreen>
#include <QWidget>

QImage ScreenImageOf(QWidget* w)
{
    const QRect g(w->mapToGlobal(QPoint(0, 0)), w->size());
    return w->screen()->grabWindow(0, g.x(), g.y(), g.width(), g.height()).toImage().convertToFormat(QImage::Format_RGB32);
}

QImage OwnImageOf(QWidget* w) { return w->grab().toImage().convertToFormat(QImage::Format_RGB32); }

int DifferingPixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size()) return -1;
    int differ = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            differ += (qRed(p) >> 3) != (qRed(q) >> 3) || (qGreen(p) >> 3) != (qGreen(q) >> 3) ||
                      (qBlue(p) >> 3) != (qBlue(q) >> 3);
        }
    return differ;
}

int InkPixels(const QImage& img, const QRect& r, int below)
{
    int ink = 0;
    const QRect area = r.intersected(img.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) ink += qGray(img.pixel(x, y)) < below;
    return ink;
}

bool WholeOnScreen(QWidget* w) { return w->screen()->geometry().contains(w->frameGeometry()); }
