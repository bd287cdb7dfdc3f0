#include "client/Connection.h"

#include "client/Winsock.h"
#include "common/ErrorTable.h"

#include <algorithm>

namespace vorlan::client {

int CheckInitialized() {
    return g_winsock.module ? 0 : kvx::kErrNotInitialized;
}

void CloseSocket(SOCKET socket) {
    g_winsock.shutdown(socket, SD_SEND);
    g_winsock.closesocket(socket);
}

int Connection::Receive(uint8_t* buffer, int32_t length, bool all, int32_t* received) {
    *received = 0;
    if (!slot_) return kvx::kErrConnectionLost;
    const SOCKET s = slot_->socket;
    while (*received < length) {
        fd_set readable;
        readable.fd_count = 1;
        readable.fd_array[0] = s;
        timeval wait{slot_->timeout, 0};
        int ready = g_winsock.select(0, &readable, nullptr, nullptr, &wait);
        if (ready == SOCKET_ERROR) return g_winsock.LastError();
        if (ready == 0) return kvx::kErrTimeout;
        if (!g_winsock.WSAFDIsSet(s, &readable)) return g_winsock.LastError();
        int n = g_winsock.recv(s, reinterpret_cast<char*>(buffer) + *received, length - *received, 0);
        if (n == SOCKET_ERROR) return g_winsock.LastError();
        if (n == 0) break; // the peer closed: the caller judges what has arrived
        *received += n;
        if (!all) break;
    }
    return 0;
}

int Connection::Drain() {
    if (!slot_) return kvx::kErrConnectionLost;
    char scratch[128];
    for (;;) {
        u_long waiting = 0;
        if (g_winsock.ioctlsocket(slot_->socket, FIONREAD, &waiting) == SOCKET_ERROR)
            return g_winsock.LastError();
        if (waiting == 0) return 0;
        int n = g_winsock.recv(slot_->socket, scratch,
                               static_cast<int>(std::min<u_long>(waiting, sizeof scratch)), 0);
        if (n == SOCKET_ERROR) return g_winsock.LastError();
        if (n == 0) return 0;
    }
}

int Connection::Send(const uint8_t* data, int32_t length) {
    if (int rc = CheckInitialized()) return rc;
    if (g_winsock.WSAIsBlocking()) return kvx::kErrBlocking;
    if (!slot_) return kvx::kErrConnectionLost;
    while (length > 0) {
        int n = g_winsock.send(slot_->socket, reinterpret_cast<const char*>(data), length, 0);
        if (n == SOCKET_ERROR) return g_winsock.LastError();
        if (n == 0) return kvx::kErrConnectionLost;
        data += n;
        length -= n;
    }
    return 0;
}

void Connection::Close() {
    if (!slot_) return;
    CloseSocket(slot_->socket);
    UnregisterHandle(handle_);
    slot_ = nullptr;
}

} // namespace vorlan::client
