// Guards the start against a program folder or settings file it cannot use being reported only on standard error, in the wrong language, or by a second box at exit.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <QDir>
#include <QTemporaryDir>

#include "app/shell/OrlatCenterApp.h"
#include "app/shell/ProgramFolder.h"
#include "app/shell/StartNotices.h"
#include "app/text/AppMessage.h"
#include "model/Settings.h"
#include "tests/support/GlobalsGuard.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// A probe that works as the system's but may refuse chosen folders.
FolderProbe Refusing(const QString& cannotMake, const QString& readOnly)
{
    FolderProbe p = FolderProbe::System();
    auto make = p.make;
    auto writable = p.writable;
    p.make = [=](const QString& dir) { return !cannotMake.isEmpty() && dir.startsWith(cannotMake) ? EACCES : make(dir); };
    p.writable = [=](const QString& dir) { return !(!readOnly.isEmpty() && dir.startsWith(readOnly)) && writable(dir); };
    return p;
}

// A start with the user's data folder in a folder of the test's own; the
// boxes taken by the hook.
class StartNotice : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(runtime.isValid() && base.isValid() && home.isValid());
        if (const char* old = std::getenv("XDG_DATA_HOME")) oldDataHome = old;
        ::setenv("XDG_DATA_HOME", home.path().toLocal8Bit().constData(), 1);
        SetAppMessageHook([this](QMessageBox::Icon, const QString& text) { messages << text; });
    }
    void TearDown() override
    {
        SetAppMessageHook(nullptr);
        if (oldDataHome.empty()) ::unsetenv("XDG_DATA_HOME");
        else ::setenv("XDG_DATA_HOME", oldDataHome.c_str(), 1);
    }

    std::unique_ptr<COrlatCenterApp> MakeApp()
    {
        auto app = std::make_unique<COrlatCenterApp>();
        app->SetInstanceFolder(runtime.path());
        app->SetTranslationFolder(QStringLiteral(ORLAT_BINARY_DIR "/app"));
        return app;
    }
    QString PerUser() const { return home.path() + QStringLiteral("/OrlatCenter/"); }
    fs::path PerUserIni() const { return fs::path(PerUser().toStdString()) / "OrlatV2.ini"; }
    QString ProgramDir() const { return QString::fromStdU16String(theSettings.Path(Slot::ProgramDir)); }

    testsupport::GlobalsGuard guard;
    QTemporaryDir runtime, base, home;
    std::string oldDataHome;
    QStringList messages;
};

TEST_F(StartNotice, AFolderThatCannotBeMadeGivesWayToThePerUserFolderInTheLanguageFoundThere)
{
    const struct {
        const char* ini;  // the per-user folder's settings, null for none
        const char* says;
    } cases[] = {
        {nullptr, "无法建立程序文件夹"},
        {"[Para]\nLanguage=1\n", "cannot be made"},
        {"[Para]\nLanguage=2\n", "cannot be made"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        messages.clear();
        fs::remove_all(PerUser().toStdString());
        if (c.ini) {
            fs::create_directories(PerUser().toStdString());
            std::ofstream(PerUserIni(), std::ios::binary) << c.ini;
        }
        // A file stands where a folder of the path should be.
        std::ofstream(base.filePath("file").toStdString()) << "x";
        const QString asked = base.filePath("file/prog");
        auto app = MakeApp();
        ASSERT_EQ(app->InitInstance({"--program-dir", asked}), COrlatCenterApp::Continue);
        ASSERT_EQ(messages.size(), 1);
        EXPECT_TRUE(messages[0].contains(QString::fromUtf8(c.says))) << messages[0].toStdString();
        EXPECT_TRUE(messages[0].contains(asked)) << messages[0].toStdString();
        EXPECT_TRUE(messages[0].contains(PerUser())) << messages[0].toStdString();
        EXPECT_EQ(ProgramDir(), PerUser());
        EXPECT_EQ(app->ExitInstance(0), 0);
        EXPECT_NE(ReadAll(PerUserIni()).find("PltFileUnit="), std::string::npos);
        EXPECT_EQ(messages.size(), 1);
    }
}

TEST_F(StartNotice, AReadOnlyFolderIsLeftAsItIsAndThePerUserFolderKeepsTheSettings)
{
    const QString asked = base.filePath("ro");
    QDir().mkpath(asked);
    const fs::path ini = fs::path(asked.toStdString()) / "OrlatV2.ini";
    std::ofstream(ini, std::ios::binary) << "[Para]\nLanguage=1\n";
    auto app = MakeApp();
    app->SetFolderProbe(Refusing(QString(), asked));
    ASSERT_EQ(app->InitInstance({"--program-dir", asked}), COrlatCenterApp::Continue);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QString::fromUtf8("只读"))) << messages[0].toStdString();
    EXPECT_TRUE(messages[0].contains(PerUser())) << messages[0].toStdString();
    EXPECT_EQ(ProgramDir(), PerUser());
    app->ExitInstance(0);
    EXPECT_EQ(ReadAll(ini), "[Para]\nLanguage=1\n");
    EXPECT_TRUE(fs::exists(PerUserIni()));
    EXPECT_EQ(messages.size(), 1);
}

