#include "link/LinkProtocol.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "link/LinkFrame.h"
#include "link/LinkPort.h"
#include "link/LinkState.h"

int ExchangeShort(CLinkPort& port, uint8_t code)
{
    if (port.Begin() != 0) return -1;
    FrameBuffer frame;
    const int len = BuildFrame(code, nullptr, 0, frame);
    if (port.WriteFrame(frame.data(), len) != len) {
        port.End(true);
        return -1;
    }
    uint8_t status = 0;
    if (port.ReadReply(&status, 1, kMaxReplyBytes) != 1) {
        port.End(true);
        return -2;
    }
    MachineStatus.store(status);
    port.End(false);
    return 0;
}

int ExchangeCommand(CLinkPort& port, uint8_t code, int payloadBytes, const uint8_t* payload,
                    int replyBytes, uint8_t* reply)
{
    FrameBuffer frame;
    const int len = BuildFrame(code, payload, payloadBytes, frame);
    if (len < 0 || replyBytes < 1 || replyBytes > kMaxReplyBytes || reply == nullptr) return -1;
    if (port.Begin() != 0) return -1;
    if (port.WriteFrame(frame.data(), len) != len) {
        port.End(true);
        return -1;
    }
    // Received into a local buffer of the expected length, handed on only whole.
    std::array<uint8_t, kMaxReplyBytes> got{};
    if (port.ReadReply(got.data(), replyBytes, replyBytes) != replyBytes) {
        port.End(true);
        return -1;
    }
    std::memcpy(reply, got.data(), static_cast<size_t>(replyBytes));
    if (replyBytes == 1) MachineStatus.store(got[0]);
    port.End(false);
    return 0;
}

int ExchangeData(CLinkPort& port, const uint8_t* data, int byteCount)
{
    if (byteCount < 0 || (byteCount > 0 && data == nullptr)) return -1;
    if (!port.ChunkedData()) return port.WriteData(data, byteCount);

    if (port.Begin() != 0) return -1;
    // The last chunk is padded with zeros, never with whatever lies past the data.
    std::array<uint8_t, kDataChunkBytes> chunk;
    // Counted up by what is left, so a count near INT_MAX cannot overflow.
    for (int sent = 0, n = 0; sent < byteCount; sent += n) {
        n = std::min(kDataChunkBytes, byteCount - sent);
        const uint8_t* src = data + sent;
        if (n < kDataChunkBytes) {
            chunk.fill(0);
            std::memcpy(chunk.data(), src, static_cast<size_t>(n));
            src = chunk.data();
        }
        if (port.WriteData(src, kDataChunkBytes) != kDataChunkBytes) {
            port.End(true);
            return -1;
        }
        uint8_t answer = 0;
        if (port.ReadReply(&answer, 1, kMaxReplyBytes) != 1) {
            port.End(true);
            return -1;
        }
        MachineStatus.store(answer);
        if (answer == 1) {
            port.End(false);
            return 1;
        }
    }
    port.End(false);
    return byteCount;
}
