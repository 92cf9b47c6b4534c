#include "model/MachineParams.h"

#include <cstddef>

// The block goes to the machine byte for byte: the fields sit at the machine's offsets.
static_assert(offsetof(MachineParams, pulsesPerMmY) == 8);
static_assert(offsetof(MachineParams, machineIp) == 16);
static_assert(offsetof(MachineParams, outputPerMeterX) == 20);
static_assert(offsetof(MachineParams, machineLengthMm) == 24);
static_assert(offsetof(MachineParams, paperCutEndMm) == 32);
static_assert(offsetof(MachineParams, inkAccelMm) == 34);
static_assert(offsetof(MachineParams, head2Position) == 39);
static_assert(offsetof(MachineParams, inkCutOverlapX) == 42);
static_assert(offsetof(MachineParams, bandsPerCutSegment) == 44);
static_assert(offsetof(MachineParams, angleComp) == 46);
static_assert(offsetof(MachineParams, halfKnifeLengthY) == 51);
static_assert(offsetof(MachineParams, reserved) == 53);
static_assert(offsetof(MachineParams, cutMode) == 55);

MachineParams g_machineParams{};
MachineParams g_machineParamsSaved{};
std::mutex g_machineParamsLock;

MachineParams SnapshotMachineParams()
{
    std::lock_guard<std::mutex> lock(g_machineParamsLock);
    return g_machineParams;
}

void StoreMachineParams(const MachineParams& p)
{
    std::lock_guard<std::mutex> lock(g_machineParamsLock);
    g_machineParams = p;
}

void RestoreMachineParamsFromSaved()
{
    std::lock_guard<std::mutex> lock(g_machineParamsLock);
    g_machineParams = g_machineParamsSaved;
}

void SetDefaultMachineParams()
{
    std::lock_guard<std::mutex> lock(g_machineParamsLock);
    FillDefaultMachineParams(g_machineParams);
}

void FillDefaultMachineParams(MachineParams& p)
{
    p.pulsesPerMmX = 60.5;
    p.pulsesPerMmY = 41.36;
    p.outputPerMeterX = 10000;
    p.outputPerMeterY = 10000;
    p.machineLengthMm = 2106;
    p.startPointMm = 10;
    p.preFeedMm = 0;
    p.paperCutStartMm = 0;
    p.paperCutEndMm = 0;
    p.inkAccelMm = 60;
    p.headSelect = 0;
    p.head1ColumnGap = 25;
    p.head2ColumnGap = 25;
    p.headOverlapRows = 2;
    p.head2Position = 145;
    p.bidirCorrection = 5;
    p.inkIntervalPulses = 7;
    p.inkCutOverlapX = 50;
    p.inkCutOverlapY = 50;
    p.bandsPerCutSegment = 8;
    p.cutSpeed = 3;
    p.angleComp = 5;
    p.fullKnifePressure = 70;
    p.halfKnifePressure = 10;
    p.fullKnifeLengthMm = 30;
    p.halfKnifeLengthX = 8;
    p.halfKnifeLengthY = 8;
    p.feedSpeed = 3;
    p.boardVersion = 2;
    p.cutMode = 0;
}
