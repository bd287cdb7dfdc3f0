#pragma once
// What the Windows benchmarks share: timing and statistics, and the raw ping-pong with the
// native echo (bench/EchoServer.cpp) that their figures are set beside.

#include "common/WireFormat.h"

#include <winsock2.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <vector>

namespace vorlan::bench {

using Clock = std::chrono::steady_clock;

inline double Microseconds(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

inline double Mean(const std::vector<double>& samples) {
    double sum = 0;
    for (double s : samples)
        sum += s;
    return sum / static_cast<double>(samples.size());
}

inline double Median(std::vector<double> samples) {
    auto middle = samples.begin() + static_cast<std::ptrdiff_t>(samples.size() / 2);
    std::nth_element(samples.begin(), middle, samples.end());
    return *middle;
}

inline SOCKET ConnectEcho(int port) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return INVALID_SOCKET;
    BOOL on = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    return s;
}

inline bool PingPong(SOCKET s, std::vector<char>& message, size_t request, size_t reply) {
    vorlan::wire::PutInt32(static_cast<int32_t>(request), reinterpret_cast<uint8_t*>(message.data()));
    vorlan::wire::PutInt32(static_cast<int32_t>(reply), reinterpret_cast<uint8_t*>(message.data()) + 4);
    size_t total = 8 + request;
    for (size_t at = 0; at < total;) {
        int n = send(s, message.data() + at, static_cast<int>(total - at), 0);
        if (n <= 0) return false;
        at += static_cast<size_t>(n);
    }
    char in[64];
    for (size_t got = 0; got < reply;) {
        int n = recv(s, in, sizeof in, 0);
        if (n <= 0) return false;
        got += static_cast<size_t>(n);
    }
    return true;
}

} // namespace vorlan::bench
