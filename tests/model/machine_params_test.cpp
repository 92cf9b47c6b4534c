// Guards: a live parameter block edited or restored in part.
//
// Editing the live parameter block as one step, and restoring it.
#include <gtest/gtest.h>

#include <cstring>

#include "model/MachineParams.h"

namespace {
TEST(MachineParamsStore, EditAndRestoreAreWholeBlocks)
{
    const MachineParams before = SnapshotMachineParams();
    MachineParams saved{};
    FillDefaultMachineParams(saved);
    saved.machineIp = 0xD701A8C0;
    {
        std::lock_guard<std::mutex> lock(g_machineParamsLock);
        g_machineParams = saved;
        g_machineParamsSaved = saved;
    }
    UpdateMachineParams([](MachineParams& p) {
        p.cutSpeed = 1;
        p.pulsesPerMmX = 20;
    });
    MachineParams live = SnapshotMachineParams();
    EXPECT_EQ(live.cutSpeed, 1);
    EXPECT_EQ(live.pulsesPerMmX, 20.0);
    EXPECT_EQ(live.machineIp, 0xD701A8C0u) << "the rest as it was";
    RestoreMachineParamsFromSaved();
    live = SnapshotMachineParams();
    EXPECT_EQ(std::memcmp(&live, &saved, sizeof live), 0);
    StoreMachineParams(before);
}
}  // namespace
