// Guards against tests leaking the machine state and queued codes the control bar reads into each other.
#pragma once
// The shared values the control bar reads, set to a known moment, and the
// codes it queued, read back from KeyQueue.
#include <vector>

#include "link/KeyQueue.h"
#include "link/LinkState.h"
#include "link/output/BandCounters.h"
#include "model/MachineParams.h"
#include "model/Settings.h"

struct BarMoment {
    uint8_t status = 1;
    int32_t link = 1;
    int32_t stepped = 0;
    int32_t count = 0;
    int32_t position = 0;
    double pulsesPerMmY = 40;
    uint8_t headSelect = 0;
    int32_t language = 0;
    int32_t autoOffline = 0;

    void Apply() const
    {
        MachineStatus = status;
        LinkConnected = link;
        BandsStepped = stepped;
        BandCount = count;
        HeadPosition = position;
        MachineParams p = SnapshotMachineParams();
        p.pulsesPerMmY = pulsesPerMmY;
        p.headSelect = headSelect;
        StoreMachineParams(p);
        theSettings.Set(Slot::Language, language);
        theSettings.Set(Slot::AutoOffline, autoOffline);
    }
};

// Everything KeyQueue holds, oldest first; the queue is left empty.
inline std::vector<int> DrainKeyQueue()
{
    std::vector<int> codes;
    for (int c = KeyQueuePop(); c >= 0; c = KeyQueuePop()) codes.push_back(c);
    return codes;
}
