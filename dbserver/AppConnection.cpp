#include "dbserver/AppProtocol.h"
#include "dbserver/Connection.h"
#include "dbserver/ConnectionParts.h"
#include "dbserver/Log.h"

#include <memory>
#include <stdexcept>

namespace vorlan::dbserver {

void ServeAppConnection(int socket, const Database& db, const JobSettings& settings) {
    LimitSending(socket, settings);
    auto stream = std::make_unique<RequestStream<app::FrameReader>>(socket, settings.requestLimit,
                                                                    app::FrameReader(app::kMaxLoginFrame));
    if (!NextLogin(*stream, settings)) return;
    app::LoginOutcome login = app::CheckLogin(stream->request(), db);
    if (!login.wellFormed) {
        LogLine(std::string("connection did not begin with a log-in (request ") + stream->request().command +
                ")");
        return;
    }
    if (!login.ns) {
        SendAll(socket, login.reply, settings);
        LogLine("log-in refused: " + stream->request().text.substr(0, 100));
        return;
    }
    std::unique_ptr<ConnectionJob> job;
    try {
        job = std::make_unique<ConnectionJob>(settings, db, *login.ns, socket);
    } catch (const std::exception& e) {
        SendAll(socket, std::string("0,1\0", 4), settings);
        LogLine(std::string("job did not start: ") + e.what());
        return;
    }
    LogLine("job started in namespace " + login.ns->uci + " (application protocol)");
    job->Started();
    if (!SendAll(socket, login.reply, settings)) return;

    stream->SetDecoder(app::FrameReader());
    app::Handler handler(db, job->Job());
    for (;;) {
        if (!NextRequest(*stream, settings)) break;
        app::Handler::Outcome outcome;
        {
            ClientWatch::Busy busy(job->Watch());
            if (busy.ClientGone()) break;
            outcome = handler.Handle(stream->request());
        }
        if (outcome.action == app::Handler::Action::Close) {
            LogLine("unexpected request, closing: " + outcome.reply);
            break;
        }
        if (!SendAll(socket, outcome.reply, settings)) break;
        if (outcome.action == app::Handler::Action::ReplyAndEnd) break;
    }
}

} // namespace vorlan::dbserver
