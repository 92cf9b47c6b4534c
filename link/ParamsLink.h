#pragma once
// The parameter block on the link: its 58-byte form, reading it (command 26)
// and writing it (command 27).
#include <array>
#include <cstdint>

#include "link/LinkCommand.h"
#include "model/MachineParams.h"

class CMyCommu;
class CLinkClock;

using ParamsWire = std::array<uint8_t, kParamsWireBytes>;

// The 56 bytes of the block, then two reserved bytes sent as zero.
ParamsWire EncodeMachineParams(const MachineParams& p);
// The first 56 bytes of a reply; the reserved two are dropped.
MachineParams DecodeMachineParams(const ParamsWire& wire);

// Command 26. 0: the live and the saved copy both hold the machine's block;
// otherwise the command's result and nothing changed.
int ReadMachineParams(CMyCommu& commu);
int ReadMachineParams();
// saved := live, then command 27 with the live block. A failure shows the
// operator a message; the saved copy stays updated either way. Sleeps 300 ms
// afterwards. Returns the command's result (callers may ignore it).
int WriteMachineParams(CMyCommu& commu, CLinkClock& clock);
int WriteMachineParams();
