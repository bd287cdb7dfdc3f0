#include "tests/client/ScriptedPeer.h"

#include "common/Nonce.h"
#include "common/WireFormat.h"

#include <ws2tcpip.h>

#include <chrono>

namespace vorlan::test {

PeerConnection::~PeerConnection() {
    Close();
}

bool PeerConnection::ReadRequest(wire::Request* request) {
    raw_.clear();
    for (;;) {
        size_t used = 0;
        auto result = decoder_.Feed(pending_.data(), pending_.size(), &used);
        raw_.append(pending_, 0, used);
        pending_.erase(0, used);
        if (result == wire::RequestDecoder::Result::Complete) {
            *request = decoder_.request();
            return true;
        }
        if (result == wire::RequestDecoder::Result::Malformed) return false;
        char buffer[4096];
        int n = recv(socket_, buffer, sizeof buffer, 0);
        if (n <= 0) return false;
        pending_.append(buffer, static_cast<size_t>(n));
    }
}

void PeerConnection::Send(const std::string& bytes) {
    size_t at = 0;
    while (at < bytes.size()) {
        int n = send(socket_, bytes.data() + at, static_cast<int>(bytes.size() - at), 0);
        if (n <= 0) return;
        at += static_cast<size_t>(n);
    }
}

void PeerConnection::SendInSegments(const std::string& bytes, size_t size, int pauseMilliseconds) {
    BOOL on = TRUE;
    setsockopt(socket_, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    for (size_t at = 0; at < bytes.size(); at += size) {
        Send(bytes.substr(at, size));
        Sleep(static_cast<DWORD>(pauseMilliseconds));
    }
}

void PeerConnection::Close() {
    if (socket_ != INVALID_SOCKET) {
        shutdown(socket_, SD_BOTH);
        closesocket(socket_);
        socket_ = INVALID_SOCKET;
    }
}

bool PeerConnection::WaitForClose(int milliseconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < deadline) {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(socket_, &set);
        timeval wait{0, 100000};
        if (select(0, &set, nullptr, nullptr, &wait) > 0) {
            char buffer[256];
            int n = recv(socket_, buffer, sizeof buffer, 0);
            if (n <= 0) return true;
        }
    }
    return false;
}

ScriptedPeer::ScriptedPeer(Script script)
    : server_([this, script](SOCKET s) {
          PeerConnection c(s);
          script(c, *this);
      }) {}

std::vector<wire::Request> ScriptedPeer::requests() {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

std::vector<std::string> ScriptedPeer::raws() {
    std::lock_guard<std::mutex> lock(mutex_);
    return raws_;
}

void ScriptedPeer::Record(const wire::Request& r, const std::string& raw) {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back(r);
    raws_.push_back(raw);
}

bool AnswerLogin(PeerConnection& c, ScriptedPeer& peer, const LoginReply& reply) {
    wire::Request r;
    if (!c.ReadRequest(&r)) return false;
    peer.Record(r, c.raw());
    if (r.code != "L" || r.fields.size() != 10) return false;
    int32_t challenge = wire::ParseNumber(r.fields[9].data(), r.fields[9].size());
    uint32_t answer = nonce::Answer(static_cast<uint32_t>(challenge)) + (reply.wrongNonce ? 1 : 0);
    std::vector<std::string> fields = {std::to_string(answer), std::to_string(reply.refused), reply.refusal,
                                       reply.version, std::to_string(reply.redirect)};
    fields.resize(static_cast<size_t>(reply.fields));
    c.Send(ReplyBytes('V', fields));
    return true;
}

ScriptedPeer::Script Serve(std::function<std::string(const wire::Request&)> answer, LoginReply login) {
    return [answer, login](PeerConnection& c, ScriptedPeer& peer) {
        if (!AnswerLogin(c, peer, login)) return;
        wire::Request r;
        while (c.ReadRequest(&r)) {
            peer.Record(r, c.raw());
            std::string reply = answer(r);
            if (!reply.empty()) c.Send(reply);
        }
    };
}

void Signal::Set() {
    std::lock_guard<std::mutex> lock(m_);
    set_ = true;
    cv_.notify_all();
}

bool Signal::Wait(int milliseconds) {
    std::unique_lock<std::mutex> lock(m_);
    return cv_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return set_; });
}

} // namespace vorlan::test
