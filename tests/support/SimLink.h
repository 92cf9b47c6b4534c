// Guards in-process tests on the simulated machine against a fault, a port or a link flag left over from the test before.
#pragma once
// The program's link to the simulated machine in the same process, over
// loopback TCP, with the short time-outs tests want.
#include <netinet/in.h>

#include <string>

#include <gtest/gtest.h>

#include "link/LinkState.h"
#include "link/MyEth.h"
#include "link/job/JobSender.h"
#include "model/Settings.h"
#include "tools/machine-sim/MachineSim.h"

namespace testsupport {

// Starts sim with faults (a machine-sim fault list; empty: none) and points
// the link and link at it. Fails the test when the machine cannot start.
inline void LinkToSim(CMachineSim& sim, const std::string& faults, JobLink& link, int linkLostMs = 500)
{
    sim.SetLogToStderr(false);
    SimFaults f;
    ASSERT_TRUE(faults.empty() || ApplyFault(faults, f));
    sim.SetFaults(f);
    ASSERT_GT(sim.Start(0), 0);
    theEthOptions.port = sim.Port();
    theEthOptions.addressOverride = INADDR_LOOPBACK;
    theSettings.Set(Slot::ConnectViaEth, 1);
    theSettings.Set(Slot::AutoOffline, 0);
    g_jobActive = false;
    MachineStatus = 0;
    LinkConnected = 0;
    link.timings.readyPauseMs = 2;
    link.timings.pollRetryMs = 50;
    link.timings.linkLostMs = linkLostMs;
}

// The machine stopped and the link's values as they were before.
inline void UnlinkFromSim(CMachineSim& sim)
{
    sim.Stop();
    theEthOptions.port = 5188;
    theEthOptions.addressOverride = 0;
    g_jobActive = false;
    LinkConnected = 0;
    MachineStatus = 0;
}

}  // namespace testsupport
