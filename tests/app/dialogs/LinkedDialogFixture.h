// Guards dialog tests on the simulated machine against a poll thread, a simulator or link time-outs left over from the test before.
#pragma once
// The parameter dialogs against the simulated machine over loopback TCP, read
// and written by the real poll thread; the machine holds a head 2 position
// unlike the defaults.
#include <cstring>
#include <thread>
#include <vector>

#include "link/CommPoll.h"
#include "link/MyEth.h"
#include "tests/app/dialogs/DialogFixture.h"
#include "tools/machine-sim/MachineSim.h"

inline constexpr uint32_t kLoopback1 = 0x0100007F;  // 127.0.0.1, first octet low

class LinkedDialogTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        LinkConnected = 0;
        sim.SetLogToStderr(false);
        ASSERT_GT(sim.Start(0), 0);
        sim.WithMachine([](CSimMachine& m) {
            m.params.head2Position = 180;  // unlike the defaults
            m.params.machineIp = kLoopback1;
        });
        theEthOptions.port = sim.Port();
        theEthOptions.addressOverride = 0;
        theEthOptions.connectTimeoutMs = 300;
        theEthOptions.replyTimeoutMs = 500;
        theSettings.Set(Slot::ConnectViaEth, 1);
        UpdateMachineParams([](MachineParams& p) { p.machineIp = kLoopback1; });
    }
    void StartLink()
    {
        theSettings.Set(Slot::Quitting, 0);
        linkThread = std::thread([] { CommPollThread(); });
    }
    void StopLink()
    {
        theSettings.Set(Slot::Quitting, 1);
        if (linkThread.joinable()) linkThread.join();
        theSettings.Set(Slot::Quitting, 0);
    }
    void TearDown() override
    {
        StopLink();
        sim.Stop();
        theEthOptions.port = 5188;
        theEthOptions.connectTimeoutMs = 1000;
        theEthOptions.replyTimeoutMs = 2000;
        DialogTest::TearDown();
    }
    // The blocks of the parameter writes (code 27) a machine received.
    static std::vector<MachineParams> Writes(CMachineSim& m)
    {
        std::vector<MachineParams> out;
        for (const SimUnit& u : m.Received()) {
            if (u.chunk || u.bytes.size() < 2 + sizeof(MachineParams) || u.bytes[1] != 27) continue;
            MachineParams p;
            std::memcpy(&p, u.bytes.data() + 2, sizeof p);
            out.push_back(p);
        }
        return out;
    }
    std::vector<MachineParams> Writes() { return Writes(sim); }

    CMachineSim sim;
    // The poll thread: started by StartLink, joined by StopLink on this thread.
    std::thread linkThread;
};
