#include "framework/Socket.h"

#include <ws2tcpip.h>

#include <cstdio>

namespace {

// Each thread may use sockets without knowing whether the program started Winsock; the
// library counts the start-ups, and one for the process's lifetime is enough.
bool StartWinsock() {
    static const bool started = [] {
        WSADATA data;
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

} // namespace

bool CSocket::Create() {
    Close();
    if (!StartWinsock()) return false;
    m_hSocket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (m_hSocket == INVALID_SOCKET) return false;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    u_long blocking = 0;
    if (::bind(m_hSocket, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        ::ioctlsocket(m_hSocket, FIONBIO, &blocking) != 0) {
        Close();
        return false;
    }
    return true;
}

bool CSocket::SetSockOpt(int level, int name, int value) {
    return ::setsockopt(m_hSocket, level, name, reinterpret_cast<const char*>(&value), sizeof value) == 0;
}

bool CSocket::Connect(const char* host, int port) {
    if (!IsOpen() || !host || port <= 0 || port > 65535) return false;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    char service[8];
    std::snprintf(service, sizeof service, "%d", port);
    addrinfo* found = nullptr;
    if (::getaddrinfo(host, service, &hints, &found) != 0 || !found) return false;
    int rc = ::connect(m_hSocket, found->ai_addr, static_cast<int>(found->ai_addrlen));
    ::freeaddrinfo(found);
    return rc == 0;
}

int CSocket::Send(const void* data, int length) {
    return ::send(m_hSocket, static_cast<const char*>(data), length, 0);
}

int CSocket::Receive(void* data, int length) {
    return ::recv(m_hSocket, static_cast<char*>(data), length, 0);
}

void CSocket::Close() {
    if (m_hSocket == INVALID_SOCKET) return;
    ::closesocket(m_hSocket);
    m_hSocket = INVALID_SOCKET;
}
