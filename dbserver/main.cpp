// dbserver: the stand-in for the M database server.
//   dbserver init DIR
//   dbserver serve DIR [--listen HOST:PORT] [--app-listen HOST:PORT] [--password TEXT] [--log FILE]
//                      [--idle SECONDS] [--login-limit SECONDS] [--request-limit SECONDS]
//                      [--max-connections N]

#include "dbserver/Database.h"
#include "dbserver/Server.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <string>
#include <unistd.h>

using namespace vorlan::dbserver;

namespace {

int Usage() {
    std::cerr
        << "usage: dbserver init DIR\n"
           "       dbserver serve DIR [--listen HOST:PORT] [--app-listen HOST:PORT] [--password TEXT]\n"
           "                          [--log FILE]\n"
           "                          [--idle SECONDS] [--login-limit SECONDS] [--request-limit SECONDS]\n"
           "                          [--max-connections N]\n"
           "Port 0 picks a free port; serve prints the port it listens on, then the port of\n"
           "--app-listen (the application server's own protocol, which carries no password).\n"
           "--idle closes connections idle that long between requests (default: never).\n"
           "--login-limit and --request-limit close connections not logged in, or with a request\n"
           "half-sent or a reply not taken, that long (default: 30 each; tests shorten them).\n"
           "--max-connections closes connections beyond N at once (default: 100).\n";
    return 2;
}

bool ParseListen(const std::string& text, std::string& host, int& port) {
    size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon + 1 == text.size()) return false;
    host = text.substr(0, colon);
    char* end = nullptr;
    long number = std::strtol(text.c_str() + colon + 1, &end, 10);
    if (*end || number < 0 || number > 65535) return false;
    port = static_cast<int>(number);
    return true;
}

// Whole seconds from `least` to a year: a deadline that far ahead stays far from the clock's end.
bool ParseSeconds(const std::string& text, long least, std::chrono::seconds& seconds) {
    const long kYear = 365L * 24 * 3600;
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || value < least || value > kYear) return false;
    seconds = std::chrono::seconds(value);
    return true;
}

// A count from 1 to `most`.
bool ParseCount(const std::string& text, long most, int& count) {
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || value < 1 || value > most) return false;
    count = static_cast<int>(value);
    return true;
}

int RunServe(int argc, char** argv) {
    ServeSettings settings;
    std::string logFile;
    for (int i = 3; i < argc; ++i) {
        std::string opt = argv[i];
        if (i + 1 >= argc) return Usage();
        std::string value = argv[++i];
        if (opt == "--listen") {
            if (!ParseListen(value, settings.host, settings.port)) return Usage();
        } else if (opt == "--app-listen") {
            if (!ParseListen(value, settings.appHost, settings.appPort)) return Usage();
        } else if (opt == "--password") {
            settings.job.password = value;
        } else if (opt == "--log") {
            logFile = value;
        } else if (opt == "--idle") {
            if (!ParseSeconds(value, 0, settings.job.idleLimit)) return Usage();
        } else if (opt == "--login-limit") {
            if (!ParseSeconds(value, 1, settings.job.loginLimit)) return Usage();
        } else if (opt == "--request-limit") {
            if (!ParseSeconds(value, 1, settings.job.requestLimit)) return Usage();
        } else if (opt == "--max-connections") {
            if (!ParseCount(value, 100000, settings.maxConnections)) return Usage();
        } else {
            return Usage();
        }
    }
    Database db = Database::Open(argv[2]);
    settings.job.gtmDist = FindGtmDist();
    SetGtmEnvironment(settings.job.gtmDist, db);
    if (!logFile.empty()) {
        int fd = open(logFile.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (fd < 0) throw DatabaseError("cannot open the log " + logFile);
        dup2(fd, 2);
        close(fd);
    }
    // Extended references name a namespace by its global directory's file, relative to the
    // database ("^[\"ABR\"]X" is ./ABR.gld): the jobs run there.
    if (chdir(db.Dir().c_str()) != 0) throw DatabaseError("cannot enter " + db.Dir());
    return Serve(db, settings);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage();
    std::string command = argv[1];
    try {
        if (command == "init" && argc == 3) {
            InitDatabase(argv[2]);
            return 0;
        }
        if (command == "serve") return RunServe(argc, argv);
    } catch (const DatabaseError& e) {
        std::cerr << "dbserver: " << e.what() << "\n";
        return 1;
    }
    return Usage();
}
