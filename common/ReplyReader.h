#pragma once
// Reading the server's replies, independent of the socket layer: the client library plugs in
// its Winsock connection, tests and fuzzers plug in scripted byte streams.
//
// A reply that ends early, a negative length or an over-long field never leaves unread bytes
// of the current reply behind to be taken for the next one: excess is received and dropped
// in full (bounded by the time-out), and a peer that closes in the middle is 10006.

#include <cstddef>
#include <cstdint>

namespace vorlan::wire {

class ByteSource {
  public:
    // Receives into `buffer`, waiting for data with the connection's time-out when none has
    // arrived yet. With `all` false it returns as soon as it has some bytes; with `all` true it
    // goes on until `length` bytes have arrived or the peer has closed (then 0 with fewer
    // bytes). Returns 0, 10016 on time-out, or another error number.
    virtual int Receive(uint8_t* buffer, int32_t length, bool all, int32_t* received) = 0;
    // Discards everything already waiting.
    virtual int Drain() = 0;

  protected:
    ~ByteSource() = default;
};

// The length of the next field (raw: -1 is a run marker, other negatives are the caller's
// to refuse). Fewer than 4 bytes because the peer closed: 10006.
int ReadFieldLength(ByteSource& source, int32_t* length);

// Receives exactly `count` bytes and drops them.
int Discard(ByteSource& source, int64_t count);

// Reads a field body of `length` bytes: the first `capacity` into `buffer`, the rest dropped.
// A negative length is 10039.
int ReadFieldData(ByteSource& source, uint8_t* buffer, int32_t capacity, int32_t length, int32_t* read);

// Length and body; `read` is what landed in the buffer.
int ReadField(ByteSource& source, uint8_t* buffer, int32_t capacity, int32_t* read);

// Length and body as text: at most capacity - 1 bytes and a NUL, also when the read fails.
int ReadStringField(ByteSource& source, char* buffer, int32_t capacity, int32_t* read);

int ReadNumberField(ByteSource& source, int32_t* value);

int ReadReplyHeader(ByteSource& source, char* type, int32_t* count);

// Collects the raw output of an "X" request up to its end marker and reads the trailer that
// follows. The buffer receives at most capacity - 1 output bytes and always a NUL, whatever
// happens. Returns 0 for a normal end, the number of the server's error text (which then
// replaces the output) for an M error, or an error number of the connection or framing.
// `length` is the number of bytes left in the buffer before its NUL.
int ReadExecReply(ByteSource& source, char* buffer, int32_t capacity, int32_t* length);

} // namespace vorlan::wire
