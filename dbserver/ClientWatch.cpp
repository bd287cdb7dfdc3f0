#include "dbserver/ClientWatch.h"

#include "dbserver/Log.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <system_error>
#include <unistd.h>

namespace vorlan::dbserver {

namespace {

// GT.M runs a database down in milliseconds; a job still there after this is stuck where
// SIGTERM does not reach it, and no job may outlive its client by more than a second.
const auto kGrace = std::chrono::milliseconds(500);

// Every signal stays blocked in a thread started while this lives, so that the process's
// signals (GT.M's timers, SIGTERM) are handled on the thread that runs GT.M.
class SignalsBlocked {
  public:
    SignalsBlocked() {
        sigset_t all;
        sigfillset(&all);
        pthread_sigmask(SIG_SETMASK, &all, &m_old);
    }
    ~SignalsBlocked() { pthread_sigmask(SIG_SETMASK, &m_old, nullptr); }
    SignalsBlocked(const SignalsBlocked&) = delete;
    SignalsBlocked& operator=(const SignalsBlocked&) = delete;

  private:
    sigset_t m_old;
};

// The job's process group when the job leads one; never the group of the server.
pid_t JobAndItsCommands() {
    const pid_t self = getpid();
    return getpgrp() == self ? -self : self;
}

} // namespace

ClientWatch::ClientWatch(int socket) : m_socket(socket) {
    m_wake = eventfd(0, EFD_CLOEXEC);
    if (m_wake < 0) throw std::system_error(errno, std::generic_category(), "cannot watch the client");
    try {
        SignalsBlocked blocked;
        m_thread = std::thread(&ClientWatch::Run, this);
    } catch (...) {
        close(m_wake);
        throw;
    }
}

ClientWatch::~ClientWatch() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_ending = true;
    }
    m_changed.notify_one();
    const uint64_t one = 1;
    ssize_t n = write(m_wake, &one, sizeof one);
    (void)n;
    m_thread.join();
    close(m_wake);
}

ClientWatch::Busy::Busy(ClientWatch& watch) : m_watch(watch) {
    // Checked under the same lock that marks the job busy, so that no end of the stream
    // slips in between.
    std::lock_guard<std::mutex> lock(m_watch.m_mutex);
    m_taken = !m_watch.m_gone;
    m_watch.m_busy = m_taken;
}

ClientWatch::Busy::~Busy() {
    std::lock_guard<std::mutex> lock(m_watch.m_mutex);
    m_watch.m_busy = false;
}

void ClientWatch::Run() {
    // Only the end of the stream counts: a client may send its next request early.
    pollfd fds[2] = {{m_socket, POLLRDHUP, 0}, {m_wake, POLLIN, 0}};
    for (;;) {
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            LogLine(std::string("cannot watch the client: ") + std::strerror(errno));
            return;
        }
        if (fds[1].revents) return;
        if (fds[0].revents) break;
    }
    // The protocol has no half-closed connections: the client library closes its socket whole.
    std::unique_lock<std::mutex> lock(m_mutex);
    m_gone = true;
    // Between requests the connection's own read sees the end and ends the job in order.
    m_changed.wait(lock, [this] { return m_busy || m_ending; });
    if (!m_ending) StopJob(lock);
}

void ClientWatch::StopJob(std::unique_lock<std::mutex>& lock) {
    LogLine("client gone during a request, stopping the job");
    const pid_t target = JobAndItsCommands();
    kill(target, SIGTERM);
    if (m_changed.wait_for(lock, kGrace, [this] { return m_ending; })) return;
    LogLine("job still running after SIGTERM, killing it");
    kill(target, SIGKILL);
}

} // namespace vorlan::dbserver
