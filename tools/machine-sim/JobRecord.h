#pragma once
// What a simulated job printed and cut, decoded from the bytes the machine
// received with the program's own zero-run decoder and nozzle map: the image
// assembled from the bands, the knife passes, and the record files.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/MachineParams.h"
#include "tools/machine-sim/SimJob.h"

struct DecodedKnifeRecord {
    int32_t x = 0;  // feed pulses
    int32_t y = 0;  // carriage pulses
    int16_t speed = 0;
    int16_t exitSpeed = 0;
    int16_t command = 0;  // 'M', 'C' or 'T'
};

// The image keeps at most this many rows (10 m of feed); later bands are cut off.
constexpr int32_t kMaxImageRows = 120000;

struct DecodedJob {
    // One pixel per band row along the feed (rows) and per band column across
    // the paper (columns); rows of (width + 7) / 8 bytes, bit 7 first, 1 = ink.
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> bits;
    std::vector<std::vector<DecodedKnifeRecord>> passes;
    int32_t bands = 0;         // band headers received
    int32_t knifeRecords = 0;  // records of every pass
    int32_t decodeErrors = 0;  // bands or passes whose data did not decode whole

    int32_t RowBytes() const { return (width + 7) / 8; }
    bool Ink(int32_t row, int32_t column) const
    {
        return (bits[static_cast<size_t>(row) * RowBytes() + column / 8] >> (7 - column % 8)) & 1;
    }
};

// A head's 22 bytes read as three little-endian words: for each bit, the
// band row it prints, or -1.
constexpr size_t kHeadBits = 3 * 64;
using HeadRows = std::array<int16_t, kHeadBits>;

// Builds the decoded job header by header, each from the data words that
// came before it, so the machine can decode a band as it arrives and keep no
// more than the band in hand.
class CJobDecoder {
public:
    // The head geometry of p places the nozzles.
    CJobDecoder(int32_t bandColumns, const MachineParams& p);
    // A band header and its data: placed by its band index (the image grows
    // to it); data that does not decode to the band's records counts an error.
    void Band(int32_t band, const uint16_t* words, size_t count);
    // A knife pass header and its data.
    void KnifePass(int32_t records, const uint16_t* words, size_t count);
    const DecodedJob& Decoded() const { return m_d; }
    // The first image row band `band` can print on.
    int32_t RowOfBand(int32_t band) const;
    DecodedJob Take() { return std::move(m_d); }

private:
    DecodedJob m_d;
    MachineParams m_p;
    int32_t m_bandRows;
    int64_t m_lastBand = -1;
    size_t m_recordWords;
    std::vector<uint16_t> m_out;  // the last header's decoded words
    HeadRows m_rowsAlone{};       // head 1, or head 2 printing alone
    HeadRows m_rowsAfterHead1{};  // head 2 beside head 1
};

// Decodes a job's bands (placed by their band index) and knife passes, with
// the machine's parameter block (head geometry). Data of a connection that
// broke before its header, or up to a chunk answered 1, is not part of the
// next band.
DecodedJob DecodeJob(const SimJob& job, const MachineParams& p);

// The record files of an ended job in dir: print.pbm, knife.svg and
// summary.json (result "finished" or "aborted"). Each file is written whole
// or not at all. False when a file could not be written.
bool WriteJobRecord(const std::string& dir, const SimJob& job, const MachineParams& p);
// The same for a job decoded as it arrived; print.pbm is finished from pbm
// when one was written behind the decoding into dir.
class CPbmStream;
bool WriteJobRecord(const std::string& dir, const SimJob& job, const DecodedJob& d, const MachineParams& p,
                    CPbmStream* pbm = nullptr);

// The file contents, for the writer and tests.
std::string PbmOf(const DecodedJob& d);
std::string KnifeSvgOf(const DecodedJob& d, const MachineParams& p);
std::string SummaryJsonOf(const SimJob& job, const DecodedJob& d);
