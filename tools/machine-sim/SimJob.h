#pragma once
// What the simulated machine received of one job, kept raw; decoding it into
// an image and a knife path builds on this.
#include <cstdint>
#include <vector>

struct SimJob {
    bool started = false;
    bool finished = false;  // code 10
    bool aborted = false;   // code 11
    int32_t lengthPulses = 0;  // command 16
    int32_t bandColumns = 0;
    // Every 1400-byte data chunk, in order, when the machine keeps them (tests).
    std::vector<std::vector<uint8_t>> chunks;
    size_t chunksReceived = 0;  // chunks of this job, kept or not: the positions below count them
    struct BandHeader {
        int32_t band;
        uint8_t bidirectional;
        size_t chunksBefore;  // chunks received before this header
    };
    std::vector<BandHeader> bands;
    struct KnifeHeader {
        int32_t records;
        size_t chunksBefore;
    };
    std::vector<KnifeHeader> knifePasses;
    int64_t bytesReceived = 0;
    // Chunk count at each connection made during the job: data of a broken
    // connection is not part of the next header's.
    std::vector<size_t> connectionStarts;
    // Chunk count after each chunk answered 1: the host sends that band or
    // pass again from its start, so the data before is not part of it.
    std::vector<size_t> refusedChunks;
    bool lost = false;  // the link went away mid-job (drop and silent faults)
};
