#include "app/dialogs/IpAddressEdit.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

CIpAddressEdit::CIpAddressEdit(QWidget* parent) : QFrame(parent)
{
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(2, 1, 2, 1);
    row->setSpacing(0);
    auto* digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), this);
    for (int i = 0; i < 4; ++i) {
        if (i > 0) row->addWidget(new QLabel(QStringLiteral("."), this));
        auto* f = new QLineEdit(this);
        f->setObjectName(QStringLiteral("octet%1").arg(i));
        f->setValidator(digits);
        f->setFrame(false);
        f->setAlignment(Qt::AlignCenter);
        f->setFixedWidth(f->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 6);
        row->addWidget(f);
        m_fields[i] = f;
        f->installEventFilter(this);
        // A full field moves on, as the native control does.
        if (i > 0) {
            QLineEdit* prev = m_fields[i - 1];
            connect(prev, &QLineEdit::textEdited, f, [prev, f](const QString& t) {
                if (t.size() == 3 && prev->cursorPosition() == 3) {
                    f->setFocus();
                    f->selectAll();
                }
            });
        }
    }
}

void CIpAddressEdit::SetOctets(const std::array<int, 4>& octets)
{
    for (int i = 0; i < 4; ++i) m_fields[i]->setText(QString::number(octets[i]));
}

std::array<int, 4> CIpAddressEdit::Octets() const
{
    std::array<int, 4> o{};
    for (int i = 0; i < 4; ++i) o[i] = m_fields[i]->text().trimmed().toInt();  // blank: 0
    return o;
}

bool CIpAddressEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Period) {
        for (int i = 0; i < 3; ++i) {
            if (watched == m_fields[i] && !m_fields[i]->text().isEmpty()) {
                m_fields[i + 1]->setFocus();
                m_fields[i + 1]->selectAll();
                return true;
            }
        }
    }
    return QFrame::eventFilter(watched, event);
}
