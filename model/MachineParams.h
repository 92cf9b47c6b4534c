#pragma once
// The machine's parameter block: 56 packed little-endian bytes, the same in
// memory and on the link (58 there, with two reserved bytes). The link reads
// and writes it; the geometry, band engine and planner read it.
#include <cstdint>
#include <mutex>

#pragma pack(push, 1)
struct MachineParams {
    double pulsesPerMmX;        // 0  feed axis pulses per mm
    double pulsesPerMmY;        // 8  carriage axis pulses per mm
    uint32_t machineIp;         // 16 first octet in the low byte
    uint16_t outputPerMeterX;   // 20 0.1 mm
    uint16_t outputPerMeterY;   // 22 0.1 mm
    uint16_t machineLengthMm;   // 24
    uint16_t startPointMm;      // 26
    uint16_t preFeedMm;         // 28
    uint16_t paperCutStartMm;   // 30
    uint16_t paperCutEndMm;     // 32
    uint8_t inkAccelMm;         // 34
    uint8_t headSelect;         // 35 0 both, 1 head 1, 2 head 2
    uint8_t head1ColumnGap;     // 36
    uint8_t head2ColumnGap;     // 37
    uint8_t headOverlapRows;    // 38
    uint8_t head2Position;      // 39
    uint8_t bidirCorrection;    // 40
    uint8_t inkIntervalPulses;  // 41
    uint8_t inkCutOverlapX;     // 42 0.1 mm
    uint8_t inkCutOverlapY;     // 43 0.1 mm
    uint8_t bandsPerCutSegment; // 44
    uint8_t cutSpeed;           // 45
    uint8_t angleComp;          // 46 0.1 mm
    uint8_t fullKnifePressure;  // 47
    uint8_t halfKnifePressure;  // 48
    uint8_t fullKnifeLengthMm;  // 49
    uint8_t halfKnifeLengthX;   // 50 0.1 mm
    uint8_t halfKnifeLengthY;   // 51 0.1 mm
    uint8_t feedSpeed;          // 52
    uint8_t reserved;           // 53 carried as received
    uint8_t boardVersion;       // 54
    uint8_t cutMode;            // 55
};
#pragma pack(pop)
static_assert(sizeof(MachineParams) == 56, "the block is 56 bytes on the wire");

// The live copy (read by everyone, edited by the dialogs) and the saved copy
// (last state read from or written to the machine). Writers: the UI thread
// (dialogs) and the thread owning the link (a read). Readers take a copy under
// g_machineParamsLock so a torn block never goes out; the lock is held only
// for the copy.
extern MachineParams g_machineParams;
extern MachineParams g_machineParamsSaved;
extern std::mutex g_machineParamsLock;

// A consistent copy of the live block.
MachineParams SnapshotMachineParams();
// Replaces the live block as one step.
void StoreMachineParams(const MachineParams& p);
// Applies an edit to the live block as it is now, under the lock, so neither a
// reader nor the link's read sees half of it. The edit must not block.
template <class Edit>
void UpdateMachineParams(Edit edit)
{
    std::lock_guard<std::mutex> lock(g_machineParamsLock);
    MachineParams p = g_machineParams;
    edit(p);
    g_machineParams = p;
}
// live := saved (a cancelled edit while the machine is connected).
void RestoreMachineParamsFromSaved();

// Defaults of every field but machineIp and the reserved byte.
void SetDefaultMachineParams();

// --- link additions ---
// The same defaults into any block (the simulated machine keeps its own).
void FillDefaultMachineParams(MachineParams& p);
