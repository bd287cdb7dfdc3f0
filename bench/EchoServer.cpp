// Native ping-pong partner of the client benchmark: each message is an 8-byte header (request
// bytes, reply bytes, big-endian), the request, and in return that many reply bytes. Prints
// its port on the first line and serves until killed.
#include "common/WireFormat.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

bool ReadAll(int fd, uint8_t* data, size_t length) {
    while (length > 0) {
        ssize_t n = read(fd, data, length);
        if (n <= 0) return false;
        data += n;
        length -= static_cast<size_t>(n);
    }
    return true;
}

void Serve(int fd) {
    int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    std::vector<uint8_t> buffer;
    for (;;) {
        uint8_t head[8];
        if (!ReadAll(fd, head, sizeof head)) break;
        auto request = static_cast<size_t>(vorlan::wire::GetInt32(head));
        auto reply = static_cast<size_t>(vorlan::wire::GetInt32(head + 4));
        buffer.resize(std::max(request, reply));
        if (!ReadAll(fd, buffer.data(), request)) break;
        if (write(fd, buffer.data(), reply) != static_cast<ssize_t>(reply)) break;
    }
    close(fd);
}

} // namespace

int main() {
    int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), size) != 0 || listen(listener, 8) != 0)
        return 1;
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
    std::printf("%d\n", ntohs(address.sin_port));
    std::fflush(stdout);
    for (;;) {
        int fd = accept(listener, nullptr, nullptr);
        if (fd < 0) return 1;
        std::thread(Serve, fd).detach();
    }
}
