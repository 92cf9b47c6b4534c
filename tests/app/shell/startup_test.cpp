// Guards: a start that writes anything on bad options, opens a damaged task file, or forwards in the wrong language.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <QApplication>
#include <QComboBox>
#include <QLockFile>
#include <QTemporaryDir>

#include "app/text/AppMessage.h"
#include "app/shell/InstanceKey.h"
#include "app/dialogs/DlgSetPltUnit.h"
#include "app/frame/MainFrame.h"
#include "app/shell/OrlatCenterApp.h"
#include "jobs/OrlatCenterDoc.h"
#include "link/MyEth.h"
#include "model/Settings.h"
#include "model/TaskFile.h"
#include "model/Text.h"

namespace fs = std::filesystem;

namespace {

// Start-ups in this process: a program folder, a private runtime folder
// and the message boxes taken by the hook.
class StartUp : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(runtime.isValid() && program.isValid());
        SetAppMessageHook([this](QMessageBox::Icon, const QString& text) { messages << text; });
    }
    void TearDown() override { SetAppMessageHook(nullptr); }

    std::unique_ptr<COrlatCenterApp> MakeApp(const QString& translations = QString())
    {
        auto app = std::make_unique<COrlatCenterApp>();
        app->SetInstanceFolder(runtime.path());
        app->SetTranslationFolder(translations.isEmpty() ? program.path() : translations);
        return app;
    }
    QStringList Args(const QStringList& more = {}) const { return QStringList{"--program-dir", program.path()} + more; }
    fs::path Ini() const { return fs::path(program.path().toStdString()) / "OrlatV2.ini"; }
    void WriteIni(const std::string& text) const { std::ofstream(Ini(), std::ios::binary) << text; }
    std::string ReadIni() const
    {
        std::ifstream in(Ini(), std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }

    QTemporaryDir runtime, program;
    QStringList messages;
};

TEST_F(StartUp, ATaskFileOnTheCommandLineLoads)
{
    std::vector<std::unique_ptr<COnePage>> pages;
    pages.push_back(std::make_unique<COnePage>());
    pages.push_back(std::make_unique<COnePage>());
    pages[1]->m_copies = 4;
    const QString file = program.filePath("two jobs.orlattask");
    ASSERT_EQ(SaveTaskFile(FromUtf8(file.toStdString()), pages), TaskFileStatus::Ok);

    auto app = MakeApp();
    ASSERT_EQ(app->InitInstance(Args({"--machine-port", "6001", file})), COrlatCenterApp::Continue);
    ASSERT_NE(g_pTaskDoc, nullptr);
    ASSERT_EQ(g_pTaskDoc->PageCount(), 2);
    EXPECT_EQ(g_pTaskDoc->m_pages[1]->m_copies, 4);
    EXPECT_EQ(app->MainFrame()->windowTitle(), "OrlatCenterII");
    EXPECT_TRUE(app->MainFrame()->isVisible());
    EXPECT_EQ(theEthOptions.port.load(), 6001);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(app->ExitInstance(0), 0);
    EXPECT_NE(ReadIni().find("PltFileUnit=0"), std::string::npos);
    theEthOptions.port = 5188;
}

TEST_F(StartUp, TheCloseWritesTheSettingsOnceAndTheExitTellsHowThatWent)
{
    {
        auto app = MakeApp();
        ASSERT_EQ(app->InitInstance(Args()), COrlatCenterApp::Continue);
        ASSERT_TRUE(app->MainFrame()->close());
        EXPECT_NE(ReadIni().find("PltFileUnit=0"), std::string::npos);
        // Written by the close: the exit leaves the file alone.
        WriteIni("; the close's\n");
        EXPECT_EQ(app->ExitInstance(0), 0);
        EXPECT_EQ(ReadIni(), "; the close's\n");
        EXPECT_TRUE(messages.isEmpty());
    }
    // A close whose write failed: the exit says so, once, and ends with 1.
    auto app = MakeApp();
    ASSERT_EQ(app->InitInstance(Args()), COrlatCenterApp::Continue);
    fs::remove(Ini());
    fs::create_directories(Ini() / "in the way");
    ASSERT_TRUE(app->MainFrame()->close());
    fs::remove_all(Ini());
    EXPECT_EQ(app->ExitInstance(0), COrlatCenterApp::ExitFailed);
    EXPECT_FALSE(fs::exists(Ini()));  // not tried again
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QString::fromUtf8("无法保存设置"))) << messages[0].toStdString();
}

