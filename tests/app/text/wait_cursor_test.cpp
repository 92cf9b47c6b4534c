// Guards the wait cursor over a file read or save: left set (a leak, a throw) the pointer stays busy for good, and a box shown under it looks busy too.
#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>

#include <QApplication>
#include <QCursor>
#include <QTemporaryDir>

#include "app/frame/MainFrame.h"
#include "app/shell/OrlatCenterApp.h"
#include "app/text/AppMessage.h"
#include "app/text/WaitCursor.h"
#include "tests/support/GlobalsGuard.h"

namespace {

bool Waiting() { return QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor; }

TEST(WaitCursor, OnWhileTheWorkRunsAndOffHoweverItEnds)
{
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(WhileBusy([] { return Waiting(); }), true);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // Nested, as a task file opened from inside an import would be.
    WhileBusy([] { return WhileBusy([] { return 0; }); });
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_THROW(WhileBusy([]() -> int { throw std::runtime_error("bad file"); }), std::runtime_error);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(WaitCursor, TheBoxOfAFailedTaskFileShowsTheNormalCursor)
{
    testsupport::GlobalsGuard guard;
    QTemporaryDir runtime, program;
    COrlatCenterApp app;
    app.SetInstanceFolder(runtime.path());
    app.SetTranslationFolder(program.path());
    ASSERT_EQ(app.InitInstance({"--program-dir", program.path()}), COrlatCenterApp::Continue);
    const QString bad = program.filePath("bad.orlattask");
    std::ofstream(bad.toStdString(), std::ios::binary) << std::string("\x01\x00\xff\xff\x02\x00", 6);
    int boxes = 0;
    bool busyAtBox = true;
    SetAppMessageHook([&](QMessageBox::Icon, const QString&) {
        ++boxes;
        busyAtBox = QApplication::overrideCursor() != nullptr;
    });
    app.MainFrame()->askOpenFile = [&](const QString&, const QString&) { return bad; };
    app.MainFrame()->Files().OnOpenTaskFile();
    SetAppMessageHook(nullptr);
    EXPECT_EQ(boxes, 1);
    EXPECT_FALSE(busyAtBox);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    app.ExitInstance(0);
}

}  // namespace
