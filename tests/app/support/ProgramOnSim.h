// Guards process tests against a program folder, a runtime folder or a simulated machine left over from the test before.
#pragma once
// The real program's folders under the build tree beside the simulated
// machine on loopback TCP: what every process test with the machine starts
// from. The folder stays when the test failed, for a look.
#include <unistd.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "tests/app/support/ProgramProcess.h"
#include "tools/machine-sim/MachineSim.h"

namespace testsupport {

class ProgramOnSim : public ::testing::Test {
protected:
    using path = std::filesystem::path;

    // root := build tree / stem_pid, made anew with its runtime folder and
    // the program's watched folder; the machine listens on a free port.
    void MakeFolders(const std::string& stem)
    {
        root = path(ORLAT_BINARY_DIR) / (stem + "_" + std::to_string(::getpid()));
        std::filesystem::remove_all(root);
        MakeRuntimeFolder(root / "rt");
        std::filesystem::create_directories(Data());
        sim.SetLogToStderr(false);
        ASSERT_GT(sim.Start(0), 0);
    }
    void EndFolders()
    {
        program.Kill();
        sim.Stop();
        if (!HasFailure() && !root.empty()) std::filesystem::remove_all(root);
    }
    path Prog() const { return root / "prog"; }
    path Data() const { return root / "prog" / "DataMm"; }
    path LastTask() const { return Prog() / "last2107.orlattask"; }

    path root;
    ChildProcess program;
    CMachineSim sim;
};

}  // namespace testsupport
