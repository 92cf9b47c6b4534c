#include "link/output/BandEngine.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>

#include "link/output/BandCounters.h"
#include "model/Page.h"

static_assert(std::endian::native == std::endian::little,
              "column records are read as little-endian words in place");

BandBuffers& TheBandBuffers()
{
    static const std::unique_ptr<BandBuffers> buffers = std::make_unique<BandBuffers>();
    return *buffers;
}

void ClearBandBuffers(BandBuffers& buf, int32_t bandColumns, const MachineParams& p)
{
    const int64_t lines = std::clamp<int64_t>(bandColumns, 0, kBandScanLines);
    std::memset(buf.bitmap, 0, static_cast<size_t>(lines) * kScanLineBytes);
    ClearBandRecords(buf, bandColumns, p);
}

void ClearBandRecords(BandBuffers& buf, int32_t bandColumns, const MachineParams& p)
{
    const int64_t recs = std::clamp<int64_t>(static_cast<int64_t>(bandColumns) + kLeadInRecords + p.head2Position,
                                             0, kBandRecords);
    std::memset(buf.records, 0, static_cast<size_t>(recs) * kRecordBytes);
}

bool BandEngine::Setup(const COnePage& page, const JobSnapshot& s, int32_t bandColumns, int32_t bandCount)
{
    m_ready = false;
    m_strokes.Clear();
    if (CheckJobParams(s) != nullptr || !BandBuffersFit(bandColumns, s.params)) return false;
    m_snap = s;
    m_columns = bandColumns;
    m_printedRows = BuildRecordRows(s.params, s.inkBox2Left, m_recordRows);
    m_strokes.Build(page, s);
    m_strokes.Bucket(BandRowsOf(s.params), kScanLineRows, bandCount);
    m_ready = true;
    return true;
}

bool BandEngine::Setup(const COnePage& page, const JobSnapshot& s, int32_t bandColumns)
{
    return Setup(page, s, bandColumns, CountBandsOf(page.m_maxX, page.m_maxY, s).bands);
}

void BandEngine::RasterizeBand(int32_t band, BandBuffers& buf) const
{
    ClearBandBuffers(buf, m_columns, m_snap.params);
    DrawBand(band, BitWindow{buf.bitmap, BandStartRow(band, m_snap.params), kScanLineRows, kScanLineBytes, m_columns});
}

void BandEngine::DrawBand(int32_t band, const BitWindow& w) const
{
    const int32_t b = w.row0;
    // Nozzle cleaning stripes at the start of every cut segment, in band
    // coordinates: rows 0 to 300 across columns LineWidth + 0..11 and + 20..31.
    const int32_t v = m_snap.params.bandsPerCutSegment;
    if (m_snap.cleanAtSection != 0 && v != 0 && band % v == 0) {
        const int32_t lw = m_snap.lineWidth;
        for (int32_t k = 0; k < 32; ++k) {
            if (k >= 12 && k < 20) continue;
            const PenSegment stripe{b, lw + k, b + 300, lw + k, 0};
            if (m_strokes.PenWidth() > 1) m_strokes.Pen().Draw(w, stripe);
            else DrawThinSegment(w, stripe);
        }
    }
    m_strokes.DrawBand(band, w);
}

bool BandEngine::PrepareBand(int32_t band, BandBuffers& buf) const
{
    buf.packedBytes = 0;
    if (!m_ready) return false;
    // The band's printed rows drawn straight into the cleared records: each
    // pixel sets its nozzle bit, as the column records of the band image would.
    ClearBandRecords(buf, m_columns, m_snap.params);
    const BitWindow w{buf.RecordBytes() + kLeadInRecords * kRecordBytes, BandStartRow(band, m_snap.params),
                      m_printedRows, kRecordBytes, m_columns, m_recordRows};
    DrawBand(band, w);
    // Records 0 .. columns + 29 go out; head-2 data placed beyond them is dropped.
    const size_t words = (static_cast<size_t>(m_columns) + kLeadInRecords) * (kRecordBytes / 2);
    const size_t packed = CompressZeroRuns(buf.records, words, buf.packed, kPackedBandWords);
    buf.packedBytes = static_cast<int32_t>(packed * 2);
    return true;
}
