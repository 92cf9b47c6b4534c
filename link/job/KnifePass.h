#pragma once
// One cut pass: the cut curves of a segment clipped into the pass's knife
// path, planned, packed and sent with its header (command 18). The path is
// the caller's: the job's sender owns one and reuses it pass after pass.
#include <cstdint>
#include <vector>

#include "link/output/JobSnapshot.h"
#include "model/KnifePoint.h"

class COnePage;
class CLinkClock;
class CMyCommu;
struct KnifeBuffers;

// Clips the Cut and ShortCut curves of `page` to the feed range [lo, hi),
// appending to path, and plans it; returns the point count.
int32_t BuildKnifePath(int32_t lo, int32_t hi, const COnePage& page, const JobSnapshot& s,
                       std::vector<KnifePoint>& path);
// The same for cut segment `segment`, after emptying the path.
int32_t BuildCutPass(int32_t segment, const COnePage& page, const JobSnapshot& s, std::vector<KnifePoint>& path);

// Packs and sends the path: 0 sent whole, -1 a short or failed send, 2 a pass
// too long for the records (nothing sent).
int SendKnifePath(const std::vector<KnifePoint>& path, CMyCommu& link, KnifeBuffers& buf);

// Cut pass `segment` of a job of `bandCount` bands, built into path: 0 when
// sent or when there is nothing to cut (nothing sent, not even the header),
// -1 when the data or the header failed, 2 when the pass was refused as too
// long for the record buffer (nothing sent). After an unanswered header it
// waits 1 ms on the link clock.
int SendCutPass(int32_t segment, int32_t bandCount, const COnePage& page, const JobSnapshot& s, CMyCommu& link,
                CLinkClock& clock, std::vector<KnifePoint>& path, KnifeBuffers& buf);

// The first cut pass of a job of `bandCount` bands that would be refused as
// too long for the record buffer, or -1 when every pass fits. Only passes
// whose bound passes the buffer are built, into a path of its own.
int32_t FirstOversizedCutPass(int32_t bandCount, const COnePage& page, const JobSnapshot& s);
