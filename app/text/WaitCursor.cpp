#include "app/text/WaitCursor.h"

#include <QCursor>
#include <QGuiApplication>

WaitCursor::WaitCursor()
{
    // The tools and the plain tests run without a GUI.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    m_set = true;
}

WaitCursor::~WaitCursor()
{
    if (m_set) QGuiApplication::restoreOverrideCursor();
}
