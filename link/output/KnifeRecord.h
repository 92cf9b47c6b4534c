#pragma once
// The machine's knife records (16 bytes, little-endian: int32 x, int32 y,
// int16 speed, int16 exit speed, int16 command, 0) and their packed stream.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/KnifePoint.h"
#include "link/output/ZeroRunPack.h"

constexpr int32_t kKnifeRecordWords = 8;
constexpr int32_t kKnifeRecordCapacity = 50000;  // records the buffer holds
constexpr int32_t kKnifePassTooLong = 65535;     // the machine's own limit
constexpr size_t kKnifeStreamWords = 800000;
static_assert(ZeroRunPackedBound(static_cast<size_t>(kKnifeRecordCapacity) * kKnifeRecordWords) + 700 <=
                  kKnifeStreamWords,
              "the knife stream holds every pass the record buffer holds");

struct KnifeBuffers {
    uint16_t records[static_cast<size_t>(kKnifeRecordCapacity) * kKnifeRecordWords];
    uint16_t stream[kKnifeStreamWords];
    int32_t packedBytes = 0;  // PackedKnifeBytes: used length of `stream`
};

// The sending thread's buffers (allocated on first use; only that thread uses them).
KnifeBuffers& TheKnifeBuffers();

void WriteKnifeRecord(const KnifePoint& k, uint16_t (&words)[kKnifeRecordWords]);

// Whether a pass of this many points fits the record buffer (and stays below
// the machine's own limit).
constexpr bool KnifePassFits(size_t points)
{
    return points < static_cast<size_t>(kKnifePassTooLong) && points <= static_cast<size_t>(kKnifeRecordCapacity);
}

// Records and packed stream of a pass: 0, or 2 (nothing written) for a pass
// that does not fit.
int PackKnifePath(const std::vector<KnifePoint>& pts, KnifeBuffers& buf);
