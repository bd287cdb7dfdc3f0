#pragma once
// What a test needs of the launch logger (LaunchLogger.cpp): where the fixture registered it
// and the lines it logged, each split into verb, file, window state and default printer.

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace launchlog {

struct Launch {
    std::string verb, file, printer, folder;
    int show = -1;
};

// The logger's program, from the "open" command of its class; empty when not registered.
inline std::string LoggerPath() {
    char command[MAX_PATH + 32] = "";
    LONG size = sizeof command;
    if (::RegQueryValueA(HKEY_CLASSES_ROOT, "VORLAN.TestLaunchLogger\\shell\\open\\command", command, &size))
        return std::string();
    std::string path = command;
    if (!path.empty() && path.front() == '"') path = path.substr(1, path.find('"', 1) - 1);
    return path;
}

inline std::string LogPath() {
    std::string program = LoggerPath();
    return program.empty() ? program : program.substr(0, program.find_last_of('.')) + ".log";
}

inline void Clear() {
    ::DeleteFileA(LogPath().c_str());
}

inline std::vector<Launch> Read() {
    std::vector<Launch> launches;
    std::ifstream in(LogPath(), std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> parts;
        for (size_t start = 0;;) {
            size_t tab = line.find('\t', start);
            parts.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
            if (tab == std::string::npos) break;
            start = tab + 1;
        }
        if (parts.size() < 4) continue;
        Launch launch;
        launch.verb = parts[0];
        launch.file = parts[1];
        launch.show = std::atoi(parts[2].substr(parts[2].find('=') + 1).c_str());
        launch.printer = parts[3].substr(parts[3].find('=') + 1);
        if (parts.size() > 4) launch.folder = parts[4].substr(parts[4].find('=') + 1);
        launches.push_back(launch);
    }
    return launches;
}

// Waits until at least count launches were logged; what was logged then.
inline std::vector<Launch> WaitFor(size_t count, DWORD timeoutMs = 20000) {
    std::vector<Launch> launches;
    for (DWORD waited = 0;; waited += 100) {
        launches = Read();
        if (launches.size() >= count || waited >= timeoutMs) return launches;
        ::Sleep(100);
    }
}

} // namespace launchlog
