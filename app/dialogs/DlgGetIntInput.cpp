#include "app/dialogs/DlgGetIntInput.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/text/AppMessage.h"
#include "app/text/CodeText.h"
#include "app/text/NumberText.h"
#include "widgets/EventGuard.h"

CDlgGetIntInput::CDlgGetIntInput(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("输入"));
    auto* layout = new QVBoxLayout(this);
    m_prompt = new QLabel(QStringLiteral("TEXT"), this);
    m_prompt->setWordWrap(true);
    m_prompt->clear();
    m_edit = new QLineEdit(this);
    m_edit->setMinimumWidth(240);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("OK"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(m_prompt);
    layout->addWidget(m_edit);
    layout->addWidget(buttons);
    SetValue(0);
}

void CDlgGetIntInput::SetPrompt(const QString& prompt) { m_prompt->setText(prompt.left(kMaxPromptChars)); }

QString CDlgGetIntInput::Prompt() const { return m_prompt->text(); }

void CDlgGetIntInput::SetValue(double value)
{
    m_value = value;
    m_edit->setText(FormatNumberText(value));
}

void CDlgGetIntInput::accept()
{
    GuardEvent("CDlgGetIntInput OK", [&] {
        const auto v = ParseNumberText(m_edit->text());
        if (!v) {
            ShowAppMessage(this, QMessageBox::Warning, CodeText("请输入一个数字。", "Please enter a number."));
            m_edit->setFocus();
            m_edit->selectAll();
            return;
        }
        m_value = *v;
        QDialog::accept();
    });
}
