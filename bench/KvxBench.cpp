// Round trips of the client library against dbserver beside raw Winsock ping-pongs of the
// same sizes to a native echo, in one run:
//   kvx_bench DBSERVER_PORT ECHO_PORT [ROUNDS]
// The library adds a drain before and after each request and a wait before each receive; the
// ratio shows what that costs, and a request size that paid a delayed-acknowledgement stall
// would stand out by tens of milliseconds.
#include "client/kvxapi.h"
#include "common/WireFormat.h"

#include <winsock2.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double MicrosecondsPer(Clock::time_point start, int rounds) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / rounds;
}

// The bytes of an "X" request for `code` and of the reply to "W 1".
size_t RequestSize(const std::string& code) {
    return 4 + 1 + 4 + 1 + 4 + code.size() + 4 + 6;
}
constexpr size_t kReplySize = 1 + 6 + 5 + 5;

SOCKET ConnectEcho(int port) {
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

bool PingPong(SOCKET s, std::vector<char>& message, size_t request, size_t reply) {
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

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: kvx_bench DBSERVER_PORT ECHO_PORT [ROUNDS]\n");
        return 2;
    }
    const int serverPort = std::atoi(argv[1]), echoPort = std::atoi(argv[2]);
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 2000;

    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    char uci[] = "", vol[] = "";
    int handle = kvx_login("127.0.0.1", serverPort, uci, vol, "", 0, 0);
    if (handle < 1 || handle >= 10000) {
        std::fprintf(stderr, "log-in to dbserver on port %d failed: %d\n", serverPort, handle);
        return 1;
    }
    SOCKET echo = ConnectEcho(echoPort);
    if (echo == INVALID_SOCKET) {
        std::fprintf(stderr, "no echo on port %d\n", echoPort);
        return 1;
    }

    std::printf("%-10s %8s %12s %12s %8s\n", "request", "bytes", "kvx_xecute", "raw", "ratio");
    for (size_t padding : {size_t{0}, size_t{10 * 1024}, size_t{60 * 1024}}) {
        // A comment pads the code without changing what the server executes.
        std::string code = padding ? "W 1 ;" + std::string(padding - RequestSize("W 1 ;"), 'x') : "W 1";
        const size_t request = RequestSize(code);
        std::vector<char> message(8 + request, 'p');
        char out[64];
        int n = padding ? rounds / 4 : rounds;

        for (int i = 0; i < 50; ++i)
            kvx_xecute(handle, code.c_str(), out, sizeof out);
        auto start = Clock::now();
        for (int i = 0; i < n; ++i) {
            int rc = kvx_xecute(handle, code.c_str(), out, sizeof out);
            if (rc != 0 || std::string(out) != "1") {
                std::fprintf(stderr, "kvx_xecute failed: %d \"%s\"\n", rc, out);
                return 1;
            }
        }
        double kvx = MicrosecondsPer(start, n);

        for (int i = 0; i < 50; ++i)
            PingPong(echo, message, request, kReplySize);
        start = Clock::now();
        for (int i = 0; i < n; ++i)
            if (!PingPong(echo, message, request, kReplySize)) return 1;
        double raw = MicrosecondsPer(start, n);

        std::printf("%-10s %8zu %10.1fus %10.1fus %8.2f\n",
                    padding ? (padding > 20000 ? "60 KB" : "10 KB") : "W 1", request, kvx, raw, kvx / raw);
    }
    std::printf("(kvx_xecute includes the server's own execution of the code; raw does not)\n");
    kvx_logout(handle);
    closesocket(echo);
    return 0;
}
