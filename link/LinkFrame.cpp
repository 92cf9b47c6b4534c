#include "link/LinkFrame.h"

#include <cstring>

int BuildFrame(uint8_t code, const uint8_t* payload, int payloadBytes, FrameBuffer& out)
{
    if (payloadBytes < 0 || payloadBytes > kMaxPayloadBytes) return -1;
    if (payloadBytes > 0 && payload == nullptr) return -1;
    out.fill(0);
    out[0] = static_cast<uint8_t>(payloadBytes + 2);
    out[1] = code;
    if (payloadBytes > 0) std::memcpy(out.data() + 2, payload, static_cast<size_t>(payloadBytes));
    return payloadBytes + 2;
}
