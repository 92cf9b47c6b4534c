#include "link/MyUSB.h"

#include <usb.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "link/LinkCommand.h"

CMyUSB::CMyUSB()
{
    usb_init();
    usb_find_busses();
    m_lastScan = usb_find_devices();
}

CMyUSB::~CMyUSB()
{
    CloseDevice();
}

usb_dev_handle* CMyUSB::FindDevice()
{
    for (usb_bus* bus = usb_get_busses(); bus != nullptr; bus = bus->next) {
        for (struct usb_device* dev = bus->devices; dev != nullptr; dev = dev->next) {
            if (dev->descriptor.idVendor == kUsbVendorId && dev->descriptor.idProduct == kUsbProductId)
                return usb_open(dev);
        }
    }
    return nullptr;
}

int CMyUSB::OpenDevice()
{
    if (m_device != nullptr) return 0;
    if (m_lastScan != 1) m_lastScan = usb_find_devices();
    m_device = FindDevice();
    if (m_device == nullptr) return -1;
    if (usb_claim_interface(m_device, kUsbInterface) < 0) {
        usb_close(m_device);
        m_device = nullptr;
        return -1;
    }
    return 0;
}

void CMyUSB::CloseDevice()
{
    if (m_device == nullptr) return;
    usb_release_interface(m_device, kUsbInterface);
    usb_close(m_device);
    m_device = nullptr;
}

int CMyUSB::WritePipe(const uint8_t* bytes, int count)
{
    if (OpenDevice() != 0) return -1;
    const int r = usb_bulk_write(m_device, kUsbCommandEndpoint, reinterpret_cast<const char*>(bytes), count,
                                 kUsbCommandTimeoutMs);
    CloseDevice();
    return r;
}

int CMyUSB::ReadPipe(uint8_t* buffer, int count)
{
    if (OpenDevice() != 0) return -1;
    const int r = usb_bulk_read(m_device, kUsbReplyEndpoint, reinterpret_cast<char*>(buffer), count,
                                kUsbReplyTimeoutMs);
    CloseDevice();
    return r;
}

int CMyUSB::ReadReply(uint8_t* reply, int want, int ask)
{
    std::array<uint8_t, kMaxReplyBytes> buffer{};
    ask = std::clamp(ask, want, kMaxReplyBytes);
    const int r = ReadPipe(buffer.data(), ask);
    // A count beyond what was asked is reported as a too-long reply; the copy
    // never goes past the expected length.
    if (r > 0) std::memcpy(reply, buffer.data(), static_cast<size_t>(std::min({r, ask, want})));
    return r;
}

int CMyUSB::WriteData(const uint8_t* bytes, int count)
{
    if (OpenDevice() != 0) return -1;
    const int r = usb_bulk_write(m_device, kUsbDataEndpoint, reinterpret_cast<const char*>(bytes), count,
                                 kUsbDataTimeoutMs);
    CloseDevice();
    return r;
}
