#include "common/ReplyReader.h"

#include "common/ErrorTable.h"
#include "common/WireFormat.h"

#include <algorithm>
#include <cstring>

namespace vorlan::wire {

namespace {

constexpr int32_t kPiece = 1024;
constexpr int32_t kCarry = kExecEndMarkerLength - 1;
constexpr int32_t kTrailerArea = 1024;
constexpr int32_t kTrailerHead = 14; // status field, count field, error text length

const uint8_t* FindMarker(const uint8_t* data, int32_t length) {
    const auto* marker = reinterpret_cast<const uint8_t*>(kExecEndMarker);
    for (int32_t i = 0; i + kExecEndMarkerLength <= length; ++i)
        if (data[i] == '<' && std::memcmp(data + i, marker, kExecEndMarkerLength) == 0) return data + i;
    return nullptr;
}

// The bytes that follow the marker: the status field, the count field and, after an M error,
// the error text.
class Trailer {
  public:
    explicit Trailer(ByteSource& source) : source_(source) {}

    void Append(const uint8_t* data, int32_t n) {
        std::memcpy(bytes_ + length_, data, static_cast<size_t>(n));
        length_ += n;
    }

    // Completes the trailer to `need` bytes; a shortfall of any cause means the reply is lost.
    int Complete(int32_t need) {
        if (length_ >= need) return 0;
        int32_t got = 0;
        int rc = source_.Receive(bytes_ + length_, need - length_, true, &got);
        length_ += got;
        return rc == 0 && length_ >= need ? 0 : kvx::kErrConnectionLost;
    }

    int Read(char* out, int32_t capacity, int32_t* outLength) {
        if (int rc = Complete(5)) return rc;
        if (GetInt32(bytes_) != 1) return kvx::kErrProtocol;
        char type = static_cast<char>(bytes_[4]);
        if (type != 'O' && type != 'E') return kvx::kErrProtocol;
        if (int rc = Complete(10)) return rc;
        if (GetInt32(bytes_ + 5) != 1) return kvx::kErrProtocol;
        if (type == 'O') return 0;

        if (bytes_[9] != '1') return kvx::kErrProtocol;
        if (int rc = Complete(kTrailerHead)) return rc;
        int32_t textLength = GetInt32(bytes_ + 10);
        if (textLength < 1) return kvx::kErrProtocol;
        int32_t kept = std::min(textLength, kTrailerArea - kTrailerHead);
        if (int rc = Complete(kTrailerHead + kept)) return rc;
        // A text longer than the area is cut, and the rest taken off the stream.
        int32_t present = std::min(length_ - kTrailerHead, textLength);
        if (present < textLength && Discard(source_, textLength - present) != 0)
            return kvx::kErrConnectionLost;

        int32_t copied = std::min(kept, capacity - 1);
        std::memcpy(out, bytes_ + kTrailerHead, static_cast<size_t>(copied));
        out[copied] = '\0';
        *outLength = copied;
        return kvx::ServerErrorNumber(reinterpret_cast<const char*>(bytes_ + kTrailerHead),
                                      static_cast<size_t>(kept));
    }

