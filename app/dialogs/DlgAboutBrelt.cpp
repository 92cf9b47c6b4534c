#include "app/dialogs/DlgAboutBrelt.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include "widgets/HyperLink.h"

CDlgAboutBrelt::CDlgAboutBrelt(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("关于OrlatCenter"));
    auto* grid = new QGridLayout(this);
    auto* icon = new QLabel(this);
    const QIcon appIcon = QApplication::windowIcon().isNull()
                              ? style()->standardIcon(QStyle::SP_ComputerIcon)
                              : QApplication::windowIcon();
    icon->setPixmap(appIcon.pixmap(32, 32));
    auto* name = new QLabel(QStringLiteral("OrlatCenter V2.10.11"), this);
    name->setTextFormat(Qt::PlainText);
    auto* maker = new QLabel(tr("示例绘图设备有限公司"), this);
    m_link = new CHyperLink(QStringLiteral("https://www.example.com/"), this);
    m_link->setObjectName(QStringLiteral("c501"));
    auto* date = new QLabel(tr("发布日期：2026年12月10日"), this);
    auto* ok = new QPushButton(tr("确定"), this);
    ok->setObjectName(QStringLiteral("c1"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    grid->addWidget(icon, 0, 0, 4, 1, Qt::AlignTop);
    grid->addWidget(name, 0, 1);
    grid->addWidget(maker, 1, 1);
    grid->addWidget(m_link, 2, 1, Qt::AlignLeft);
    grid->addWidget(date, 3, 1);
    grid->addWidget(ok, 0, 2, Qt::AlignTop);
    grid->setColumnStretch(1, 1);
}
