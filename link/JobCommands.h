#pragma once
// The commands with a payload, as their senders use them: job start (16),
// band header (17), knife pass header (18), head position (19). Each returns
// the exchange's result (0 or -1).
#include <cstdint>

class CMyCommu;

// Job length along the feed in feed-axis pulses, and the band column count.
int SendJobStart(CMyCommu& commu, int32_t lengthPulses, int32_t bandColumns);
// Right after a band's data: its index and whether it prints both ways.
int SendBandHeader(CMyCommu& commu, int32_t band, bool bidirectional);
// Right after a knife pass's data: its record count.
int SendKnifeHeader(CMyCommu& commu, int32_t records);
// The carriage position in carriage-axis pulses; position untouched on failure.
int ReadHeadPosition(CMyCommu& commu, int32_t& position);
