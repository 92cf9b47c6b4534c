#pragma once
// The knife path of one cut segment: the cut curves clipped to the segment's
// feed range, cleaned, given speeds from their turns and step lengths, and
// packed into the machine's 16-byte records. Works on the global knife point
// list (the sending thread's) and the job's snapshot.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "link/JobSnapshot.h"
#include "model/KnifePoint.h"

class COnePage;

namespace KnifePlan {

// Records one pass may hold; a larger pass is refused like one of
// kRefusedPoints points or more.
constexpr int32_t kRecordCapacity = 50000;
constexpr int32_t kRefusedPoints = 65535;
constexpr int kRecordWords = 8;  // x, y (two words each), speed, exit speed, command, 0
constexpr size_t kStreamWords = 800000;

// Feed-axis start of cut segment a, in feed pulses.
int32_t BandStart(int32_t a, const MachineParams& p);

// Clears the list and builds the path of cut segment `segment`; the point count.
int32_t BuildCutPass(const COnePage& page, int32_t segment, const JobSnapshot& s);
// The path of the feed range [lo, hi) appended to the emptied list; the count.
int32_t BuildKnifePath(const COnePage& page, int32_t lo, int32_t hi, const JobSnapshot& s);

// The cleaning and planning steps, each over the whole list.
void DropDoubleMoves(std::vector<KnifePoint>& pts);
void ComputeDirections(std::vector<KnifePoint>& pts);
void ComputeStepLengths(std::vector<KnifePoint>& pts);
void MergeShortCuts(std::vector<KnifePoint>& pts);
void ComputeSharpness(std::vector<KnifePoint>& pts, double pulsesPerMmY);
void PlanKnifeSpeeds(std::vector<KnifePoint>& pts, int32_t cutSpeed);
void ShiftKnifePath(std::vector<KnifePoint>& pts, int32_t dx, int32_t dy);

// The pass's packed stream (the sending thread's; allocated once).
struct KnifeStream {
    std::vector<uint16_t> records = std::vector<uint16_t>(static_cast<size_t>(kRecordCapacity) * kRecordWords);
    std::vector<uint16_t> packed = std::vector<uint16_t>(kStreamWords);
    int32_t packedBytes = 0;  // PackedKnifeBytes
};

// Writes one record per point and packs them: true, or false (nothing packed)
// when the pass does not fit the record buffer.
bool PackKnifePath(const std::vector<KnifePoint>& pts, KnifeStream& out);

}  // namespace KnifePlan
