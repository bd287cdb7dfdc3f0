#include "dbserver/Connection.h"

#include "dbserver/ConnectionParts.h"
#include "dbserver/Log.h"
#include "dbserver/Requests.h"

#include <memory>
#include <optional>
#include <stdexcept>

namespace vorlan::dbserver {

void ServeConnection(int socket, const Database& db, const JobSettings& settings) {
    LimitSending(socket, settings);
    auto stream = std::make_unique<RequestStream<wire::RequestDecoder>>(socket, settings.requestLimit,
                                                                        wire::RequestDecoder(LoginLimits()));
    if (!NextLogin(*stream, settings)) return;
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
    std::unique_ptr<ConnectionJob> job;
    try {
        job = std::make_unique<ConnectionJob>(settings, db, *login.ns, socket);
    } catch (const std::exception& e) {
        SendAll(socket, LoginReply(login.nonce, "<SYSTM>" + std::string(e.what()).substr(0, 200)), settings);
        LogLine(std::string("job did not start: ") + e.what());
        return;
    }
    LogLine("job started in namespace " + login.ns->uci);
    job->Started();
    if (!SendAll(socket, login.reply, settings)) return;

    stream->SetDecoder(wire::RequestDecoder(ServerLimits()));
    RequestHandler handler(db, job->Job());
    for (;;) {
        if (!NextRequest(*stream, settings)) break;
        const auto& request = stream->request();
        auto outcome = [&]() -> std::optional<RequestHandler::Outcome> {
            if (!RequestHandler::RunsM(request)) return handler.Handle(request);
            ClientWatch::Busy busy(job->Watch());
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
