// Stands in for the outside packing library quantpacker: notes every call with its
// arguments in the file named by QUANTPACKER_LOG and answers QUANTPACKER_ANSWER ("OK"
// without it).
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

// The process environment itself: the C runtime's copy misses later changes.
std::string Env(const char* name, const char* fallback) {
    char value[1024];
    DWORD n = ::GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? std::string(value, n) : std::string(fallback);
}

std::string Text(const char* s) {
    return s ? s : "(null)";
}

// Valid until the next call, as the library's own answers are.
std::string g_answer;

const char* Answer(const std::string& call) {
    std::string log = Env("QUANTPACKER_LOG", "");
    if (!log.empty()) {
        if (FILE* f = std::fopen(log.c_str(), "ab")) {
            std::fprintf(f, "%s\n", call.c_str());
            std::fclose(f);
        }
    }
    g_answer = Env("QUANTPACKER_ANSWER", "OK");
    return g_answer.c_str();
}

} // namespace

extern "C" __declspec(dllexport) const char* WINAPI
    Pack(const char* dir, const char* source, const char* target, const char* pass) {
    return Answer("Pack|" + Text(dir) + "|" + Text(source) + "|" + Text(target) + "|" + Text(pass));
}

extern "C" __declspec(dllexport) const char* WINAPI
    UnPack(const char* source, const char* target, const char* pass) {
    return Answer("UnPack|" + Text(source) + "|" + Text(target) + "|" + Text(pass));
}
