#pragma once
// "高级参数": the machine's protected parameters (gear ratios, head geometry,
// ink/cut overlaps). OK writes the live block and two settings, every value
// the dialog shows (the gear ratios are only read from their edits once
// unlocked); the write to the machine waits for the settings dialog's OK.
#include <QDialog>

#include <map>
#include <set>

#include "app/dialogs/ParaForm.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

class CDlgProtectPara : public QDialog {
    Q_OBJECT
public:
    explicit CDlgProtectPara(QWidget* parent = nullptr);

    QWidget* Control(int id) const;
    QLineEdit* Edit(int id) const;

    void OnChangeGearRatio();
    void OnRestoreDefaults();
    void OnScreenshot();

public slots:
    void accept() override;

private:
    void ShowValues();
    bool OnOK();

    CFieldForm m_form;
    std::set<int> m_enabled;
    std::map<int, QLineEdit*> m_edits;
    QCheckBox* m_biDir = nullptr;
    std::map<int, QPushButton*> m_buttons;
};
