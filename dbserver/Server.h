#pragma once
// The listener: accepts connections and forks one job process for each, so that every
// connection has its own GT.M job and others are served while one is busy.

#include "dbserver/Connection.h"
#include "dbserver/Database.h"

#include <string>

namespace vorlan::dbserver {

struct ServeSettings {
    std::string host = "127.0.0.1";
    int port = 1666; // 0: any free port
    // The application server's own protocol (AppProtocol.h) on a second listener; off while
    // the port is negative.
    std::string appHost = "127.0.0.1";
    int appPort = -1;
    // Connections of both listeners together, each a process with its GT.M job; one more is
    // closed at once.
    int maxConnections = 100;
    JobSettings job;
};

// Prints the port on standard output once it listens, and the application protocol's port
// on the next line when there is one; returns the exit status after
// SIGTERM or SIGINT, having ended the jobs. Throws DatabaseError when it cannot listen.
int Serve(const Database& db, const ServeSettings& settings);

} // namespace vorlan::dbserver
