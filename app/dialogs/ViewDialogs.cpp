#include "app/dialogs/ViewDialogs.h"

#include <QMenu>

#include "app/text/AppMessage.h"
#include "app/commands/ContextMenus.h"
#include "app/dialogs/DlgGetIntInput.h"

std::optional<double> AskNumberByDialog(QWidget* parent, const QString& prompt, double value)
{
    CDlgGetIntInput dlg(parent);
    dlg.SetPrompt(prompt);
    dlg.SetValue(value);
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    return dlg.Value();
}

void ShowMessageBox(QWidget* parent, const QString& text)
{
    ShowAppMessage(parent, QMessageBox::Warning, text);
}

int RunPopupMenu(QMenu& menu, const QPoint& globalPos) { return CommandOfAction(menu.exec(globalPos)); }
