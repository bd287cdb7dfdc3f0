#include "app/SocketFrames.h"

#include <cstddef>
#include <cstring>

namespace vorlan::socketframes {

int BuildFrame(char command, const char* text, char* buffer, int capacity) {
    size_t length = text ? std::strlen(text) : 0;
    if (capacity < 3 || length + 3 > static_cast<size_t>(capacity) || length + 1 > 0xFFFF) return -1;
    unsigned size = static_cast<unsigned>(length + 1);
    buffer[0] = static_cast<char>(size & 0xFF);
    buffer[1] = static_cast<char>(size >> 8);
    buffer[2] = command;
    if (length) std::memcpy(buffer + 3, text, length);
    return static_cast<int>(length + 3);
}

bool EndsInNuls(const char* buffer, int count, int nuls) {
    if (count < nuls) return false;
    for (int i = count - nuls; i < count; ++i)
        if (buffer[i] != '\0') return false;
    return true;
}

int LoginResult(const char* reply, int count) {
    if (count < 1) return kLoginFailed;
    if (reply[0] != '0') return kAccepted;
    // A one-byte refusal has its NUL where the reason would be.
    return count > 2 && reply[1] != '\0' && reply[2] == '3' ? kLoginRefused : kLoginFailed;
}

int TakeExecuteReply(char* out, int received) {
    // A whole reply ends in three NULs, so every text searched below is terminated.
    if (!EndsInNuls(out, received, 3)) {
        if (received >= 0) out[0] = '\0';
        return kServerError;
    }
    int rc = 0;
    if (out[0] != '1') {
        rc = kServerError;
    } else {
        char* output = out + 1;
        char* status = output + std::strlen(output) + 1;
        if (status >= out + received) status = out + received - 1; // no status: an empty one
        if (*status == '1') {
            std::memmove(out, output, std::strlen(output) + 1);
        } else {
            std::memmove(out, status + (*status ? 1 : 0), std::strlen(status) + 1);
            rc = kServerError;
        }
    }
    size_t feeds = std::strspn(out, "\f");
    if (feeds) std::memmove(out, out + feeds, std::strlen(out + feeds) + 1);
    return rc;
}

} // namespace vorlan::socketframes
