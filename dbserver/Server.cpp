#include "dbserver/Server.h"

#include "dbserver/Log.h"

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <set>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vorlan::dbserver {

namespace {

int Listen(const std::string& host, int wanted, int& port) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(wanted));
    if (inet_pton(AF_INET, host.c_str(), &addr.sin_addr) != 1)
        throw DatabaseError("not an IPv4 address: " + host);
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(fd, 64) != 0)
        throw DatabaseError("cannot listen on " + host + ":" + std::to_string(wanted) + ": " +
                            std::strerror(errno));
    socklen_t len = sizeof addr;
    getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    port = ntohs(addr.sin_port);
    return fd;
}

void Reap(std::set<pid_t>& jobs) {
    pid_t pid;
    while ((pid = waitpid(-1, nullptr, WNOHANG)) > 0)
        jobs.erase(pid);
}

// Each job leads a process group of its own: what it started through ZSYSTEM or a pipe
// device ends with it.
void Signal(pid_t job, int number) {
    if (kill(-job, number) != 0) kill(job, number);
}

void EndJobs(std::set<pid_t>& jobs) {
    for (pid_t pid : jobs)
        Signal(pid, SIGTERM);
    // GT.M ends a job on SIGTERM after running its database down; give it a moment.
    for (int i = 0; i < 50 && !jobs.empty(); ++i) {
        Reap(jobs);
        if (!jobs.empty()) usleep(100000);
    }
    for (pid_t pid : jobs)
        Signal(pid, SIGKILL);
    while (!jobs.empty() && waitpid(-1, nullptr, 0) > 0)
        Reap(jobs);
}

[[noreturn]] void RunJob(int client, bool appProtocol, const Database& db, const ServeSettings& settings,
                         const sigset_t& oldMask) {
    // GT.M needs its signals (timers, interrupts) back.
    signal(SIGPIPE, SIG_DFL);
    sigprocmask(SIG_SETMASK, &oldMask, nullptr);
    if (appProtocol)
        ServeAppConnection(client, db, settings.job);
    else
        ServeConnection(client, db, settings.job);
    close(client);
    _exit(0);
}

} // namespace

int Serve(const Database& db, const ServeSettings& settings) {
    int port = 0, appPort = 0;
    int listener = Listen(settings.host, settings.port, port);
    int appListener = settings.appPort >= 0 ? Listen(settings.appHost, settings.appPort, appPort) : -1;
    std::printf("%d\n", port);
    if (appListener >= 0) std::printf("%d\n", appPort);
    std::fflush(stdout);
    LogLine("listening on " + settings.host + ":" + std::to_string(port) + " for " + db.Dir());
    if (appListener >= 0)
        LogLine("application protocol on " + settings.appHost + ":" + std::to_string(appPort));

    sigset_t mask, oldMask;
    sigemptyset(&mask);
    sigaddset(&mask, SIGCHLD);
    sigaddset(&mask, SIGTERM);
    sigaddset(&mask, SIGINT);
    sigprocmask(SIG_BLOCK, &mask, &oldMask);
    int signals = signalfd(-1, &mask, SFD_CLOEXEC | SFD_NONBLOCK);
    signal(SIGPIPE, SIG_IGN);

    std::set<pid_t> jobs;
    for (bool running = true; running;) {
        pollfd fds[3] = {{listener, POLLIN, 0}, {signals, POLLIN, 0}, {appListener, POLLIN, 0}};
        if (poll(fds, appListener >= 0 ? 3 : 2, -1) < 0) {
            if (errno == EINTR) continue;
            LogLine(std::string("poll failed: ") + std::strerror(errno));
            break;
        }
        if (fds[1].revents & POLLIN) {
            signalfd_siginfo info;
            while (read(signals, &info, sizeof info) == sizeof info) {
                if (info.ssi_signo != SIGCHLD) running = false;
                if (info.ssi_signo == SIGCHLD) Reap(jobs);
            }
        }
        for (int which : {0, 2}) {
            if (!running || !(fds[which].revents & POLLIN)) continue;
            int client = accept4(fds[which].fd, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0) {
                // Out of descriptors: the listener stays readable, so do not spin on it.
                if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) usleep(100000);
                continue;
            }
            // A job that has ended may not have been signalled yet.
            const auto full = [&] { return jobs.size() >= static_cast<size_t>(settings.maxConnections); };
            if (full()) Reap(jobs);
            if (full()) {
                LogLine(std::to_string(jobs.size()) + " connections already, refusing one");
                close(client);
                continue;
            }
            pid_t pid = fork();
            // Both sides set the group, so that it exists whichever runs first.
            if (pid >= 0) setpgid(pid == 0 ? 0 : pid, 0);
            if (pid == 0) {
                close(listener);
                if (appListener >= 0) close(appListener);
                close(signals);
                RunJob(client, which == 2, db, settings, oldMask);
            }
            if (pid < 0) LogLine(std::string("cannot start a job: ") + std::strerror(errno));
            if (pid > 0) jobs.insert(pid);
            close(client);
        }
    }
    close(listener);
    if (appListener >= 0) close(appListener);
    LogLine("stopping");
    EndJobs(jobs);
    return 0;
}

} // namespace vorlan::dbserver
