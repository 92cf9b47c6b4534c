#pragma once
// One ink band from the job's curves to the packed stream: clear, draw each
// pixel straight into its column record's nozzle bit, zero-run packing, all in
// buffers fixed at start-up.
#include <cstdint>
#include <memory>

#include "link/output/BandStrokes.h"
#include "link/output/JobCheck.h"
#include "link/output/JobSnapshot.h"
#include "link/output/NozzleMap.h"
#include "link/output/ZeroRunPack.h"
#include "model/HugePageHeap.h"

class COnePage;

// Room for the largest record area plus the last TCP chunk's tail.
constexpr size_t kPackedBandWords = 1144000;
static_assert(ZeroRunPackedBound(static_cast<size_t>(kBandRecords) * kHeadBytes) + 700 <= kPackedBandWords,
              "the packed stream holds every band that fits the record buffer");

struct BandBuffers {
    uint8_t bitmap[static_cast<size_t>(kBandScanLines) * kScanLineBytes];
    uint16_t records[static_cast<size_t>(kBandRecords) * kRecordBytes / 2];  // little-endian words
    uint16_t packed[kPackedBandWords];
    int32_t packedBytes = 0;  // PackedBandBytes: used length of `packed`

    uint8_t* RecordBytes() { return reinterpret_cast<uint8_t*>(records); }

    // 4.5 MB cleared and filled band after band: on huge pages of its own.
    static void* operator new(size_t bytes) { return AllocateOnHugePages(bytes); }
    static void operator delete(void* p) noexcept { FreeOnHugePages(p); }
};

// The sending thread's buffers (allocated on first use; only that thread
// writes and reads them).
BandBuffers& TheBandBuffers();

class BandEngine {
public:
    // Maps and buckets the printed curves of `page` for bands 0 .. bandCount - 1
    // (InkBandCount); the job works on this snapshot and column count until
    // the next Setup. False (and nothing set up) when the values or the column
    // count fail the job checks.
    bool Setup(const COnePage& page, const JobSnapshot& s, int32_t bandColumns, int32_t bandCount);
    // The same for every band of the page's extents (BandCount).
    bool Setup(const COnePage& page, const JobSnapshot& s, int32_t bandColumns);

    // The band's packed stream into buf.packed / buf.packedBytes. False when
    // Setup has not succeeded.
    bool PrepareBand(int32_t band, BandBuffers& buf) const;

    // Only the raster step: band j's image into buf.bitmap (cleared first).
    // PrepareBand draws into the records instead, to the same effect.
    void RasterizeBand(int32_t band, BandBuffers& buf) const;

    const BandStrokes& Strokes() const { return m_strokes; }
    BandStrokes& Strokes() { return m_strokes; }
    int32_t Columns() const { return m_columns; }
    const JobSnapshot& Snapshot() const { return m_snap; }

private:
    // Draws band j (cleaning stripes, then the curves) into w.
    void DrawBand(int32_t band, const BitWindow& w) const;

    bool m_ready = false;
    JobSnapshot m_snap;
    int32_t m_columns = 0;
    BandStrokes m_strokes;
    // Where each band row lands in the column records, for the job's head
    // geometry; rows from m_printedRows on are not printed. Written by Setup,
    // then only read by PrepareBand (on the sending or the band-prep thread).
    RowPlace m_recordRows[kScanLineRows];
    int32_t m_printedRows = 0;
};

// Clears the bitmap and record areas a band of `bandColumns` uses.
void ClearBandBuffers(BandBuffers& buf, int32_t bandColumns, const MachineParams& p);
// Only the record area.
void ClearBandRecords(BandBuffers& buf, int32_t bandColumns, const MachineParams& p);

// The band header's direction flag: odd bands print backwards when BiDirPlot is set.
inline uint8_t BandBidirFlag(int32_t band, int32_t biDirPlot)
{
    return (band % 2 != 0 && biDirPlot != 0) ? 1 : 0;
}
