#pragma once
// The protocol log: one text file per server job with the M lines sent, the output
// received, timings and the function trace, as the three protocol switches say.

#include <cstdarg>
#include <cstdint>
#include <string>

namespace vorlan {

struct SettingsBlock;

enum ProtocolLevel {
    kLogName = 0, // names the log (the job number)
    kLogNote = 1, // printf-style
    kLogOutput = 2,
    kLogCode = 3,
    kLogTrace = 4,
    kLogTiming = 5, // printf-style
};

// The switches are read from the block on every call (the command line sets them).
void SetProtocolSettings(const SettingsBlock* block);
const SettingsBlock* ProtocolSettings();
// Folder of the log files, ending in a separator ("C:\TEMP\" unless a test changes it).
void SetProtocolFolder(const std::string& folder);
std::string ProtocolFolder();
std::string ProtocolFileName();
void ResetProtocol(); // forget the name (tests)

// Levels 1 and 5 format the arguments into the text; the others take it unchanged.
void WriteProtocol(const char* text, int level, ...);
void WriteProtocolV(const char* text, int level, va_list args);
// The function trace: one call at the top of every own function.
void TraceFunction(const char* name);
// The function trace of a window procedure: "<className>::WindowProc - <name>"; nothing for a
// message without a name (null).
void TraceWindowMessage(const char* className, const char* name);

// The bytes one call writes for the given switches ("\n" line ends); pure, for tests.
std::string FormatProtocolEntry(bool protocol, bool protocolAll, bool protocolTime, int level,
                                const std::string& text);
// The job number as a file-name part: only letters, digits, "_" and "-" survive.
std::string SanitizeLogName(const std::string& name);
// Milliseconds since an arbitrary start, for the timing lines.
uint32_t ProtocolTicks();

} // namespace vorlan
