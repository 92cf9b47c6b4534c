#include "link/job/BandSend.h"

#include "link/output/BandEngine.h"
#include "link/LinkCommand.h"
#include "link/MyCommu.h"

int SendInkBand(int32_t band, int32_t inkBandCount, const BandEngine& engine, CMyCommu& link, BandBuffers& buf)
{
    if (band >= inkBandCount) return 0;
    if (!engine.PrepareBand(band, buf)) return -1;
    if (link.SendData(buf.packed, buf.packedBytes) != buf.packedBytes) return -1;
    const uint32_t u = static_cast<uint32_t>(band);
    const uint8_t payload[6] = {static_cast<uint8_t>(u),
                                static_cast<uint8_t>(u >> 8),
                                static_cast<uint8_t>(u >> 16),
                                static_cast<uint8_t>(u >> 24),
                                BandBidirFlag(band, engine.Snapshot().biDirPlot),
                                1};
    uint8_t reply[kMaxReplyBytes] = {};
    return link.SendCommand(LinkCommand::BandHeader, 6, payload, 1, reply) == 0 ? 0 : -1;
}