TEST_F(StartNotice, WithNoFolderToSaveInTheStartSaysSoAndTheExitWritesNothing)
{
    const QString asked = base.filePath("nowhere");
    auto app = MakeApp();
    // The per-user folder is refused too.
    app->SetFolderProbe(Refusing(QStringLiteral("/"), QString()));
    ASSERT_EQ(app->InitInstance({"--program-dir", asked}), COrlatCenterApp::Continue);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QString::fromUtf8("默认设置"))) << messages[0].toStdString();
    EXPECT_TRUE(messages[0].contains(QString::fromUtf8("没有权限"))) << messages[0].toStdString();
    EXPECT_TRUE(app->SettingsKept());
    EXPECT_EQ(app->ExitInstance(0), 0);
    EXPECT_FALSE(fs::exists(asked.toStdString()));
    EXPECT_FALSE(fs::exists(PerUserIni()));
    EXPECT_EQ(messages.size(), 1);
}

TEST_F(StartNotice, ASettingsFileThatCannotBeReadIsNamedInChineseAndLeftWhole)
{
    const QString dir = base.filePath("prog");
    const fs::path ini = fs::path(dir.toStdString()) / "OrlatV2.ini";
    const struct {
        const char* name;
        std::function<void()> make;
        const char* reason;
    } cases[] = {
        {"a folder", [&] { fs::create_directories(ini); }, "不是普通文件"},
        // Its first line would say English: the defaults (Chinese) hold.
        {"five megabytes",
         [&] { std::ofstream(ini, std::ios::binary) << "[Para]\nLanguage=1\n" << std::string(5 << 20, ';'); },
         "文件太大"},
        // Root reads it all the same: this case counts for other users only.
        {"no permission",
         [&] {
             std::ofstream(ini, std::ios::binary) << "[Para]\nLanguage=1\n";
             fs::permissions(ini, fs::perms::none);
         },
         "没有权限"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (std::string(c.name) == "no permission" && ::geteuid() == 0) continue;
        messages.clear();
        fs::remove_all(dir.toStdString());
        fs::create_directories(dir.toStdString());
        c.make();
        const auto before = fs::is_regular_file(ini) ? ReadAll(ini) : std::string();
        auto app = MakeApp();
        ASSERT_EQ(app->InitInstance({"--program-dir", dir}), COrlatCenterApp::Continue);
        ASSERT_EQ(messages.size(), 1);
        EXPECT_TRUE(messages[0].contains(QString::fromStdString(ini.string()))) << messages[0].toStdString();
        EXPECT_TRUE(messages[0].contains(QString::fromUtf8(c.reason))) << messages[0].toStdString();
        EXPECT_TRUE(messages[0].contains(QString::fromUtf8("默认设置"))) << messages[0].toStdString();
        EXPECT_EQ(theSettings.Get(Slot::Language), 0);
        app->ExitInstance(0);
        EXPECT_EQ(messages.size(), 1) << "a second box at exit";
        if (fs::is_regular_file(ini)) {
            EXPECT_TRUE(ReadAll(ini) == before);
        } else {
            EXPECT_TRUE(fs::is_directory(ini));
        }
    }
}

TEST(ProgramFolderNotice, ThePerUserFolderAskedForAndNotMadeIsNamedOnce)
{
    FolderProbe refuse;
    refuse.make = [](const QString&) { return EACCES; };
    refuse.writable = [](const QString&) { return false; };
    const ProgramFolderChoice r = ChooseProgramFolder(QStringLiteral("/user"), QStringLiteral("/user/"), refuse);
    EXPECT_FALSE(r.Saves());
    const QString text = ProgramFolderNotice(r);
    EXPECT_EQ(text.count(QStringLiteral("/user/")), 1) << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromUtf8("默认设置"))) << text.toStdString();
}

TEST(ChooseProgramFolder, TheFolderAskedForOrThePerUserOneOrWhatCanStillBeRead)
{
    using P = ProgramFolderChoice::Problem;
    const QString asked = QStringLiteral("/asked"), user = QStringLiteral("/user/");
    const struct {
        const char* name;
        bool makeAsked, writeAsked, makeUser;
        const char* dir;
        P problem;
        bool saves;
    } cases[] = {
        {"usable", true, true, true, "/asked/", P::None, true},
        {"cannot be made", false, false, true, "/user/", P::CannotMake, true},
        {"read-only", true, false, true, "/user/", P::ReadOnly, true},
        {"cannot be made, nor the other", false, false, false, "/user/", P::CannotMake, false},
        {"read-only, the other not made", true, false, false, "/asked/", P::ReadOnly, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FolderProbe probe;
        probe.make = [&](const QString& d) { return (d == "/asked/" ? c.makeAsked : c.makeUser) ? 0 : EACCES; };
        probe.writable = [&](const QString& d) { return d == "/asked/" ? c.writeAsked : true; };
        const ProgramFolderChoice r = ChooseProgramFolder(asked, user, probe);
        EXPECT_EQ(r.dir.toStdString(), c.dir);
        EXPECT_EQ(r.problem, c.problem);
        EXPECT_EQ(r.Saves(), c.saves);
        if (c.problem != P::None) {
            EXPECT_EQ(r.refused.toStdString(), "/asked/");
            EXPECT_EQ(r.perUser.toStdString(), "/user/");
            // The box names both: the one refused and the one tried instead.
            const QString text = ProgramFolderNotice(r);
            EXPECT_TRUE(text.contains("/asked/") && text.contains("/user/")) << text.toStdString();
        }
    }
}

}  // namespace
