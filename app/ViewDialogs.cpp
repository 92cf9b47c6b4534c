#include "app/ViewDialogs.h"

#include <QMenu>
#include <QMessageBox>

#include "app/ContextMenus.h"
#include "app/DlgGetIntInput.h"

std::optional<double> AskNumberByDialog(QWidget* parent, const QString& prompt, double value)
{
    CDlgGetIntInput dlg(parent);
    dlg.m_prompt = prompt;
    dlg.m_value = value;
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    return dlg.m_value;
}

void ShowMessageBox(QWidget* parent, const QString& text)
{
    QMessageBox::warning(parent, QStringLiteral("OrlatCenter"), text, QMessageBox::Ok);
}

int RunPopupMenu(QMenu& menu, const QPoint& globalPos) { return CommandOfAction(menu.exec(globalPos)); }
