// The client's reply reader on arbitrary bytes arriving in arbitrary pieces: it must never
// write outside the caller's buffer, always terminate it, and never report more than it holds.
#include "common/ReplyReader.h"
#include "tests/common/ScriptedSource.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    if (size < 3) return 0;
    // The first bytes choose how the stream is cut, the end, and the caller's capacity.
    size_t schedule = data[0];
    auto end =
        (data[1] & 1) ? vorlan::test::ScriptedSource::End::Timeout : vorlan::test::ScriptedSource::End::Close;
    int32_t capacity = 1 + data[2] % 64;
    std::string stream(reinterpret_cast<const char*>(data + 3), size - 3);

    vorlan::test::ScriptedSource src(end);
    for (size_t at = 0, i = 0; at < stream.size(); ++i) {
        size_t piece = 1 + ((schedule * (i + 7) + i * i) % 23);
        src.Piece(stream.substr(at, piece));
        at += piece;
    }

    char type;
    int32_t count;
    if (vorlan::wire::ReadReplyHeader(src, &type, &count) == 0) {
        if (count < 0 || count > 999) std::abort();
        for (int32_t i = 0; i < count && i < 4; ++i) {
            std::string buf(static_cast<size_t>(capacity), '\0');
            int32_t n = -1;
            vorlan::wire::ReadStringField(src, buf.data(), capacity, &n);
            if (n < 0 || n >= capacity || buf[static_cast<size_t>(n)] != '\0') std::abort();
        }
    }
    std::string out(static_cast<size_t>(capacity), 'x');
    int32_t length = -1;
    vorlan::wire::ReadExecReply(src, out.data(), capacity, &length);
    if (length < 0 || length >= capacity || out[static_cast<size_t>(length)] != '\0') std::abort();
    return 0;
}
