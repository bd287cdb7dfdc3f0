// The server's own share of a round trip, measured natively: the same requests as the Windows
// benchmark sent straight to dbserver, beside ping-pongs of the same sizes to the native echo.
// Prints one line: the difference in microseconds for each request.
//   kvx_server_time DBSERVER_PORT ECHO_PORT [ROUNDS]
#include "bench/BenchRequests.h"
#include "common/ReplyReader.h"
#include "common/WireFormat.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

using namespace vorlan;

namespace {

using Clock = std::chrono::steady_clock;

class Socket final : public wire::ByteSource, public wire::ByteSink {
  public:
    explicit Socket(int port) {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<uint16_t>(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) std::exit(1);
        int on = 1;
        setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    }
    ~Socket() { close(fd_); }

    int Receive(uint8_t* buffer, int32_t length, bool all, int32_t* received) override {
        *received = 0;
        while (*received < length) {
            ssize_t n = read(fd_, buffer + *received, static_cast<size_t>(length - *received));
            if (n < 0) return 10006;
            if (n == 0) break;
            *received += static_cast<int32_t>(n);
            if (!all) break;
        }
        return 0;
    }
    int Drain() override { return 0; }
    int Send(const uint8_t* data, int32_t length) override {
        return write(fd_, data, static_cast<size_t>(length)) == length ? 0 : 10006;
    }

  private:
    int fd_;
};

int SendRequest(Socket& s, const std::string& code) {
    std::vector<uint8_t> buffer(code.size() + 64);
    int32_t position = 0;
    wire::RequestWriter w(s, buffer.data(), static_cast<int32_t>(buffer.size()), position);
    return w.Header("X", 2).Field(code.data(), code.size()).Text(wire::kExecEndMarker).Flush();
}

double Micro(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 2000;
    Socket server(std::atoi(argv[1])), echo(std::atoi(argv[2]));

    // Log in; the answer's nonce is not checked here.
    uint8_t login[1024];
    int32_t position = 0;
    wire::RequestWriter(server, login, sizeof login, position)
        .Header("L", 10)
        .Number(0)
        .Text("API4.4.0")
        .Text("KVX-TCP")
        .Text("127.0.0.1")
        .Text("")
        .Text("")
        .Text("")
        .Text("")
        .Number(0)
        .Number(100)
        .Flush();
    char type;
    int32_t count, n;
    char text[256];
    if (wire::ReadReplyHeader(server, &type, &count) != 0 || type != 'V') return 1;
    for (int32_t i = 0; i < count; ++i)
        wire::ReadStringField(server, text, sizeof text, &n);

    for (const auto& request : bench::BenchRequests()) {
        const size_t size = bench::RequestSize(request.code);
        std::vector<uint8_t> message(8 + size, 'p');
        wire::PutInt32(static_cast<int32_t>(size), message.data());
        wire::PutInt32(static_cast<int32_t>(bench::kReplySize), message.data() + 4);
        double exec = 0, raw = 0;
        for (int i = -50; i < rounds; ++i) {
            char out[64];
            int32_t length, got;
            uint8_t reply[bench::kReplySize];
            auto start = Clock::now();
            if (SendRequest(server, request.code) != 0 ||
                wire::ReadExecReply(server, out, sizeof out, &length) != 0)
                return 1;
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
