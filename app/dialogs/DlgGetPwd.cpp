#include "app/dialogs/DlgGetPwd.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/dialogs/ParaForm.h"

CDlgGetPwd::CDlgGetPwd(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("输入"));
    auto* grid = new QGridLayout(this);
    auto* label = new QLabel(tr("请输入密码:"), this);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("c434"));
    m_edit->setEchoMode(QLineEdit::Password);
    m_edit->setMaxLength(kAccessCodeMaxChars);
    m_edit->setMinimumWidth(m_edit->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 24);
    label->setBuddy(m_edit);
    auto* ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(QStringLiteral("c1"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CDlgGetPwd::accept);
    grid->addWidget(label, 0, 0);
    grid->addWidget(m_edit, 0, 1);
    grid->addWidget(ok, 1, 1, Qt::AlignRight);
}

void CDlgGetPwd::accept()
{
    m_text = m_edit->text();
    QDialog::accept();
}
