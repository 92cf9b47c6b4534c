#pragma once
// The status bar's one pane: the cursor position, or the idle prompt once a
// command's prompt has ended; always as wide as its text.
#include <QLabel>

class QStatusBar;

class CStatusPane : public QLabel {
public:
    // Adds itself to bar and follows the bar's prompts.
    explicit CStatusPane(QStatusBar* bar);

    void ShowText(const QString& text);
    void ShowIdle();
};
