#pragma once
// What the protocol needs of a transport: one exchange's session, writing a
// frame, reading a reply of known length, writing job data. USB and TCP
// implement it; tests and fuzzers implement it to feed replies without a device.
#include <cstdint>
#include <mutex>

class CLinkPort {
public:
    virtual ~CLinkPort() = default;

    // Brings the link up for one exchange (TCP connect). 0 or -1.
    virtual int Begin() = 0;
    // Writes a frame; returns the bytes written or a negative error.
    virtual int WriteFrame(const uint8_t* bytes, int count) = 0;
    // Reads one reply that should be `want` bytes long. The transport may take
    // up to `ask` bytes (ask >= want) to see a reply that is too long; it copies
    // at most `want` bytes into reply. Returns the reply's length as received
    // (more than want: too long; fewer: short or timed out), or a negative error.
    virtual int ReadReply(uint8_t* reply, int want, int ask) = 0;
    // Writes a block of job data on the data path; bytes written or negative.
    virtual int WriteData(const uint8_t* bytes, int count) = 0;
    // Ends the exchange; failed says it went wrong (TCP drops the connection
    // then, so a late reply cannot be taken for the next one's).
    virtual void End(bool failed) = 0;
    // True when each data chunk is answered by a status byte (TCP).
    virtual bool ChunkedData() const = 0;

    // Serialises this transport's exchanges. Held by CMyCommu for a whole
    // exchange; any thread that talks to the machine takes it.
    std::mutex& Lock() { return m_lock; }

private:
    std::mutex m_lock;
};
