#include "app/shell/SingleInstance.h"

#include <sys/socket.h>

#include <memory>

#include <QDir>
#include <QEventLoop>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

#include "app/shell/InstanceRequest.h"
#include "app/shell/RuntimeFolder.h"
#include "widgets/EventGuard.h"

namespace ir = instancerequest;

namespace {

// The asker has closed its end: it gave up waiting and told its user the
// files were not taken, so they must not be taken now.
bool PeerGone(const QLocalSocket& s)
{
    if (s.state() != QLocalSocket::ConnectedState) return true;
    char c = 0;
    return ::recv(static_cast<int>(s.socketDescriptor()), &c, 1, MSG_PEEK | MSG_DONTWAIT) == 0;
}

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

SingleInstance::Outcome SingleInstance::Acquire(const QStringList& files, int answerTimeoutMs)
{
    auto lock = std::make_unique<QLockFile>(m_lockPath);
    // No age limit: the lock is stale only when its process is gone.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        m_lock = std::move(lock);
        return Listen() ? Outcome::First : Outcome::Failed;
    }
    if (lock->error() != QLockFile::LockFailedError) return Outcome::Failed;
    return AskRunningInstance(files, answerTimeoutMs);
}

bool SingleInstance::Listen()
{
    // A crashed instance left its socket behind; the lock is ours now.
    QLocalServer::removeServer(m_socketPath);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_socketPath)) return false;
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = m_server->nextPendingConnection()) Serve(s);
    });
    return true;
}

void SingleInstance::Serve(QLocalSocket* s)
{
    connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
    // What this connection has sent so far; lives as long as the connection.
    auto received = std::make_shared<QByteArray>();
    connect(s, &QLocalSocket::readyRead, this, [this, s, received] {
        GuardEvent("SingleInstance request", [&] {
            *received += s->readAll();
            const ir::Request r = ir::Decode(*received);
            if (r.state == ir::Request::State::Incomplete) return;
            received->clear();
            // Not one of ours, files whose sender has given up, or files
            // that would not be opened any more: no answer.
            const bool open = r.state == ir::Request::State::Open;
            if (r.state == ir::Request::State::Bad || (open && PeerGone(*s)) || (open && takingFiles && !takingFiles())) {
                s->abort();
                return;
            }
            s->write(ir::kAnswer);
            s->flush();
            s->disconnectFromServer();
            if (open) emit filesHanded(r.files);
            emit raiseRequested();
        });
    });
}

SingleInstance::Outcome SingleInstance::AskRunningInstance(const QStringList& files, int timeoutMs)
{
    // Asynchronous with a local loop: the answer may come from this very
    // thread (tests run both ends in one process). The first instance may
    // still be starting: refused connections are tried again until the time
    // is up. Once connected, a close without the answer ends the wait.
    const QByteArray request = ir::Encode(files);
    QLocalSocket socket;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    bool answered = false, connected = false, done = false;
    m_refused = Refused::Silent;
    auto finish = [&](Refused how) {
        if (done) return;
        done = true;
        m_refused = how;
        loop.quit();
    };
    // The answer, or the close that came instead of it.
    auto look = [&] {
        if (socket.canReadLine()) {
            answered = socket.readLine(16) == ir::kAnswer;
            finish(answered ? Refused::Silent : Refused::Garbled);
        } else if (connected && socket.state() != QLocalSocket::ConnectedState && socket.bytesAvailable() == 0) {
            finish(Refused::Closed);
        }
    };
    connect(&deadline, &QTimer::timeout, &loop, [&] { finish(Refused::Silent); });
    connect(&socket, &QLocalSocket::connected, &loop, [&] {
        connected = true;
        socket.write(request);
    });
    connect(&socket, &QLocalSocket::readyRead, &loop, look);
    connect(&socket, &QLocalSocket::disconnected, &loop, look);
    connect(&socket, &QLocalSocket::errorOccurred, &loop, [&] {
        if (connected) {
            look();
            return;
        }
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
