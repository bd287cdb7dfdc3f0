// Round trips of "W 1" through the program's own socket protocol (CVORLANSocket::Execute
// against dbserver --app-listen) beside raw Winsock ping-pongs of the same sizes to a native
// echo, alternating in one run:
//   socket_bench APP_PORT ECHO_PORT [ROUNDS]
// Target: the protocol's mean round trip within twice the raw one.
#include "app/VORLANSocket.h"
#include "bench/EchoPing.h"

#include <winsock2.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace vorlan::bench;

namespace {

constexpr double kTarget = 2.0;
const char kLine[] = "W 1";
// The frame of the line (length, "X", the line) and its reply ("1", "1", NUL, "1", three NULs).
constexpr size_t kRequestSize = 2 + 1 + sizeof kLine - 1;
constexpr size_t kReplySize = 7;

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: socket_bench APP_PORT ECHO_PORT [ROUNDS]\n");
        return 2;
    }
    const int appPort = std::atoi(argv[1]), echoPort = std::atoi(argv[2]);
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 2000;

    CVORLANSocket server;
    if (!server.ConnectServer("127.0.0.1", appPort) || server.Login("VOR") != 0) {
        std::fprintf(stderr, "log-in to dbserver's own protocol on port %d failed\n", appPort);
        return 1;
    }
    SOCKET echo = ConnectEcho(echoPort);
    if (echo == INVALID_SOCKET) {
        std::fprintf(stderr, "no echo on port %d\n", echoPort);
        return 1;
    }
    std::vector<char> message(8 + kRequestSize, 'p');
    // The session's result buffer.
    std::vector<char> out(0x10000);
    std::vector<double> own, raw;
    // Alternating, so that whatever else the machine does weighs on both alike.
    for (int i = -50; i < rounds; ++i) {
        auto start = Clock::now();
        int rc = server.Execute(kLine, out.data(), static_cast<int>(out.size()));
        double o = Microseconds(start);
        if (rc != 0 || std::strcmp(out.data(), "1") != 0) {
            std::fprintf(stderr, "Execute failed: %d \"%s\"\n", rc, out.data());
            return 1;
        }
        start = Clock::now();
        if (!PingPong(echo, message, kRequestSize, kReplySize)) return 1;
        if (i >= 0) {
            own.push_back(o);
            raw.push_back(Microseconds(start));
        }
    }
    const double ownMean = Mean(own), rawMean = Mean(raw);
    std::printf("%-7s %6s %19s %17s %6s %6s %8s\n", "request", "bytes", "own protocol", "raw", "ratio",
                "target", "verdict");
    std::printf("%-7s %6zu %8.1f/%8.1fus %7.1f/%7.1fus %6.2f %5.1fx %8s\n", kLine, kRequestSize, ownMean,
                Median(own), rawMean, Median(raw), ownMean / rawMean, kTarget,
                ownMean <= kTarget * rawMean ? "met" : "missed");
    std::printf("mean/median of %d round trips each; ratio and target on the means\n", rounds);
    server.Logout();
    closesocket(echo);
    return 0;
}
