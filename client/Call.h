#pragma once
// The request and answer of the calls on variables, locks and routines: drain, send the
// request, read the header; an 'E' reply with one field gives the number of its text, an 'R'
// reply goes to the call's reader, anything else is 10039. Fields of the reply that the call
// does not want are still taken off the stream, so they can never be read as the next reply.
// Whatever else is left is drained by the next call before its request: a drain after the
// reply as well would only cost another socket call (tens of microseconds under Wine).

#include "client/Connection.h"
#include "common/ErrorTable.h"
#include "common/ReplyReader.h"

#include <cstring>

namespace vorlan::client {

// The fields of one reply, counted down as they are read.
class ReplyFields {
  public:
    ReplyFields(wire::ByteSource& source, int32_t count) : source_(source), left_(count) {}

    int32_t left() const { return left_; }
    int String(char* buffer, int32_t capacity, int32_t* read);
    int Number(int32_t* value);
    int Raw(uint8_t* buffer, int32_t capacity, int32_t* read);
    // Nothing more is read once a read has failed: the stream is lost then.
    int SkipRest();

  private:
    int Track(int rc) {
        if (rc != 0) broken_ = true;
        return rc;
    }

    wire::ByteSource& source_;
    int32_t left_;
    bool broken_ = false;
};

// Where an 'E' reply's text goes besides the lookup (nowhere when null).
struct ErrorText {
    char* buffer = nullptr;
    int32_t capacity = 0;
    int32_t* length = nullptr;
};

template <class Build, class OnResult>
int Exchange(int handle, Build&& build, ErrorText error, OnResult&& onResult) {
    Connection c(handle);
    if (!c.valid()) return kvx::kErrConnectionLost;
    int rc = SendRequest(c, build);
    char type = 0;
    int32_t count = 0;
    if (rc == 0) rc = wire::ReadReplyHeader(c, &type, &count);
    if (rc == 0) {
        ReplyFields fields(c, count);
        if (type == 'E' && count == 1) {
            // The full text decides the number, even when the caller's buffer is small.
            char text[wire::kRequestBufferSize];
            int32_t n = 0;
            rc = fields.String(text, sizeof text, &n);
            if (error.buffer && error.capacity > 0) {
                int32_t copied = n < error.capacity ? n : error.capacity - 1;
                std::memcpy(error.buffer, text, static_cast<size_t>(copied));
                error.buffer[copied] = '\0';
                if (error.length) *error.length = copied;
            }
            if (rc == 0) rc = kvx::ServerErrorNumber(text, static_cast<size_t>(n));
        } else if (type == 'R') {
            rc = onResult(fields);
            if (int skipped = fields.SkipRest(); rc == 0) rc = skipped;
        } else {
            rc = kvx::kErrProtocol;
        }
    }
    return rc;
}

// An 'R' reply whose fields the call does not use.
inline int IgnoreResult(ReplyFields&) {
    return 0;
}

// An 'R' reply whose one field is a text for the caller's buffer; any other count reads nothing.
inline auto StringResult(char* output, int32_t capacity) {
    return [output, capacity](ReplyFields& f) {
        int32_t read;
        return f.left() == 1 ? f.String(output, capacity, &read) : 0;
    };
}

} // namespace vorlan::client
