#include "dbserver/Connection.h"

#include "dbserver/ClientWatch.h"
#include "dbserver/GtmJob.h"
#include "dbserver/Log.h"
#include "dbserver/Requests.h"

#include <cerrno>
#include <memory>
#include <optional>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace vorlan::dbserver {

namespace {

// Reads whole requests off the socket; bytes beyond one request wait for the next.
class RequestStream {
  public:
    enum class Status { Request, Closed, Malformed };

    explicit RequestStream(int socket) : m_socket(socket), m_decoder(ServerLimits()) {}

    Status Next() {
        for (;;) {
            if (m_begin < m_end) {
                size_t used = 0;
                auto r = m_decoder.Feed(m_buffer + m_begin, m_end - m_begin, &used);
                m_begin += used;
                if (r == wire::RequestDecoder::Result::Complete) return Status::Request;
                if (r == wire::RequestDecoder::Result::Malformed) return Status::Malformed;
            }
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
    int m_socket;
    wire::RequestDecoder m_decoder;
    unsigned char m_buffer[65536];
    size_t m_begin = 0, m_end = 0;
};

bool SendAll(int socket, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = send(socket, data.data() + done, data.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

void ServeConnection(int socket, const Database& db, const JobSettings& settings) {
    auto stream = std::make_unique<RequestStream>(socket);
    if (stream->Next() != RequestStream::Status::Request) {
        LogLine("connection ended before its log-in");
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
        SendAll(socket, login.reply);
        LogLine("log-in refused");
        return;
    }
    std::unique_ptr<GtmJob> job;
    std::optional<ClientWatch> watch;
    try {
        job = std::make_unique<GtmJob>(settings.gtmDist);
        if (job->Begin(login.ns->gld, db.System().gld) != 0) throw std::runtime_error(job->ZStatus());
        watch.emplace(socket);
    } catch (const std::exception& e) {
        SendAll(socket, LoginReply(login.nonce, "<SYSTM>" + std::string(e.what()).substr(0, 200)));
        LogLine(std::string("job did not start: ") + e.what());
        if (job) job->Exit();
        return;
    }
    if (!SendAll(socket, login.reply)) return;
    LogLine("job started in namespace " + login.ns->uci);

    RequestHandler handler(db, *job);
    for (;;) {
        auto status = stream->Next();
        if (status == RequestStream::Status::Malformed) {
            LogLine(std::string("malformed request, closing: ") + stream->error());
            break;
        }
        if (status == RequestStream::Status::Closed) break;
        auto outcome = [&] {
            ClientWatch::Busy busy(*watch);
            return handler.Handle(stream->request());
        }();
        if (outcome.action == RequestHandler::Action::Malformed) {
            LogLine("malformed request, closing: " + outcome.reply);
            break;
        }
        if (outcome.action == RequestHandler::Action::End) break;
        if (outcome.action == RequestHandler::Action::Reply && !SendAll(socket, outcome.reply)) break;
    }
    watch.reset();
    job->Exit();
    LogLine("job ended");
}

} // namespace vorlan::dbserver
