#pragma once
// The requests of the client library as the server answers them: the log-in, and every
// request of a logged-in connection, run in the connection's M job.

#include "common/RequestDecoder.h"
#include "dbserver/Database.h"
#include "dbserver/GlobalRef.h"
#include "dbserver/JobInput.h"
#include "dbserver/MEngine.h"

#include <cstdint>
#include <string>

namespace vorlan::dbserver {

inline constexpr char kServerVersion[] = "4.4.0";

// Caps on one request; a stream beyond them is malformed and the connection is closed.
wire::DecodeLimits ServerLimits();
// Caps on the log-in, the first request: ten short fields. Whoever reaches the port may send
// it, so a connection that has not logged in can hold no more than this.
wire::DecodeLimits LoginLimits();

struct LoginOutcome {
    bool wellFormed = true;        // false: not an "L" request with 10 fields
    const Namespace* ns = nullptr; // null: refused
    uint32_t nonce = 0;
    std::string reply; // the 'V' answer
};

// Runs one line of M code as the execute requests do (long literals lifted): what it wrote,
// and on an M error the server's error text in `errorText` (empty otherwise).
std::string RunLine(MEngine& engine, const std::string& code, std::string& errorText);

// The "L" request; `password` is null when the server has none.
LoginOutcome CheckLogin(const wire::Request& request, const Database& db, const std::string* password);

// The 'V' answer; an empty refusal accepts.
std::string LoginReply(uint32_t nonce, const std::string& refusal);

class RequestHandler {
  public:
    enum class Action {
        Reply,    // send `reply`
        Silent,   // send nothing ("K")
        End,      // end the job ("Q")
        Malformed // close the connection; `reply` says why
    };
    struct Outcome {
        Action action;
        std::string reply;
    };

    RequestHandler(const Database& db, MEngine& engine) : m_db(db), m_engine(engine) {}

    Outcome Handle(const wire::Request& request);
    // False for the requests answered without M ("K", "Q"): nothing of them can hang.
    static bool RunsM(const wire::Request& request);

  private:
    Outcome Execute(const std::string& code, const std::string& marker);
    Outcome Local(const wire::Request& request);
    Outcome Global(const wire::Request& request);
    Outcome Lock(const wire::Request& request);
    Outcome Unlock(const wire::Request& request);
    Outcome Call(const wire::Request& request);
    // Runs `code`; with `value` its $ZSO comes back there. An M error becomes the 'E' reply.
    bool Run(JobInput& input, const std::string& code, std::string* value, Outcome& error);
    // The M reference of a global reference text, or the 'E' reply.
    bool Reference(const std::string& text, JobInput& input, GlobalRef& parsed, std::string& code,
                   Outcome& error);

    const Database& m_db;
    MEngine& m_engine;
};

} // namespace vorlan::dbserver
