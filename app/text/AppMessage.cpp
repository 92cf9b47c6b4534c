#include "app/text/AppMessage.h"

#include <cstdio>

#include <QApplication>

namespace {
// Set by tests; read when a message is shown. UI thread only.
AppMessageHook g_hook;
}  // namespace

void SetAppMessageHook(AppMessageHook hook) { g_hook = std::move(hook); }

void ShowAppMessage(QWidget* parent, QMessageBox::Icon icon, const QString& text)
{
    if (g_hook) {
        g_hook(icon, text);
        return;
    }
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        std::fprintf(stderr, "OrlatCenter: %s\n", qPrintable(text));
        return;
    }
    QMessageBox box(icon, QApplication::applicationDisplayName(), text, QMessageBox::Ok, parent);
    box.exec();
}
