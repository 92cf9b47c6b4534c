#pragma once
// "机器设置": the machine's printing and cutting parameters and the job
// settings, range-checked on OK; the data directories; the protected
// parameters behind an access code; a picture of itself on the desktop.
#include <QDialog>

#include <map>
#include <set>

#include "app/dialogs/DlgParaCancel.h"
#include "app/dialogs/ParaForm.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class CHyperLink;
class CIpAddressEdit;

class CDlgPara : public QDialog {
    Q_OBJECT
public:
    explicit CDlgPara(QWidget* parent = nullptr);

    // Controls by their template ids (edits, check boxes, buttons, links).
    QWidget* Control(int id) const;
    QLineEdit* Edit(int id) const;
    QCheckBox* Check(int id) const;
    CIpAddressEdit* Address() const { return m_address; }
    CHyperLink* DirLink(int which) const { return which == 1 ? m_dir1Link : m_dir2Link; }
    QString DataDir(int which) const { return which == 1 ? m_dir1 : m_dir2; }

    void OnHead1() { OnHead(ParaIds::Head1); }
    void OnHead2() { OnHead(ParaIds::Head2); }
    void OnDataDir1() { OnDataDir(1); }
    void OnDataDir2() { OnDataDir(2); }
    void OnAdvancedPara();
    void OnScreenshot();

public slots:
    void accept() override;
    void reject() override;

private:
    void Build();
    void LoadFromGlobals();
    // Member values into every control.
    void ShowValues();
    void OnHead(int id);
    void OnDataDir(int which);
    // True when the values went where they belong and the dialog may close.
    bool OnOK();
    void RefuseAt(QWidget* control, const QString& message);

    CParaForm m_form;
    // The blocks as the dialog opened on them, for Cancel.
    CParaCancel m_cancel;
    // Controls enabled at opening: only they are read back on OK.
    std::set<int> m_enabled;
    bool m_openedOnline = false;
    uint32_t m_machineIp = 0;  // the address member (as machineIp)
    QString m_dir1, m_dir2;
    std::map<int, QLineEdit*> m_edits;
    std::map<int, QCheckBox*> m_checks;
    std::map<int, QPushButton*> m_buttons;
    CIpAddressEdit* m_address = nullptr;
    CHyperLink* m_dir1Link = nullptr;
    CHyperLink* m_dir2Link = nullptr;
};
