#include "app/controlbar/BarIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>

namespace {

const QColor kInk(40, 60, 90);
const QColor kGreen(20, 140, 60);
const QColor kRed(190, 40, 40);
const QColor kBlue(30, 100, 200);

// Two chevrons pointing up in a 24-unit box, turned by `degrees`.
void DoubleArrow(QPainter& p, qreal degrees)
{
    p.translate(12, 12);
    p.rotate(degrees);
    p.translate(-12, -12);
    QPen pen(kBlue, 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    for (qreal y : {4.0, 11.0}) p.drawPolyline(QPolygonF({QPointF(5, y + 7), QPointF(12, y), QPointF(19, y + 7)}));
}

// A knife blade with an arrow beside it, up or down.
void Blade(QPainter& p, bool up)
{
    QPainterPath blade;
    blade.moveTo(4, 3);
    blade.lineTo(11, 3);
    blade.lineTo(11, 15);
    blade.lineTo(7.5, 21);
    blade.lineTo(4, 15);
    blade.closeSubpath();
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(200, 205, 215));
    p.drawPath(blade);
    p.setPen(QPen(kInk, 1));
    p.drawLine(QPointF(4, 8), QPointF(11, 8));
    const QColor c = up ? kGreen : kRed;
    p.setPen(QPen(c, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(17.5, 4), QPointF(17.5, 20));
    if (up)
        p.drawPolyline(QPolygonF({QPointF(13.5, 9), QPointF(17.5, 4), QPointF(21.5, 9)}));
    else
        p.drawPolyline(QPolygonF({QPointF(13.5, 15), QPointF(17.5, 20), QPointF(21.5, 15)}));
}

// A four-bladed fan, with ON or OFF under it.
void Fan(QPainter& p, bool on)
{
    const QPointF c(12, 9);
    p.setPen(QPen(kInk, 1));
    p.setBrush(on ? kBlue : QColor(150, 155, 165));
    for (int i = 0; i < 4; ++i) {
        p.save();
        p.translate(c);
        p.rotate(i * 90.0 + 20);
        p.drawEllipse(QRectF(-2.5, -8.5, 5, 8));
        p.restore();
    }
    p.setBrush(kInk);
    p.drawEllipse(c, 1.6, 1.6);
    QFont f;
    f.setFamily(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(7);
    f.setBold(true);
    p.setFont(f);
    p.setPen(on ? kGreen : kRed);
    p.drawText(QRectF(0, 17, 24, 7), Qt::AlignCenter, on ? QStringLiteral("ON") : QStringLiteral("OFF"));
}

}  // namespace

QPixmap BarIcon(int id, int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 24.0, size / 24.0);
    switch (id) {
    case 180: DoubleArrow(p, 0); break;
    case 181: DoubleArrow(p, 180); break;
    case 182: DoubleArrow(p, -90); break;
    case 183: DoubleArrow(p, 90); break;
    case 184:  // start: a play triangle
        p.setPen(QPen(kGreen.darker(130), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(kGreen);
        p.drawPolygon(QPolygonF({QPointF(6, 3), QPointF(20, 12), QPointF(6, 21)}));
        break;
    case 185:  // delete the task: a cross in a square
        p.setPen(QPen(kInk, 1.6));
        p.setBrush(QColor(250, 235, 235));
        p.drawRect(QRectF(3, 3, 18, 18));
        p.setPen(QPen(kRed, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(7.5, 7.5), QPointF(16.5, 16.5));
        p.drawLine(QPointF(16.5, 7.5), QPointF(7.5, 16.5));
        break;
    case 186:  // pause: two bars
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(220, 140, 20));
        p.drawRoundedRect(QRectF(5, 4, 5, 16), 1, 1);
        p.drawRoundedRect(QRectF(14, 4, 5, 16), 1, 1);
        break;
    case 187:  // clean the nozzles: vertical lines
        p.setPen(QPen(kBlue, 2, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 5; ++i) p.drawLine(QPointF(4 + i * 4, 4 + (i % 2) * 3), QPointF(4 + i * 4, 20 - (i % 2) * 3));
        break;
    case 191: Blade(p, true); break;
    case 192: Blade(p, false); break;
    case 193: Fan(p, true); break;
    case 194: Fan(p, false); break;
    default:
        p.end();
        return QPixmap();
    }
    p.end();
    return pm;
}
