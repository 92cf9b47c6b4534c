#include "link/MyCommu.h"

#include <mutex>

#include "link/LinkPort.h"
#include "link/LinkProtocol.h"
#include "model/Settings.h"

CLinkPort& CMyCommu::Port() const
{
    return theSettings.Get(Slot::ConnectViaEth) != 0 ? m_eth : m_usb;
}

int CMyCommu::SendShortCommand(uint8_t code)
{
    CLinkPort& port = Port();
    std::lock_guard<std::mutex> lock(port.Lock());
    return ExchangeShort(port, code);
}

int CMyCommu::SendCommand(uint8_t code, uint8_t payloadLength, const uint8_t* payload, uint8_t replyLength,
                          uint8_t* reply)
{
    CLinkPort& port = Port();
    std::lock_guard<std::mutex> lock(port.Lock());
    return ExchangeCommand(port, code, payloadLength, payload, replyLength, reply);
}

int CMyCommu::SendData(const uint16_t* data, int byteCount)
{
    // Also under the lock over TCP: while a job runs nobody else waits for it,
    // and outside a job it keeps two threads off one socket.
    CLinkPort& port = Port();
    std::lock_guard<std::mutex> lock(port.Lock());
    return ExchangeData(port, reinterpret_cast<const uint8_t*>(data), byteCount);
}
