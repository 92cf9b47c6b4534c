#include "tests/link/support/UsbDouble.h"

#include <usb.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <mutex>

namespace {

struct Read {
    std::vector<uint8_t> bytes;
    int result;
};

struct State {
    // Guards everything below: the link thread and the test thread both call in.
    std::mutex lock;
    bool plugged = false;
    int generation = 0;  // bumped by every plug
    uint16_t vendor = 0, product = 0;
    bool listed = false;
    int listedGeneration = -1;
    int findResult = -1000;
    int claimResult = 0;
    std::deque<int> writeResults;
    std::deque<Read> reads;
    int openHandles = 0;
    UsbDouble::Stats stats;
    struct usb_bus bus{};
    struct usb_device device{};
};

State& S()
{
    static State s;
    return s;
}

int handleToken;  // the one handle's address

void List(State& s)
{
    s.listed = s.plugged;
    s.listedGeneration = s.generation;
    s.bus.devices = s.listed ? &s.device : nullptr;
    s.device.descriptor.idVendor = s.vendor;
    s.device.descriptor.idProduct = s.product;
    s.device.bus = &s.bus;
}

}  // namespace

namespace UsbDouble {

void Reset()
{
    State& s = S();
    std::lock_guard<std::mutex> l(s.lock);
    s.plugged = false;
    s.listed = false;
    s.bus.devices = nullptr;
    s.findResult = -1000;
    s.claimResult = 0;
    s.writeResults.clear();
    s.reads.clear();
    s.openHandles = 0;
    s.stats = Stats{};
}

void Plug(uint16_t vendor, uint16_t product)
{
    State& s = S();
    std::lock_guard<std::mutex> l(s.lock);
    s.plugged = true;
    ++s.generation;
    s.vendor = vendor;
    s.product = product;
}

void Unplug()
{
    State& s = S();
    std::lock_guard<std::mutex> l(s.lock);
    s.plugged = false;
}

void ListNow()
{
    State& s = S();
    std::lock_guard<std::mutex> l(s.lock);
    List(s);
}

void SetFindDevicesResult(int r)
{
    State& s = S();
    std::lock_guard<std::mutex> l(s.lock);
    s.findResult = r;
}

void SetClaimResult(int r)
{
    State& s = S();
    std::lock_guard<std::mutex> l(s.lock);
    s.claimResult = r;
}

void QueueWriteResult(int r)
{
    State& s = S();
    std::lock_guard<std::mutex> l(s.lock);
    s.writeResults.push_back(r);
}

void QueueReply(std::vector<uint8_t> bytes)
{
    State& s = S();
    std::lock_guard<std::mutex> l(s.lock);
    const int n = static_cast<int>(bytes.size());
    s.reads.push_back({std::move(bytes), n});
}

void QueueReadError(int r)
{
    State& s = S();
    std::lock_guard<std::mutex> l(s.lock);
    s.reads.push_back({{}, r});
}

void QueueRawRead(std::vector<uint8_t> bytes, int r)
{
    State& s = S();
    std::lock_guard<std::mutex> l(s.lock);
    s.reads.push_back({std::move(bytes), r});
}

bool HandleOpen()
{
    State& s = S();
    std::lock_guard<std::mutex> l(s.lock);
    return s.openHandles > 0;
}

Stats& Record()
{
    return S().stats;
}

}  // namespace UsbDouble

extern "C" {

void usb_init(void) {}

int usb_find_busses(void)
{
    return 1;
}

int usb_find_devices(void)
{
    State& s = S();
    std::lock_guard<std::mutex> l(s.lock);
    ++s.stats.findDevices;
    const bool wasListed = s.listed;
    const int wasGeneration = s.listedGeneration;
    List(s);
    int changes = 0;
    if (wasListed && (!s.listed || wasGeneration != s.listedGeneration)) ++changes;
    if (s.listed && (!wasListed || wasGeneration != s.listedGeneration)) ++changes;
    return s.findResult != -1000 ? s.findResult : changes;
}

struct usb_bus* usb_get_busses(void)
{
    return &S().bus;
}

usb_dev_handle* usb_open(struct usb_device* dev)
{
    State& s = S();
    std::lock_guard<std::mutex> l(s.lock);
    ++s.stats.opens;
    if (dev != &s.device || !s.plugged || s.listedGeneration != s.generation) {
        ++s.stats.failedOpens;
        return nullptr;
    }
    ++s.openHandles;
    return reinterpret_cast<usb_dev_handle*>(&handleToken);
}

int usb_close(usb_dev_handle*)
{
    State& s = S();
    std::lock_guard<std::mutex> l(s.lock);
    ++s.stats.closes;
    if (s.openHandles > 0) --s.openHandles;
    return 0;
}

int usb_claim_interface(usb_dev_handle*, int)
{
    State& s = S();
    std::lock_guard<std::mutex> l(s.lock);
    ++s.stats.claims;
    return s.claimResult;
}

int usb_release_interface(usb_dev_handle*, int)
{
    State& s = S();
    std::lock_guard<std::mutex> l(s.lock);
    ++s.stats.releases;
    return 0;
}

int usb_bulk_write(usb_dev_handle*, int ep, const char* bytes, int size, int timeout)
{
    State& s = S();
    std::lock_guard<std::mutex> l(s.lock);
    std::vector<uint8_t> copy;
    if (size > 0) copy.assign(reinterpret_cast<const uint8_t*>(bytes), reinterpret_cast<const uint8_t*>(bytes) + size);
    s.stats.writes.push_back({ep, std::move(copy), timeout});
    if (!s.plugged) return -19;
    if (s.writeResults.empty()) return size;
    const int r = s.writeResults.front();
    s.writeResults.pop_front();
    return r;
}

int usb_bulk_read(usb_dev_handle*, int ep, char* bytes, int size, int timeout)
{
    State& s = S();
    std::lock_guard<std::mutex> l(s.lock);
    s.stats.readSizes.push_back(size);
    s.stats.readEndpoints.push_back(ep);
    s.stats.readTimeouts.push_back(timeout);
    if (!s.plugged) return -19;
    if (s.reads.empty()) return -110;
    Read r = std::move(s.reads.front());
    s.reads.pop_front();
    const int n = std::min(static_cast<int>(r.bytes.size()), std::max(size, 0));
    if (n > 0) std::memcpy(bytes, r.bytes.data(), static_cast<size_t>(n));
    return r.result == static_cast<int>(r.bytes.size()) ? n : r.result;
}

}  // extern "C"
