#pragma once
// The frames the simulated machine takes: each code with the payload it
// carries and the reply the machine gives, written from the frame layouts
// themselves and not from the program's command table, so that a length the
// program gets wrong meets a machine that refuses the frame or answers short.
#include <cstdint>

namespace SimCode {
enum : uint8_t {
    JogStop = 0,
    JogUp = 1,
    JogDown = 2,
    JogLeft = 3,
    JogRight = 4,
    FanOn = 5,
    FanOff = 6,
    Clean = 7,
    KnifeOn = 8,
    KnifeOff = 9,
    JobFinished = 10,
    JobAbort = 11,
    Resume = 12,
    Pause = 13,
    JobStart = 16,
    BandHeader = 17,
    KnifeHeader = 18,
    ReadHeadPosition = 19,
    ReadParams = 26,
    WriteParams = 27,
    StatusPoll = 58,
};
}

// A frame is [payload + 2, code, payload]; the host builds it in 64 bytes.
constexpr int kSimMaxFrameBytes = 64;
// Job data over TCP comes in chunks of this size, each answered by a status byte.
constexpr int kSimChunkBytes = 1400;
// The parameter block on the wire: the 56-byte block and 2 reserved bytes.
constexpr int kSimParamsBytes = 58;

struct SimFrameKind {
    uint8_t code;
    uint8_t payloadBytes;  // after the length and code bytes
    uint8_t replyBytes;    // 1: the status byte
    const char* name;
};

// The machine's entry for a code, null for a code it does not know.
const SimFrameKind* FindSimFrame(uint8_t code);

// Little-endian fields, as the machine reads and writes them.
inline int32_t SimGetInt32(const uint8_t* p)
{
    const uint32_t u = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    return static_cast<int32_t>(u);
}
inline void SimPutInt32(uint8_t* p, int32_t v)
{
    const auto u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(u >> (8 * i));
}
