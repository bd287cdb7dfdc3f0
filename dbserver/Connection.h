#pragma once
// One accepted connection, served to its end inside a forked process: the log-in, then its
// requests in this process's GT.M job.

#include "dbserver/Database.h"

#include <string>

namespace vorlan::dbserver {

struct JobSettings {
    std::string gtmDist;
    std::string password; // empty: no password asked
};

// Returns when the client logs out, closes, or breaks the framing; the caller exits then.
void ServeConnection(int socket, const Database& db, const JobSettings& settings);

} // namespace vorlan::dbserver
