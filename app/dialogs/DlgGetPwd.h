#pragma once
// "输入": asks for the access code of the advanced parameters, masked.
#include <QDialog>

class QLineEdit;

class CDlgGetPwd : public QDialog {
    Q_OBJECT
public:
    explicit CDlgGetPwd(QWidget* parent = nullptr);
    QString Text() const { return m_text; }
    QLineEdit* Edit() const { return m_edit; }

public slots:
    void accept() override;

private:
    QString m_text;
    QLineEdit* m_edit = nullptr;
};
