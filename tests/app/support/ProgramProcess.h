// Guards process tests against a child that inherits the test's display or runtime folder, is never reaped, or hangs its test.
#pragma once
// A program run as a child process of a test: its environment built from
// this process's, its output into files, waited on with a limit, and killed
// and reaped when the object goes.
#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace testsupport {

// The program this build made.
std::filesystem::path BuiltProgram();

// Makes dir (and its parents), open to its owner only, as a runtime folder must be.
void MakeRuntimeFolder(const std::filesystem::path& dir);

// How a child starts.
struct Launch {
    std::vector<std::string> args;   // after the program's name
    std::vector<std::string> set;    // "NAME=value", in place of NAME from this process
    std::vector<std::string> unset;  // names of this process's variables not passed on ("XDG_*": all so named)
    std::filesystem::path out, err;  // standard output and error go to these files; inherited when empty
    bool errWithOut = false;         // standard error into the same file as standard output
    // CAP_LEASE dropped from its bounding set: run as root it meets the
    // refusal an ordinary account meets on another account's file.
    bool withoutLeases = false;
    // The permission overrides (CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH,
    // CAP_FOWNER) dropped from its bounding set: run as root it honours a
    // folder's permissions as an ordinary account does.
    bool withoutOverrides = false;
};

// The program offscreen, its lock and socket in runtimeDir, with args.
Launch Offscreen(const std::filesystem::path& runtimeDir, std::vector<std::string> args = {});

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess() { Kill(); }
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts program, looked up on PATH when it is a bare name (a child
    // still running from before is killed first); false, with Error()
    // saying why, when it could not be started.
    bool Start(const std::filesystem::path& program, const Launch& launch);
    pid_t Pid() const { return m_pid; }
    bool Running() const { return m_pid > 0; }
    const std::string& Error() const { return m_error; }

    // Exit status (128 + the signal when one ended it), or -1 when it did
    // not end within ms; it runs on then.
    int Wait(int ms = 20000);
    // Sends sig, then Wait(ms).
    int Signal(int sig, int ms = 20000);
    // Whether it stops (SIGSTOP) within ms; false when it ends or runs on.
    bool WaitStopped(int ms = 40000);
    // Sends sig to a stopped child and lets it go on (the signal is taken then).
    void ContinueWith(int sig);
    // SIGKILL, reaped at once.
    void Kill();
    // Whether a lock in runtimeDir names this child within ms: from then on
    // its signal handlers are in place.
    bool WaitLocked(const std::filesystem::path& runtimeDir, int ms = 20000) const;

private:
    pid_t m_pid = -1;
    std::string m_error;
};

// Polls for an event of another process (a file gone, a job ended) every
// stepMs until pred holds or ms pass; pred's last value.
bool WaitFor(const std::function<bool()>& pred, int ms, int stepMs = 20);

// What a child wrote into a file; empty when there is no such file.
std::string ReadFile(const std::filesystem::path& file);

}  // namespace testsupport
