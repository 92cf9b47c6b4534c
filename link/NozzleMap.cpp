#include "link/NozzleMap.h"

#include <array>
#include <bit>
#include <cstring>

#include "link/JobCheck.h"

namespace {

constexpr std::array<NozzleBit, kNozzles> MakeNozzleTable()
{
    std::array<NozzleBit, kNozzles> t{};
    for (int n = 0; n < kNozzles; ++n) t[n] = NozzleByteMap(n);
    return t;
}
constexpr std::array<NozzleBit, kNozzles> kNozzleTable = MakeNozzleTable();

// ORs the nozzle bits of image rows [rowLo, rowHi) of one scan line into
// `out`, nozzle = row - rowLo + firstNozzle.
void MapRows(const uint8_t* line, int rowLo, int rowHi, int firstNozzle, uint8_t* out)
{
    for (int k = rowLo / 8; k * 8 < rowHi; ++k) {
        unsigned v = line[k];
        while (v != 0) {
            const int j = std::countl_zero(static_cast<uint8_t>(v));
            v &= ~(0x80u >> j);
            const int row = k * 8 + j;
            if (row < rowLo || row >= rowHi) continue;
            const NozzleBit nb = kNozzleTable[row - rowLo + firstNozzle];
            out[nb.byte] |= nb.mask;
        }
    }
}

bool Blank(const uint8_t* line)
{
    uint64_t w[kScanLineBytes / 8];
    std::memcpy(w, line, sizeof w);
    return (w[0] | w[1] | w[2] | w[3] | w[4]) == 0;
}

void Place(uint8_t* records, int32_t capacity, int64_t record, int offset, const uint8_t* bytes)
{
    if (record < 0 || record >= capacity) return;
    uint8_t* dst = records + record * kRecordBytes + offset;
    for (int i = 0; i < kHeadBytes; ++i) dst[i] |= bytes[i];
}

}  // namespace

void MapHeadNozzles(const bool (&flags)[kNozzles], uint8_t (&out)[kHeadBytes])
{
    std::memset(out, 0, sizeof out);
    for (int n = 0; n < kNozzles; ++n)
        if (flags[n]) out[kNozzleTable[n].byte] |= kNozzleTable[n].mask;
}

void BuildColumnRecords(const uint8_t* scanLines, int32_t columns, const MachineParams& p,
                        int32_t inkBox2Left, uint8_t* records, int32_t recordCapacity)
{
    const bool bothHeads = p.headSelect == 0;
    // Head 2 takes rows 150 .. 299 - overlap on nozzles overlap .. 149; the
    // job check keeps the overlap at 150 or below.
    const int overlap = p.headOverlapRows <= 150 ? p.headOverlapRows : 150;
    const int bEnd = 300 - overlap;
    const bool swap = bothHeads && inkBox2Left != 0;
    for (int32_t c = 0; c < columns; ++c) {
        const uint8_t* line = scanLines + static_cast<size_t>(c) * kScanLineBytes;
        if (Blank(line)) continue;
        uint8_t halfA[kHeadBytes] = {};
        MapRows(line, 0, kNozzles, 0, halfA);
        const int64_t rec1 = kLeadInRecords + static_cast<int64_t>(c);
        const int64_t rec2 = rec1 + p.head2Position;
        if (bothHeads) {
            uint8_t halfB[kHeadBytes] = {};
            MapRows(line, 150, bEnd, overlap, halfB);
            Place(records, recordCapacity, swap ? rec2 : rec1, 0, halfA);
            Place(records, recordCapacity, swap ? rec1 : rec2, kHeadBytes, halfB);
        } else if (p.headSelect == 1) {
            Place(records, recordCapacity, rec1, 0, halfA);
        } else if (p.headSelect == 2) {
            Place(records, recordCapacity, rec2, kHeadBytes, halfA);
        }
    }
}
