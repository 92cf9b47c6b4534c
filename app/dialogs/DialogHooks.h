#pragma once
// What the dialogs ask of the desktop, replaceable by tests: message boxes,
// the folder browser, the clock and the desktop folder.
#include <QDateTime>
#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

struct DialogHooks {
    // A modal box; returns the button pressed.
    std::function<QMessageBox::StandardButton(QWidget* parent, const QString& caption, const QString& text,
                                              QMessageBox::Icon icon, QMessageBox::StandardButtons buttons)>
        messageBox;
    // A folder, or empty when the operator cancelled.
    std::function<QString(QWidget* parent, const QString& title, const QString& start)> chooseFolder;
    std::function<QDateTime()> now;
    // The user's desktop folder (created by the caller when missing).
    std::function<QString()> desktopDir;
};

// The program's hooks (the real desktop unless a test replaced them).
DialogHooks& TheDialogHooks();
// Puts the real ones back.
void ResetDialogHooks();

// The application's caption for boxes that name no caption of their own.
QString AppCaption();
// A box with the application's caption and an OK button.
void AppMessage(QWidget* parent, const QString& text, QMessageBox::Icon icon = QMessageBox::Warning);
