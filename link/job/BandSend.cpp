#include "link/job/BandSend.h"

#include "link/output/BandEngine.h"
#include "link/JobCommands.h"
#include "link/MyCommu.h"

int SendInkBand(int32_t band, int32_t inkBandCount, const BandEngine& engine, CMyCommu& link, BandBuffers& buf)
{
    if (band >= inkBandCount) return 0;
    if (!engine.PrepareBand(band, buf)) return -1;
    if (link.SendData(buf.packed, buf.packedBytes) != buf.packedBytes) return -1;
    return SendBandHeader(link, band, BandBidirFlag(band, engine.Snapshot().biDirPlot) != 0) == 0 ? 0 : -1;
}
