#include "link/MyEth.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
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
    if (theEthOptions.addressOverride.load() != 0) {
        addr.sin_addr.s_addr = MachineAddress();
    } else {
        if (m_linkAddress == 0 || LinkConnected.load() == 0) m_linkAddress = MachineAddress();
        addr.sin_addr.s_addr = m_linkAddress;
    }

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
    m_broken = false;
    m_owed = 0;
    return 0;
}

void CMyEth::Disconnect()
{
    if (m_socket >= 0) close(m_socket);
    m_socket = -1;
    m_connected = false;
    m_broken = false;
    m_owed = 0;
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

bool CMyEth::AwaitOwed()
{
    // The reply a failed exchange still waits for: a late machine sends it
    // after all, and it must not pass for the answer to the next request.
    const auto deadline = After(theEthOptions.replyTimeoutMs.load());
    std::array<uint8_t, 64> scratch;
    while (m_owed > 0) {
        const ssize_t r = recv(m_socket, scratch.data(), std::min<size_t>(scratch.size(), static_cast<size_t>(m_owed)),
                               MSG_DONTWAIT);
        if (r > 0) {
            m_owed -= static_cast<int>(r);
            continue;
        }
        if (r == 0) return false;
        if (errno == EINTR) continue;
        if ((errno == EAGAIN || errno == EWOULDBLOCK) && WaitFor(m_socket, POLLIN, deadline)) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) return false;
        break;  // never came: the machine dropped it
    }
    m_owed = 0;
    return true;
}

int CMyEth::Begin()
{
    // A kept connection is resynchronised: what a failed exchange still owes
    // and whatever else is left is read and thrown away. Only a connection
    // the machine closed is made anew.
    if (m_connected && (!AwaitOwed() || !DiscardPending())) Disconnect();
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
    if (sent < count) m_broken = true;  // a send that fails leaves the stream unusable
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
        if (r == 0) {  // closed mid-reply
            m_broken = true;
            return got;
        }
        if (errno == EINTR) continue;
        if ((errno == EAGAIN || errno == EWOULDBLOCK) && WaitFor(m_socket, POLLIN, deadline)) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            m_owed = want - got;  // late: the rest may still come
        else
            m_broken = true;  // reset
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
        if (r == 0) m_broken = true;
        if (r < 0 && errno == EINTR) continue;
        break;
    }
    if (extra > kMaxDrainBytes) m_broken = true;
    return got + extra;
}

void CMyEth::End(bool failed)
{
    // While a job runs the connection is the job's session: a late or wrong
    // reply is resynchronised on it by the next Begin; only a connection
    // that is gone is closed (and made anew by the next exchange).
    if (!g_jobActive.load() || (failed && m_broken)) Disconnect();
}
