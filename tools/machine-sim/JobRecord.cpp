#include "tools/machine-sim/JobRecord.h"

#include <sys/mman.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>
#include <cstring>

#include "link/output/BandCounters.h"
#include "link/output/JobCheck.h"
#include "link/output/NozzleMap.h"
#include "link/output/ZeroRunPack.h"
#include "tools/machine-sim/PbmStream.h"

namespace {

constexpr uintptr_t kLargePage = uintptr_t{2} << 20;

// Nozzle of each bit of a head's bytes read as three little-endian words
// (bit 8 * byte + k), or -1 for the bits no nozzle uses.
std::array<int16_t, kHeadBits> NozzleOfBits()
{
    std::array<int16_t, kHeadBits> t;
    t.fill(-1);
    for (int n = 0; n < kNozzles; ++n) {
        const NozzleBit b = NozzleByteMap(n);
        for (int k = 0; k < 8; ++k)
            if (b.mask == (1u << k)) t[static_cast<size_t>(b.byte) * 8 + k] = static_cast<int16_t>(n);
    }
    return t;
}

// A header's data: the chunks after the previous header (or after the last
// new connection or refused chunk, whichever is later) up to it.
struct Span {
    size_t from, to;
};

std::vector<uint16_t> Words(const SimJob& job, Span s)
{
    std::vector<uint16_t> w;
    for (size_t i = s.from; i < s.to && i < job.chunks.size(); ++i) {
        const std::vector<uint8_t>& c = job.chunks[i];
        for (size_t k = 0; k + 1 < c.size(); k += 2) w.push_back(static_cast<uint16_t>(c[k] | c[k + 1] << 8));
    }
    return w;
}

// Decodes exactly `expected` words; what follows them is the last chunk's
// padding of zeros, which ends the decoding as a bad count. One word of room
// more shows a host that sent more than the header's records.
bool DecodeExactly(const uint16_t* in, size_t count, size_t expected, std::vector<uint16_t>& out)
{
    // Every word up to `expected` is written by a decoding that reaches it,
    // so the buffer kept from the last header needs no clearing.
    out.resize(expected + 1);
    size_t decoded = 0;
    DecodeZeroRuns(in, count, out.data(), out.size(), &decoded);
    return decoded == expected;
}

// Sets the pixels of one head's bytes in image column `column`: only the set
// bits are visited, each through the head's row table.
void PlaceHead(DecodedJob& d, const uint8_t* bytes, const HeadRows& rows, int32_t row0, int32_t column)
{
    uint64_t words[3] = {0, 0, 0};
    std::memcpy(words, bytes, kHeadBytes);
    if ((words[0] | words[1] | words[2]) == 0) return;  // most of a band is blank
    const int64_t rowsLeft = int64_t{d.height} - row0;
    if (rowsLeft <= 0) return;
    const size_t rowBytes = static_cast<size_t>(d.RowBytes());
    uint8_t* const at = d.bits.data() + static_cast<size_t>(row0) * rowBytes + column / 8;
    const auto mask = static_cast<uint8_t>(0x80u >> (column % 8));
    for (int w = 0; w < 3; ++w)
        for (uint64_t x = words[w]; x != 0; x &= x - 1) {
            const int row = rows[static_cast<size_t>(w) * 64 + static_cast<size_t>(std::countr_zero(x))];
            if (row >= 0 && row < rowsLeft) at[static_cast<size_t>(row) * rowBytes] |= mask;
        }
}

// Writes head then body into path, whole or not at all.
bool WriteWhole(const std::string& path, const std::string& head, const uint8_t* body = nullptr, size_t bodyBytes = 0)
{
    const std::string tmp = path + ".part";
    FILE* f = std::fopen(tmp.c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = std::fwrite(head.data(), 1, head.size(), f) == head.size() &&
                    (bodyBytes == 0 || std::fwrite(body, 1, bodyBytes, f) == bodyBytes);
    if (std::fclose(f) != 0 || !ok) {
        std::remove(tmp.c_str());
        return false;
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        std::remove(tmp.c_str());
        return false;
    }
    return true;
}

}  // namespace

CJobDecoder::CJobDecoder(int32_t bandColumns, const MachineParams& p)
    : m_p(p),
      m_bandRows(BandRowsOf(p))
{
    const int32_t columns = std::clamp(bandColumns, 0, kBandScanLines);
    m_d.width = columns;
    // Address room for the tallest image, so growing it band by band never
    // copies it; only the rows a band reaches are ever touched.
    m_d.bits.reserve(static_cast<size_t>(m_d.RowBytes()) * kMaxImageRows);
    // A page fault is dear here: the image is touched in large pages.
    const auto from = (reinterpret_cast<uintptr_t>(m_d.bits.data()) + kLargePage - 1) & ~(kLargePage - 1);
    const auto to = (reinterpret_cast<uintptr_t>(m_d.bits.data()) + m_d.bits.capacity()) & ~(kLargePage - 1);
    if (to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
    m_recordWords = static_cast<size_t>(columns + kLeadInRecords) * (kRecordBytes / 2);
    // Row of each bit within the band: a head on its own prints every nozzle
    // from row 0; head 2 beside head 1 leaves its overlapped nozzles out and
    // follows head 1's rows.
    static const auto kNozzleOf = NozzleOfBits();
    const int overlap = std::min<int>(p.headOverlapRows, kNozzles);
    for (size_t i = 0; i < kHeadBits; ++i) {
        const int n = kNozzleOf[i];
        m_rowsAlone[i] = static_cast<int16_t>(n);
        m_rowsAfterHead1[i] = static_cast<int16_t>(n >= overlap ? kNozzles - overlap + n : -1);
    }
}

void CJobDecoder::Band(int32_t band, const uint16_t* words, size_t count)
{
    DecodedJob& d = m_d;
    ++d.bands;
    // The image reaches the last band index seen, whether or not its data decodes.
    m_lastBand = std::max<int64_t>(m_lastBand, band);
    const auto height = static_cast<int32_t>(std::min<int64_t>((m_lastBand + 1) * m_bandRows, kMaxImageRows));
    if (height > d.height) {
        d.height = height;
        d.bits.resize(static_cast<size_t>(d.RowBytes()) * d.height, 0);
    }
    if (band < 0 || !DecodeExactly(words, count, m_recordWords, m_out)) {
        ++d.decodeErrors;
        return;
    }
    const MachineParams& p = m_p;
    const int32_t columns = d.width;
    const auto* rec = reinterpret_cast<const uint8_t*>(m_out.data());
    const int32_t row0 = RowOfBand(band);
    for (int32_t c = 0; c < columns; ++c) {
        const uint8_t* r1 = rec + static_cast<size_t>(kLeadInRecords + c) * kRecordBytes;
        const int64_t rec2 = int64_t{kLeadInRecords} + c + p.head2Position;
        const uint8_t* r2 = rec2 < columns + kLeadInRecords ? rec + rec2 * kRecordBytes + kHeadBytes : nullptr;
        if (p.headSelect == 0) {
            PlaceHead(d, r1, m_rowsAlone, row0, c);
            if (r2) PlaceHead(d, r2, m_rowsAfterHead1, row0, c);
        } else if (p.headSelect == 1) {
            PlaceHead(d, r1, m_rowsAlone, row0, c);
        } else if (r2) {
            PlaceHead(d, r2, m_rowsAlone, row0, c);
        }
    }
}

int32_t CJobDecoder::RowOfBand(int32_t band) const
{
    if (band < 0) return m_d.height;  // prints nothing
    return static_cast<int32_t>(std::min<int64_t>(int64_t{band} * m_bandRows, kMaxImageRows));
}

void CJobDecoder::KnifePass(int32_t n, const uint16_t* words, size_t count)
{
    DecodedJob& d = m_d;
    std::vector<DecodedKnifeRecord> pass;
    if (n < 0 || n > 65535 || !DecodeExactly(words, count, static_cast<size_t>(n) * 8, m_out)) {
        ++d.decodeErrors;
        d.passes.push_back(pass);
        return;
    }
    for (int32_t k = 0; k < n; ++k) {
        const uint16_t* w = m_out.data() + static_cast<size_t>(k) * 8;
        DecodedKnifeRecord r;
        r.x = static_cast<int32_t>(uint32_t{w[0]} | uint32_t{w[1]} << 16);
        r.y = static_cast<int32_t>(uint32_t{w[2]} | uint32_t{w[3]} << 16);
        r.speed = static_cast<int16_t>(w[4]);
        r.exitSpeed = static_cast<int16_t>(w[5]);
        r.command = static_cast<int16_t>(w[6]);
        pass.push_back(r);
    }
    d.knifeRecords += n;
    d.passes.push_back(std::move(pass));
}

DecodedJob DecodeJob(const SimJob& job, const MachineParams& p)
{
    CJobDecoder dec(job.bandColumns, p);
    // Every header in arrival order, with where its data starts.
    struct Header {
        size_t at;
        bool band;
        size_t index;
    };
    std::vector<Header> order;
    for (size_t i = 0; i < job.bands.size(); ++i) order.push_back({job.bands[i].chunksBefore, true, i});
    for (size_t i = 0; i < job.knifePasses.size(); ++i) order.push_back({job.knifePasses[i].chunksBefore, false, i});
    std::stable_sort(order.begin(), order.end(), [](const Header& a, const Header& b) { return a.at < b.at; });

    size_t prev = 0;
    for (const Header& h : order) {
        Span s{prev, h.at};
        for (const std::vector<size_t>* starts : {&job.connectionStarts, &job.refusedChunks})
            for (size_t c : *starts)
                if (c > s.from && c <= s.to) s.from = c;
        prev = h.at;
        const std::vector<uint16_t> in = Words(job, s);
        if (h.band) dec.Band(job.bands[h.index].band, in.data(), in.size());
        else dec.KnifePass(job.knifePasses[h.index].records, in.data(), in.size());
    }
    return dec.Take();
}

std::string PbmOf(const DecodedJob& d)
{
    std::string s = "P4\n" + std::to_string(d.width) + " " + std::to_string(d.height) + "\n";
    s.append(reinterpret_cast<const char*>(d.bits.data()), d.bits.size());
    return s;
}

std::string KnifeSvgOf(const DecodedJob& d, const MachineParams& p)
{
    // Across the paper to the right, along the feed downwards, in mm: the same
    // way up as print.pbm.
    const double mmX = p.pulsesPerMmX > 0 ? p.pulsesPerMmX : 1;
    const double mmY = p.pulsesPerMmY > 0 ? p.pulsesPerMmY : 1;
    const double interval = p.inkIntervalPulses > 0 ? p.inkIntervalPulses : 1;
    // The printed area, grown to every knife point (the knife sits beside the heads).
    double w = d.width * interval / mmY;
    double h = d.height / 12.0;
    for (const auto& pass : d.passes)
        for (const DecodedKnifeRecord& r : pass) {
            w = std::max(w, r.y / mmY + 1);
            h = std::max(h, r.x / mmX + 1);
        }
    char buf[256];
    std::snprintf(buf, sizeof buf,
                  "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.1fmm\" height=\"%.1fmm\" viewBox=\"0 0 %.2f %.2f\">\n",
                  w, h, w, h);
    std::string s = buf;
    for (const auto& pass : d.passes) {
        std::string path;
        for (const DecodedKnifeRecord& r : pass) {
            std::snprintf(buf, sizeof buf, "%c%.2f %.2f ", r.command == 'M' ? 'M' : 'L', r.y / mmY, r.x / mmX);
            path += buf;
        }
        if (!path.empty())
            s += "<path fill=\"none\" stroke=\"red\" stroke-width=\"0.3\" d=\"" + path + "\"/>\n";
    }
    s += "</svg>\n";
    return s;
}

std::string SummaryJsonOf(const SimJob& job, const DecodedJob& d)
{
    char buf[512];
    std::snprintf(buf, sizeof buf,
                  "{\"result\": \"%s\", \"bands\": %d, \"knifePasses\": %zu, \"knifeRecords\": %d, "
                  "\"bytesReceived\": %lld, \"lengthPulses\": %d, \"bandColumns\": %d, \"width\": %d, "
                  "\"height\": %d, \"decodeErrors\": %d}\n",
                  job.finished ? "finished" : "aborted", d.bands, job.knifePasses.size(), d.knifeRecords,
                  static_cast<long long>(job.bytesReceived), job.lengthPulses, job.bandColumns, d.width, d.height,
                  d.decodeErrors);
    return buf;
}

bool WriteJobRecord(const std::string& dir, const SimJob& job, const MachineParams& p)
{
    return WriteJobRecord(dir, job, DecodeJob(job, p), p);
}

bool WriteJobRecord(const std::string& dir, const SimJob& job, const DecodedJob& d, const MachineParams& p,
                    CPbmStream* pbm)
{
    bool ok = pbm != nullptr && pbm->Dir() == dir && pbm->Finish(d, dir + "/print.pbm");
    if (!ok) {
        // The image goes out from where it is, not through a second copy.
        const std::string pbmHead = "P4\n" + std::to_string(d.width) + " " + std::to_string(d.height) + "\n";
        ok = WriteWhole(dir + "/print.pbm", pbmHead, d.bits.data(), d.bits.size());
    }
    ok = WriteWhole(dir + "/knife.svg", KnifeSvgOf(d, p)) && ok;
    ok = WriteWhole(dir + "/summary.json", SummaryJsonOf(job, d)) && ok;
    return ok;
}
