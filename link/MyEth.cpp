#include "link/MyEth.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>

#include "link/LinkState.h"
#include "model/MachineParams.h"
#include "model/Message.h"

EthOptions theEthOptions;

namespace {
using SteadyClock = std::chrono::steady_clock;

int MsLeft(SteadyClock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Waits for the socket to become readable or writable; false on time-out.
bool WaitFor(int fd, short events, SteadyClock::time_point deadline)
{
    for (;;) {
        pollfd p{fd, events, 0};
        const int r = poll(&p, 1, MsLeft(deadline));
        if (r > 0) return true;
        if (r == 0) return false;
        if (errno != EINTR) return false;
    }
}

// A machine that keeps sending is not drained for ever: past this much the
// stream counts as broken.
constexpr int kMaxDrainBytes = 64 * 1024;

SteadyClock::time_point After(int ms)
{
    return SteadyClock::now() + std::chrono::milliseconds(ms > 0 ? ms : 0);
}

in_addr_t MachineAddress()
{
    const uint32_t override = theEthOptions.addressOverride.load();
    if (override != 0) return htonl(override);
    // The block keeps the address first octet in the low byte.
    const uint32_t ip = SnapshotMachineParams().machineIp;
    const uint32_t hostOrder = (ip & 0xFF) << 24 | ((ip >> 8) & 0xFF) << 16 | ((ip >> 16) & 0xFF) << 8 |
                               ((ip >> 24) & 0xFF);
    return htonl(hostOrder);
}
}  // namespace

CMyEth::~CMyEth()
{
    Disconnect();
}

int CMyEth::Connect()
{
    if (m_connected) return 0;
    if (m_socket < 0) {
        m_socket = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (m_socket < 0) {
            // One text in both languages, as it always was.
            ShowMessage("WinsockCreateError", u"Winsock create error!", u"Winsock create error!");
            return -1;
        }
        const int one = 1;
        setsockopt(m_socket, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    }
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(theEthOptions.port.load()));
    addr.sin_addr.s_addr = MachineAddress();

    int r = connect(m_socket, reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
    if (r != 0 && errno == EINPROGRESS) {
        if (WaitFor(m_socket, POLLOUT, After(theEthOptions.connectTimeoutMs.load()))) {
            int err = 0;
            socklen_t len = sizeof err;
            r = (getsockopt(m_socket, SOL_SOCKET, SO_ERROR, &err, &len) == 0 && err == 0) ? 0 : -1;
        } else {
            r = -1;
        }
    }
    if (r != 0) {
        // A socket whose connect failed cannot be used again: start afresh next time.
        close(m_socket);
        m_socket = -1;
        return -1;
    }
    m_connected = true;
    return 0;
}

void CMyEth::Disconnect()
{
    if (m_socket >= 0) close(m_socket);
    m_socket = -1;
    m_connected = false;
}

bool CMyEth::DiscardPending()
{
    std::array<uint8_t, 256> scratch;
    for (int drained = 0;;) {
        const ssize_t r = recv(m_socket, scratch.data(), scratch.size(), MSG_DONTWAIT);
        if (r > 0) {
            drained += static_cast<int>(r);
            if (drained > kMaxDrainBytes) return false;
            continue;
        }
        if (r == 0) return false;
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    }
}

int CMyEth::Begin()
{
    if (m_connected && !DiscardPending()) Disconnect();  // the machine closed a kept connection
    return Connect();
}

int CMyEth::SendAll(const uint8_t* bytes, int count)
{
    const auto deadline = After(theEthOptions.replyTimeoutMs.load());
    int sent = 0;
    while (sent < count) {
        const ssize_t r = send(m_socket, bytes + sent, static_cast<size_t>(count - sent), MSG_NOSIGNAL);
        if (r > 0) {
            sent += static_cast<int>(r);
            continue;
        }
        if (r < 0 && errno == EINTR) continue;
        if (r < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && WaitFor(m_socket, POLLOUT, deadline))
            continue;
        break;
    }
    return sent;
}

int CMyEth::WriteFrame(const uint8_t* bytes, int count)
{
    if (!m_connected) return -1;
    return SendAll(bytes, count);
}

int CMyEth::WriteData(const uint8_t* bytes, int count)
{
    if (!m_connected) return -1;
    return SendAll(bytes, count);
}

int CMyEth::ReadReply(uint8_t* reply, int want, int)
{
    if (!m_connected) return -1;
    // A reply may come in pieces: gather until it is whole or the time is up.
    const auto deadline = After(theEthOptions.replyTimeoutMs.load());
    int got = 0;
    while (got < want) {
        const ssize_t r = recv(m_socket, reply + got, static_cast<size_t>(want - got), MSG_DONTWAIT);
        if (r > 0) {
            got += static_cast<int>(r);
            continue;
        }
        if (r == 0) return got;  // closed mid-reply
        if (errno == EINTR) continue;
        if ((errno == EAGAIN || errno == EWOULDBLOCK) && WaitFor(m_socket, POLLIN, deadline)) continue;
        return got;
    }
    // Bytes beyond the expected length make the reply wrong; they are thrown away.
    std::array<uint8_t, 256> scratch;
    int extra = 0;
    while (extra <= kMaxDrainBytes) {
        const ssize_t r = recv(m_socket, scratch.data(), scratch.size(), MSG_DONTWAIT);
        if (r > 0) {
            extra += static_cast<int>(r);
            continue;
        }
        if (r < 0 && errno == EINTR) continue;
        break;
    }
    return got + extra;
}

void CMyEth::End(bool failed)
{
    if (failed || !g_jobActive.load()) Disconnect();
}
