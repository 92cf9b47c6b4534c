#pragma once
// A loopback TCP server that answers each frame with the next scripted bytes:
// replies no machine would give (too long, garbage), for the transport tests.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

class CLoopbackServer {
public:
    explicit CLoopbackServer(std::deque<std::vector<uint8_t>> replies) : m_replies(std::move(replies))
    {
        m_listen = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        bind(m_listen, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(m_listen, 4);
        getsockname(m_listen, reinterpret_cast<sockaddr*>(&a), &len);
        m_port = ntohs(a.sin_port);
        m_thread = std::thread([this] { Serve(); });
    }
    ~CLoopbackServer()
    {
        m_stop = true;
        m_thread.join();
        close(m_listen);
    }
    int Port() const { return m_port; }

private:
    static bool Readable(int fd) {
        pollfd p{fd, POLLIN, 0};
        return poll(&p, 1, 20) > 0;
    }
    void Serve()
    {
        while (!m_stop) {
            if (!Readable(m_listen)) continue;
            const int fd = accept(m_listen, nullptr, nullptr);
            if (fd < 0) continue;
            while (!m_stop) {
                if (!Readable(fd)) continue;
                uint8_t len = 0;
                if (recv(fd, &len, 1, 0) != 1) break;
                std::vector<uint8_t> rest(len > 1 ? len - 1 : 0);
                if (!rest.empty() && recv(fd, rest.data(), rest.size(), MSG_WAITALL) != ssize_t(rest.size())) break;
                std::vector<uint8_t> reply;
                {
                    std::lock_guard<std::mutex> l(m_lock);
                    if (m_replies.empty()) break;
                    reply = std::move(m_replies.front());
                    m_replies.pop_front();
                }
                send(fd, reply.data(), reply.size(), MSG_NOSIGNAL);
            }
            close(fd);
        }
    }
    std::mutex m_lock;
    std::deque<std::vector<uint8_t>> m_replies;
    int m_listen = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
