#pragma once
// TCP transport: a client connection to the machine, port 5188, address from
// the parameter block. While no job runs each exchange connects, talks and
// closes; while a job runs the connection stays open.
#include <atomic>
#include <cstdint>

#include "link/LinkPort.h"

// Where and how patiently the TCP transport connects. Written by the program
// at start and by tests; read by CMyEth on every connect and exchange.
struct EthOptions {
    std::atomic<int> port{5188};
    // Host-order IPv4 address to use instead of the block's machineIp; 0 none.
    std::atomic<uint32_t> addressOverride{0};
    std::atomic<int> connectTimeoutMs{1000};
    // For a whole reply, and for each send.
    std::atomic<int> replyTimeoutMs{2000};
};
extern EthOptions theEthOptions;

class CMyEth final : public CLinkPort {
public:
    CMyEth() = default;
    ~CMyEth() override;
    CMyEth(const CMyEth&) = delete;
    CMyEth& operator=(const CMyEth&) = delete;

    // 0 when connected (also when already), -1 on failure or time-out; a socket
    // whose connect failed is closed, the next try makes a new one.
    int Connect();
    void Disconnect();
    bool Connected() const { return m_connected.load(); }

    int Begin() override;
    int WriteFrame(const uint8_t* bytes, int count) override;
    int ReadReply(uint8_t* reply, int want, int ask) override;
    int WriteData(const uint8_t* bytes, int count) override;
    void End(bool failed) override;
    bool ChunkedData() const override { return true; }

private:
    int SendAll(const uint8_t* bytes, int count);
    // Throws away bytes left in the stream; false when the peer has closed.
    bool DiscardPending();
    // Waits (one reply time) for and throws away what a failed exchange is
    // still owed; false when the peer has closed.
    bool AwaitOwed();

    // Touched only under Lock() (or by the destructor).
    int m_socket = -1;
    // The address (network order) the link came up on. Kept while
    // LinkConnected is set: a new machineIp takes effect only once the link has
    // dropped, since the machine answers on it only after its restart.
    uint32_t m_linkAddress = 0;
    // Written under Lock(); also read by Connected() from any thread.
    std::atomic<bool> m_connected{false};
    // Under Lock(): the stream is gone (reset, end of stream, a failed send).
    bool m_broken = false;
    // Under Lock(): reply bytes a timed-out exchange did not get.
    int m_owed = 0;
};
