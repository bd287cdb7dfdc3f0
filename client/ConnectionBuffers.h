#pragma once
// What a connection keeps between socket calls: bytes received ahead of the reader, and the
// pieces of a request not yet handed to the socket. Under Wine every socket call costs tens of
// microseconds, so a reply is taken in as few receives and a request in as few sends as its
// bytes allow; what travels on the wire is the same.

#include <winsock2.h>

#include <cstdint>

namespace vorlan::client {

struct ConnectionBuffers {
    static constexpr int32_t kReceive = 64 * 1024;
    static constexpr int32_t kStage = 16 * 1024;
    static constexpr int kPieces = 32;

    // received[start, end) has arrived and not been read yet.
    uint8_t received[kReceive];
    int32_t start = 0;
    int32_t end = 0;

    // Pieces of the request in order: copies in `staged`, or the caller's own bytes.
    uint8_t staged[kStage];
    int32_t stagedLength = 0;
    WSABUF pieces[kPieces];
    int pieceCount = 0;
};

} // namespace vorlan::client
