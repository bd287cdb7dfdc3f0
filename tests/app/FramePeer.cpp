#include "tests/app/FramePeer.h"

#include <ws2tcpip.h>

namespace apptest {

bool FrameConnection::ReadExactly(char* into, size_t count) {
    size_t at = 0;
    while (at < count) {
        int n = recv(m_socket, into + at, static_cast<int>(count - at), 0);
        if (n <= 0) return false;
        at += static_cast<size_t>(n);
    }
    return true;
}

bool FrameConnection::ReadFrame(std::string* frame) {
    unsigned char length[2];
    if (!ReadExactly(reinterpret_cast<char*>(length), 2)) return false;
    frame->assign(length[0] | (length[1] << 8), '\0');
    return frame->empty() || ReadExactly(&(*frame)[0], frame->size());
}

void FrameConnection::Send(const std::string& bytes) {
    size_t at = 0;
    while (at < bytes.size()) {
        int n = send(m_socket, bytes.data() + at, static_cast<int>(bytes.size() - at), 0);
        if (n <= 0) return;
        at += static_cast<size_t>(n);
    }
}

void FrameConnection::SendInSegments(const std::string& bytes, size_t size) {
    BOOL on = TRUE;
    setsockopt(m_socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    for (size_t at = 0; at < bytes.size(); at += size) {
        Send(bytes.substr(at, size));
        Sleep(2);
    }
}

void FrameConnection::Close() {
    if (m_socket == INVALID_SOCKET) return;
    shutdown(m_socket, SD_BOTH);
    closesocket(m_socket);
    m_socket = INVALID_SOCKET;
}

FramePeer::FramePeer(Script script)
    : m_server([this, script](SOCKET s) {
          FrameConnection c(s);
          script(c, *this);
      }) {}

std::vector<std::string> FramePeer::Frames() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_frames;
}

void FramePeer::Record(const std::string& frame) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_frames.push_back(frame);
}

FramePeer::Script Serve(std::function<std::string(const std::string& frame)> answer) {
    return [answer](FrameConnection& c, FramePeer& peer) {
        std::string frame;
        while (c.ReadFrame(&frame)) {
            peer.Record(frame);
            std::string reply = answer(frame);
            if (reply.empty()) return;
            c.Send(reply);
        }
    };
}

} // namespace apptest
