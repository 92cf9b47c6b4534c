#include "app/frame/StatusPane.h"

#include <QStatusBar>

#include "app/commands/CommandTable.h"
#include "widgets/EventGuard.h"

CStatusPane::CStatusPane(QStatusBar* bar) : QLabel(bar)
{
    setObjectName(QStringLiteral("statusPane0"));
    bar->addWidget(this, 1);
    ShowIdle();
    connect(bar, &QStatusBar::messageChanged, this, [this](const QString& m) {
        // A prompt has ended: the pane shows the idle text until the next position.
        GuardEvent("status prompt", [&] {
            if (m.isEmpty()) ShowIdle();
        });
    });
}

void CStatusPane::ShowText(const QString& text)
{
    setText(text);
    // Measured with the pane's own font, so the text is never clipped.
    const int margins = contentsMargins().left() + contentsMargins().right() + 2 * margin();
    setMinimumWidth(fontMetrics().horizontalAdvance(text) + margins + 2);
}

void CStatusPane::ShowIdle() { ShowText(commandtable::Translate(commandtable::kIdlePrompt)); }
