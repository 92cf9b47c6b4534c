#pragma once
// Sending one ink band: its packed stream, then the band header (command 17).
#include <cstdint>

class BandEngine;
class CMyCommu;
struct BandBuffers;

// 0 without sending anything for a band at or past inkBandCount; else the
// band's data must go whole and its header be answered: 0, otherwise -1 (the
// band loop sends the same band again).
int SendInkBand(int32_t band, int32_t inkBandCount, const BandEngine& engine, CMyCommu& link, BandBuffers& buf);

// A band already prepared in buf: its data, then its header. 0, else -1.
int SendPreparedBand(int32_t band, const BandBuffers& buf, bool bidirectional, CMyCommu& link);
