// Guards screenshot tests against children run on the wrong display, without their test or past their time.
#pragma once
// A screenshot test's child: this test program run again under a private X
// server with one of its disabled tests selected.
#include <string>
#include <vector>

// Set in the child's environment; a child test skips without it.
inline constexpr const char* kXvfbChildVar = "ORLAT_XVFB_CHILD";
bool InXvfbChild();

struct XvfbRun {
    bool missing = false;  // Xvfb is not installed: the caller skips
    int status = -1;       // the child's exit status; -1 when it did not run or finish
    std::string error;     // why, when the server or the child did not come up
};

// Runs test ("Suite.DISABLED_Child") of this program under a fresh Xvfb of
// the given screen, extraEnv ("NAME=value") added.
XvfbRun RunSelfUnderXvfb(const std::string& test, const std::vector<std::string>& extraEnv = {},
                         const std::string& screen = "1024x768x24", int timeoutMs = 120000);
