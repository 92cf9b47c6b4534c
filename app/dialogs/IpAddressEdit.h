#pragma once
// Four fields for an IPv4 address, dots between them, as the settings dialog
// has always shown the machine's address. Digits only; a blank field counts 0.
#include <QFrame>

#include <array>

class QLineEdit;

class CIpAddressEdit : public QFrame {
    Q_OBJECT
public:
    explicit CIpAddressEdit(QWidget* parent = nullptr);

    void SetOctets(const std::array<int, 4>& octets);
    // The fields' numbers (blank 0); a field above 255 stays as typed for the
    // caller's range check.
    std::array<int, 4> Octets() const;
    QLineEdit* Field(int i) const { return m_fields[i]; }

protected:
    // A typed dot moves on to the next field, as in the native control.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::array<QLineEdit*, 4> m_fields{};
};
