#include "app/commands/ToolbarIcons.h"

#include "app/commands/CommandIds.h"

#include <QPainter>
#include <QPixmap>

namespace {

constexpr int kSize = 32;

QPixmap Blank()
{
    QPixmap p(kSize, kSize);
    p.fill(Qt::transparent);
    return p;
}

// A page with four arrows pointing out to its corners.
QPixmap FitPicture()
{
    QPixmap pm = Blank();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 1.5));
    p.setBrush(QColor(250, 250, 245));
    p.drawRect(QRectF(7.5, 7.5, 17, 17));
    p.setPen(QPen(QColor(20, 110, 200), 2.5, Qt::SolidLine, Qt::RoundCap));
    const QPointF c(16, 16);
    for (const QPointF& corner : {QPointF(3, 3), QPointF(29, 3), QPointF(3, 29), QPointF(29, 29)}) {
        const QPointF from = c + (corner - c) * 0.45;
        p.drawLine(from, corner);
        const QPointF dx((corner.x() < 16 ? 5 : -5), 0);
        const QPointF dy(0, (corner.y() < 16 ? 5 : -5));
        p.drawLine(corner, corner + dx);
        p.drawLine(corner, corner + dy);
    }
    return pm;
}

// Three sliders.
QPixmap ParamsPicture()
{
    QPixmap pm = Blank();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const int knobs[] = {20, 9, 16};
    for (int i = 0; i < 3; ++i) {
        const qreal y = 7 + i * 9;
        p.setPen(QPen(QColor(70, 70, 70), 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, y), QPointF(28, y));
        p.setPen(QPen(QColor(30, 30, 30), 1));
        p.setBrush(QColor(230, 140, 20));
        p.drawEllipse(QPointF(knobs[i], y), 4, 4);
    }
    return pm;
}

// A window with its right-hand panel.
QPixmap BarPicture()
{
    QPixmap pm = Blank();
    QPainter p(&pm);
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(QColor(250, 250, 245));
    p.drawRect(3, 5, 25, 22);
    p.fillRect(4, 6, 24, 4, QColor(20, 110, 200));
    p.fillRect(19, 11, 9, 16, QColor(60, 170, 80));
    for (int i = 0; i < 3; ++i) p.fillRect(21, 13 + i * 5, 5, 3, QColor(240, 240, 240));
    return pm;
}

}  // namespace

QIcon ToolbarIcon(uint16_t command)
{
    switch (command) {
    case framecmd::kAddPrintFile: return QIcon(QStringLiteral(":/icons/add_file.png"));
    case framecmd::kHideToTray: return QIcon(QStringLiteral(":/icons/hide_window.png"));
    case framecmd::kFitToScreen: return QIcon(FitPicture());
    case framecmd::kMachineParams: return QIcon(ParamsPicture());
    case framecmd::kToggleControlBar: return QIcon(BarPicture());
    default: return {};
    }
}
