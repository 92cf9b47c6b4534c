// Guards: two instances on one program folder, one instance for two folders, a second start that hangs or loses its files, or a stale socket that blocks the next start.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QTemporaryDir>

#include "app/shell/InstanceKey.h"
#include "app/shell/InstanceRequest.h"
#include "app/shell/SingleInstance.h"

namespace {

TEST(InstanceKey, EveryDistinctProgramFolderIsItsOwnInstance)
{
    // One folder per machine: names that differ in a digit, a blank or a
    // character whose low byte is a letter's once shared one instance.
    const std::pair<QString, QString> distinct[] = {
        {"/srv/cutter1/", "/srv/cutter2/"},
        {"/opt/cut 2/", "/opt/cut_2/"},
        {"/opt/cut-2/", "/opt/cut_2/"},
        {"/home/\u0141ukasz/", "/home/Aukasz/"},
        {"/\u4E2D/", "/\u6587/"},
    };
    for (const auto& [a, b] : distinct) EXPECT_NE(InstanceKey(a, "OrlatCenter"), InstanceKey(b, "OrlatCenter")) << a.toStdString();
    EXPECT_NE(InstanceKey("/srv/c/", "OrlatCenter"), InstanceKey("/srv/c/", "OrlatCenter2"));
    // The pair reads one way only: folder and name are not simply joined.
    EXPECT_NE(InstanceKey("/srv/ab", "c"), InstanceKey("/srv/a", "bc"));

    // One folder however it is written, through a symbolic link too.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkdir("cutter1"));
    const QString real = dir.filePath("cutter1");
    ASSERT_TRUE(QFile::link(real, dir.filePath("link")));
    const QString key = InstanceKey(real + "/", "OrlatCenter");
    for (const QString& same : {real, real + "/./", dir.filePath("link") + "/"}) EXPECT_EQ(InstanceKey(same, "OrlatCenter"), key) << same.toStdString();

    // Short enough for a socket path, whatever the folder.
    EXPECT_LE(InstanceKey("/" + QString(4000, 'a') + "/", "OrlatCenter").size(), 40);
}

TEST(InstanceRequest, EveryRequestReadsBackWholeAndNoPartOfOneIsTaken)
{
    namespace ir = instancerequest;
    const QStringList sets[] = {
        {},
        {"/m/a.plt"},
        {"/m/with blank.DXF", "/m/line\nbreak.plt", QString::fromUtf8("/m/\u6807\u8bb0.plt"), "/m/t.orlattask"},
    };
    for (const QStringList& files : sets) {
        SCOPED_TRACE(files.join('|').toStdString());
        const QByteArray wire = ir::Encode(files);
        const ir::Request whole = ir::Decode(wire);
        EXPECT_EQ(whole.state, files.isEmpty() ? ir::Request::State::Raise : ir::Request::State::Open);
        EXPECT_EQ(whole.files, files);
        // As the bytes come in: nothing is taken before the last one.
        for (qsizetype n = 0; n < wire.size(); ++n)
            ASSERT_EQ(ir::Decode(wire.left(n)).state, ir::Request::State::Incomplete) << n;
        // More than the request: not one of ours.
        EXPECT_EQ(ir::Decode(wire + "x").state, ir::Request::State::Bad);
    }
    for (const char* bad : {"hello\n", "open\n", "open 0\n", "open -1\n", "open +1\n", "open 1x\n", "raise \n",
                            "open 99999999999999999999\n"})
        EXPECT_EQ(ir::Decode(QByteArray(bad)).state, ir::Request::State::Bad) << bad;
    // A NUL right after the line is an empty name.
    EXPECT_EQ(ir::Decode(QByteArray("open 1\n\0", 8)).state, ir::Request::State::Bad);
    // A line that never ends, or a request past the limit.
    EXPECT_EQ(ir::Decode(QByteArray(40, 'o')).state, ir::Request::State::Bad);
    EXPECT_EQ(ir::Decode("open 1\n" + QByteArray(ir::kMaxBytes, 'a')).state, ir::Request::State::Bad);
}

TEST(SingleInstance, TheSecondAsksTheFirstToComeForward)
{
    QTemporaryDir dir;
    int raised = 0;
    {
        SingleInstance first(QStringLiteral("k"), dir.path());
        QObject::connect(&first, &SingleInstance::raiseRequested, [&] { ++raised; });
        ASSERT_EQ(first.Acquire(), SingleInstance::Outcome::First);
        SingleInstance second(QStringLiteral("k"), dir.path());
        EXPECT_EQ(second.Acquire(), SingleInstance::Outcome::Forwarded);
        EXPECT_EQ(raised, 1);
        SingleInstance other(QStringLiteral("other"), dir.path());
        EXPECT_EQ(other.Acquire(), SingleInstance::Outcome::First);
    }
    // The first has ended: the next start runs.
    SingleInstance next(QStringLiteral("k"), dir.path());
    EXPECT_EQ(next.Acquire(), SingleInstance::Outcome::First);
}

TEST(SingleInstance, TheSecondHandsItsFilesToTheFirstAndEndsOnceItHasThem)
{
    QTemporaryDir dir;
    SingleInstance first(QStringLiteral("k"), dir.path());
    QStringList handed;
    int raised = 0;
    QObject::connect(&first, &SingleInstance::filesHanded, [&](const QStringList& f) { handed += f; });
    QObject::connect(&first, &SingleInstance::raiseRequested, [&] { ++raised; });
    ASSERT_EQ(first.Acquire(), SingleInstance::Outcome::First);

    const QStringList files = {"/m/a.plt", "/m/b b.dxf", "/m/t.orlattask"};
    SingleInstance second(QStringLiteral("k"), dir.path());
    ASSERT_EQ(second.Acquire(files, 5000), SingleInstance::Outcome::Forwarded);
    EXPECT_EQ(handed, files);  // the first had them when the second was told so
    EXPECT_EQ(raised, 1);

    // Closing, the first takes no more files, and says so by hanging up; it
    // still comes forward.
    first.takingFiles = [] { return false; };
    SingleInstance late(QStringLiteral("k"), dir.path());
    EXPECT_EQ(late.Acquire({"/m/late.plt"}, 5000), SingleInstance::Outcome::NoAnswer);
    EXPECT_EQ(late.Refusal(), SingleInstance::Refused::Closed);
    EXPECT_EQ(handed, files);
    EXPECT_EQ(late.Acquire(), SingleInstance::Outcome::Forwarded);
}

// A peer on the socket that is not this program's current self: one that
// hangs up on the request (an older instance) refuses at once, one that
// never answers once the time is up; neither counts as taken.
TEST(SingleInstance, AnInstanceThatDoesNotTakeTheFilesIsToldApart)
{
    for (const bool hangUp : {true, false}) {
        SCOPED_TRACE(hangUp ? "hangs up" : "silent");
        QTemporaryDir dir;
        SingleInstance probe(QStringLiteral("k"), dir.path());
        QLockFile held(probe.LockPath());
        ASSERT_TRUE(held.tryLock(0));
        QLocalServer peer;
        ASSERT_TRUE(peer.listen(probe.SocketPath()));
        QObject::connect(&peer, &QLocalServer::newConnection, [&] {
            QLocalSocket* s = peer.nextPendingConnection();
            QObject::connect(s, &QLocalSocket::readyRead, s, [s, hangUp] {
                s->readAll();
                if (hangUp) s->disconnectFromServer();
            });
        });
        QElapsedTimer t;
        t.start();
        EXPECT_EQ(probe.Acquire({"/m/a.plt"}, hangUp ? 10000 : 300), SingleInstance::Outcome::NoAnswer);
        EXPECT_EQ(probe.Refusal(), hangUp ? SingleInstance::Refused::Closed : SingleInstance::Refused::Silent);
        EXPECT_LT(t.elapsed(), 3000);
    }
}

TEST(SingleInstance, AHeldLockWithoutAnswerGivesUpInTime)
{
    QTemporaryDir dir;
    SingleInstance probe(QStringLiteral("k"), dir.path());
    QLockFile held(probe.LockPath());
    ASSERT_TRUE(held.tryLock(0));
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(probe.Acquire(300), SingleInstance::Outcome::NoAnswer);
    EXPECT_GE(t.elapsed(), 250);
    EXPECT_LT(t.elapsed(), 3000);
}

TEST(SingleInstance, AStaleSocketIsReplaced)
{
    QTemporaryDir dir;
    SingleInstance first(QStringLiteral("k"), dir.path());
    {
        QFile stale(first.SocketPath());  // left by a killed instance
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    }
    ASSERT_EQ(first.Acquire(), SingleInstance::Outcome::First);
    SingleInstance second(QStringLiteral("k"), dir.path());
    EXPECT_EQ(second.Acquire(), SingleInstance::Outcome::Forwarded);
}

}  // namespace
