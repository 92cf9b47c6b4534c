#pragma once
// The questions the frame and its file commands put to the operator, each
// replaceable (tests answer them). All are called on the UI thread and run a
// nested event loop.
#include <QString>
#include <functional>

class QDialog;
class QWidget;

struct FrameAsks {
    // File dialogs; an empty string: cancelled.
    std::function<QString(const QString& title, const QString& filters)> askOpenFile;
    std::function<QString(const QString& title, const QString& filters)> askSaveFile;
    // OK/Cancel (or Yes/No) question; true for OK.
    std::function<bool(const QString& title, const QString& text)> askQuestion;
    // Shows the unit dialog for a hand import; false when cancelled.
    std::function<bool()> askPltUnit;
    // Runs a modal dialog (parameters, About); true for OK.
    std::function<bool(QDialog&)> runDialog;
};

// The program's own dialogs, modal over parent.
void SetProgramAsks(FrameAsks& asks, QWidget* parent);
