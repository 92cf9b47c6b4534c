// Guards the plot-unit and button shots against a child that cannot report what it showed.
#include <cstdio>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <QTextStream>
#include <QTranslator>

#include "app/dialogs/DlgSetPltUnit.h"
#include "model/Settings.h"
#include "widgets/ButtonNolt.h"
#include "tests/app/support/Glyphs.h"
#include "tests/app/support/ScreenMatch.h"

namespace {

QPixmap Grab(QWidget& w)
{
    w.show();
    if (!QTest::qWaitForWindowExposed(&w, 5000)) return w.grab();
    QTest::qWait(300);  // let the window manager-less server settle the paint
    QApplication::processEvents();
    const QPixmap shot = w.screen()->grabWindow(w.winId());
    return shot.isNull() ? w.grab() : shot;
}

// The dialog's label "绘图单位": its rectangle in the shot and whether its
// font has real glyphs for every character.
QString LabelNote(CDlgSetPltUnit& d, const QString& prefix)
{
    QLabel* label = nullptr;
    for (QLabel* l : d.findChildren<QLabel*>())
        if (l->buddy() == d.UnitBox()) label = l;
    if (!label) return prefix + "label=none\n";
    const QRect r(label->mapTo(&d, QPoint(0, 0)), label->size());
    const bool glyphs = MissingGlyphs(label->text().trimmed(), label->font()).isEmpty();
    // What the screen shows against the dialog's own rendering.
    const int differ = DifferingPixels(ScreenImageOf(&d), OwnImageOf(&d));
    const QString fits = WholeOnScreen(&d) ? QStringLiteral("1") : QStringLiteral("0");
    return QStringLiteral("%1label=%2,%3,%4,%5\n%1label_text=%6\n%1glyphs=%7\n%1differ=%8\n%1fits=%9\n")
        .arg(prefix)
        .arg(r.x())
        .arg(r.y())
        .arg(r.width())
        .arg(r.height())
        .arg(label->text().trimmed())
        .arg(glyphs ? 1 : 0)
        .arg(differ)
        .arg(fits);
}

QPixmap Icon(const QColor& c)
{
    QPixmap p(20, 20);
    p.fill(Qt::transparent);
    QPainter painter(&p);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(c);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(2, 2, 16, 16);
    return p;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: ui-shots OUTDIR QMDIR\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());
    QString note;

    // The plot-unit dialog as a Chinese user sees it, then in English and Turkish.
    theSettings.Set(Slot::Language, 0);
    PltFileUnit = 0;
    UnitNoHintNextTime = 1;
    {
        CDlgSetPltUnit d;
        const QPixmap shot = Grab(d);
        if (!shot.save(out.filePath("plot_unit_zh.png"))) return 1;
        note += LabelNote(d, "zh_");
    }
    for (const char* lang : {"en", "tr"}) {
        QTranslator t;
        if (t.load(QDir(QString::fromLocal8Bit(argv[2])).filePath(QStringLiteral("OrlatCenter_%1.qm").arg(lang))))
            QApplication::installTranslator(&t);
        theSettings.Set(Slot::Language, qstrcmp(lang, "en") == 0 ? 1 : 2);
        {
            CDlgSetPltUnit d;
            if (!Grab(d).save(out.filePath(QStringLiteral("plot_unit_%1.png").arg(lang)))) return 1;
            note += LabelNote(d, QStringLiteral("%1_").arg(lang));
        }
        QApplication::removeTranslator(&t);
    }

    // A row of control-bar buttons: at rest, hovered, checked, disabled,
    // coloured as the control bar colours them.
    QWidget row;
    row.setWindowTitle(QStringLiteral("buttons"));
    auto* layout = new QHBoxLayout(&row);
    const char* captions[] = {"启动", "暂停", "风扇", "清洗"};
    const QColor colors[] = {Qt::green, QColor(255, 160, 0), Qt::blue, Qt::red};
    CButtonNolt* buttons[4];
    for (int i = 0; i < 4; ++i) {
        buttons[i] = new CButtonNolt(1000 + i, &row);
        buttons[i]->setText(QString::fromUtf8(captions[i]));
        buttons[i]->AttachStateIcons(Icon(colors[i]), CButtonNolt::Derived::Grey);
        buttons[i]->ShiftStateColor(CButtonNolt::HoverBack, 30);
        buttons[i]->SetStateColor(CButtonNolt::HoverText, QColor(0, 128, 0));
        buttons[i]->setMinimumSize(90, 40);
        layout->addWidget(buttons[i]);
    }
    buttons[2]->SetCheckBoxMode(true);
    buttons[2]->EnableTransparentDraw(false);
    buttons[2]->SetCheckValue(true);
    buttons[3]->setEnabled(false);
    row.show();
    if (!QTest::qWaitForWindowExposed(&row, 5000)) std::fprintf(stderr, "ui-shots: the button row was not exposed\n");
    const QPoint inside = buttons[1]->rect().center();
    QMouseEvent move(QEvent::MouseMove, inside, buttons[1]->mapToGlobal(inside), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(buttons[1], &move);
    if (!Grab(row).save(out.filePath("buttons.png"))) return 1;
    note += QStringLiteral("hovered=%1\n").arg(buttons[1]->IsHovered() ? 1 : 0);
    note += QStringLiteral("hover_back=%1\n").arg(buttons[1]->StateColor(CButtonNolt::HoverBack).name());
    note += QStringLiteral("normal_back=%1\n").arg(buttons[0]->StateColor(CButtonNolt::NormalBack).name());
    note += QStringLiteral("hover_text=%1\n").arg(buttons[1]->StateColor(CButtonNolt::HoverText).name());
    for (int i = 0; i < 4; ++i) {
        const QRect r(buttons[i]->mapTo(&row, QPoint(0, 0)), buttons[i]->size());
        note += QStringLiteral("button%1=%2,%3,%4,%5\n").arg(i).arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    }

    QFile f(out.filePath("shots.txt"));
    if (!f.open(QIODevice::WriteOnly)) return 1;
    f.write(note.toUtf8());
    return 0;
}
