#pragma once
// Asks in which unit the numbers of an HP-GL file are written, 0.0250 mm or
// 0.0254 mm, and whether to ask again on the next hand import.
#include <QDialog>

class QCheckBox;
class QComboBox;

class CDlgSetPltUnit : public QDialog {
    Q_OBJECT
public:
    explicit CDlgSetPltUnit(QWidget* parent = nullptr);

    // Index 0 is 0.0250 mm, 1 is 0.0254 mm; a stored value other than 0
    // or 1 selects nothing, and OK then stores -1.
    QComboBox* UnitBox() const { return m_unit; }
    QCheckBox* NoHintBox() const { return m_noHint; }

    void accept() override;

private:
    QComboBox* m_unit;
    QCheckBox* m_noHint;
};
