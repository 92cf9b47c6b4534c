#pragma once
// The three kinds of exchange, over any transport. The caller holds the
// port's lock. Results: 0 success, -1 send/connect/device failure or a wrong
// reply to a command, -2 a short command whose reply was not exactly one byte.
#include <cstdint>

class CLinkPort;

// [2, code], answered by one status byte (stored in MachineStatus).
int ExchangeShort(CLinkPort& port, uint8_t code);
// A frame with a payload, answered by exactly replyBytes (1..64) into reply,
// which must hold replyBytes. A one-byte reply is the status byte.
int ExchangeCommand(CLinkPort& port, uint8_t code, int payloadBytes, const uint8_t* payload,
                    int replyBytes, uint8_t* reply);
// Job data. Chunked transports: 1400-byte chunks (the last one padded with
// zeros), each answered by a status byte; byteCount when all went, 1 when an
// answer was 1 (sending stops), -1 on failure. Otherwise one bulk write: the
// bytes written or a negative error.
int ExchangeData(CLinkPort& port, const uint8_t* data, int byteCount);