  private:
    ByteSource& source_;
    uint8_t bytes_[kTrailerArea];
    int32_t length_ = 0;
};

} // namespace

int ReadFieldLength(ByteSource& source, int32_t* length) {
    *length = 0;
    uint8_t bytes[4];
    int32_t got = 0;
    if (int rc = source.Receive(bytes, 4, true, &got)) return rc;
    if (got < 4) return kvx::kErrConnectionLost;
    *length = GetInt32(bytes);
    return 0;
}

int Discard(ByteSource& source, int64_t count) {
    uint8_t scratch[1024];
    while (count > 0) {
        int32_t want = static_cast<int32_t>(std::min<int64_t>(count, sizeof scratch));
        int32_t got = 0;
        if (int rc = source.Receive(scratch, want, true, &got)) return rc;
        if (got < want) return kvx::kErrConnectionLost;
        count -= got;
    }
    return 0;
}

int ReadFieldData(ByteSource& source, uint8_t* buffer, int32_t capacity, int32_t length, int32_t* read) {
    *read = 0;
    if (length < 0) return kvx::kErrProtocol;
    int32_t want = std::min(length, std::max(capacity, 0));
    if (want > 0) {
        if (!buffer) return kvx::kErrBadArgument;
        if (int rc = source.Receive(buffer, want, true, read)) return rc;
        if (*read < want) return kvx::kErrConnectionLost;
    }
    return length > want ? Discard(source, length - want) : 0;
}

int ReadField(ByteSource& source, uint8_t* buffer, int32_t capacity, int32_t* read) {
    *read = 0;
    int32_t length = 0;
    if (int rc = ReadFieldLength(source, &length)) return rc;
    return ReadFieldData(source, buffer, capacity, length, read);
}

int ReadStringField(ByteSource& source, char* buffer, int32_t capacity, int32_t* read) {
    *read = 0;
    if (!buffer || capacity < 1) return kvx::kErrBadArgument;
    int rc = ReadField(source, reinterpret_cast<uint8_t*>(buffer), capacity - 1, read);
    buffer[*read] = '\0';
    return rc;
}

int ReadNumberField(ByteSource& source, int32_t* value) {
    *value = 0;
    char text[32];
    int32_t n = 0;
    if (int rc = ReadStringField(source, text, sizeof text, &n)) return rc;
    *value = ParseNumber(text, static_cast<size_t>(n));
    return 0;
}

int ReadReplyHeader(ByteSource& source, char* type, int32_t* count) {
    *type = 0;
    *count = 0;
    int32_t length = 0;
    if (int rc = ReadFieldLength(source, &length)) return rc;
    if (int rc = CheckReplyTypeLength(length)) return rc;
    uint8_t t = 0;
    int32_t n = 0;
    if (int rc = ReadFieldData(source, &t, 1, 1, &n)) return rc;

    char text[32];
    if (int rc = ReadStringField(source, text, sizeof text, &n)) return rc;
    if (int rc = ParseReplyCount(text, static_cast<size_t>(n), count)) return rc;
    *type = static_cast<char>(t);
    return 0;
}

int ReadExecReply(ByteSource& source, char* buffer, int32_t capacity, int32_t* length) {
    *length = 0;
    if (!buffer || capacity < 1) return kvx::kErrBadArgument;
    buffer[0] = '\0';

    // The carry holds the last bytes of the stream so far, so a marker split between two
    // receives is still found; '0' cannot begin the marker.
    uint8_t window[kCarry + kPiece];
    std::memset(window, '0', kCarry);
    Trailer trailer(source);
    int64_t streamed = 0;  // output bytes received before this piece
    int32_t delivered = 0; // bytes in the buffer; the output is a prefix of the stream
    const int32_t room = capacity - 1;
    int rc = 0;
    for (;;) {
        int32_t got = 0;
        rc = source.Receive(window + kCarry, kPiece, false, &got);
        if (rc == 0 && got == 0) rc = kvx::kErrConnectionLost;
        if (rc != 0) break;

        const uint8_t* marker = FindMarker(window, kCarry + got);
        int32_t outputInPiece =
            marker ? std::max<int32_t>(0, static_cast<int32_t>(marker - window) - kCarry) : got;
        int32_t take = std::min(outputInPiece, room - delivered);
        if (take > 0) {
            std::memcpy(buffer + delivered, window + kCarry, static_cast<size_t>(take));
            delivered += take;
        }
        if (marker) {
            // Bytes of a marker that began in the carry were delivered with the last piece.
            int64_t end = streamed + (marker - window) - kCarry;
            if (delivered > end) delivered = static_cast<int32_t>(end);
            int32_t after = static_cast<int32_t>(marker - window) + kExecEndMarkerLength - kCarry;
            trailer.Append(window + kCarry + after, got - after);
            break;
        }
        streamed += got;
        std::memmove(window, window + got, kCarry);
    }
    buffer[delivered] = '\0';
    *length = delivered;
    if (rc != 0) return rc;

    int32_t textLength = -1;
    rc = trailer.Read(buffer, capacity, &textLength);
    if (textLength >= 0) *length = textLength;
    return rc;
}

} // namespace vorlan::wire
