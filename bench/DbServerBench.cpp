// The "X" round trip of "W 1" through dbserver against a raw loopback ping-pong of the same
// sizes between two processes, measured side by side in one run; prints both and their ratio,
// once with all three processes on one CPU (what the server itself costs) and once free (on a
// virtual machine, wake-ups across CPUs can cost more than the work).
//   dbserver_bench [DBSERVER_EXE]
#include "common/WireFormat.h"
#include "tests/dbserver/DbClient.h"

#include <algorithm>
#include <sched.h>
#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using vorlan::dbserver::client::DbClient;
using vorlan::dbserver::client::ServerProcess;
using Clock = std::chrono::steady_clock;

namespace {

const int kRounds = 7;
const int kTrips = 2000;

// The request and reply sizes of "W 1" on the wire.
const size_t kRequestBytes = 27, kReplyBytes = 17;

bool RecvAll(int fd, char* buf, size_t n) {
    for (size_t got = 0; got < n;) {
        ssize_t r = recv(fd, buf + got, n - got, 0);
        if (r <= 0) return false;
        got += static_cast<size_t>(r);
    }
    return true;
}

class PingPong {
  public:
    PingPong() {
        int listener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        listen(listener, 1);
        getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len);
        m_client = socket(AF_INET, SOCK_STREAM, 0);
        connect(m_client, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        // A process of its own, as each dbserver job is.
        m_echo = fork();
        if (m_echo == 0) {
            close(m_client);
            int server = accept(listener, nullptr, nullptr);
            char buf[64];
            std::string reply(kReplyBytes, 'r');
            while (RecvAll(server, buf, kRequestBytes))
                send(server, reply.data(), reply.size(), 0);
            _exit(0);
        }
        close(listener);
    }
    ~PingPong() {
        close(m_client);
        waitpid(m_echo, nullptr, 0);
    }
    pid_t echo() const { return m_echo; }
    void Trip() {
        char buf[64];
        std::string request(kRequestBytes, 'q');
        send(m_client, request.data(), request.size(), 0);
        RecvAll(m_client, buf, kReplyBytes);
    }

  private:
    int m_client;

  public:
    pid_t m_echo;
};

template <class F> double MicrosPerTrip(F trip) {
    auto start = Clock::now();
    for (int i = 0; i < kTrips; ++i)
        trip();
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / kTrips;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void Measure(const char* how, DbClient& db, PingPong& raw) {
    std::string output;
    std::vector<double> x, ping;
    for (int round = 0; round < kRounds; ++round) {
        x.push_back(MicrosPerTrip([&] { db.Exec("W 1", output); }));
        ping.push_back(MicrosPerTrip([&] { raw.Trip(); }));
    }
    if (output != "1") std::exit(1);
    double a = Median(x), b = Median(ping);
    std::printf("X \"W 1\" round trip: %.1f us; raw loopback ping-pong: %.1f us; ratio %.2f (%s)\n", a, b,
                a / b, how);
}

void Pin(pid_t pid, int cpu) {
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(cpu, &set);
    sched_setaffinity(pid, sizeof set, &set);
}

int Run(const std::string& exe, const std::string& dir) {
    ServerProcess server(exe, dir);
    DbClient db(server.port());
    if (!db.connected() || db.Login().type != 'V') return 1;
    std::string job;
    if (db.Exec("W $J", job) != 0) return 1;
    PingPong raw;
    Measure("free", db, raw);
    const int cpu = sched_getcpu();
    for (pid_t pid : {0, raw.echo(), std::atoi(job.c_str())})
        Pin(pid, cpu);
    Measure("one CPU", db, raw);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string exe = argc > 1 ? argv[1] : VORLAN_DBSERVER_EXE;
    char dirTemplate[] = "/tmp/dbserver-bench-XXXXXX";
    const std::string dir = std::string(mkdtemp(dirTemplate)) + "/db";
    if (std::system((exe + " init " + dir + " >/dev/null").c_str()) != 0) return 1;
    int status = Run(exe, dir);
    std::system(("rm -rf " + dir.substr(0, dir.size() - 3)).c_str());
    return status;
}
