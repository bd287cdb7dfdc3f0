#include "client/Connection.h"

#include "client/ConnectionBuffers.h"
#include "client/Winsock.h"
#include "common/ErrorTable.h"

#include <algorithm>
#include <cstring>

namespace vorlan::client {

int CheckInitialized() {
    return g_winsock.module ? 0 : kvx::kErrNotInitialized;
}

void CloseSocket(SOCKET socket) {
    g_winsock.shutdown(socket, SD_SEND);
    g_winsock.closesocket(socket);
}

Connection::Connection(int handle) : handle_(handle), slot_(FindSlot(handle)) {
    b_ = slot_ ? slot_->buffers : nullptr;
    if (!b_) slot_ = nullptr;
}

Connection::~Connection() {
    Push();
}

int Connection::Fill() {
    const SOCKET s = slot_->socket;
    fd_set readable;
    readable.fd_count = 1;
    readable.fd_array[0] = s;
    timeval wait{slot_->timeout, 0};
    int ready = g_winsock.select(0, &readable, nullptr, nullptr, &wait);
    if (ready == SOCKET_ERROR) return g_winsock.LastError();
    if (ready == 0) return kvx::kErrTimeout;
    if (!g_winsock.WSAFDIsSet(s, &readable)) return g_winsock.LastError();
    int n = g_winsock.recv(s, reinterpret_cast<char*>(b_->received), ConnectionBuffers::kReceive, 0);
    if (n == SOCKET_ERROR) return g_winsock.LastError();
    b_->start = 0;
    b_->end = n; // 0: the peer closed
    return 0;
}

int Connection::Receive(uint8_t* buffer, int32_t length, bool all, int32_t* received) {
    *received = 0;
    if (!slot_) return kvx::kErrConnectionLost;
    // Nobody answers a request that has not gone out.
    if (int rc = Push()) return rc;
    while (*received < length) {
        if (b_->start == b_->end) {
            if (int rc = Fill()) return rc;
            if (b_->end == 0) break; // the peer closed: the caller judges what has arrived
        }
        int32_t n = std::min(length - *received, b_->end - b_->start);
        std::memcpy(buffer + *received, b_->received + b_->start, static_cast<size_t>(n));
        b_->start += n;
        *received += n;
        if (!all) break;
    }
    return 0;
}

int Connection::Drain() {
    if (!slot_) return kvx::kErrConnectionLost;
    b_->start = b_->end = 0;
    for (;;) {
        u_long waiting = 0;
        if (g_winsock.ioctlsocket(slot_->socket, FIONREAD, &waiting) == SOCKET_ERROR)
            return g_winsock.LastError();
        if (waiting == 0) return 0;
        int n = g_winsock.recv(slot_->socket, reinterpret_cast<char*>(b_->received),
                               static_cast<int>(std::min<u_long>(waiting, ConnectionBuffers::kReceive)), 0);
        if (n == SOCKET_ERROR) return g_winsock.LastError();
        if (n == 0) return 0;
    }
}

void Connection::AddPiece(const uint8_t* data, int32_t length) {
    WSABUF& piece = b_->pieces[b_->pieceCount++];
    piece.buf = reinterpret_cast<char*>(const_cast<uint8_t*>(data));
    piece.len = static_cast<ULONG>(length);
}

int Connection::Send(const uint8_t* data, int32_t length) {
    if (!slot_) return kvx::kErrConnectionLost;
    while (length > 0) {
        // Room for the copy and for its piece before anything is written.
        if (b_->stagedLength == ConnectionBuffers::kStage || b_->pieceCount == ConnectionBuffers::kPieces)
            if (int rc = Push()) return rc;
        int32_t n = std::min(length, ConnectionBuffers::kStage - b_->stagedLength);
        uint8_t* at = b_->staged + b_->stagedLength;
        std::memcpy(at, data, static_cast<size_t>(n));
        b_->stagedLength += n;
        WSABUF* last = b_->pieceCount > 0 ? &b_->pieces[b_->pieceCount - 1] : nullptr;
        if (last && reinterpret_cast<uint8_t*>(last->buf) + last->len == at)
            last->len += static_cast<ULONG>(n);
        else
            AddPiece(at, n);
        data += n;
        length -= n;
    }
    return 0;
}

int Connection::SendLasting(const uint8_t* data, int32_t length) {
    if (!slot_) return kvx::kErrConnectionLost;
    if (length <= 0) return 0;
    if (b_->pieceCount == ConnectionBuffers::kPieces)
        if (int rc = Push()) return rc;
    AddPiece(data, length);
    return 0;
}

int Connection::Push() {
    if (!slot_ || b_->pieceCount == 0) return 0;
    const int count = b_->pieceCount;
    b_->pieceCount = 0;
    b_->stagedLength = 0;
    if (int rc = CheckInitialized()) return rc;
    if (g_winsock.WSAIsBlocking()) return kvx::kErrBlocking;
    return SendPieces(b_->pieces, count);
}

int Connection::SendPieces(WSABUF* pieces, int count) {
    const SOCKET s = slot_->socket;
    while (count > 0) {
        DWORD sent = 0;
        if (count > 1 && g_winsock.WSASend) {
            if (g_winsock.WSASend(s, pieces, static_cast<DWORD>(count), &sent, 0, nullptr, nullptr) ==
                SOCKET_ERROR)
                return g_winsock.LastError();
        } else {
            int n = g_winsock.send(s, pieces->buf, static_cast<int>(pieces->len), 0);
            if (n == SOCKET_ERROR) return g_winsock.LastError();
            sent = static_cast<DWORD>(n);
        }
        if (sent == 0) return kvx::kErrConnectionLost;
        // What a short send left goes out in the next call.
        while (count > 0 && sent >= pieces->len) {
            sent -= pieces->len;
            ++pieces;
            --count;
        }
        if (count > 0) {
            pieces->buf += sent;
            pieces->len -= sent;
        }
    }
    return 0;
}

void Connection::Close() {
    if (!slot_) return;
    CloseSocket(slot_->socket);
    UnregisterHandle(handle_);
    slot_ = nullptr;
    b_ = nullptr;
}

} // namespace vorlan::client
