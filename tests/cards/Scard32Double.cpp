// Test double of the card server library "SCARD32.DLL": a terminal and a memory card of
// invented people, scripted by the file that VORLAN_SCARD32 names. Never shipped.
//
// Scenario lines (key=value; later lines win):
//   status=init,INIT,wait     replies to the status question in turn, the last one repeats
//   search=ok|fail            Device,SearchComPort
//   errtext=...               System,Info,ErrText
//   type=... port=...         Device,Info,Type and Port
//   apps=KVK                  Card,Info,Apps
//   field.<name>=text         a field's text (name as the command names it, e.g. field.Name)
//   fail=<name>               that field's command fails
//   events=110,120,140        posted to the announced window after the announcement
//   interval=<ms>             between the events (default 100)
//   log=<path>                every command is appended there as "<command> <reply size>"
// A reply longer than the buffer offered fills the buffer without a terminator.
#include "cards/CardServer.h"
#include "tests/cards/Scard32Double.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

namespace {

struct Scenario {
    std::vector<std::string> status{"wait"};
    bool searchOk = true;
    std::string errText = "Kein Lesegerät an COM1 bis COM4";
    std::string type = "KARTENLESER 2000", port = "COM2";
    std::string apps = "KVK";
    std::map<std::string, std::string> fields;
    std::string fail;
    std::vector<WPARAM> events;
    UINT interval = 100;
    std::string log;
};

Scenario g_scenario;
bool g_loaded = false;
size_t g_statusAsked = 0;
HWND g_window = nullptr;
UINT g_message = 0;
size_t g_nextEvent = 0;
UINT_PTR g_timer = 0;

std::vector<std::string> Split(const std::string& text, char delimiter) {
    std::vector<std::string> parts;
    std::stringstream in(text);
    for (std::string part; std::getline(in, part, delimiter);)
        parts.push_back(part);
    return parts;
}

void LoadScenario() {
    if (g_loaded) return;
    g_loaded = true;
    g_scenario = Scenario{};
    for (const scard32double::Field& field : scard32double::Person())
        g_scenario.fields[field.name] = field.text;
    char path[MAX_PATH] = {};
    if (!::GetEnvironmentVariableA("VORLAN_SCARD32", path, sizeof path)) return;
    FILE* f = std::fopen(path, "rb");
    if (!f) return;
    char line[4096];
    while (std::fgets(line, sizeof line, f)) {
        std::string l(line);
        while (!l.empty() && (l.back() == '\n' || l.back() == '\r'))
            l.pop_back();
        size_t eq = l.find('=');
        if (eq == std::string::npos) continue;
        std::string key = l.substr(0, eq), value = l.substr(eq + 1);
        if (key == "status") g_scenario.status = Split(value, ',');
        if (key == "search") g_scenario.searchOk = value == "ok";
        if (key == "errtext") g_scenario.errText = value;
        if (key == "type") g_scenario.type = value;
        if (key == "port") g_scenario.port = value;
        if (key == "apps") g_scenario.apps = value;
        if (key.rfind("field.", 0) == 0) g_scenario.fields[key.substr(6)] = value;
        if (key == "fail") g_scenario.fail = value;
        if (key == "interval") g_scenario.interval = static_cast<UINT>(std::atoi(value.c_str()));
        if (key == "log") g_scenario.log = value;
        if (key == "events") {
            g_scenario.events.clear();
            for (const std::string& e : Split(value, ','))
                g_scenario.events.push_back(static_cast<WPARAM>(std::atoi(e.c_str())));
        }
    }
    std::fclose(f);
}

void Log(const char* command, long replySize) {
    if (g_scenario.log.empty()) return;
    if (FILE* f = std::fopen(g_scenario.log.c_str(), "ab")) {
        std::fprintf(f, "%s %ld\n", command, replySize);
        std::fclose(f);
    }
}

void StopEvents() {
    if (g_timer) ::KillTimer(nullptr, g_timer);
    g_timer = 0;
}

void CALLBACK PostNextEvent(HWND, UINT, UINT_PTR, DWORD) {
    if (g_nextEvent >= g_scenario.events.size()) {
        StopEvents();
        return;
    }
    ::PostMessageA(g_window, g_message, g_scenario.events[g_nextEvent++], 0);
}

int Reply(const std::string& text, char* reply, long* replyLength) {
    if (!reply || !replyLength || *replyLength <= 0) return 0;
    size_t room = static_cast<size_t>(*replyLength);
    size_t n = text.size() < room ? text.size() : room;
    std::memcpy(reply, text.data(), n);
    if (n < room) reply[n] = '\0';
    *replyLength = static_cast<long>(n);
    return 0;
}

int Answer(const std::string& command, char* reply, long* replyLength) {
    if (command == "Card,Info,Status") {
        const std::vector<std::string>& s = g_scenario.status;
        if (s.empty()) return 1;
        const std::string& word = g_statusAsked < s.size() ? s[g_statusAsked] : s.back();
        ++g_statusAsked;
        return Reply(word, reply, replyLength);
    }
    if (command == "Device,SearchComPort") return g_scenario.searchOk ? 0 : 5;
    if (command == "System,Info,ErrText") return Reply(g_scenario.errText, reply, replyLength);
    if (command == "Device,Info,Type") return Reply(g_scenario.type, reply, replyLength);
    if (command == "Device,Info,Port") return Reply(g_scenario.port, reply, replyLength);
    if (command == "Card,Info,Apps") return Reply(g_scenario.apps, reply, replyLength);
    if (command == "Device,Select,-1" || command == "Card,Lock" || command.rfind("Device,SetLed,", 0) == 0)
        return 0;
    const std::string fieldPrefix = "Apps,KVK,";
    if (command.rfind(fieldPrefix, 0) == 0 && command.back() == ',') {
        std::string name = command.substr(fieldPrefix.size(), command.size() - fieldPrefix.size() - 1);
        auto field = g_scenario.fields.find(name);
        if (field == g_scenario.fields.end() || name == g_scenario.fail) return 7;
        return Reply(field->second, reply, replyLength);
    }
    std::vector<std::string> parts = Split(command, ',');
    if (parts.size() == 4 && parts[0] == "System" && parts[1] == "AddHWndMsg") {
        g_window = reinterpret_cast<HWND>(static_cast<LONG_PTR>(std::atol(parts[2].c_str())));
        g_message = static_cast<UINT>(std::atol(parts[3].c_str()));
        g_nextEvent = 0;
        StopEvents();
        if (!g_scenario.events.empty()) g_timer = ::SetTimer(nullptr, 0, g_scenario.interval, PostNextEvent);
        return 0;
    }
    if (parts.size() == 3 && parts[0] == "System" && parts[1] == "DelHWnd") {
        StopEvents();
        g_window = nullptr;
        return 0;
    }
    return 9;
}

} // namespace

extern "C" __declspec(dllexport) int WINAPI
    SCardComand(long* handle, const char* command, long reserved, const char* input, long* inputLength,
                char* reply, long* replyLength) {
    (void)handle;
    (void)reserved;
    (void)input;
    (void)inputLength;
    LoadScenario();
    Log(command ? command : "(null)", replyLength ? *replyLength : 0);
    return command ? Answer(command, reply, replyLength) : 3;
}
static_assert(std::is_same_v<decltype(&SCardComand), SCardComandEntry>, "the program's view of the entry");

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    // The timer's procedure lives in this library: it must not outlive it.
    if (reason == DLL_PROCESS_DETACH) StopEvents();
    return TRUE;
}