TEST_F(StartUp, ADamagedTaskFileEndsTheStartWithPathAndReason)
{
    const QString file = program.filePath("bad.orlattask");
    std::ofstream(file.toStdString(), std::ios::binary) << std::string("\x01\x00\xff\xff\x02\x00", 6);
    auto app = MakeApp();
    const int code = app->InitInstance(Args({file}));
    EXPECT_EQ(code, COrlatCenterApp::ExitFailed);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(file)) << messages[0].toStdString();
    EXPECT_TRUE(messages[0].contains(QString::fromUtf8("文件"))) << messages[0].toStdString();

    messages.clear();
    app.reset();  // the process has ended
    auto again = MakeApp();
    EXPECT_EQ(again->InitInstance(Args({program.filePath("missing.orlattask")})), COrlatCenterApp::ExitFailed);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("missing.orlattask"));
}

TEST_F(StartUp, BadOptionsEndBeforeAnythingIsWritten)
{
    for (const QStringList& args : {QStringList{"--bogus"}, QStringList{"--machine-port", "x"},
                                    QStringList{"--program-dir"}, QStringList{"a", "b"}}) {
        auto app = MakeApp();
        EXPECT_EQ(app->InitInstance(Args(args)), COrlatCenterApp::ExitUsage);
        EXPECT_EQ(app->ExitInstance(COrlatCenterApp::ExitUsage), COrlatCenterApp::ExitUsage);
    }
    EXPECT_FALSE(fs::exists(Ini()));
}

TEST_F(StartUp, ASecondStartForwardsAndWritesNothing)
{
    WriteIni("[Para]\r\nLanguage=1\r\n");
    auto first = MakeApp();
    ASSERT_EQ(first->InitInstance(Args()), COrlatCenterApp::Continue);
    first->MainFrame()->showMinimized();
    QApplication::processEvents();

    auto second = MakeApp();
    EXPECT_EQ(second->InitInstance(Args()), COrlatCenterApp::ExitOk);
    EXPECT_FALSE(second->SettingsLoaded());
    second->ExitInstance(0);
    EXPECT_EQ(ReadIni(), "[Para]\r\nLanguage=1\r\n");
    QApplication::processEvents();
    EXPECT_FALSE(first->MainFrame()->isMinimized());
    EXPECT_TRUE(first->MainFrame()->isVisible());

    // Hidden (to the tray): shown again.
    first->MainFrame()->hide();
    auto third = MakeApp();
    EXPECT_EQ(third->InitInstance(Args()), COrlatCenterApp::ExitOk);
    QApplication::processEvents();
    EXPECT_TRUE(first->MainFrame()->isVisible());
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(StartUp, LanguageOneWithAndWithoutItsTranslation)
{
    WriteIni("[Para]\nLanguage=1\n");
    {
        auto app = MakeApp(QString::fromUtf8(ORLAT_BINARY_DIR "/app"));
        ASSERT_EQ(app->InitInstance(Args()), COrlatCenterApp::Continue);
        EXPECT_TRUE(app->TranslationLoaded());
        CDlgSetPltUnit d;
        EXPECT_EQ(d.windowTitle(), "PLT File Unit");
        app->ExitInstance(0);
    }
    auto app = MakeApp();  // no .qm in the program folder: Chinese, silently
    ASSERT_EQ(app->InitInstance(Args()), COrlatCenterApp::Continue);
    EXPECT_FALSE(app->TranslationLoaded());
    CDlgSetPltUnit d;
    EXPECT_EQ(d.windowTitle(), QString::fromUtf8("PLT文件单位"));
    EXPECT_EQ(d.UnitBox()->itemText(0), "0.0250mm");  // code texts follow Language all the same
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(StartUp, SecondStartWithoutAnswerShowsTheBoxInTheFilesLanguage)
{
    // The lock is held, nobody answers: the box in the file's language, the
    // file read only.
    WriteIni("[Para]\nLanguage=1\n");
    QLockFile held(runtime.filePath(InstanceKey(program.path() + "/", "OrlatCenter") + ".lock"));
    ASSERT_TRUE(held.tryLock(0));
    auto app = MakeApp();
    app->SetExecutableName("OrlatCenter");
    EXPECT_EQ(app->InitInstance(Args()), COrlatCenterApp::ExitFailed);
    app->ExitInstance(COrlatCenterApp::ExitFailed);
    EXPECT_EQ(messages, QStringList{"Application already running"});
    EXPECT_EQ(ReadIni(), "[Para]\nLanguage=1\n");

    EXPECT_EQ(AlreadyRunningText(0), QString::fromUtf8("程序已经在运行！若在任务栏里找不到，请双击系统托盘里的图标。"));
    EXPECT_EQ(AlreadyRunningText(1), "Application already running");
    EXPECT_EQ(AlreadyRunningText(2), "Application already running");
}

}  // namespace
