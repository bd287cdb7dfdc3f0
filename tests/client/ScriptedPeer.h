#pragma once
// A loopback server for the client library's tests: it answers each connection with a script
// of the test's choosing, so every malformed or late reply can be produced on purpose.

#include "common/RequestDecoder.h"
#include "tests/common/WireBytes.h"
#include "tests/harness/LoopbackServer.h"

#include <winsock2.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace vorlan::test {

class PeerConnection {
  public:
    explicit PeerConnection(SOCKET s) : socket_(s) {}
    ~PeerConnection();

    // The next whole request; false when the client closed or sent nonsense.
    bool ReadRequest(wire::Request* request);
    // The bytes of the request last read, as they came.
    const std::string& raw() const { return raw_; }
    void Send(const std::string& bytes);
    // `bytes` in sends of `size` bytes with a pause after each, so that they arrive as
    // segments of their own.
    void SendInSegments(const std::string& bytes, size_t size, int pauseMilliseconds);
    void Close();
    // True when the client closes its end within the time.
    bool WaitForClose(int milliseconds);

  private:
    SOCKET socket_;
    wire::RequestDecoder decoder_;
    std::string pending_;
    std::string raw_;
};

struct LoginReply {
    std::string version = "4.0.0"; // not newer: empty fields are not run-encoded
    int refused = 0;
    std::string refusal;
    int redirect = 0;
    bool wrongNonce = false;
    int fields = 5;
};

class ScriptedPeer {
  public:
    using Script = std::function<void(PeerConnection&, ScriptedPeer&)>;

    explicit ScriptedPeer(Script script);

    int port() const { return server_.Port(); }
    // Every request the peer has read, in order.
    std::vector<wire::Request> requests();
    std::vector<std::string> raws();
    void Record(const wire::Request& r, const std::string& raw);
    int connections() const { return server_.Connections(); }

  private:
    std::mutex mutex_;
    std::vector<wire::Request> requests_;
    std::vector<std::string> raws_;
    harness::LoopbackServer server_; // last: its threads end before the rest goes
};

inline LoginReply ServerVersion(const char* version) {
    LoginReply r;
    r.version = version;
    return r;
}

// Reads the log-in request and answers it; false when none came.
bool AnswerLogin(PeerConnection& c, ScriptedPeer& peer, const LoginReply& reply = {});

// A script that answers the log-in, then each request with what `answer` returns (nothing
// when it returns an empty text), until the client closes.
ScriptedPeer::Script Serve(std::function<std::string(const wire::Request&)> answer, LoginReply login = {});

// Signals between a script and the test body.
class Signal {
  public:
    void Set();
    bool Wait(int milliseconds);

  private:
    std::mutex m_;
    std::condition_variable cv_;
    bool set_ = false;
};

} // namespace vorlan::test
