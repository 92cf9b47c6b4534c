// Guards: two instances on one program folder, a second start that hangs, or a stale socket that blocks the next start.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLockFile>
#include <QTemporaryDir>

#include "app/shell/InstanceName.h"
#include "app/shell/SingleInstance.h"

namespace {

TEST(InstanceName, EveryNonLetterByItsLowByteBecomesAnUnderscore)
{
    const std::tuple<std::u16string, std::u16string, std::u16string> cases[] = {
        {u"D:\\Cut 2\\", u"Cutter", u"D__Cut___Cutter"},
        {u"/opt/cutter 2026/", u"OrlatCenter", u"_opt_cutter______OrlatCenter"},
        {u"/home/\u0141ukasz/", u"Run", u"_home_\u0141ukasz_Run"},  // low byte 0x41: kept
        {u"/\u4E2D\u6587/", u"x", u"____x"},                          // low bytes 0x2D, 0x87
        {u"/x\u0161/", u"y", u"_x\u0161_y"},                          // low byte 0x61: kept
    };
    for (const auto& [dir, exe, want] : cases) EXPECT_TRUE(InstanceName(dir, exe) == want);
    // Folders that differ only in digits or blanks share one instance.
    EXPECT_TRUE(InstanceName(u"/a1/", u"p") == InstanceName(u"/a /", u"p"));
    const QString key = InstanceKey(InstanceName(u"/a1/", u"p"));
    EXPECT_EQ(key, InstanceKey(InstanceName(u"/a2/", u"p")));
    EXPECT_NE(key, InstanceKey(InstanceName(u"/b1/", u"p")));
    EXPECT_LE(InstanceKey(std::u16string(4000, u'a')).size(), 40);
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
