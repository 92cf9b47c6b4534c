// Guards the start against Qt's "XDG_RUNTIME_DIR not set" warnings and against a lock folder that is not privately the user's.
#include <gtest/gtest.h>

#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include <QTemporaryDir>

#include "app/shell/RuntimeFolder.h"
#include "tests/app/support/ProgramProcess.h"

namespace fs = std::filesystem;

namespace {

mode_t Mode(const fs::path& p)
{
    struct stat st {};
    return ::lstat(p.c_str(), &st) == 0 ? (st.st_mode & 0777) : 0;
}

TEST(PrivateRuntimeFolder, MadePrivateOrRefusedWhenNotTheUsersOwn)
{
    QTemporaryDir tmp;
    const fs::path base = tmp.path().toStdString();
    const struct {
        const char* name;
        std::function<void(const fs::path&)> before;
        bool usable;
    } cases[] = {
        {"missing", [](const fs::path&) {}, true},
        {"open to all", [](const fs::path& p) { fs::create_directory(p); ::chmod(p.c_str(), 0777); }, true},
        {"a link to elsewhere", [&](const fs::path& p) { fs::create_directory(base / "elsewhere"); fs::create_directory_symlink(base / "elsewhere", p); }, false},
        {"a file", [](const fs::path& p) { std::ofstream(p) << "x"; }, false},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString user = QStringLiteral("u%1").arg(n++);
        const fs::path dir = base / ("runtime-" + user.toStdString());
        c.before(dir);
        const QString got = PrivateRuntimeFolder(tmp.path(), user);
        if (c.usable) {
            EXPECT_EQ(got.toStdString(), dir.string());
            EXPECT_EQ(Mode(dir), 0700u);
        } else {
            EXPECT_TRUE(got.isEmpty()) << got.toStdString();
        }
    }
}

const fs::path kProgram = testsupport::BuiltProgram();

// The real program where no session set XDG_RUNTIME_DIR (a bare X server):
// its standard error holds no warning, its lock sits in a private folder.
TEST(RuntimeFolderProcess, AStartWithoutXdgRuntimeDirWarnsOfNothing)
{
    if (!fs::exists(kProgram)) GTEST_SKIP() << "the program is not built";
    QTemporaryDir root;
    const fs::path tmp = fs::path(root.path().toStdString()) / "tmp";
    const fs::path prog = fs::path(root.path().toStdString()) / "prog";
    const fs::path err = fs::path(root.path().toStdString()) / "stderr.txt";
    fs::create_directories(tmp);
    testsupport::Launch l;
    l.args = {"--program-dir", prog.string()};
    l.unset = {"XDG_RUNTIME_DIR"};
    l.set = {"TMPDIR=" + tmp.string(), "QT_QPA_PLATFORM=offscreen"};
    l.err = err;
    testsupport::ChildProcess program;
    ASSERT_TRUE(program.Start(kProgram, l)) << program.Error();

    // Up once its lock names it.
    const passwd* pw = ::getpwuid(::geteuid());
    const fs::path rt = tmp / ("runtime-" + std::string(pw ? pw->pw_name : std::to_string(::geteuid()).c_str()));
    EXPECT_TRUE(program.WaitLocked(rt)) << "no lock in " << rt;
    const int status = program.Signal(SIGTERM);
    ASSERT_NE(status, -1) << "it did not end";
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Mode(rt), 0700u);
    const std::string text = testsupport::ReadFile(err);
    EXPECT_EQ(text.find("XDG_RUNTIME_DIR"), std::string::npos) << text;
}

}  // namespace
