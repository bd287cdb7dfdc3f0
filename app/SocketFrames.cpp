#include "app/SocketFrames.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace vorlan::socketframes {

namespace {

void DropFormFeeds(char* text) {
    size_t feeds = std::strspn(text, "\f");
    if (feeds) std::memmove(text, text + feeds, std::strlen(text + feeds) + 1);
}

// `length` bytes of `text` at the buffer's start, cut to what the buffer holds with its NUL.
void PutText(char* buffer, int capacity, const char* text, size_t length) {
    length = std::min(length, static_cast<size_t>(capacity - 1));
    std::memmove(buffer, text, length);
    buffer[length] = '\0';
}

} // namespace

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
    DropFormFeeds(out);
    return rc;
}

ReplyBeyond::ReplyBeyond(const char* buffer, int capacity) : m_capacity(static_cast<size_t>(capacity)) {
    std::memcpy(m_last, buffer + capacity - 3, 3);
    if (buffer[0] != '1') return; // a raw reply: no output and status to tell apart
    const char* end = static_cast<const char*>(std::memchr(buffer + 1, '\0', m_capacity - 1));
    if (!end) return;
    m_inStatus = true;
    Keep(end + 1, static_cast<size_t>(buffer + capacity - end - 1));
}

void ReplyBeyond::Add(const char* piece, int length) {
    if (length <= 0) return;
    const size_t n = static_cast<size_t>(length);
    if (n >= 3) {
        std::memcpy(m_last, piece + n - 3, 3);
    } else {
        std::memmove(m_last, m_last + n, 3 - n);
        std::memcpy(m_last + 3 - n, piece, n);
    }
    if (m_inStatus) {
        Keep(piece, n);
        return;
    }
    const char* end = static_cast<const char*>(std::memchr(piece, '\0', n));
    if (!end) return;
    m_inStatus = true;
    Keep(end + 1, static_cast<size_t>(piece + n - end - 1));
}

void ReplyBeyond::Keep(const char* bytes, size_t length) {
    m_status.append(bytes, std::min(length, m_capacity - std::min(m_capacity, m_status.size())));
}

bool ReplyBeyond::Whole() const {
    return m_last[0] == '\0' && m_last[1] == '\0' && m_last[2] == '\0';
}

std::string ReplyBeyond::Status() const {
    return m_status.substr(0, m_status.find('\0'));
}

int TakeLongExecuteReply(char* buffer, int capacity, const ReplyBeyond& beyond) {
    int rc = kServerError;
    if (buffer[0] != '1') {
        buffer[capacity - 1] = '\0'; // the raw reply, cut
    } else {
        const std::string status = beyond.Status();
        if (!status.empty() && status[0] == '1') {
            const void* end = std::memchr(buffer + 1, '\0', static_cast<size_t>(capacity - 1));
            size_t length = end ? static_cast<size_t>(static_cast<const char*>(end) - (buffer + 1))
                                : static_cast<size_t>(capacity - 1);
            PutText(buffer, capacity, buffer + 1, length);
            rc = 0;
        } else {
            // No status: an empty one.
            PutText(buffer, capacity, status.c_str() + (status.empty() ? 0 : 1),
                    status.empty() ? 0 : status.size() - 1);
        }
    }
    DropFormFeeds(buffer);
    return rc;
}

} // namespace vorlan::socketframes
