#include "app/frame/FrameAsks.h"

#include <QFileDialog>
#include <QMessageBox>

#include "app/dialogs/DlgSetPltUnit.h"

void SetProgramAsks(FrameAsks& asks, QWidget* parent)
{
    asks.askOpenFile = [parent](const QString& title, const QString& filters) {
        return QFileDialog::getOpenFileName(parent, title, QString(), filters, nullptr,
                                            QFileDialog::HideNameFilterDetails);
    };
    asks.askSaveFile = [parent](const QString& title, const QString& filters) {
        return QFileDialog::getSaveFileName(parent, title, QString(), filters, nullptr,
                                            QFileDialog::HideNameFilterDetails);
    };
    asks.askQuestion = [parent](const QString& title, const QString& text) {
        return QMessageBox::question(parent, title, text, QMessageBox::Ok | QMessageBox::Cancel,
                                     QMessageBox::Cancel) == QMessageBox::Ok;
    };
    asks.askPltUnit = [parent] {
        CDlgSetPltUnit dlg(parent);
        return dlg.exec() == QDialog::Accepted;
    };
    asks.runDialog = [](QDialog& dlg) { return dlg.exec() == QDialog::Accepted; };
}
