// Guards the start against Qt's "XDG_RUNTIME_DIR not set" warnings and against a lock folder that is not privately the user's.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <QTemporaryDir>

#include "app/shell/RuntimeFolder.h"

namespace fs = std::filesystem;

extern char** environ;

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

const fs::path kProgram = fs::path(ORLAT_BINARY_DIR) / "app" / "OrlatCenter";

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
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string v = *e;
        if (v.rfind("XDG_RUNTIME_DIR=", 0) != 0 && v.rfind("QT_QPA_PLATFORM=", 0) != 0 && v.rfind("TMPDIR=", 0) != 0)
            env.push_back(v);
    }
    env.push_back("TMPDIR=" + tmp.string());
    env.push_back("QT_QPA_PLATFORM=offscreen");
    std::vector<std::string> args = {kProgram.string(), "--program-dir", prog.string()};
    std::vector<char*> argv, envp;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    ASSERT_EQ(::posix_spawn(&pid, kProgram.c_str(), &fa, nullptr, argv.data(), envp.data()), 0);
    posix_spawn_file_actions_destroy(&fa);

    // Up once its lock names it.
    const passwd* pw = ::getpwuid(::geteuid());
    const fs::path rt = tmp / ("runtime-" + std::string(pw ? pw->pw_name : std::to_string(::geteuid()).c_str()));
    bool up = false;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!up && std::chrono::steady_clock::now() < end) {
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(rt, ec)) {
            if (e.path().extension() != ".lock") continue;
            std::ifstream in(e.path());
            std::string first;
            std::getline(in, first);
            up = first == std::to_string(pid);
        }
        if (!up) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(up) << "no lock in " << rt;
    ::kill(pid, SIGTERM);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(Mode(rt), 0700u);
    std::stringstream text;
    text << std::ifstream(err).rdbuf();
    EXPECT_EQ(text.str().find("XDG_RUNTIME_DIR"), std::string::npos) << text.str();
}

}  // namespace
