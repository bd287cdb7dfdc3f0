#include "dbserver/Connection.h"

#include "dbserver/ClientWatch.h"
#include "dbserver/GtmJob.h"
#include "dbserver/Log.h"
#include "dbserver/Requests.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <memory>
#include <optional>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace vorlan::dbserver {

namespace {

using Clock = std::chrono::steady_clock;

// Reads whole requests off the socket; bytes beyond one request wait for the next.
class RequestStream {
  public:
    enum class Status {
        Request,
        Closed,
        Malformed,
        Idle,     // no byte of a request by the time given
        HalfSent, // not whole within the request limit of its first byte
        Late,     // not whole by the time given
    };

    RequestStream(int socket, Clock::duration requestLimit)
        : m_socket(socket), m_requestLimit(requestLimit), m_decoder(ServerLimits()) {}

    // Waits for the next request: its first byte by `firstByteBy`, all of it by `allBy`.
    Status Next(Clock::time_point firstByteBy, Clock::time_point allBy) {
        for (;;) {
            if (m_begin < m_end) {
                if (!m_started) m_startedAt = Clock::now();
                m_started = true;
                size_t used = 0;
                auto r = m_decoder.Feed(m_buffer + m_begin, m_end - m_begin, &used);
                m_begin += used;
                if (r == wire::RequestDecoder::Result::Complete) {
                    m_started = false;
                    return Status::Request;
                }
                if (r == wire::RequestDecoder::Result::Malformed) return Status::Malformed;
            }
            const auto deadline =
                m_started ? std::min(allBy, m_startedAt + m_requestLimit) : std::min(firstByteBy, allBy);
            pollfd p{m_socket, POLLIN, 0};
            int ready = poll(&p, 1, MillisecondsUntil(deadline));
            if (ready < 0 && errno == EINTR) continue;
            if (ready == 0 && Clock::now() >= deadline) {
                if (deadline == allBy) return Status::Late;
                return m_started ? Status::HalfSent : Status::Idle;
            }
            if (ready == 0) continue;
            ssize_t n = recv(m_socket, m_buffer, sizeof m_buffer, 0);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return Status::Closed;
            m_begin = 0;
            m_end = static_cast<size_t>(n);
        }
    }
    const wire::Request& request() const { return m_decoder.request(); }
    const char* error() const { return m_decoder.error(); }

  private:
    // Rounded up, so that no limit ends early; -1 (no timeout) for the time that never comes.
    static int MillisecondsUntil(Clock::time_point t) {
        if (t == Clock::time_point::max()) return -1;
        auto left = std::chrono::ceil<std::chrono::milliseconds>(t - Clock::now()).count();
        return static_cast<int>(std::clamp<decltype(left)>(left, 0, INT_MAX));
    }

