#include "common/WireFormat.h"

#include "common/ErrorTable.h"

#include <climits>
#include <cstring>

namespace vorlan::wire {

void PutInt32(int32_t value, uint8_t* out) {
    uint32_t v = static_cast<uint32_t>(value);
    out[0] = static_cast<uint8_t>(v >> 24);
    out[1] = static_cast<uint8_t>(v >> 16);
    out[2] = static_cast<uint8_t>(v >> 8);
    out[3] = static_cast<uint8_t>(v);
}

int32_t GetInt32(const uint8_t* in) {
    uint32_t v = (uint32_t{in[0]} << 24) | (uint32_t{in[1]} << 16) | (uint32_t{in[2]} << 8) | uint32_t{in[3]};
    return static_cast<int32_t>(v);
}

int FormatNumber(int32_t value, char* out) {
    char digits[kNumberTextMax];
    int n = 0;
    // Work in the negative range so that INT32_MIN needs no special case.
    int64_t v = value;
    bool negative = v < 0;
    if (!negative) v = -v;
    do {
        digits[n++] = static_cast<char>('0' - v % 10);
        v /= 10;
    } while (v != 0);
    int len = 0;
    if (negative) out[len++] = '-';
    while (n > 0)
        out[len++] = digits[--n];
    out[len] = '\0';
    return len;
}

int32_t ParseNumber(const char* text, size_t length) {
    size_t i = 0;
    while (i < length && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < length && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t v = 0;
    for (; i < length && text[i] >= '0' && text[i] <= '9'; ++i) {
        v = v * 10 + (text[i] - '0');
        if (v > int64_t{INT_MAX} + 1) v = int64_t{INT_MAX} + 1;
    }
    if (negative) v = -v;
    if (v > INT_MAX) v = INT_MAX;
    return static_cast<int32_t>(v);
}

RequestWriter::RequestWriter(ByteSink& sink, uint8_t* buffer, int32_t capacity, int32_t& position)
    : sink_(sink), buffer_(buffer), capacity_(capacity), position_(position) {
    // The buffer and position may come from a caller of the library: never trust them.
    if (!buffer || capacity < 1 || position < 0 || position > capacity) status_ = kvx::kErrBadArgument;
}

RequestWriter& RequestWriter::Bytes(const void* data, size_t length) {
    return Put(data, length, true);
}

RequestWriter& RequestWriter::Put(const void* data, size_t length, bool lasting) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    if (length > 0 && !p) Fail(kvx::kErrBadArgument);
    while (length > 0 && status_ == 0) {
        size_t free = static_cast<size_t>(capacity_ - position_);
        if (length < free) {
            std::memcpy(buffer_ + position_, p, length);
            position_ += static_cast<int32_t>(length);
            return *this;
        }
        if (position_ != 0) {
            std::memcpy(buffer_ + position_, p, free);
            p += free;
            length -= free;
            status_ = sink_.Send(buffer_, capacity_);
            position_ = 0;
        } else {
            // Every whole buffer's worth in one send: the same bytes, far fewer calls.
            size_t whole = length - length % static_cast<size_t>(capacity_);
            const auto n = static_cast<int32_t>(whole);
            status_ = lasting ? sink_.SendLasting(p, n) : sink_.Send(p, n);
            p += whole;
            length -= whole;
        }
    }
    return *this;
}

RequestWriter& RequestWriter::Field(const void* data, size_t length) {
    if (length > static_cast<size_t>(INT32_MAX)) {
        Fail(kvx::kErrBadArgument);
        return *this;
    }
    uint8_t len[4];
    PutInt32(static_cast<int32_t>(length), len);
    return Put(len, 4, false).Put(data, length, true);
}

// A field whose bytes live no longer than the call.
RequestWriter& RequestWriter::CopiedField(const void* data, size_t length) {
    uint8_t len[4];
    PutInt32(static_cast<int32_t>(length), len);
    return Put(len, 4, false).Put(data, length, false);
}

RequestWriter& RequestWriter::Text(const char* text) {
    return Field(text, text ? std::strlen(text) : 0);
}

RequestWriter& RequestWriter::Number(int32_t value) {
    char text[kNumberTextMax];
    int n = FormatNumber(value, text);
    return CopiedField(text, static_cast<size_t>(n));
}

RequestWriter& RequestWriter::Run(int32_t count) {
    uint8_t marker[8];
    PutInt32(kRunMarkerLength, marker);
    PutInt32(count, marker + 4);
    return Put(marker, sizeof marker, false);
}

RequestWriter& RequestWriter::Header(const char* code, int32_t count) {
    return Text(code).Number(count);
}

RequestWriter& RequestWriter::ReplyHeader(char type, int32_t count) {
    return CopiedField(&type, 1).Number(count);
}

int RequestWriter::Flush() {
    if (status_ == 0 && position_ > 0) {
        status_ = sink_.Send(buffer_, position_);
        position_ = 0;
    }
    return Push();
}

int RequestWriter::Push() {
    // Even after an error: what was sent before it goes out, as if sent at once.
    int rc = sink_.Push();
    if (status_ == 0) status_ = rc;
    return status_;
}

int CheckReplyTypeLength(int32_t length) {
    if (length < 0) return kvx::kErrProtocol;
    return length == 1 ? 0 : kvx::kErrConnectionLost;
}

int ParseReplyCount(const char* text, size_t length, int32_t* count) {
    *count = 0;
    if (length == 0) return kvx::kErrProtocol;
    int32_t n = ParseNumber(text, length);
    if (n < 0 || n > kMaxReplyCount) return kvx::kErrProtocol;
    *count = n;
    return 0;
}

} // namespace vorlan::wire
