// Guards screenshot tests against a private X server that does not come up or outlives them.
#pragma once
// A private X server for screenshot tests: Xvfb started with -displayfd on
// a free display number, stopped with the object.
#include <string>
#include <vector>
#include <sys/types.h>

class XvfbServer {
public:
    // Starts Xvfb with one screen of the given size; Running() tells whether it came up.
    explicit XvfbServer(const std::string& screen = "1280x800x24", int timeoutMs = 10000);
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    bool Running() const { return m_pid > 0 && !m_display.empty(); }
    // ":N", for DISPLAY.
    const std::string& Display() const { return m_display; }
    // Why it did not start.
    const std::string& Error() const { return m_error; }

private:
    pid_t m_pid = -1;
    std::string m_display;
    std::string m_error;
};

// Runs program with args under the given display (QT_QPA_PLATFORM=xcb, the
// system libraries' leaks at exit suppressed under the sanitizer), with
// extraEnv ("NAME=value") added; its exit status (128 + the signal that
// ended it), -1 when it could not run or ran past timeoutMs (killed then).
int RunOnDisplay(const std::string& display, const std::string& program, const std::vector<std::string>& args,
                 int timeoutMs = 60000, const std::vector<std::string>& extraEnv = {});
