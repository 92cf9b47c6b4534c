#pragma once
// Message boxes of the application's own code, with one hook so that tests
// (and a later message sink) can take them instead of a modal box.
#include <functional>

#include <QMessageBox>
#include <QString>

class QWidget;

using AppMessageHook = std::function<void(QMessageBox::Icon icon, const QString& text)>;
// UI thread only; an empty hook restores the boxes.
void SetAppMessageHook(AppMessageHook hook);
// A modal box over parent (or standard error when no GUI runs).
void ShowAppMessage(QWidget* parent, QMessageBox::Icon icon, const QString& text);
