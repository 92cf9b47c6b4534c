#pragma once
// The preview canvas over a QPainter, for the off-screen picture.
#include <QFontMetrics>
#include <QPainter>
#include <QPoint>
#include <vector>

#include "app/preview/PreviewPicture.h"

class QtCanvas : public PreviewCanvas {
public:
    // The painter's device must stay width x height for the canvas's life.
    QtCanvas(QPainter& painter, int width, int height);

    void SetPen(PenStyle style, int32_t width, Rgb color) override;
    void Polyline(const ViewPoint* points, int32_t count) override;
    void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    void FilledPolygon(const ViewPoint* points, int32_t count) override;
    void FillBackground(int32_t width, int32_t height) override;
    void Text(int32_t x, int32_t y, const QString& text) override;

private:
    void Flush();

    QPainter& m_painter;
    int m_width, m_height;
    int m_ascent;
    bool m_solid = true;
    std::vector<QPoint> m_run;
};
