#pragma once
// One running instance per instance key: a lock file says who runs, a local
// socket lets a second start ask the first to come forward or hand it the
// files it was given. A lock left by a crashed instance is taken over and
// its stale socket removed.
#include <functional>
#include <memory>

#include <QLockFile>
#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        First,      // this process runs; raiseRequested and filesHanded tell of later starts
        Forwarded,  // another instance runs and has the request (came forward, has the files)
        NoAnswer,   // another holds the lock but did not take the request: Refusal() says how
        Failed,     // neither lock nor answer: the runtime folder is unusable
    };
    // How long a start with files waits for the running instance to take
    // them: longer than a raise, as it may be busy with a large import.
    static constexpr int kHandOverTimeoutMs = 10000;
    // How a running instance did not take a request.
    enum class Refused {
        Silent,   // no answer in time (it may be hung, stopped or still starting)
        Closed,   // it closed the connection without answering (not a request it knows)
        Garbled,  // it answered something else
    };

    // The lock and socket live in folder (the user's runtime folder by default).
    explicit SingleInstance(const QString& key, const QString& folder = QString(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // Without files: a running instance is asked to come forward.
    Outcome Acquire(int answerTimeoutMs = 1000) { return Acquire(QStringList(), answerTimeoutMs); }
    // With files (absolute paths): a running instance is handed them and
    // comes forward; Forwarded only once it has answered that it has them.
    Outcome Acquire(const QStringList& files, int answerTimeoutMs);
    // How the running instance did not take the request (NoAnswer).
    Refused Refusal() const { return m_refused; }
    QString SocketPath() const { return m_socketPath; }
    // Whether files handed over can still be opened (not once the program
    // closes): when it says no, a start with files is refused unanswered and
    // tells its user so. Unset: always.
    std::function<bool()> takingFiles;
    QString LockPath() const { return m_lockPath; }

signals:
    // A second start asked this instance to come forward.
    void raiseRequested();
    // A second start handed these files over (absolute paths, in its order).
    void filesHanded(const QStringList& files);

private:
    bool Listen();
    void Serve(QLocalSocket* s);
    Outcome AskRunningInstance(const QStringList& files, int timeoutMs);

    QString m_lockPath;
    QString m_socketPath;
    Refused m_refused = Refused::Silent;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};
