#include "app/shell/SingleInstance.h"

#include <QDir>
#include <QEventLoop>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

#include "app/shell/RuntimeFolder.h"
#include "widgets/EventGuard.h"

namespace {
constexpr char kRaise[] = "raise\n";
constexpr char kDone[] = "ok\n";
}  // namespace

SingleInstance::SingleInstance(const QString& key, const QString& folder, QObject* parent) : QObject(parent)
{
    QString dir = folder;
    if (dir.isEmpty()) dir = RuntimeFolder();
    if (dir.isEmpty()) dir = QDir::tempPath();
    QDir().mkpath(dir);
    m_lockPath = QDir(dir).filePath(key + QStringLiteral(".lock"));
    m_socketPath = QDir(dir).filePath(key + QStringLiteral(".sock"));
}

SingleInstance::~SingleInstance()
{
    if (m_server) m_server->close();  // removes the socket file
    if (m_lock) m_lock->unlock();
}

SingleInstance::Outcome SingleInstance::Acquire(int answerTimeoutMs)
{
    auto lock = std::make_unique<QLockFile>(m_lockPath);
    // No age limit: the lock is stale only when its process is gone.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        m_lock = std::move(lock);
        return Listen() ? Outcome::First : Outcome::Failed;
    }
    if (lock->error() != QLockFile::LockFailedError) return Outcome::Failed;
    return AskRunningInstance(answerTimeoutMs);
}

bool SingleInstance::Listen()
{
    // A crashed instance left its socket behind; the lock is ours now.
    QLocalServer::removeServer(m_socketPath);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_socketPath)) return false;
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = m_server->nextPendingConnection()) {
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
            connect(s, &QLocalSocket::readyRead, this, [this, s] {
                GuardEvent("SingleInstance request", [&] {
                    if (!s->canReadLine()) {
                        if (s->bytesAvailable() > 64) s->abort();  // not one of ours
                        return;
                    }
                    const QByteArray line = s->readLine(64);
                    if (line == kRaise) {
                        s->write(kDone);
                        s->flush();
                        emit raiseRequested();
                    }
                    s->disconnectFromServer();
                });
            });
        }
    });
    return true;
}

SingleInstance::Outcome SingleInstance::AskRunningInstance(int timeoutMs)
{
    // Asynchronous with a local loop: the answer may come from this very
    // thread (tests run both ends in one process). The first instance may
    // still be starting: refused connections are tried again until the time is up.
    QLocalSocket socket;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    bool answered = false;
    connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(&socket, &QLocalSocket::connected, &loop, [&] { socket.write(kRaise); });
    connect(&socket, &QLocalSocket::readyRead, &loop, [&] {
        if (!socket.canReadLine()) return;
        answered = socket.readLine(16) == kDone;
        loop.quit();
    });
    connect(&socket, &QLocalSocket::errorOccurred, &loop, [&] {
        if (socket.state() == QLocalSocket::ConnectedState) return;
        QTimer::singleShot(50, &loop, [&] {
            if (deadline.isActive() && socket.state() == QLocalSocket::UnconnectedState) socket.connectToServer(m_socketPath);
        });
    });
    deadline.start(timeoutMs);
    QTimer::singleShot(0, &loop, [&] { socket.connectToServer(m_socketPath); });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    socket.abort();
    return answered ? Outcome::Forwarded : Outcome::NoAnswer;
}
