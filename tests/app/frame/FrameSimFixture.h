// Guards frame tests on the simulated machine against a link, a job thread or a fault left over from the test before.
#pragma once
// The frame against the simulated machine in this process over loopback TCP,
// with short link time-outs.
#include <netinet/in.h>

#include "link/MyEth.h"
#include "tests/app/frame/FrameFixture.h"
#include "tests/support/SimLink.h"
#include "tools/machine-sim/MachineSim.h"

namespace appfix {

class FrameSimFixture : public FrameFixture {
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        testsupport::LinkToSim(sim, faults, frame->Service().jobLink, linkLostMs);
    }
    void TearDown() override
    {
        answer = true;
        // A handle still set would make the close end the process at once
        // (with status 0, whatever failed): the thread is let finish first.
        if (g_pSendJobThread) {
            // Its last report may run meanwhile and clear the handle.
            PumpUntil([] { return g_pSendJobThread == nullptr || g_pSendJobThread->Done(); }, 20000);
            if (g_pSendJobThread) g_pSendJobThread->Join();
            g_pSendJobThread.reset();
        }
        frame->close();  // stops the clocks, joins the link thread
        FrameFixture::TearDown();
        testsupport::UnlinkFromSim(sim);
    }

    // Set before SetUp: the simulator's fault, and how long the link waits
    // on a silent machine before it counts as lost.
    std::string faults;
    int linkLostMs = 500;
    CMachineSim sim;
};

}  // namespace appfix