    int m_socket;
    Clock::duration m_requestLimit;
    wire::RequestDecoder m_decoder;
    unsigned char m_buffer[65536];
    size_t m_begin = 0, m_end = 0;
    bool m_started = false; // a request has begun to arrive
    Clock::time_point m_startedAt;
};

std::string Seconds(std::chrono::seconds s) {
    return std::to_string(s.count()) + " s";
}

// The log line of a connection that overstayed a limit; empty for any other end.
std::string Overstayed(RequestStream::Status status, const JobSettings& settings) {
    switch (status) {
    case RequestStream::Status::Late: return "no log-in within " + Seconds(settings.loginLimit) + ", closing";
    case RequestStream::Status::HalfSent:
        return "request half-sent for " + Seconds(settings.requestLimit) + ", closing";
    case RequestStream::Status::Idle: return "idle for " + Seconds(settings.idleLimit) + ", closing";
    default: return {};
    }
}

// False when the client has gone or took nothing for the request limit (SO_SNDTIMEO), which
// is logged like the other limits.
bool SendAll(int socket, const std::string& data, const JobSettings& settings) {
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = send(socket, data.data() + done, data.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            LogLine("reply not taken for " + Seconds(settings.requestLimit) + ", closing");
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Runs GT.M's rundown on every way out once its runtime is up: the process exits right after
// ServeConnection returns, without any rundown of its own.
class JobRundown {
  public:
    explicit JobRundown(GtmJob& job) : m_job(job) {}
    ~JobRundown() {
        m_job.Exit();
        if (m_started) LogLine("job ended");
    }
    JobRundown(const JobRundown&) = delete;
    JobRundown& operator=(const JobRundown&) = delete;

    void Started() { m_started = true; }

  private:
    GtmJob& m_job;
    bool m_started = false;
};

} // namespace

void ServeConnection(int socket, const Database& db, const JobSettings& settings) {
    // A client that stops reading would hold its job in send() for good once the socket's
    // buffers are full.
    const timeval sendLimit{static_cast<time_t>(settings.requestLimit.count()), 0};
    setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &sendLimit, sizeof sendLimit);
    const auto loginBy = Clock::now() + settings.loginLimit;
    auto stream = std::make_unique<RequestStream>(socket, settings.requestLimit);
    auto status = stream->Next(loginBy, loginBy);
    if (status != RequestStream::Status::Request) {
        std::string why = Overstayed(status, settings);
        LogLine(why.empty() ? "connection ended before its log-in" : why);
        return;
    }
    LoginOutcome login =
        CheckLogin(stream->request(), db, settings.password.empty() ? nullptr : &settings.password);
    if (!login.wellFormed) {
        LogLine("connection did not begin with a log-in (request " + stream->request().code.substr(0, 8) +
                ")");
        return;
    }
    if (!login.ns) {
        SendAll(socket, login.reply, settings);
        LogLine("log-in refused");
        return;
    }
    std::unique_ptr<GtmJob> job;
    std::optional<JobRundown> rundown; // before the watch, which must end first
    std::optional<ClientWatch> watch;
    try {
        job = std::make_unique<GtmJob>(settings.gtmDist);
        rundown.emplace(*job);
        if (job->Begin(login.ns->gld, db.System().gld) != 0) throw std::runtime_error(job->ZStatus());
        watch.emplace(socket);
    } catch (const std::exception& e) {
        SendAll(socket, LoginReply(login.nonce, "<SYSTM>" + std::string(e.what()).substr(0, 200)), settings);
        LogLine(std::string("job did not start: ") + e.what());
        return;
    }
    LogLine("job started in namespace " + login.ns->uci);
    rundown->Started();
    if (!SendAll(socket, login.reply, settings)) return;

    RequestHandler handler(db, *job);
    for (;;) {
        const auto idleBy =
            settings.idleLimit.count() > 0 ? Clock::now() + settings.idleLimit : Clock::time_point::max();
        status = stream->Next(idleBy, Clock::time_point::max());
        if (status == RequestStream::Status::Malformed) {
            LogLine(std::string("malformed request, closing: ") + stream->error());
            break;
        }
        if (status != RequestStream::Status::Request) {
            std::string why = Overstayed(status, settings);
            if (!why.empty()) LogLine(why);
            break;
        }
        const auto& request = stream->request();
        auto outcome = [&]() -> std::optional<RequestHandler::Outcome> {
            if (!RequestHandler::RunsM(request)) return handler.Handle(request);
            ClientWatch::Busy busy(*watch);
            if (busy.ClientGone()) return std::nullopt;
            return handler.Handle(request);
        }();
        if (!outcome) break;
        if (outcome->action == RequestHandler::Action::Malformed) {
            LogLine("malformed request, closing: " + outcome->reply);
            break;
        }
        if (outcome->action == RequestHandler::Action::End) break;
        if (outcome->action == RequestHandler::Action::Reply && !SendAll(socket, outcome->reply, settings))
            break;
    }
}

} // namespace vorlan::dbserver
