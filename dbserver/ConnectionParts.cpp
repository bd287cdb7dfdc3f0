#include "dbserver/ConnectionParts.h"

#include "dbserver/Log.h"

#include <stdexcept>
#include <sys/time.h>

namespace vorlan::dbserver {

namespace {

std::string Seconds(std::chrono::seconds s) {
    return std::to_string(s.count()) + " s";
}

} // namespace

std::string Overstayed(StreamStatus status, const JobSettings& settings) {
    switch (status) {
    case StreamStatus::Late: return "no log-in within " + Seconds(settings.loginLimit) + ", closing";
    case StreamStatus::HalfSent:
        return "request half-sent for " + Seconds(settings.requestLimit) + ", closing";
    case StreamStatus::Idle: return "idle for " + Seconds(settings.idleLimit) + ", closing";
    default: return {};
    }
}

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

void LimitSending(int socket, const JobSettings& settings) {
    const timeval sendLimit{static_cast<time_t>(settings.requestLimit.count()), 0};
    setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &sendLimit, sizeof sendLimit);
}

JobRundown::~JobRundown() {
    m_job.Exit();
    if (m_started) LogLine("job ended");
}

ConnectionJob::ConnectionJob(const JobSettings& settings, const Database& db, const Namespace& ns, int socket)
    : m_job(std::make_unique<GtmJob>(settings.gtmDist)) {
    m_rundown.emplace(*m_job);
    if (m_job->Begin(ns.gld, db.System().gld) != 0) throw std::runtime_error(m_job->ZStatus());
    m_watch.emplace(socket);
}

void ConnectionJob::Started() {
    m_rundown->Started();
}

} // namespace vorlan::dbserver
