// Arbitrary machine replies to every exchange of CMyCommu, through transports
// that take their results and reply bytes from the input (no sockets): the
// scripted port for both link kinds, and the USB transport over the libusb
// double. A reply must never be copied past its expected length, a failed
// exchange must leave MachineStatus and the parameter block alone, and every
// result must be one of the documented codes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "link/CommPoll.h"
#include "link/KeyQueue.h"
#include "link/LinkClock.h"
#include "model/Message.h"
#include "link/LinkPort.h"
#include "link/LinkState.h"
#include "link/MyCommu.h"
#include "link/MyUSB.h"
#include "link/ParamsLink.h"
#include "model/Settings.h"
#include "tests/link/support/UsbDouble.h"

namespace {

struct Input {
    const uint8_t* p;
    size_t n;
    bool Empty() const { return n == 0; }
    uint8_t Byte()
    {
        if (n == 0) return 0;
        --n;
        return *p++;
    }
    std::vector<uint8_t> Bytes(size_t count)
    {
        std::vector<uint8_t> v(count, 0);
        for (auto& b : v) b = Byte();
        return v;
    }
};

class FuzzPort final : public CLinkPort {
public:
    FuzzPort(Input& in, bool chunked) : m_in(in), m_chunked(chunked) {}
    int Begin() override { return m_in.Byte() == 0xFF ? -1 : 0; }
    int WriteFrame(const uint8_t*, int n) override { return Written(n); }
    int WriteData(const uint8_t* b, int n) override
    {
        // Touch every byte the protocol hands over: out-of-bounds reads show.
        volatile uint8_t sum = 0;
        for (int i = 0; i < n; ++i) sum = uint8_t(sum + b[i]);
        return Written(n);
    }
    int ReadReply(uint8_t* reply, int want, int) override
    {
        const uint8_t len = m_in.Byte();
        if (len == 0xFE) return -1;
        const std::vector<uint8_t> bytes = m_in.Bytes(len);
        if (!bytes.empty()) std::memcpy(reply, bytes.data(), std::min<size_t>(bytes.size(), size_t(want)));
        return len;
    }
    void End(bool) override {}
    bool ChunkedData() const override { return m_chunked; }

private:
    int Written(int n)
    {
        const uint8_t w = m_in.Byte();
        if (w < 8) return w - 4;  // short writes and errors
        return n;
    }
    Input& m_in;
    bool m_chunked;
};

class NullClock final : public CLinkClock {
public:
    int64_t NowMs() override { return 0; }
    void SleepMs(int) override {}
};

void Quiet(const char*, const std::u16string&, const std::u16string&) {}

void Check(bool ok)
{
    if (!ok) std::abort();
}

bool SameBlock(const MachineParams& a, const MachineParams& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

CMyUSB& RealUsbTransport()
{
    static CMyUSB usb;
    return usb;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SetMessageSink(&Quiet);
    Input in{data, size};
    FuzzPort usbScripted(in, false), ethScripted(in, true);
    CMyCommu scripted(usbScripted, ethScripted);
    UsbDouble::Reset();
    UsbDouble::Plug();
    UsbDouble::ListNow();
    CMyCommu overDouble(RealUsbTransport(), ethScripted);
    NullClock clock;
    CKeyQueue queue;
    CCommPoller poller(scripted, clock, queue);
    g_jobActive = false;

    for (int steps = 0; steps < 64 && !in.Empty(); ++steps) {
        const uint8_t op = in.Byte();
        theSettings.Set(Slot::ConnectViaEth, op & 0x80 ? 1 : 0);
        const bool viaDouble = (op & 0x40) != 0 && (op & 0x80) == 0;
        if (viaDouble) {
            // The double's reply: its bytes and the count the read reports.
            const uint8_t len = in.Byte();
            std::vector<uint8_t> bytes = in.Bytes(len % 80);
            const int reported = (len & 0x80) ? int(in.Byte()) - 128 : int(bytes.size());
            UsbDouble::QueueRawRead(std::move(bytes), reported);
            if (in.Byte() < 16) UsbDouble::QueueWriteResult(int(in.Byte()) - 128);
        }
        CMyCommu& commu = viaDouble ? overDouble : scripted;
        const uint8_t before = MachineStatus.load();
        const MachineParams blockBefore = SnapshotMachineParams();
        switch (op & 0x07) {
        case 0: {
            const int r = commu.SendShortCommand(in.Byte());
            Check(r == 0 || r == -1 || r == -2);
            if (r != 0) Check(MachineStatus.load() == before);
            break;
        }
        case 1: {
            const uint8_t code = in.Byte();
            const uint8_t payloadLen = in.Byte() % 70;
            const uint8_t replyLen = in.Byte() % 70;
            std::vector<uint8_t> payload = in.Bytes(payloadLen);
            // Exactly the reply length: a copy past it is caught by ASan.
            std::vector<uint8_t> reply(replyLen);
            const int r = commu.SendCommand(code, payloadLen, payload.data(), replyLen, reply.data());
            Check(r == 0 || r == -1);
            if (r != 0 || replyLen != 1) Check(MachineStatus.load() == before);
            break;
        }
        case 2: {
            const int byteCount = (int(in.Byte()) << 5 | in.Byte()) % 6000;
            // Exactly byteCount bytes, so reading past them is caught.
            uint16_t* buf = static_cast<uint16_t*>(std::malloc(size_t(byteCount) + 1));
            std::memset(buf, 0x5A, size_t(byteCount));
            const int r = commu.SendData(buf, byteCount);
            std::free(buf);
            if (commu.Port().ChunkedData()) Check(r == byteCount || r == 1 || r == -1);
            break;
        }
        case 3: {
            const int r = ReadMachineParams(commu);
            Check(r == 0 || r == -1);
            if (r != 0) Check(SameBlock(SnapshotMachineParams(), blockBefore));
            break;
        }
        case 4:
            WriteMachineParams(commu, clock);
            Check(SameBlock(g_machineParamsSaved, SnapshotMachineParams()));
            break;
        case 5:
            queue.Push(in.Byte());
            poller.PumpKeyQueue();
            break;
        case 6:
            poller.PollMachineStatus();
            break;
        default:
            g_jobActive = (in.Byte() & 1) != 0;
            break;
        }
    }
    g_jobActive = false;
    theSettings.Set(Slot::ConnectViaEth, 0);
    return 0;
}
