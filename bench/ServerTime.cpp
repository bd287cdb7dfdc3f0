// The server's own share of a round trip, measured natively: the same requests as the Windows
// benchmark sent straight to dbserver, beside ping-pongs of the same sizes to the native echo.
// Prints one line: the difference in microseconds for each request.
//   kvx_server_time DBSERVER_PORT ECHO_PORT [ROUNDS]
#include "bench/BenchRequests.h"
#include "common/WireFormat.h"
#include "tests/dbserver/DbClient.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace vorlan;
using vorlan::dbserver::client::DbClient;

namespace {

using Clock = std::chrono::steady_clock;

double Micro(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 2000;
    // The echo speaks no protocol of the server's: only its plain sends and receives are used.
    DbClient server(std::atoi(argv[1])), echo(std::atoi(argv[2]));
    // The answer's nonce is not checked here.
    if (!server.connected() || !echo.connected() || server.Login().type != 'V') return 1;

    for (const auto& request : bench::BenchRequests()) {
        const size_t size = bench::RequestSize(request.code);
        std::vector<uint8_t> message(8 + size, 'p');
        wire::PutInt32(static_cast<int32_t>(size), message.data());
        wire::PutInt32(static_cast<int32_t>(bench::kReplySize), message.data() + 4);
        double exec = 0, raw = 0;
        for (int i = -50; i < rounds; ++i) {
            std::string out;
            int32_t got;
            uint8_t reply[bench::kReplySize];
            auto start = Clock::now();
            if (server.Exec(request.code, out) != 0) return 1;
            double e = Micro(start);
            start = Clock::now();
            if (echo.Send(message.data(), static_cast<int32_t>(message.size())) != 0 ||
                echo.Receive(reply, sizeof reply, true, &got) != 0)
                return 1;
            if (i >= 0) {
                exec += e;
                raw += Micro(start);
            }
        }
        std::printf("%.1f ", exec > raw ? (exec - raw) / rounds : 0.0);
    }
    std::printf("\n");
    return 0;
}
