#pragma once
// A server on a free loopback port that hands each accepted connection to a function on a
// thread of its own; the test peers of the client library and of the socket transport
// put their protocols on top.

#include <winsock2.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace harness {

class LoopbackServer {
  public:
    // `serve` owns the socket it is given and closes it.
    explicit LoopbackServer(std::function<void(SOCKET)> serve) : m_serve(std::move(serve)) {
        static const bool winsock = [] { // for the process's lifetime: clients may outlive us
            WSADATA data;
            return WSAStartup(MAKEWORD(2, 2), &data) == 0;
        }();
        (void)winsock;
        m_listener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(m_listener, 16);
        int size = sizeof address;
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size);
        m_port = ntohs(address.sin_port);
        m_acceptor = std::thread([this] { AcceptLoop(); });
    }
    ~LoopbackServer() {
        m_stopping = true;
        closesocket(m_listener);
        {
            // Functions still waiting for a request end when their socket is shut down.
            std::lock_guard<std::mutex> lock(m_mutex);
            for (SOCKET s : m_live)
                shutdown(s, SD_BOTH);
        }
        m_acceptor.join();
        for (auto& w : m_workers)
            w.join();
    }
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int Port() const { return m_port; }
    int Connections() const { return m_connections; }

  private:
    void AcceptLoop() {
        for (;;) {
            SOCKET s = accept(m_listener, nullptr, nullptr);
            if (s == INVALID_SOCKET || m_stopping) {
                if (s != INVALID_SOCKET) closesocket(s);
                return;
            }
            ++m_connections;
            std::lock_guard<std::mutex> lock(m_mutex);
            m_live.push_back(s);
            m_workers.emplace_back([this, s] { m_serve(s); });
        }
    }

    std::function<void(SOCKET)> m_serve;
    SOCKET m_listener = INVALID_SOCKET;
    int m_port = 0;
    std::atomic<int> m_connections{0};
    std::atomic<bool> m_stopping{false};
    std::thread m_acceptor;
    std::vector<std::thread> m_workers;
    std::vector<SOCKET> m_live;
    std::mutex m_mutex;
};

} // namespace harness
