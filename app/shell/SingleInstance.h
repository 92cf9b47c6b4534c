#pragma once
// One running instance per instance key: a lock file says who runs, a local
// socket lets a second start ask the first to come forward. A lock left by
// a crashed instance is taken over and its stale socket removed.
#include <memory>

#include <QLockFile>
#include <QObject>
#include <QString>

class QLocalServer;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        First,      // this process runs; raiseRequested tells of later starts
        Forwarded,  // another instance runs and was asked to come forward
        NoAnswer,   // another holds the lock but did not answer in time
        Failed,     // neither lock nor answer: the runtime folder is unusable
    };

    // The lock and socket live in folder (the user's runtime folder by default).
    explicit SingleInstance(const QString& key, const QString& folder = QString(), QObject* parent = nullptr);
    ~SingleInstance() override;

    Outcome Acquire(int answerTimeoutMs = 1000);
    QString SocketPath() const { return m_socketPath; }
    QString LockPath() const { return m_lockPath; }

signals:
    // A second start asked this instance to come forward.
    void raiseRequested();

private:
    bool Listen();
    Outcome AskRunningInstance(int timeoutMs);

    QString m_lockPath;
    QString m_socketPath;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};
