#pragma once
// USB transport over libusb 0.1: every transfer opens the device, claims
// interface 0, makes one bulk transfer and closes it again.
#include <cstdint>

#include "link/LinkPort.h"

struct usb_dev_handle;

constexpr uint16_t kUsbVendorId = 0xA738;
constexpr uint16_t kUsbProductId = 0x0505;
constexpr int kUsbInterface = 0;
constexpr int kUsbCommandEndpoint = 0x02;
constexpr int kUsbReplyEndpoint = 0x81;
constexpr int kUsbDataEndpoint = 0x03;
constexpr int kUsbCommandTimeoutMs = 50;
constexpr int kUsbReplyTimeoutMs = 1000;
constexpr int kUsbDataTimeoutMs = 1000;

class CMyUSB final : public CLinkPort {
public:
    // Initialises libusb and scans the buses; opens nothing.
    CMyUSB();
    ~CMyUSB() override;
    CMyUSB(const CMyUSB&) = delete;
    CMyUSB& operator=(const CMyUSB&) = delete;

    // The first device with our vendor and product ids, opened; or null.
    usb_dev_handle* FindDevice();
    // 0 when a handle is held (rescanning first while the last scan did not
    // report exactly one change), -1 without a device or when the claim fails.
    int OpenDevice();
    void CloseDevice();
    // One transfer each, between OpenDevice and CloseDevice.
    int WritePipe(const uint8_t* bytes, int count);
    int ReadPipe(uint8_t* buffer, int count);

    int Begin() override { return 0; }
    int WriteFrame(const uint8_t* bytes, int count) override { return WritePipe(bytes, count); }
    int ReadReply(uint8_t* reply, int want, int ask) override;
    int WriteData(const uint8_t* bytes, int count) override;
    void End(bool) override {}
    bool ChunkedData() const override { return false; }

private:
    // Both touched only under Lock() (or by the constructor/destructor).
    usb_dev_handle* m_device = nullptr;
    int m_lastScan = 0;
};
