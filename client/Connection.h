#pragma once
// One registered connection as the codec sees it: a byte source with the connection's
// time-out that reads ahead into the connection's receive buffer, and a sink that collects a
// request's pieces and hands them to the socket together.

#include "client/Tables.h"
#include "common/ReplyReader.h"
#include "common/WireFormat.h"

namespace vorlan::client {

struct ConnectionBuffers;

class Connection final : public wire::ByteSource, public wire::ByteSink {
  public:
    explicit Connection(int handle);
    // Whatever a caller left collected still goes out.
    ~Connection();

    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // An unknown handle behaves as a socket that is gone.
    bool valid() const { return slot_ != nullptr; }

    int Receive(uint8_t* buffer, int32_t length, bool all, int32_t* received) override;
    int Drain() override;
    int Send(const uint8_t* data, int32_t length) override;
    int SendLasting(const uint8_t* data, int32_t length) override;
    int Push() override;

    // Shuts down sending, closes the socket and frees the slot.
    void Close();

  private:
    // One wait with the time-out and one receive of whatever has arrived.
    int Fill();
    void AddPiece(const uint8_t* data, int32_t length);
    int SendPieces(WSABUF* pieces, int count);

    int handle_;
    SocketSlot* slot_;
    ConnectionBuffers* b_;
};

// Drains stale input, then sends the request that `build` appends to a buffer of `Size` bytes.
template <size_t Size = wire::kRequestBufferSize, class Build> int SendRequest(Connection& c, Build&& build) {
    c.Drain();
    uint8_t buffer[Size];
    int32_t position = 0;
    wire::RequestWriter request(c, buffer, Size, position);
    build(request);
    return request.Flush();
}

// Checks made before any protocol call touches its connection.
int CheckInitialized();

// Closes a socket that was never registered.
void CloseSocket(SOCKET socket);

} // namespace vorlan::client
