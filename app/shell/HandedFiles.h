#pragma once
// Files the desktop gives the program, on its own command line or handed
// over by a second start: each opened as its menu command opens it (a
// marker as File > Add Print File adds it, a task file as the open command
// opens it, with their questions and boxes), one after the other in the
// order given. A question or a box runs an event loop in which more files
// may arrive: they wait their turn instead of opening over it.
#include <functional>

#include <QObject>
#include <QString>
#include <QStringList>

class CFileCommands;

class CHandedFiles : public QObject {
    Q_OBJECT
public:
    using Opener = std::function<void(const QString& path)>;
    explicit CHandedFiles(Opener open, QObject* parent = nullptr);

    // Opened from the event loop, after those given before.
    void Add(const QStringList& files);
    // Given and not yet opened.
    qsizetype Waiting() const { return m_queue.size(); }

    // How one file opens: by its name, a marker or a task file.
    static void Open(CFileCommands& files, const QString& path);

private:
    void Drain();

    Opener m_open;
    QStringList m_queue;      // UI thread only, as everything here
    bool m_scheduled = false; // a Drain is queued
    bool m_draining = false;  // a Drain runs (perhaps inside a box it opened)
};
