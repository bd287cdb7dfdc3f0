#pragma once
// One accepted connection, served to its end inside a forked process: the log-in, then its
// requests in this process's GT.M job.

#include "dbserver/Database.h"

#include <chrono>
#include <string>

namespace vorlan::dbserver {

struct JobSettings {
    std::string gtmDist;
    std::string password; // empty: no password asked
    // A connection that overstays one of these is closed.
    std::chrono::seconds loginLimit{30}; // from its start to a whole log-in
    // From a request's first byte to its last, and the longest a reply waits for the client
    // to take any of it.
    std::chrono::seconds requestLimit{30};
    // From a reply to the next request; zero: none, as the client keeps its connection for
    // the whole session.
    std::chrono::seconds idleLimit{0};
};

// Returns when the client logs out, closes, breaks the framing or overstays a limit; the
// caller exits then. A client that goes while its request runs ends the process at once.
void ServeConnection(int socket, const Database& db, const JobSettings& settings);

// The same for a connection of the application server's own protocol (AppProtocol.h).
void ServeAppConnection(int socket, const Database& db, const JobSettings& settings);

} // namespace vorlan::dbserver
