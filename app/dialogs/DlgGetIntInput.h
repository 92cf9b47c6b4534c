#pragma once
// Asks for one number under a prompt the caller supplies. OK only; Escape
// and the close box cancel. The value is a double whatever the name says.
#include <QDialog>

class QLabel;
class QLineEdit;

class CDlgGetIntInput : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxPromptChars = 256;

    explicit CDlgGetIntInput(QWidget* parent = nullptr);

    // Longer prompts are cut to 256 characters.
    void SetPrompt(const QString& prompt);
    QString Prompt() const;
    void SetValue(double value);
    // The value accepted by OK (or the one set).
    double Value() const { return m_value; }

    QLineEdit* ValueEdit() const { return m_edit; }

    // Text that is not a finite number: a message, and the dialog stays open.
    void accept() override;

private:
    QLabel* m_prompt;
    QLineEdit* m_edit;
    double m_value = 0;
};
