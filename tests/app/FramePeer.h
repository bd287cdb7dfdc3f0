#pragma once
// A loopback application server for the socket transport's tests: it reads the transport's
// length-framed requests and answers each connection with a script of the test's choosing,
// so that every split, short or endless reply can be produced on purpose.

#include "tests/harness/LoopbackServer.h"

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace apptest {

class FrameConnection {
  public:
    explicit FrameConnection(SOCKET s) : m_socket(s) {}
    ~FrameConnection() { Close(); }

    // The next request: its command character and text; false when the client closed.
    bool ReadFrame(std::string* frame);
    void Send(const std::string& bytes);
    // One send per `size` bytes with a pause after each, so that they arrive apart.
    void SendInSegments(const std::string& bytes, size_t size);
    void Close();

  private:
    bool ReadExactly(char* into, size_t count);
    SOCKET m_socket;
};

class FramePeer {
  public:
    using Script = std::function<void(FrameConnection&, FramePeer&)>;
    explicit FramePeer(Script script);

    int Port() const { return m_server.Port(); }
    // Every request read, in order, over all connections.
    std::vector<std::string> Frames();
    void Record(const std::string& frame);

  private:
    std::mutex m_mutex;
    std::vector<std::string> m_frames;
    harness::LoopbackServer m_server; // last: its threads end before the rest goes
};

// A script that answers each request with what `answer` returns until the client closes;
// an empty answer closes the connection.
FramePeer::Script Serve(std::function<std::string(const std::string& frame)> answer);

// The server's replies: a line ends in one NUL, an execute reply in three.
inline std::string Line(const std::string& text) {
    return text + std::string(1, '\0');
}
inline std::string ExecuteReply(const std::string& output, const std::string& status) {
    return "1" + output + std::string(1, '\0') + status + std::string(3, '\0');
}

} // namespace apptest
