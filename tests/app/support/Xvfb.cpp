// Guards screenshot tests against a private X server that does not come up or outlives them.
#include "tests/app/support/Xvfb.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "tests/app/support/ProgramProcess.h"

extern char** environ;

namespace {

std::vector<char*> Argv(std::vector<std::string>& args)
{
    std::vector<char*> v;
    for (std::string& a : args) v.push_back(a.data());
    v.push_back(nullptr);
    return v;
}

// Waits for pid up to timeoutMs; its status, or -1 after killing it.
int WaitFor(pid_t pid, int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int status = 0;
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (r < 0) return -1;
        if (std::chrono::steady_clock::now() > end) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

}  // namespace

XvfbServer::XvfbServer(const std::string& screen, int timeoutMs)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        m_error = "pipe failed";
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // The write end as fd 3 in the child (dup2 clears close-on-exec).
    posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> args = {"Xvfb", "-displayfd", "3", "-screen", "0", screen, "-nolisten", "tcp", "-noreset"};
    auto argv = Argv(args);
    pid_t pid = -1;
    const int rc = ::posix_spawnp(&pid, "Xvfb", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (rc != 0) {
        ::close(fds[0]);
        m_error = std::string("cannot start Xvfb: ") + std::strerror(rc);
        return;
    }
    m_pid = pid;
    // Xvfb writes the display number and a line end once it accepts clients.
    std::string number;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (number.find('\n') == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
        if (left <= 0) break;
        pollfd p{fds[0], POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0) break;
        char buf[32];
        const ssize_t n = ::read(fds[0], buf, sizeof buf);
        if (n <= 0) break;
        number.append(buf, static_cast<size_t>(n));
    }
    ::close(fds[0]);
    const size_t eol = number.find('\n');
    if (eol == std::string::npos || eol == 0) {
        m_error = "Xvfb did not report a display";
        return;
    }
    // Built in place: g++ 12 at -O3 warns falsely (-Wrestrict) on ":" + substr.
    number.resize(eol);
    number.insert(number.begin(), ':');
    m_display = std::move(number);
}

XvfbServer::~XvfbServer()
{
    if (m_pid <= 0) return;
    ::kill(m_pid, SIGTERM);
    if (WaitFor(m_pid, 5000) < 0) {
        // WaitFor killed it already when it lingered.
    }
}

int RunOnDisplay(const std::string& display, const std::string& program, const std::vector<std::string>& args,
                 int timeoutMs, const std::vector<std::string>& extraEnv)
{
    testsupport::Launch l;
    l.args = args;
    l.set = extraEnv;
    l.set.push_back("DISPLAY=" + display);
    l.set.push_back("QT_QPA_PLATFORM=xcb");
    l.unset = {"WAYLAND_DISPLAY", "LSAN_OPTIONS"};
#ifdef ORLAT_LSAN_SUPPRESSIONS
    // The desktop libraries (D-Bus, fontconfig) keep their caches to the end.
    l.set.push_back(std::string("LSAN_OPTIONS=print_suppressions=0:suppressions=") + ORLAT_LSAN_SUPPRESSIONS);
#endif
    testsupport::ChildProcess child;  // killed when it runs past its time
    if (!child.Start(program, l)) return -1;
    return child.Wait(timeoutMs);
}
