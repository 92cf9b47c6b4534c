#include "link/output/NozzleMap.h"

#include <array>
#include <bit>
#include <cstring>
#include <memory>

#include "link/output/JobCheck.h"

namespace {

constexpr std::array<NozzleBit, kNozzles> MakeNozzleTable()
{
    std::array<NozzleBit, kNozzles> t{};
    for (int n = 0; n < kNozzles; ++n) t[n] = NozzleByteMap(n);
    return t;
}
constexpr std::array<NozzleBit, kNozzles> kNozzleTable = MakeNozzleTable();

// Every half record is written by one column at most, so a copy will do.
void Place(uint8_t* records, int32_t capacity, int64_t record, int offset, const uint8_t* bytes)
{
    if (record < 0 || record >= capacity) return;
    std::memcpy(records + record * kRecordBytes + offset, bytes, kHeadBytes);
}

}  // namespace

void MapHeadNozzles(const bool (&flags)[kNozzles], uint8_t (&out)[kHeadBytes])
{
    std::memset(out, 0, sizeof out);
    for (int n = 0; n < kNozzles; ++n)
        if (flags[n]) out[kNozzleTable[n].byte] |= kNozzleTable[n].mask;
}

void BuildNozzleTables(const MachineParams& p, NozzleTables& t)
{
    t.bothHeads = p.headSelect == 0;
    t.headSelect = p.headSelect;
    // Head 2 takes rows 150 .. 299 - overlap on nozzles overlap .. 149; the
    // job check keeps the overlap at 150 or below.
    const int overlap = p.headOverlapRows <= 150 ? p.headOverlapRows : 150;
    const int bEnd = 300 - overlap;
    auto fill = [](uint64_t (&words)[3], int nozzle) {
        const NozzleBit nb = kNozzleTable[nozzle];
        words[nb.byte / 8] |= uint64_t{nb.mask} << (8 * (nb.byte % 8));
    };
    std::memset(t.a, 0, sizeof t.a);
    std::memset(t.b, 0, sizeof t.b);
    for (int k = 0; k < NozzleTables::kBytesA; ++k)
        for (int v = 1; v < 256; ++v)
            for (int j = 0; j < 8; ++j) {
                const int row = 8 * k + j;
                if ((v & (0x80 >> j)) != 0 && row < kNozzles) fill(t.a[k][v], row);
            }
    if (!t.bothHeads) return;
    for (int k = 0; k < NozzleTables::kBytesB; ++k)
        for (int v = 1; v < 256; ++v)
            for (int j = 0; j < 8; ++j) {
                const int row = 8 * (18 + k) + j;
                if ((v & (0x80 >> j)) != 0 && row >= 150 && row < bEnd) fill(t.b[k][v], row - 150 + overlap);
            }
}

void BuildColumnRecords(const uint8_t* scanLines, int32_t columns, const MachineParams& p,
                        int32_t inkBox2Left, uint8_t* records, int32_t recordCapacity)
{
    const auto t = std::make_unique<NozzleTables>();
    BuildNozzleTables(p, *t);
    BuildColumnRecords(*t, scanLines, columns, p, inkBox2Left, records, recordCapacity);
}

void BuildColumnRecords(const NozzleTables& t, const uint8_t* scanLines, int32_t columns, const MachineParams& p,
                        int32_t inkBox2Left, uint8_t* records, int32_t recordCapacity)
{
    const bool bothHeads = t.bothHeads;
    const bool swap = bothHeads && inkBox2Left != 0;
    for (int32_t c = 0; c < columns; ++c) {
        const uint8_t* line = scanLines + static_cast<size_t>(c) * kScanLineBytes;
        // A blank column is passed over whole.
        uint64_t w[5];
        std::memcpy(w, line, sizeof w);
        if ((w[0] | w[1] | w[2] | w[3] | w[4]) == 0) continue;
        uint64_t a[3] = {0, 0, 0};
        uint64_t b[3] = {0, 0, 0};
        // Eight bytes at a time: blank stretches of the column cost one test.
        for (int i = 0; i < 5; ++i) {
            if (w[i] == 0) continue;
            for (int k = 8 * i; k < 8 * i + 8; ++k) {
                const uint8_t v = line[k];
                if (v == 0) continue;
                if (k < NozzleTables::kBytesA) {
                    const uint64_t* e = t.a[k][v];
                    a[0] |= e[0];
                    a[1] |= e[1];
                    a[2] |= e[2];
                }
                if (bothHeads && k >= 18 && k < 18 + NozzleTables::kBytesB) {
                    const uint64_t* e = t.b[k - 18][v];
                    b[0] |= e[0];
                    b[1] |= e[1];
                    b[2] |= e[2];
                }
            }
        }
        // Every row of a half sets a bit of its own, so a half with any row
        // set has a non-zero byte.
        const bool anyA = (a[0] | a[1] | a[2]) != 0;
        const bool anyB = (b[0] | b[1] | b[2]) != 0;
        uint8_t halfA[24], halfB[24];
        std::memcpy(halfA, a, sizeof halfA);
        std::memcpy(halfB, b, sizeof halfB);
        const int64_t rec1 = kLeadInRecords + static_cast<int64_t>(c);
        const int64_t rec2 = rec1 + p.head2Position;
        if (bothHeads) {
            if (anyA) Place(records, recordCapacity, swap ? rec2 : rec1, 0, halfA);
            if (anyB) Place(records, recordCapacity, swap ? rec1 : rec2, kHeadBytes, halfB);
        } else if (t.headSelect == 1) {
            if (anyA) Place(records, recordCapacity, rec1, 0, halfA);
        } else if (t.headSelect == 2) {
            if (anyA) Place(records, recordCapacity, rec2, kHeadBytes, halfA);
        }
    }
}

int32_t BuildRecordRows(const MachineParams& p, int32_t inkBox2Left, RowPlace (&places)[kScanLineRows])
{
    const bool bothHeads = p.headSelect == 0;
    const bool swap = bothHeads && inkBox2Left != 0;
    const int32_t shift2 = int32_t{p.head2Position} * kRecordBytes;
    // Record offsets of the two heads' bytes.
    const int32_t head1 = swap ? shift2 : 0;
    const int32_t head2 = (swap ? 0 : shift2) + kHeadBytes;
    const int overlap = p.headOverlapRows <= 150 ? p.headOverlapRows : 150;
    for (RowPlace& r : places) r = RowPlace{};
    auto put = [&](int row, int32_t base, int nozzle) {
        const NozzleBit nb = kNozzleTable[nozzle];
        places[row] = RowPlace{base + nb.byte, nb.mask};
    };
    if (bothHeads) {
        for (int row = 0; row < kNozzles; ++row) put(row, head1, row);
        for (int row = kNozzles; row < 300 - overlap; ++row) put(row, head2, row - 150 + overlap);
        return 300 - overlap;
    }
    if (p.headSelect != 1 && p.headSelect != 2) return 0;
    for (int row = 0; row < kNozzles; ++row) put(row, p.headSelect == 2 ? head2 : 0, row);
    return kNozzles;
}
