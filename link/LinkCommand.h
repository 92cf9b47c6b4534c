#pragma once
// The machine protocol's command codes and what each one carries: the table
// the program's commands take their frame and reply lengths from. The
// simulated machine keeps a table of its own, so the two check each other.
#include <cstdint>

namespace LinkCommand {
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

// Frames are built in a 64-byte buffer: length byte, code byte, payload.
constexpr int kFrameBufferBytes = 64;
constexpr int kMaxPayloadBytes = kFrameBufferBytes - 2;
// The longest reply any exchange takes.
constexpr int kMaxReplyBytes = 64;
// TCP job data goes in chunks of exactly this size, each answered by one byte.
constexpr int kDataChunkBytes = 1400;
// The parameter block on the link: 56 bytes of the block plus 2 reserved.
constexpr int kParamsWireBytes = 58;

enum class CommandKind : uint8_t { Short, Command };

struct CommandInfo {
    uint8_t code;
    CommandKind kind;
    uint8_t payloadBytes;  // host to machine
    uint8_t replyBytes;    // machine to host
    const char* name;
};

// The entry for a code, or null for a code the machine does not know.
const CommandInfo* FindCommand(uint8_t code);

// Codes 0-13: the control codes a short command carries from the queue.
inline bool IsControlCode(uint8_t code) { return code <= LinkCommand::Pause; }
