#pragma once
// The facade the rest of the program talks to the machine through. The transport is
// chosen on each call from the ConnectViaEth setting (1 TCP, else USB).
#include <cstdint>

class CLinkPort;

class CMyCommu {
public:
    // The ports it uses; the program's instance uses the two global transports,
    // tests and fuzzers pass their own.
    CMyCommu(CLinkPort& usb, CLinkPort& eth) : m_usb(usb), m_eth(eth) {}
    virtual ~CMyCommu() = default;
    CMyCommu(const CMyCommu&) = delete;
    CMyCommu& operator=(const CMyCommu&) = delete;

    // [2, code] answered by one status byte. 0, -1 send failure, -2 reply not one byte.
    int SendShortCommand(uint8_t code);
    // A frame with payloadLength (0..62) bytes, answered by exactly replyLength
    // (1..64) bytes into reply, which must hold replyLength bytes. 0 or -1.
    int SendCommand(uint8_t code, uint8_t payloadLength, const uint8_t* payload, uint8_t replyLength,
                    uint8_t* reply);
    // Job data: byteCount on success (USB: the bytes one bulk write took),
    // 1 when the machine answered a TCP chunk with 1, negative on failure.
    int SendData(const uint16_t* data, int byteCount);

    // The transport the next call will use.
    CLinkPort& Port() const;

private:
    CLinkPort& m_usb;
    CLinkPort& m_eth;
};

class CMyUSB;
class CMyEth;
// Built at static initialisation in this order; destroyed at exit.
extern CMyUSB theUsb;
extern CMyEth theEth;
extern CMyCommu theCommu;
