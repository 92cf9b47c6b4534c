// Guards: core messages shown in the wrong language, or lost when a worker thread raises them.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QStringList>
#include <thread>

#include "app/text/AppMessage.h"
#include "app/shell/MessageBoxSink.h"
#include "model/Message.h"
#include "model/Settings.h"
#include "tests/support/GlobalsGuard.h"

namespace {

TEST(MessageBoxSink, BoxesInTheSlotsLanguageFromAnyThread)
{
    testsupport::GlobalsGuard guard;
    QStringList shown;
    SetAppMessageHook([&](QMessageBox::Icon, const QString& text) { shown << text; });
    InstallMessageBoxSink();

    theSettings.Set(Slot::Language, 0);
    ShowMessage("Key", u"中文", u"English");
    theSettings.Set(Slot::Language, 1);
    std::thread worker([] { ShowMessage("Key", u"中文", u"from a worker"); });
    worker.join();
    EXPECT_EQ(shown, QStringList{QStringLiteral("中文")});  // the worker's box waits for the UI thread
    QCoreApplication::processEvents();

    SetMessageSink(nullptr);
    SetAppMessageHook({});
    EXPECT_EQ(shown, (QStringList{QStringLiteral("中文"), QStringLiteral("from a worker")}));
}

}  // namespace
