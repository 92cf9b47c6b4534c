// Guards process tests against a child that sees the test's own display, runtime folder or leak options beside the ones it was given.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/app/support/ProgramProcess.h"
#include "tests/support/TempFolder.h"

namespace {

// Sets a variable for the test's time, as the test's own environment.
class InheritedVariable {
public:
    InheritedVariable(const char* name, const char* value) : m_name(name)
    {
        if (const char* old = ::getenv(name)) m_old = old;
        ::setenv(name, value, 1);
    }
    ~InheritedVariable()
    {
        if (m_old.empty())
            ::unsetenv(m_name.c_str());
        else
            ::setenv(m_name.c_str(), m_old.c_str(), 1);
    }

private:
    std::string m_name, m_old;
};

TEST(ChildEnvironment, GivenVariablesReplaceTheInheritedOnesAndUnsetOnesAreGone)
{
    const std::filesystem::path env = "/usr/bin/env";
    if (!std::filesystem::exists(env)) GTEST_SKIP() << "no env program";
    testsupport::TempFolder folder{"orlat_child_env_"};
    const InheritedVariable display("ORLAT_TEST_DISPLAY", "inherited");
    const InheritedVariable wayland("ORLAT_TEST_WAYLAND", "inherited");
    const InheritedVariable kept("ORLAT_TEST_KEPT", "inherited");
    const InheritedVariable home("ORLAT_TEST_XDG_DATA_HOME", "inherited");
    const InheritedVariable runtime("ORLAT_TEST_XDG_RUNTIME_DIR", "inherited");

    testsupport::Launch l;
    l.set = {"ORLAT_TEST_DISPLAY=given", "ORLAT_TEST_NEW=given", "ORLAT_TEST_XDG_RUNTIME_DIR=given"};
    l.unset = {"ORLAT_TEST_WAYLAND", "ORLAT_TEST_XDG_*"};
    l.out = folder.path() / "env.txt";
    testsupport::ChildProcess child;
    ASSERT_TRUE(child.Start(env, l)) << child.Error();
    ASSERT_EQ(child.Wait(), 0);

    std::vector<std::string> lines;
    std::istringstream in(testsupport::ReadFile(l.out));
    for (std::string line; std::getline(in, line);)
        if (line.rfind("ORLAT_TEST_", 0) == 0) lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    // Once each: a second DISPLAY after the inherited one would lose to it.
    EXPECT_EQ(lines, (std::vector<std::string>{"ORLAT_TEST_DISPLAY=given", "ORLAT_TEST_KEPT=inherited",
                                               "ORLAT_TEST_NEW=given", "ORLAT_TEST_XDG_RUNTIME_DIR=given"}));
}

TEST(ChildEnvironment, AChildThatCannotStartSaysWhyAndIsNotWaitedOn)
{
    testsupport::ChildProcess child;
    EXPECT_FALSE(child.Start("/nonexistent/program", {}));
    EXPECT_FALSE(child.Error().empty());
    EXPECT_FALSE(child.Running());
    EXPECT_EQ(child.Wait(), -1);
}

}  // namespace
