#include "dbserver/Log.h"

#include <ctime>
#include <unistd.h>

namespace vorlan::dbserver {

void LogLine(const std::string& text) {
    char stamp[32];
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &tm);
    // One write per line: jobs share the file and append concurrently.
    std::string line = std::string(stamp) + " [" + std::to_string(getpid()) + "] " + text + "\n";
    ssize_t n = write(2, line.data(), line.size());
    (void)n;
}

} // namespace vorlan::dbserver
