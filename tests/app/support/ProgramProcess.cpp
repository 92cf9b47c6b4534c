// Guards process tests against a child that inherits the test's display or runtime folder, is never reaped, or hangs its test.
#include "tests/app/support/ProgramProcess.h"

#include <fcntl.h>
#include <linux/capability.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <initializer_list>
#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace testsupport {

namespace fs = std::filesystem;

namespace {

std::string NameOf(const std::string& entry) { return entry.substr(0, entry.find('=')); }

std::vector<std::string> Environment(const Launch& launch)
{
    auto dropped = [&](const std::string& name) {
        for (const std::string& u : launch.unset) {
            if (u == name) return true;
            if (!u.empty() && u.back() == '*' && name.rfind(u.substr(0, u.size() - 1), 0) == 0) return true;
        }
        for (const std::string& s : launch.set)
            if (NameOf(s) == name) return true;
        return false;
    };
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (!dropped(NameOf(*e))) env.push_back(*e);
    env.insert(env.end(), launch.set.begin(), launch.set.end());
    return env;
}

std::vector<char*> Pointers(std::vector<std::string>& strings)
{
    std::vector<char*> v;
    for (std::string& s : strings) v.push_back(s.data());
    v.push_back(nullptr);
    return v;
}

}  // namespace

fs::path BuiltProgram() { return fs::path(ORLAT_BINARY_DIR) / "app" / "OrlatCenter"; }

void MakeRuntimeFolder(const fs::path& dir)
{
    fs::create_directories(dir);
    ::chmod(dir.c_str(), 0700);
}

Launch Offscreen(const fs::path& runtimeDir, std::vector<std::string> args)
{
    Launch l;
    l.args = std::move(args);
    l.set = {"XDG_RUNTIME_DIR=" + runtimeDir.string(), "QT_QPA_PLATFORM=offscreen"};
    return l;
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept : m_pid(other.m_pid), m_error(std::move(other.m_error))
{
    other.m_pid = -1;
}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept
{
    if (this != &other) {
        Kill();
        m_pid = other.m_pid;
        m_error = std::move(other.m_error);
        other.m_pid = -1;
    }
    return *this;
}

bool ChildProcess::Start(const fs::path& program, const Launch& launch)
{
    Kill();
    m_error.clear();
    std::vector<std::string> all = {program.string()};
    all.insert(all.end(), launch.args.begin(), launch.args.end());
    std::vector<std::string> env = Environment(launch);
    std::vector<char*> argv = Pointers(all), envp = Pointers(env);
    const std::string out = launch.out.string(), err = launch.err.string();

    if (launch.withoutLeases || launch.withoutOverrides) {
        // fork, not posix_spawn: the capability goes between fork and exec.
        // The child calls only what is safe after a fork in a threaded
        // process (so no PATH look-up: program is a path here).
        const pid_t pid = ::fork();
        if (pid < 0) {
            m_error = std::string("fork: ") + std::strerror(errno);
            return false;
        }
        if (pid == 0) {
            if (launch.withoutLeases && ::prctl(PR_CAPBSET_DROP, CAP_LEASE, 0, 0, 0) != 0) ::_exit(125);
            if (launch.withoutOverrides)
                for (const int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
                    if (::prctl(PR_CAPBSET_DROP, cap, 0, 0, 0) != 0) ::_exit(125);
            const std::pair<int, const std::string*> redirects[] = {{1, &out}, {2, &err}};
            for (const auto& [fd, file] : redirects) {
                if (file->empty()) continue;
                const int f = ::open(file->c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
                if (f < 0 || ::dup2(f, fd) < 0) ::_exit(124);
                ::close(f);
            }
            if (launch.errWithOut && ::dup2(1, 2) < 0) ::_exit(124);
            ::execve(argv[0], argv.data(), envp.data());
            ::_exit(126);
        }
        m_pid = pid;
        return true;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!out.empty()) posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (!err.empty()) posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (launch.errWithOut) posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = -1;
    const int rc = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        m_error = "cannot start " + all[0] + ": " + std::strerror(rc);
        return false;
    }
    m_pid = pid;
    return true;
}

int ChildProcess::Wait(int ms)
{
    if (m_pid <= 0) return -1;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        int status = 0;
        const pid_t r = ::waitpid(m_pid, &status, WNOHANG);
        if (r == m_pid) {
            m_pid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (r < 0) {
            m_pid = -1;  // not ours to wait on any more
            return -1;
        }
        if (std::chrono::steady_clock::now() > end) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

int ChildProcess::Signal(int sig, int ms)
{
    if (m_pid <= 0) return -1;  // never kill(-1): that is every process
    ::kill(m_pid, sig);
    return Wait(ms);
}

bool ChildProcess::WaitStopped(int ms)
{
    if (m_pid <= 0) return false;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        int status = 0;
        const pid_t r = ::waitpid(m_pid, &status, WNOHANG | WUNTRACED);
        if (r == m_pid && WIFSTOPPED(status)) return true;
        if (r == m_pid || r < 0) {
            m_pid = -1;  // it ended: reaped
            m_error = "it ended instead of stopping";
            return false;
        }
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

void ChildProcess::ContinueWith(int sig)
{
    if (m_pid <= 0) return;
    if (sig != 0) ::kill(m_pid, sig);
    ::kill(m_pid, SIGCONT);
}

void ChildProcess::Kill()
{
    if (m_pid <= 0) return;
    ::kill(m_pid, SIGKILL);
    ::waitpid(m_pid, nullptr, 0);
    m_pid = -1;
}

bool ChildProcess::WaitLocked(const fs::path& runtimeDir, int ms) const
{
    if (m_pid <= 0) return false;
    const std::string mine = std::to_string(m_pid);
    return WaitFor(
        [&] {
            std::error_code ec;  // the folder may not be made yet
            for (const auto& e : fs::directory_iterator(runtimeDir, ec)) {
                if (e.path().extension() != ".lock") continue;
                std::ifstream in(e.path());
                std::string first;
                std::getline(in, first);
                if (first == mine) return true;
            }
            return false;
        },
        ms);
}

bool WaitFor(const std::function<bool()>& pred, int ms, int stepMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end) return pred();
        std::this_thread::sleep_for(std::chrono::milliseconds(stepMs));
    }
    return true;
}

std::string ReadFile(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace testsupport
