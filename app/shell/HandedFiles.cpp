#include "app/shell/HandedFiles.h"

#include "app/frame/FileCommands.h"
#include "app/shell/StartOptions.h"
#include "model/Settings.h"
#include "widgets/EventGuard.h"

CHandedFiles::CHandedFiles(Opener open, QObject* parent) : QObject(parent), m_open(std::move(open)) {}

void CHandedFiles::Add(const QStringList& files)
{
    m_queue += files;
    if (m_scheduled || m_draining || m_queue.isEmpty()) return;
    m_scheduled = true;
    QMetaObject::invokeMethod(this, [this] {
        m_scheduled = false;
        Drain();
    }, Qt::QueuedConnection);
}

void CHandedFiles::Drain()
{
    m_draining = true;
    // A close under way opens nothing more.
    while (!m_queue.isEmpty() && theSettings.Get(Slot::Quitting) == 0) {
        const QString path = m_queue.takeFirst();
        GuardEvent("open", [&] { m_open(path); });
    }
    m_draining = false;
}

void CHandedFiles::Open(CFileCommands& files, const QString& path)
{
    if (IsPlotFileName(path)) files.AddPrintFile(path);
    else files.OpenTaskFile(path);
}
