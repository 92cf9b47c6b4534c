// Guards the program's icon on every window: set on the frame only, boxes without a parent (the start-up ones) showed a generic icon.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLockFile>
#include <QDialog>
#include <QMessageBox>
#include <QTemporaryDir>

#include "app/frame/MainFrame.h"
#include "app/shell/InstanceKey.h"
#include "app/shell/OrlatCenterApp.h"
#include "app/text/AppMessage.h"
#include "model/Text.h"
#include "tests/support/GlobalsGuard.h"

namespace {

QImage Picture(const QIcon& icon) { return icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32); }

TEST(AppIcon, TheAboutBoxAndAMessageBoxCarryTheProgramsIcon)
{
    testsupport::GlobalsGuard guard;
    QTemporaryDir runtime, program;
    SetAppMessageHook([](QMessageBox::Icon, const QString&) {});
    COrlatCenterApp app;
    app.SetInstanceFolder(runtime.path());
    app.SetTranslationFolder(program.path());
    ASSERT_EQ(app.InitInstance({"--program-dir", program.path()}), COrlatCenterApp::Continue);
    SetAppMessageHook(nullptr);
    const QImage want = Picture(AppIcon());
    ASSERT_FALSE(want.isNull());

    // Help > About, as the menu runs it.
    QImage about;
    app.MainFrame()->runDialog = [&](QDialog& d) {
        about = Picture(d.windowIcon());
        return false;
    };
    QAction* a = app.MainFrame()->Action(57664);
    ASSERT_NE(a, nullptr);
    a->trigger();
    EXPECT_EQ(about, want);

    QMessageBox box(QMessageBox::Information, QStringLiteral("t"), QStringLiteral("x"));
    EXPECT_EQ(Picture(box.windowIcon()), want);
    app.ExitInstance(0);
}

TEST(AppIcon, TheBoxOfASecondStartCarriesIt)
{
    testsupport::GlobalsGuard guard;
    QApplication::setWindowIcon(QIcon());
    QTemporaryDir runtime, program;
    // The lock is held and nobody answers: the box comes before any window.
    QLockFile held(runtime.filePath(InstanceKey(program.path() + "/", "OrlatCenter") + ".lock"));
    ASSERT_TRUE(held.tryLock(0));
    QImage atBox;
    SetAppMessageHook([&](QMessageBox::Icon, const QString&) { atBox = Picture(QApplication::windowIcon()); });
    COrlatCenterApp app;
    app.SetInstanceFolder(runtime.path());
    app.SetExecutableName("OrlatCenter");
    EXPECT_EQ(app.InitInstance({"--program-dir", program.path()}), COrlatCenterApp::ExitFailed);
    SetAppMessageHook(nullptr);
    EXPECT_EQ(atBox, Picture(AppIcon()));
    EXPECT_FALSE(atBox.isNull());
}

}  // namespace
