#pragma once
// The column records built row by row from the set bits, as they were before
// the lookup tables: the oracle the table-driven builder must match.
#include <bit>
#include <cstring>

#include "link/output/JobCheck.h"
#include "link/output/NozzleMap.h"

namespace oracle {

// The scan line as five words, row 64 i + k at bit 63 - k of word i.
inline void LoadLine(const uint8_t* line, uint64_t (&w)[5])
{
    for (int i = 0; i < 5; ++i) {
        uint64_t v;
        std::memcpy(&v, line + 8 * i, 8);
        w[i] = __builtin_bswap64(v);
    }
}

// Every half record is written by one column at most, so a copy will do.
inline void Place(uint8_t* records, int32_t capacity, int64_t record, int offset, const uint8_t* bytes)
{
    if (record < 0 || record >= capacity) return;
    std::memcpy(records + record * kRecordBytes + offset, bytes, kHeadBytes);
}

inline void BuildColumnRecords(const uint8_t* scanLines, int32_t columns, const MachineParams& p,
                        int32_t inkBox2Left, uint8_t* records, int32_t recordCapacity)
{
    const bool bothHeads = p.headSelect == 0;
    // Head 2 takes rows 150 .. 299 - overlap on nozzles overlap .. 149; the
    // job check keeps the overlap at 150 or below.
    const int overlap = p.headOverlapRows <= 150 ? p.headOverlapRows : 150;
    const int bEnd = 300 - overlap;
    const bool swap = bothHeads && inkBox2Left != 0;
    for (int32_t c = 0; c < columns; ++c) {
        uint64_t w[5];
        LoadLine(scanLines + static_cast<size_t>(c) * kScanLineBytes, w);
        if ((w[0] | w[1] | w[2] | w[3] | w[4]) == 0) continue;
        uint8_t halfA[kHeadBytes] = {};
        uint8_t halfB[kHeadBytes] = {};
        bool anyA = false, anyB = false;
        for (int i = 0; i < 5; ++i) {
            uint64_t v = w[i];
            while (v != 0) {
                const int k = std::countl_zero(v);
                v &= ~(uint64_t{1} << (63 - k));
                const int row = 64 * i + k;
                if (row < kNozzles) {
                    const NozzleBit nb = NozzleByteMap(row);
                    halfA[nb.byte] |= nb.mask;
                    anyA = true;
                } else if (bothHeads && row < bEnd) {
                    const NozzleBit nb = NozzleByteMap(row - 150 + overlap);
                    halfB[nb.byte] |= nb.mask;
                    anyB = true;
                } else {
                    v = 0;
                    if (i < 4) i = 4;  // rows further on are not printed
                }
            }
        }
        const int64_t rec1 = kLeadInRecords + static_cast<int64_t>(c);
        const int64_t rec2 = rec1 + p.head2Position;
        if (bothHeads) {
            if (anyA) Place(records, recordCapacity, swap ? rec2 : rec1, 0, halfA);
            if (anyB) Place(records, recordCapacity, swap ? rec1 : rec2, kHeadBytes, halfB);
        } else if (p.headSelect == 1) {
            if (anyA) Place(records, recordCapacity, rec1, 0, halfA);
        } else if (p.headSelect == 2) {
            if (anyA) Place(records, recordCapacity, rec2, kHeadBytes, halfA);
        }
    }
}

}  // namespace oracle
