#pragma once
// One cut pass: the cut curves of a segment clipped into the global knife
// path, planned, packed and sent with its header (command 18).
#include <cstdint>

#include "link/output/JobSnapshot.h"

class COnePage;
class CMyCommu;
struct KnifeBuffers;

// Empties the global knife path (also when a job ends).
void ClearKnifePath();

// Clips the Cut and ShortCut curves of `page` to the feed range [lo, hi) into
// the global knife path and plans it; returns the point count.
int32_t BuildKnifePath(int32_t lo, int32_t hi, const COnePage& page, const JobSnapshot& s);
// The same for cut segment `segment`, after emptying the path.
int32_t BuildCutPass(int32_t segment, const COnePage& page, const JobSnapshot& s);

// Packs and sends the global knife path: 0 sent whole, -1 a short or failed
// send, 2 a pass too long for the records (nothing sent).
int SendKnifePath(CMyCommu& link, KnifeBuffers& buf);

// Cut pass `segment` of a job of `bandCount` bands: 0 when sent or when
// there is nothing to cut (nothing sent, not even the header), -1 when the
// data or the header failed or the pass was refused as too long.
int SendCutPass(int32_t segment, int32_t bandCount, const COnePage& page, const JobSnapshot& s,
                CMyCommu& link, KnifeBuffers& buf);
