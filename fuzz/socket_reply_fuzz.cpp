// The program's reader of the own protocol's replies: any bytes arrive as the receive loop
// takes them (until the end condition, or the capacity and then on for an execute reply), and
// the execute and log-in readers must leave a terminated text inside the buffer without form
// feeds at its start.
#include "app/SocketFrames.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace vorlan::socketframes;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    if (size < 1) return 0;
    int capacity = 3 + data[0] * 8;
    ++data;
    --size;
    for (int nuls : {1, 3}) {
        std::vector<char> buffer(static_cast<size_t>(capacity));
        int received = 0;
        while (!EndsInNuls(buffer.data(), received, nuls) && received < capacity && size_t(received) < size) {
            buffer[size_t(received)] = static_cast<char>(data[received]);
            ++received;
        }
        if (!EndsInNuls(buffer.data(), received, nuls)) {
            // A log-in reply is lost; an execute reply is read on to its end.
            if (nuls == 1 || received < capacity) continue;
            ReplyBeyond beyond(buffer.data(), capacity);
            for (size_t at = size_t(received); at < size && !beyond.Whole(); at += 5)
                beyond.Add(reinterpret_cast<const char*>(data) + at, int(std::min<size_t>(5, size - at)));
            if (!beyond.Whole()) continue;
            int rc = TakeLongExecuteReply(buffer.data(), capacity, beyond);
            if (rc != 0 && rc != kServerError) std::abort();
            if (!std::memchr(buffer.data(), '\0', size_t(capacity)) || buffer[0] == '\f') std::abort();
            continue;
        }
        if (nuls == 1) {
            int rc = LoginResult(buffer.data(), received);
            if (rc != kAccepted && rc != kLoginFailed && rc != kLoginRefused) std::abort();
            continue;
        }
        int rc = TakeExecuteReply(buffer.data(), received);
        if (rc != 0 && rc != kServerError) std::abort();
        const void* end = std::memchr(buffer.data(), '\0', size_t(received));
        if (!end || buffer[0] == '\f') std::abort();
    }
    // Frames: refused rather than cut.
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    std::vector<char> frame(static_cast<size_t>(capacity));
    int length = BuildFrame('X', text.data(), frame.data(), capacity);
    if (length >= 0 && (length > capacity || length != int(std::strlen(text.data())) + 3)) std::abort();
    return 0;
}
