#pragma once
// "关于OrlatCenter": the program's name, version and maker, with the maker's
// web address as a link.
#include <QDialog>

class CHyperLink;

class CDlgAboutBrelt : public QDialog {
    Q_OBJECT
public:
    explicit CDlgAboutBrelt(QWidget* parent = nullptr);
    CHyperLink* Link() const { return m_link; }

private:
    CHyperLink* m_link = nullptr;
};
