#pragma once
// The field framing shared by the client library and dbserver. A field is a 4-byte
// big-endian signed length and that many bytes; numbers travel as "%d" text; a length of -1
// followed by a 4-byte count stands for a run of empty fields. A request is a code field, a
// count field and the counted fields; a reply header is a one-byte type field and a count
// field of 0 to 999. No I/O here: bytes leave through a ByteSink.

#include <cstddef>
#include <cstdint>

namespace vorlan::wire {

constexpr int32_t kRequestBufferSize = 1024;
constexpr int32_t kRunMarkerLength = -1;
constexpr int32_t kMaxReplyCount = 999;
constexpr int kNumberTextMax = 12; // "-2147483648" and its NUL
constexpr char kExecEndMarker[] = "<XEND>";
constexpr int kExecEndMarkerLength = 6;

void PutInt32(int32_t value, uint8_t* out);
int32_t GetInt32(const uint8_t* in);

// Writes `value` as "%d" text into `out` (kNumberTextMax bytes), terminated; returns its length.
int FormatNumber(int32_t value, char* out);

// The plain decimal conversion of the other side: optional white space and sign, then the
// leading digits; no digits reads as 0; saturates instead of overflowing.
int32_t ParseNumber(const char* text, size_t length);

// Where buffered bytes go, in the order they are given; each call returns 0 or an error
// number. A sink may hold bytes back and hand them on together at Push: Send's bytes may change
// once it returns (the sink copies what it holds), SendLasting's stay as they are until Push.
class ByteSink {
  public:
    virtual int Send(const uint8_t* data, int32_t length) = 0;
    virtual int SendLasting(const uint8_t* data, int32_t length) { return Send(data, length); }
    virtual int Push() { return 0; }

  protected:
    ~ByteSink() = default;
};

// Appends fields to a fixed buffer and sends it whenever it fills: a field larger than the
// free space is split across sends, and its whole buffer-sized pieces go out together in one
// send straight from the caller's data, which must therefore stay unchanged until Flush or
// Push. The position may be the caller's own (the streamed routine call keeps it between
// calls). The first error sticks: later appends do nothing, status() reports it.
class RequestWriter {
  public:
    RequestWriter(ByteSink& sink, uint8_t* buffer, int32_t capacity, int32_t& position);

    RequestWriter& Bytes(const void* data, size_t length);
    RequestWriter& Field(const void* data, size_t length);
    RequestWriter& Text(const char* text); // null is the empty text
    RequestWriter& Number(int32_t value);
    RequestWriter& Run(int32_t count); // a run of `count` empty fields
    RequestWriter& Header(const char* code, int32_t count);
    RequestWriter& ReplyHeader(char type, int32_t count);

    // Sends what is buffered and empties the buffer; then Push.
    int Flush();
    // Has the sink hand on everything sent so far; what is buffered stays. Returns status().
    int Push();

    void Fail(int error) {
        if (status_ == 0) status_ = error;
    }
    int status() const { return status_; }
    int32_t position() const { return position_; }

  private:
    // `lasting`: the bytes stay unchanged until Push, so whole pieces need no copy.
    RequestWriter& Put(const void* data, size_t length, bool lasting);
    RequestWriter& CopiedField(const void* data, size_t length);

    ByteSink& sink_;
    uint8_t* buffer_;
    int32_t capacity_;
    int32_t& position_;
    int status_ = 0;
};

// Checks of a received reply header. The type field must hold exactly one byte: a negative
// length is a framing error (10039), any other length means we lost the stream (10006). The
// count field must hold a number from 0 to 999 (else 10039).
int CheckReplyTypeLength(int32_t length);
int ParseReplyCount(const char* text, size_t length, int32_t* count);

} // namespace vorlan::wire
