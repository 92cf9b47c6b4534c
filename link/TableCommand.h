#pragma once
// A command sent as the command table describes its code: the payload is as
// long as the table says (the fields the caller filled, zeros after them) and
// the reply is read as long as the table says. The senders of commands with a
// payload go through here, so the table is what goes on the wire.
#include <array>
#include <cstdint>

#include "link/LinkCommand.h"

class CMyCommu;

using CommandPayload = std::array<uint8_t, kMaxPayloadBytes>;
using CommandReply = std::array<uint8_t, kMaxReplyBytes>;

// 0, or -1 for a failed exchange or a code the table has no command for.
int SendTableCommand(CMyCommu& commu, uint8_t code, const CommandPayload& payload, CommandReply& reply);
