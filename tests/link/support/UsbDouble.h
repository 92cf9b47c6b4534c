#pragma once
// Script and record of the libusb 0.1 double. One bus; a device is "plugged"
// (physically present) and "listed" (seen by the last usb_find_devices).
// A device plugged again after an unplug is a new device: the old listing
// cannot open it until a rescan lists it afresh.
#include <cstdint>
#include <vector>

namespace UsbDouble {

struct Transfer {
    int endpoint;
    std::vector<uint8_t> bytes;
    int timeoutMs;
};

struct Stats {
    int findDevices = 0;
    int opens = 0;
    int failedOpens = 0;
    int claims = 0;
    int releases = 0;
    int closes = 0;
    std::vector<Transfer> writes;
    std::vector<int> readSizes;  // bytes asked by each bulk read
    std::vector<int> readEndpoints;
    std::vector<int> readTimeouts;
};

// No device, nothing scripted, counters cleared.
void Reset();
// Puts our device (or another vendor/product) on the bus; listed only by the
// next usb_find_devices.
void Plug(uint16_t vendor = 0xA738, uint16_t product = 0x0505);
void Unplug();
// Lists what is plugged now, as a rescan would, without counting a call.
void ListNow();
// The next usb_find_devices calls return r (the count of changes) instead of
// the real count; -1000 switches back to the real count.
void SetFindDevicesResult(int r);
void SetClaimResult(int r);
// The next bulk writes return these results in turn (a short write, an
// error); with none queued a write takes everything.
void QueueWriteResult(int r);
// The next bulk reads deliver these replies in turn (at most the size asked is
// copied; the result is the copied count); with none queued a read times out.
void QueueReply(std::vector<uint8_t> bytes);
// A read that returns r without data (e.g. -110 time-out, -19 no device).
void QueueReadError(int r);
// A read that copies bytes (at most the size asked) but returns r as its count,
// as a misbehaving stack might.
void QueueRawRead(std::vector<uint8_t> bytes, int r);
// True when a handle is open (between usb_open and usb_close).
bool HandleOpen();
Stats& Record();

}  // namespace UsbDouble
