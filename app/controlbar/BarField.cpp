#include "app/controlbar/BarField.h"

#include <QEvent>
#include <QResizeEvent>
#include <algorithm>

#include "widgets/EventGuard.h"

namespace {
constexpr int kMargin = 2;
constexpr int kFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
}  // namespace

CBarField::CBarField(int id, QStringList samples, QWidget* parent) : QLabel(parent), m_samples(std::move(samples))
{
    setObjectName(QStringLiteral("field%1").arg(id));
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setAutoFillBackground(true);
    setMargin(kMargin);
    setTextInteractionFlags(Qt::NoTextInteraction);
    FitHeight();
}

void CBarField::ShowText(const QString& text)
{
    if (this->text() != text) setText(text);
}

int CBarField::TextHeightFor(int roomWidth) const
{
    // Laid out as the label lays them out: the fallback fonts of the glyphs
    // decide the line heights, not this font's own line spacing.
    const QFontMetrics fm = fontMetrics();
    int need = 2 * fm.lineSpacing();  // the template's two lines
    const QRect room(0, 0, std::max(1, roomWidth), 1 << 20);
    for (const QString& s : m_samples) {
        // A trailing line break shows nothing.
        QString shown = s;
        while (shown.endsWith(QLatin1Char('\n'))) shown.chop(1);
        need = std::max(need, fm.boundingRect(room, kFlags, shown).height());
    }
    return need;
}

void CBarField::FitHeight()
{
    const int chrome = height() - contentsRect().height() + 2 * margin();
    const int roomWidth = contentsRect().width() - 2 * margin();
    const int h = chrome + TextHeightFor(roomWidth);
    if (minimumHeight() != h || maximumHeight() != h) setFixedHeight(h);
}

void CBarField::resizeEvent(QResizeEvent* e)
{
    QLabel::resizeEvent(e);
    GuardEvent("CBarField resize", [&] {
        if (e->size().width() != e->oldSize().width()) FitHeight();
    });
}

void CBarField::changeEvent(QEvent* e)
{
    QLabel::changeEvent(e);
    GuardEvent("CBarField change", [&] {
        if (e->type() == QEvent::FontChange || e->type() == QEvent::StyleChange) FitHeight();
    });
}
