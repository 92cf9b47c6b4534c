#include "link/output/KnifeRecord.h"

#include <cstring>
#include <memory>

KnifeBuffers& TheKnifeBuffers()
{
    static const std::unique_ptr<KnifeBuffers> buffers = std::make_unique<KnifeBuffers>();
    return *buffers;
}

void WriteKnifeRecord(const KnifePoint& k, uint16_t (&words)[kKnifeRecordWords])
{
    const uint32_t x = static_cast<uint32_t>(k.x), y = static_cast<uint32_t>(k.y);
    words[0] = static_cast<uint16_t>(x);
    words[1] = static_cast<uint16_t>(x >> 16);
    words[2] = static_cast<uint16_t>(y);
    words[3] = static_cast<uint16_t>(y >> 16);
    words[4] = static_cast<uint16_t>(static_cast<int16_t>(k.speed));
    words[5] = static_cast<uint16_t>(static_cast<int16_t>(k.exitSpeed));
    words[6] = static_cast<uint16_t>(k.command);
    words[7] = 0;
}

int PackKnifePath(const std::vector<KnifePoint>& pts, KnifeBuffers& buf)
{
    buf.packedBytes = 0;
    if (!KnifePassFits(pts.size())) return 2;
    for (size_t i = 0; i < pts.size(); ++i) {
        uint16_t words[kKnifeRecordWords];
        WriteKnifeRecord(pts[i], words);
        std::memcpy(buf.records + i * kKnifeRecordWords, words, sizeof words);
    }
    const size_t packed = CompressZeroRuns(buf.records, pts.size() * kKnifeRecordWords, buf.stream, kKnifeStreamWords);
    buf.packedBytes = static_cast<int32_t>(packed * 2);
    return 0;
}
