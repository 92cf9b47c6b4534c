// Guards screenshot tests against children run on the wrong display, without their test or past their time.
#include "tests/app/support/XvfbChild.h"

#include <unistd.h>

#include <cstdlib>

#include <QStandardPaths>

#include "tests/app/support/Xvfb.h"

bool InXvfbChild() { return std::getenv(kXvfbChildVar) != nullptr; }

XvfbRun RunSelfUnderXvfb(const std::string& test, const std::vector<std::string>& extraEnv,
                         const std::string& screen, int timeoutMs)
{
    XvfbRun run;
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) {
        run.missing = true;
        run.error = "Xvfb is not installed";
        return run;
    }
    XvfbServer x(screen);
    if (!x.Running()) {
        run.error = x.Error();
        return run;
    }
    char self[4096] = {};
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) {
        run.error = "cannot find this program";
        return run;
    }
    std::vector<std::string> env = extraEnv;
    env.push_back(std::string(kXvfbChildVar) + "=1");
    run.status = RunOnDisplay(x.Display(), self, {"--gtest_filter=" + test, "--gtest_also_run_disabled_tests"},
                              timeoutMs, env);
    if (run.status != 0) run.error = "the child's checks failed (its output is above)";
    return run;
}
