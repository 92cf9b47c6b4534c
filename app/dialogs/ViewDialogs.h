#pragma once
// The program's own dialogs behind the views' injectable hooks.
#include <QPoint>
#include <QString>
#include <optional>

class QMenu;
class QWidget;

// The number dialog; nullopt on Cancel.
std::optional<double> AskNumberByDialog(QWidget* parent, const QString& prompt, double value);
// A message with an OK button.
void ShowMessageBox(QWidget* parent, const QString& text);
// The popup at globalPos; the chosen command id or 0.
int RunPopupMenu(QMenu& menu, const QPoint& globalPos);
