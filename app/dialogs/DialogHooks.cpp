#include "app/dialogs/DialogHooks.h"

#include <QFileDialog>

#include "app/text/AppMessage.h"
#include <QStandardPaths>

namespace {
DialogHooks RealHooks()
{
    DialogHooks h;
    h.messageBox = [](QWidget* parent, const QString& caption, const QString& text, QMessageBox::Icon icon,
                      QMessageBox::StandardButtons buttons) {
        // The program's plain messages go the one way all its messages go.
        if (caption == AppCaption() && buttons == QMessageBox::Ok) {
            ShowAppMessage(parent, icon, text);
            return QMessageBox::Ok;
        }
        QMessageBox box(icon, caption, text, buttons, parent);
        return static_cast<QMessageBox::StandardButton>(box.exec());
    };
    h.chooseFolder = [](QWidget* parent, const QString& title, const QString& start) {
        return QFileDialog::getExistingDirectory(parent, title, start);
    };
    h.now = [] { return QDateTime::currentDateTime(); };
    h.desktopDir = [] { return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation); };
    return h;
}
}  // namespace

DialogHooks& TheDialogHooks()
{
    static DialogHooks hooks = RealHooks();
    return hooks;
}

void ResetDialogHooks()
{
    TheDialogHooks() = RealHooks();
}

QString AppCaption()
{
    return QStringLiteral("OrlatCenter");
}

void AppMessage(QWidget* parent, const QString& text, QMessageBox::Icon icon)
{
    TheDialogHooks().messageBox(parent, AppCaption(), text, icon, QMessageBox::Ok);
}
