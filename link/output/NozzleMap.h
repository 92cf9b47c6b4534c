#pragma once
// From band image columns to the machine's column records: which nozzle
// byte and bit each image row lands in, for both heads.
#include <cstdint>

#include "link/output/BandRaster.h"
#include "link/output/JobSnapshot.h"

constexpr int kNozzles = 150;         // nozzles per head, one per band row
constexpr int kHeadBytes = 22;        // nozzle bytes per head in a record
constexpr int kRecordBytes = 44;      // head 1 bytes 0-21, head 2 bytes 22-43
constexpr int kScanLineBytes = 40;    // one band image column: 320 rows, MSB first
constexpr int kScanLineRows = 320;

struct NozzleBit {
    uint8_t byte;  // 0-21 within the head's bytes
    uint8_t mask;  // the bit as a mask
};

// The byte and bit of nozzle n (0-149) of a head.
constexpr NozzleBit NozzleByteMap(int n)
{
    const int d = n % 22;
    const int m = n / 22;
    int byte = 0;
    if (d % 3 == 0) byte = d / 3;
    else if (d % 3 == 2) byte = 8 + (d - 2) / 3;
    else byte = 15 + (d - 1) / 3;
    const int bit = (d == 20 || d == 21) ? m + 1 : m;
    return NozzleBit{static_cast<uint8_t>(byte), static_cast<uint8_t>(1u << bit)};
}

// The 22 bytes of one head from its 150 nozzle flags.
void MapHeadNozzles(const bool (&flags)[kNozzles], uint8_t (&out)[kHeadBytes]);

// What each byte of a scan line (eight rows) sets in the two heads' bytes,
// for one head selection and overlap: the records are built eight rows at a
// time by table look-ups. Built once per job (about 240 KB).
struct NozzleTables {
    static constexpr int kBytesA = 19;  // scan-line bytes 0-18: rows 0-151, head A takes rows 0-149
    static constexpr int kBytesB = 20;  // scan-line bytes 18-37: rows 144-303, head B takes 150 .. 299 - overlap
    // The 22 head bytes as three words (bytes 22 and 23 always 0).
    uint64_t a[kBytesA][256][3];
    uint64_t b[kBytesB][256][3];
    bool bothHeads = true;
    int headSelect = 0;
};
void BuildNozzleTables(const MachineParams& p, NozzleTables& t);

// Fills records 30 + c (and 30 + head2Position + c for the offset head) for
// every image column c < columns from the band image `scanLines` (columns x 40
// bytes). The records must have been cleared; nothing is written at or beyond
// `recordCapacity` records.
void BuildColumnRecords(const uint8_t* scanLines, int32_t columns, const MachineParams& p,
                        int32_t inkBox2Left, uint8_t* records, int32_t recordCapacity);
// The same with tables built for p.
void BuildColumnRecords(const NozzleTables& t, const uint8_t* scanLines, int32_t columns, const MachineParams& p,
                        int32_t inkBox2Left, uint8_t* records, int32_t recordCapacity);

// Where each band row lands in the column records, relative to record 30 + c
// of image column c: the nozzle byte and bit of its head, in that head's
// record (head 2 `head2Position` records further on, or head 1 with the
// heads swapped by inkBox2Left). Returns the rows printed (150 with one head,
// 300 - headOverlapRows with both); drawing those rows straight into cleared
// records gives what BuildColumnRecords makes of the band image.
int32_t BuildRecordRows(const MachineParams& p, int32_t inkBox2Left, RowPlace (&places)[kScanLineRows]);
