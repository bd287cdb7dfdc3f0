#pragma once
// What both listeners' connections share: reading whole requests under the time limits,
// sending replies, and the orderly end of the GT.M job.

#include "dbserver/ClientWatch.h"
#include "dbserver/Connection.h"
#include "dbserver/GtmJob.h"
#include "dbserver/Log.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <memory>
#include <optional>
#include <cstdint>
#include <poll.h>
#include <string>
#include <sys/socket.h>

namespace vorlan::dbserver {

using Clock = std::chrono::steady_clock;

enum class StreamStatus {
    Request,
    Closed,
    Malformed,
    Idle,     // no byte of a request by the time given
    HalfSent, // not whole within the request limit of its first byte
    Late,     // not whole by the time given
};

// Reads whole requests off the socket with `Decoder` (Feed, request(), error()); bytes beyond
// one request wait for the next.
template <class Decoder> class RequestStream {
  public:
    RequestStream(int socket, Clock::duration requestLimit, Decoder decoder)
        : m_socket(socket), m_requestLimit(requestLimit), m_decoder(std::move(decoder)) {}

    // Waits for the next request: its first byte by `firstByteBy`, all of it by `allBy`.
    StreamStatus Next(Clock::time_point firstByteBy, Clock::time_point allBy) {
        using Result = typename Decoder::Result;
        for (;;) {
            if (m_begin < m_end) {
                if (!m_started) m_startedAt = Clock::now();
                m_started = true;
                size_t used = 0;
                auto r = m_decoder.Feed(m_buffer + m_begin, m_end - m_begin, &used);
                m_begin += used;
                if (r == Result::Complete) {
                    m_started = false;
                    return StreamStatus::Request;
                }
                if (r == Result::Malformed) return StreamStatus::Malformed;
            }
            const auto deadline =
                m_started ? std::min(allBy, m_startedAt + m_requestLimit) : std::min(firstByteBy, allBy);
            pollfd p{m_socket, POLLIN, 0};
            int ready = poll(&p, 1, MillisecondsUntil(deadline));
            if (ready < 0 && errno == EINTR) continue;
            if (ready == 0 && Clock::now() >= deadline) {
                if (deadline == allBy) return StreamStatus::Late;
                return m_started ? StreamStatus::HalfSent : StreamStatus::Idle;
            }
            if (ready == 0) continue;
            ssize_t n = recv(m_socket, m_buffer, sizeof m_buffer, 0);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return StreamStatus::Closed;
            m_begin = 0;
            m_end = static_cast<size_t>(n);
        }
    }
    const auto& request() const { return m_decoder.request(); }
    const char* error() const { return m_decoder.error(); }
    // The requests after the one just read are read with `decoder` (other limits).
    void SetDecoder(Decoder decoder) { m_decoder = std::move(decoder); }

  private:
    // Rounded up, so that no limit ends early; -1 (no timeout) for the time that never comes.
    static int MillisecondsUntil(Clock::time_point t) {
        if (t == Clock::time_point::max()) return -1;
        auto left = std::chrono::ceil<std::chrono::milliseconds>(t - Clock::now()).count();
        return static_cast<int>(std::clamp<decltype(left)>(left, 0, INT_MAX));
    }

    int m_socket;
    Clock::duration m_requestLimit;
    Decoder m_decoder;
    unsigned char m_buffer[65536];
    size_t m_begin = 0, m_end = 0;
    bool m_started = false; // a request has begun to arrive
    Clock::time_point m_startedAt;
};

// The log line of a connection that overstayed a limit; empty for any other end.
std::string Overstayed(StreamStatus status, const JobSettings& settings);

// Waits for the log-in, the first request, under the log-in limit; false (with the reason
// logged) when the connection is to be closed instead.
template <class Stream> bool NextLogin(Stream& stream, const JobSettings& settings) {
    const auto loginBy = Clock::now() + settings.loginLimit;
    StreamStatus status = stream.Next(loginBy, loginBy);
    if (status == StreamStatus::Request) return true;
    if (status == StreamStatus::Malformed) {
        LogLine(std::string("malformed log-in, closing: ") + stream.error());
        return false;
    }
    std::string why = Overstayed(status, settings);
    LogLine(why.empty() ? "connection ended before its log-in" : why);
    return false;
}

// Waits for the next request of a logged-in connection, under the idle limit; false (with
// the reason logged where there is one) when the connection is to be closed instead.
template <class Stream> bool NextRequest(Stream& stream, const JobSettings& settings) {
    const auto idleBy =
        settings.idleLimit.count() > 0 ? Clock::now() + settings.idleLimit : Clock::time_point::max();
    StreamStatus status = stream.Next(idleBy, Clock::time_point::max());
    if (status == StreamStatus::Malformed) {
        LogLine(std::string("malformed request, closing: ") + stream.error());
        return false;
    }
    if (status != StreamStatus::Request) {
        std::string why = Overstayed(status, settings);
        if (!why.empty()) LogLine(why);
        return false;
    }
    return true;
}

// False when the client has gone or took nothing for the request limit (SO_SNDTIMEO), which
// is logged like the other limits.
bool SendAll(int socket, const std::string& data, const JobSettings& settings);

// Bounds the wait of send() on a client that stops reading: it would hold its job for good
// once the socket's buffers are full.
void LimitSending(int socket, const JobSettings& settings);

// Runs GT.M's rundown on every way out once its runtime is up: the process exits right after
// the connection's function returns, without any rundown of its own.
class JobRundown {
  public:
    explicit JobRundown(GtmJob& job) : m_job(job) {}
    ~JobRundown();
    JobRundown(const JobRundown&) = delete;
    JobRundown& operator=(const JobRundown&) = delete;

    void Started() { m_started = true; }

  private:
    GtmJob& m_job;
    bool m_started = false;
};

// A connection's GT.M job in its namespace, with its rundown and the watch on its client,
// which end in the order they must. Throws std::exception when the job does not start.
class ConnectionJob {
  public:
    ConnectionJob(const JobSettings& settings, const Database& db, const Namespace& ns, int socket);
    GtmJob& Job() { return *m_job; }
    ClientWatch& Watch() { return *m_watch; }
    // The start is logged, and so will be its end.
    void Started();

  private:
    std::unique_ptr<GtmJob> m_job;
    std::optional<JobRundown> m_rundown; // before the watch, which must end first
    std::optional<ClientWatch> m_watch;
};

} // namespace vorlan::dbserver
