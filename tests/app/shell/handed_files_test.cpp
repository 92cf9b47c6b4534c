// Guards the files given to the program: one arriving while another's box is open opened over it, out of turn, or not at all.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include "app/shell/HandedFiles.h"

namespace {

TEST(HandedFiles, FilesArrivingDuringABoxWaitTheirTurn)
{
    QStringList opened;
    int depth = 0, deepest = 0;
    CHandedFiles* queue = nullptr;
    CHandedFiles handed([&](const QString& path) {
        deepest = std::max(deepest, ++depth);
        opened << path;
        if (path == "/a.plt") {
            // A box: its event loop runs while a second start hands more over.
            QEventLoop box;
            QTimer::singleShot(0, &box, [&] { queue->Add({"/c.plt", "/d.orlattask"}); });
            QTimer::singleShot(20, &box, &QEventLoop::quit);
            box.exec();
        }
        --depth;
    });
    queue = &handed;
    handed.Add({"/a.plt", "/b.dxf"});
    EXPECT_TRUE(opened.isEmpty());  // from the event loop, not inside Add
    EXPECT_TRUE(QTest::qWaitFor([&] { return opened.size() == 4; }));
    EXPECT_EQ(opened, (QStringList{"/a.plt", "/b.dxf", "/c.plt", "/d.orlattask"}));
    EXPECT_EQ(deepest, 1);
    EXPECT_EQ(handed.Waiting(), 0);
}

}  // namespace
