#include "app/ViewDialogs.h"

#include <QMenu>
#include <QMessageBox>

#include "app/ContextMenus.h"
#include <QInputDialog>

std::optional<double> AskNumberByDialog(QWidget* parent, const QString& prompt, double value)
{
    bool ok = false;
    const double v = QInputDialog::getDouble(parent, QStringLiteral("输入"), prompt, value, -1e12, 1e12, 3, &ok);
    if (!ok) return std::nullopt;
    return v;
}

void ShowMessageBox(QWidget* parent, const QString& text)
{
    QMessageBox::warning(parent, QStringLiteral("OrlatCenter"), text, QMessageBox::Ok);
}

int RunPopupMenu(QMenu& menu, const QPoint& globalPos) { return CommandOfAction(menu.exec(globalPos)); }
