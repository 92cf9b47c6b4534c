#pragma once
// Host-to-machine frames: [payload length + 2, code, payload...], no checksum.
#include <array>
#include <cstdint>

#include "link/LinkCommand.h"

using FrameBuffer = std::array<uint8_t, kFrameBufferBytes>;

// Fills out with the frame; returns its length, or -1 when the payload does
// not fit (more than 62 bytes, or a null payload with a non-zero length).
int BuildFrame(uint8_t code, const uint8_t* payload, int payloadBytes, FrameBuffer& out);

// Little-endian stores for payloads.
inline void PutInt32(uint8_t* p, int32_t v)
{
    const auto u = static_cast<uint32_t>(v);
    p[0] = static_cast<uint8_t>(u);
    p[1] = static_cast<uint8_t>(u >> 8);
    p[2] = static_cast<uint8_t>(u >> 16);
    p[3] = static_cast<uint8_t>(u >> 24);
}
inline int32_t GetInt32(const uint8_t* p)
{
    const uint32_t u = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    return static_cast<int32_t>(u);
}
