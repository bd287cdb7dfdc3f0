#include "app/ProtocolLog.h"
#include "app/SettingsBlock.h"

#include <cctype>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <vector>

#ifdef _WIN32
#include <share.h>
#endif

namespace vorlan {

namespace {

struct LogState {
    std::mutex lock; // main and wait thread both write
    const SettingsBlock* settings = nullptr;
    std::string folder = "C:\\TEMP\\";
    std::string name; // g_strProtocolName
    uint32_t startTick = 0;
};

LogState& Log() {
    static LogState s;
    return s;
}

std::string FormatV(const char* fmt, va_list args) {
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    if (n < 0) return fmt;
    std::vector<char> buf(static_cast<size_t>(n) + 1);
    std::vsnprintf(buf.data(), buf.size(), fmt, args);
    return std::string(buf.data(), static_cast<size_t>(n));
}

FILE* OpenExclusive(const std::string& path) {
#ifdef _WIN32
    return _fsopen(path.c_str(), "a", _SH_DENYRW);
#else
    return std::fopen(path.c_str(), "a");
#endif
}

} // namespace

uint32_t ProtocolTicks() {
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void SetProtocolSettings(const SettingsBlock* block) {
    std::lock_guard<std::mutex> g(Log().lock);
    Log().settings = block;
}

const SettingsBlock* ProtocolSettings() {
    std::lock_guard<std::mutex> g(Log().lock);
    return Log().settings;
}

void SetProtocolFolder(const std::string& folder) {
    std::lock_guard<std::mutex> g(Log().lock);
    Log().folder = folder;
}

std::string ProtocolFolder() {
    std::lock_guard<std::mutex> g(Log().lock);
    return Log().folder;
}

std::string ProtocolFileName() {
    std::lock_guard<std::mutex> g(Log().lock);
    if (Log().name.empty()) return std::string();
    return Log().folder + "protocol(" + Log().name + ").log";
}

void ResetProtocol() {
    std::lock_guard<std::mutex> g(Log().lock);
    Log().name.clear();
}

std::string SanitizeLogName(const std::string& name) {
    std::string out;
    for (char c : name)
        if (std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-') out += c;
    return out;
}

std::string FormatProtocolEntry(bool protocol, bool protocolAll, bool protocolTime, int level,
                                const std::string& text) {
    if (protocol || protocolAll) {
        switch (level) {
        case kLogOutput: return text + "\n\n";
        case kLogCode: return text + "\n";
        default: return "----- " + text + " -----\n\n";
        }
    }
    if (protocolTime) return level == kLogCode ? "\n" + text + "\n" : text + "\n";
    return std::string();
}

void WriteProtocolV(const char* text, int level, va_list args) {
    LogState& s = Log();
    std::string body = (level == kLogNote || level == kLogTiming) ? FormatV(text ? text : "", args)
                                                                  : std::string(text ? text : "");
    std::lock_guard<std::mutex> g(s.lock);
    if (level == kLogName) {
        s.startTick = ProtocolTicks();
        s.name = SanitizeLogName(body);
    }
    if (s.name.empty() || !s.settings) return; // nothing before the log-in names the log
    std::string entry = FormatProtocolEntry(s.settings->protocol != 0, s.settings->protocolAll != 0,
                                            s.settings->protocolTime != 0, level, body);
    if (entry.empty()) return;
    FILE* f = OpenExclusive(s.folder + "protocol(" + s.name + ").log");
    if (!f) return; // no folder, or another process holds it: skipped
    std::fwrite(entry.data(), 1, entry.size(), f);
    std::fclose(f);
}

void WriteProtocol(const char* text, int level, ...) {
    va_list args;
    va_start(args, level);
    WriteProtocolV(text, level, args);
    va_end(args);
}

void TraceFunction(const char* name) {
    const SettingsBlock* s = ProtocolSettings();
    if (s && s->protocolAll) WriteProtocol(name, kLogTrace);
}

void TraceWindowMessage(const char* className, const char* name) {
    // Every message of a traced window passes here: the switch first, nothing built while off.
    const SettingsBlock* s = ProtocolSettings();
    if (!s || !s->protocolAll || !name) return;
    WriteProtocol((std::string(className) + "::WindowProc - " + name).c_str(), kLogTrace);
}

} // namespace vorlan
