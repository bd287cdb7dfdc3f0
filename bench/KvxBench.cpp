// Round trips of the client library against dbserver beside raw Winsock ping-pongs of the
// same sizes to a native echo, in one run:
//   kvx_bench DBSERVER_PORT ECHO_PORT [ROUNDS [SERVER_US...]]
// SERVER_US: the server's own time for each request (kvx_server_time measures it natively);
// with it the target is checked: a round trip within 1.5 times (W 1), or twice (10 KB, 60 KB),
// the raw one plus that time.
// The library adds a drain before each request and a wait before each receive; the ratio
// shows what that costs, and a request size that paid a delayed-acknowledgement stall would
// stand out by tens of milliseconds. Beside each ratio: the socket calls of one round trip
// (ioctlsocket, send or WSASend, select, recv) and all calls into the socket library, counted by a shim
// over the library's run-time bound entry points in rounds of their own after the timed ones;
// below the table, what each entry point took per call in those rounds.
#include "bench/BenchRequests.h"
#include "bench/EchoPing.h"
#include "bench/WinsockTally.h"
#include "client/kvxapi.h"
#include "common/WireFormat.h"

#include <winsock2.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace vorlan::bench;

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: kvx_bench DBSERVER_PORT ECHO_PORT [ROUNDS [SERVER_US...]]\n");
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

    std::printf("%-7s %6s %19s %17s %6s %8s %6s %6s %13s %7s %5s\n", "request", "bytes", "kvx_xecute", "raw",
                "ratio", "server", "x(r+s)", "target", "mean/median", "sockets", "calls");
    int column = 4;
    std::string breakdown;
    for (const auto& bench : vorlan::bench::BenchRequests()) {
        const std::string& code = bench.code;
        const size_t request = vorlan::bench::RequestSize(code);
        std::vector<char> message(8 + request, 'p');
        char out[64];
        std::vector<double> kvx, raw;
        // Alternating, so that whatever else the machine does weighs on both alike.
        for (int i = -50; i < rounds; ++i) {
            auto start = Clock::now();
            int rc = kvx_xecute(handle, code.c_str(), out, sizeof out);
            double k = Microseconds(start);
            if (rc != 0 || std::string(out) != "1") {
                std::fprintf(stderr, "kvx_xecute failed: %d \"%s\"\n", rc, out);
                return 1;
            }
            start = Clock::now();
            if (!PingPong(echo, message, request, vorlan::bench::kReplySize)) return 1;
            if (i >= 0) {
                kvx.push_back(k);
                raw.push_back(Microseconds(start));
            }
        }
        const double kvxMean = Mean(kvx), rawMean = Mean(raw), kvxMedian = Median(kvx),
                     rawMedian = Median(raw);
        std::printf("%-7s %6zu %8.1f/%8.1fus %7.1f/%7.1fus %6.2f", bench.name, request, kvxMean, kvxMedian,
                    rawMean, rawMedian, kvxMean / rawMean);
        if (column < argc) {
            double server = std::atof(argv[column++]);
            auto verdict = [&](double k, double r) {
                return k <= bench.target * (r + server) ? "met" : "missed";
            };
            char both[32];
            std::snprintf(both, sizeof both, "%s/%s", verdict(kvxMean, rawMean),
                          verdict(kvxMedian, rawMedian));
            std::printf(" %6.1fus %5.2fx %5.1fx %13s", server, kvxMean / (rawMean + server), bench.target,
                        both);
        } else {
            std::printf(" %8s %6s %6s %13s", "-", "-", "-", "-");
        }

        const int counted = std::max(rounds / 10, 20);
        {
            vorlan::bench::WinsockTally tally;
            for (int i = 0; i < counted; ++i)
                if (kvx_xecute(handle, code.c_str(), out, sizeof out) != 0) return 1;
            std::printf(" %7.2f %5.2f\n", double(tally.SocketCalls()) / counted,
                        double(tally.AllCalls()) / counted);
            breakdown += std::string(bench.name) + ":";
            for (int e = 0; e < vorlan::bench::WinsockTally::kEntries; ++e) {
                auto entry = static_cast<vorlan::bench::WinsockTally::Entry>(e);
                const auto& c = tally[entry];
                if (c.calls == 0) continue;
                char item[96];
                std::snprintf(item, sizeof item, " %s %.2f x %.1fus",
                              vorlan::bench::WinsockTally::Name(entry), double(c.calls) / counted,
                              c.microseconds / double(c.calls));
                breakdown += item;
            }
            breakdown += "\n";
        }
    }
    std::printf(
        "target: kvx_xecute <= target x (raw + server), the server's own time measured natively;\n"
        "judged on the means and on the medians (the medians shrug off what else runs on the machine)\n");
    std::printf("per round trip, calls x time per call (select includes the wait for the answer):\n%s",
                breakdown.c_str());
    kvx_logout(handle);
    closesocket(echo);
    return 0;
}
