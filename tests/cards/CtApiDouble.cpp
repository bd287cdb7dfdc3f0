// Stands in for a card terminal maker's CT-API library: CT_init, CT_data and CT_close over
// an emulated terminal that holds one of the invented test cards (TestCards.h).
//
// The file named by the environment variable VORLAN_CTAPI_SCENARIO sets it up, one setting a
// line ("#" starts a comment), read afresh by every CT_init:
//   terminal desk|mobile      answers RESET CT with 90 00 or 95 00 (desk)
//   port N                    the port it answers on; 0 every port (0)
//   card none|kvk|egk ...     the card in the slot; several take turns, the next one after
//                             each ejection (the turn is kept in <scenario>.turn) (none)
//   kvk-further               records 91 and 92 on the KVK
//   kvk-overrun               the KVK's last record is longer than the memory holds
//   egk-nogvd / egk-gvd-block no protected insurance data / it starts on a block boundary
//   answers short|whole       READ BINARY answers at most 256 bytes, or whole files (short)
//   init-fail N ...           CT_init fails on these ports
//   reset|request|eject|erase XXXX   that command answers the status word XXXX (hex)
//   reset-fails-first         the first RESET CT after loading fails as a call
//   log PATH                  every call appended there, one a line
// Without the variable it is a desk terminal on every port with no card in the slot.
#include "tests/cards/CtApiDouble.h"
#include "tests/cards/TestCards.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

// CT-API results.
constexpr signed char kOk = 0;
constexpr signed char kErrInvalid = -1;
constexpr signed char kErrCt = -8;
constexpr signed char kErrTrans = -10;
constexpr signed char kErrMemory = -11;

struct Scenario {
    bool mobile = false;
    int port = 0;
    std::vector<std::string> cards{"none"};
    testcards::KvkOptions kvk;
    testcards::EgkOptions egk;
    bool wholeFiles = false;
    std::set<int> initFails;
    std::map<std::string, int> statusWords; // chosen answers by command
    bool resetFailsFirst = false;
    std::string log;
    std::string path;
};

std::string Env(const char* name) {
    char value[1024];
    DWORD n = ::GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? std::string(value, n) : std::string();
}

Scenario ReadScenario() {
    Scenario s;
    s.path = Env("VORLAN_CTAPI_SCENARIO");
    if (s.path.empty()) return s;
    std::ifstream in(s.path);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string key;
        words >> key;
        if (key == "terminal") {
            std::string kind;
            words >> kind;
            s.mobile = kind == "mobile";
        } else if (key == "port") {
            words >> s.port;
        } else if (key == "card") {
            s.cards.clear();
            for (std::string card; words >> card;)
                s.cards.push_back(card);
            if (s.cards.empty()) s.cards.push_back("none");
        } else if (key == "kvk-further") {
            s.kvk.further = true;
        } else if (key == "kvk-overrun") {
            s.kvk.overrun = true;
        } else if (key == "egk-nogvd") {
            s.egk.gvd = false;
        } else if (key == "egk-gvd-block") {
            s.egk.gvdOnBlock = true;
        } else if (key == "answers") {
            std::string kind;
            words >> kind;
            s.wholeFiles = kind == "whole";
        } else if (key == "init-fail") {
            for (int port; words >> port;)
                s.initFails.insert(port);
        } else if (key == "reset" || key == "request" || key == "eject" || key == "erase") {
            std::string hex;
            words >> hex;
            s.statusWords[key] = static_cast<int>(std::strtoul(hex.c_str(), nullptr, 16));
        } else if (key == "reset-fails-first") {
            s.resetFailsFirst = true;
        } else if (key == "log") {
            std::getline(words >> std::ws, s.log);
        }
    }
    return s;
}

std::string Hex(const unsigned char* bytes, size_t n) {
    std::string out;
    char two[4];
    for (size_t i = 0; i < n; ++i) {
        std::snprintf(two, sizeof two, i ? " %02X" : "%02X", bytes[i]);
        out += two;
    }
    return out;
}

// Every load of the library starts a terminal of its own, as a process loading the real one.
struct Terminal {
    Scenario scenario;
    std::map<unsigned short, unsigned short> open; // ctn -> port
    std::string card = "none";
    bool powered = false;
    enum class Application { None, Kvk, Health } application = Application::None;
    const std::string* file = nullptr; // the eGK's selected elementary file
    testcards::EgkFiles egk;
    std::string kvk;
    int resets = 0;
    std::string moduleName;
};

Terminal g_terminal;

void Log(const std::string& line) {
    const std::string& path =
        g_terminal.scenario.log.empty() ? Env("VORLAN_CTAPI_LOG") : g_terminal.scenario.log;
    if (path.empty()) return;
    // Kernel calls only: it also writes from DllMain.
    HANDLE f = ::CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    std::string text = line + "\n";
    DWORD written = 0;
    ::WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::CloseHandle(f);
}

std::string TurnFile() {
    return g_terminal.scenario.path.empty() ? std::string() : g_terminal.scenario.path + ".turn";
}

int ReadTurn() {
    std::ifstream in(TurnFile());
    int turn = 0;
    return in >> turn ? turn : 0;
}

void InsertCard() {
    const Scenario& s = g_terminal.scenario;
    g_terminal.card = s.cards[static_cast<size_t>(ReadTurn()) % s.cards.size()];
    g_terminal.kvk = testcards::KvkMemory(s.kvk);
    g_terminal.egk = testcards::EgkCard(s.egk);
    g_terminal.powered = false;
    g_terminal.application = Terminal::Application::None;
    g_terminal.file = nullptr;
}

void NextCard() {
    if (TurnFile().empty()) return;
    int next = ReadTurn() + 1;
    std::ofstream(TurnFile(), std::ios::trunc) << next << "\n";
}

using Answer = std::string;

Answer Status(int sw) {
    return Answer{static_cast<char>(sw >> 8), static_cast<char>(sw & 0xFF)};
}

// The chosen status word of a command, or the terminal's own.
int Chosen(const char* command, int own) {
    auto it = g_terminal.scenario.statusWords.find(command);
    return it == g_terminal.scenario.statusWords.end() ? own : it->second;
}

Answer TerminalCommand(const std::vector<unsigned char>& c, signed char& rc) {
    if (c.size() < 4) return Status(0x6700);
    if (c[0] != 0x20) return Status(0x6E00);
    switch (c[1]) {
    case 0x11: // RESET CT
        if (++g_terminal.resets == 1 && g_terminal.scenario.resetFailsFirst) {
            rc = kErrTrans;
            return Answer();
        }
        g_terminal.powered = false;
        g_terminal.application = Terminal::Application::None;
        return Status(Chosen("reset", g_terminal.scenario.mobile ? 0x9500 : 0x9000));
    case 0x12: { // REQUEST ICC
        int own = g_terminal.card == "kvk" ? 0x9000 : g_terminal.card == "egk" ? 0x9001 : 0x6200;
        int sw = Chosen("request", own);
        g_terminal.powered = sw == 0x9000 || sw == 0x9001;
        // The answer to reset when asked for (P2 01): invented bytes of each card kind.
        Answer atr;
        if (g_terminal.powered && (c[3] & 0x0F) == 0x01)
            atr = g_terminal.card == "kvk" ? Answer("\xA2\x13\x10\x91", 4)
                                           : Answer("\x3B\x85\x00\x56\x4F\x52", 6);
        return atr + Status(sw);
    }
    case 0x15: { // EJECT ICC
        int sw = Chosen("eject", 0x9000);
        if (sw == 0x9000 || sw == 0x6200) {
            NextCard();
            g_terminal.powered = false;
            g_terminal.application = Terminal::Application::None;
        }
        return Status(sw);
    }
    default: return Status(0x6D00);
    }
}

Answer Select(const std::vector<unsigned char>& c) {
    static const unsigned char kvk[] = {0xD2, 0x76, 0x00, 0x00, 0x01, 0x01};
    static const unsigned char health[] = {0xD2, 0x76, 0x00, 0x00, 0x01, 0x02};
    if (c.size() < 5 || c[2] != 0x04 || c[4] != 6 || c.size() < 11) return Status(0x6A86);
    const unsigned char* aid = c.data() + 5;
    if (std::equal(aid, aid + 6, kvk) && g_terminal.card == "kvk") {
        g_terminal.application = Terminal::Application::Kvk;
        return Status(0x9000);
    }
    if (std::equal(aid, aid + 6, health) && g_terminal.card == "egk") {
        g_terminal.application = Terminal::Application::Health;
        g_terminal.file = nullptr;
        return Status(0x9000);
    }
    return Status(0x6A82);
}

Answer ReadBinary(const std::vector<unsigned char>& c) {
    size_t wanted;
    if (c.size() == 5)
        wanted = c[4] ? c[4] : 256;
    else if (c.size() == 7 && c[4] == 0)
        wanted = (c[5] << 8 | c[6]) ? static_cast<size_t>(c[5] << 8 | c[6]) : 65536;
    else
        return Status(0x6700);
    const std::string* file = nullptr;
    size_t offset;
    if (g_terminal.application == Terminal::Application::Kvk) {
        file = &g_terminal.kvk;
        offset = static_cast<size_t>(c[2] << 8 | c[3]);
    } else if (g_terminal.application == Terminal::Application::Health) {
        if (c[2] & 0x80) {
            int sfi = c[2] & 0x1F;
            g_terminal.file = sfi == 0x01   ? &g_terminal.egk.pd
                              : sfi == 0x02 ? &g_terminal.egk.vd
                              : sfi == 0x0C ? &g_terminal.egk.statusVd
                                            : nullptr;
            if (!g_terminal.file) return Status(0x6A82);
            offset = c[3];
        } else {
            offset = static_cast<size_t>(c[2] << 8 | c[3]);
        }
        file = g_terminal.file;
        if (!file) return Status(0x6986);
    } else {
        return Status(0x6986);
    }
    if (offset > file->size()) return Status(0x6B00);
    size_t n = std::min(wanted, file->size() - offset);
    if (!g_terminal.scenario.wholeFiles) n = std::min<size_t>(n, 256);
    bool end = n < wanted && offset + n == file->size();
    return file->substr(offset, n) + Status(end ? 0x6282 : 0x9000);
}

Answer CardCommand(const std::vector<unsigned char>& c) {
    if (!g_terminal.powered) return Status(0x6F00);
    if (c.size() < 4) return Status(0x6700);
    if (c[0] != 0x00) return Status(0x6E00);
    switch (c[1]) {
    case 0xA4: return Select(c);
    case 0xB0: return ReadBinary(c);
    case 0x0E: return Status(Chosen("erase", 0x9000));
    default: return Status(0x6D00);
    }
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        char path[MAX_PATH] = {};
        ::GetModuleFileNameA(instance, path, MAX_PATH);
        std::string name = path;
        g_terminal.moduleName = name.substr(name.find_last_of("\\/") + 1);
        g_terminal.scenario = ReadScenario();
        Log("load " + g_terminal.moduleName);
    } else if (reason == DLL_PROCESS_DETACH) {
        Log("free " + g_terminal.moduleName);
    }
    return TRUE;
}

extern "C" __declspec(dllexport) signed char WINAPI CT_init(unsigned short ctn, unsigned short pn) {
    g_terminal.scenario = ReadScenario();
    const Scenario& s = g_terminal.scenario;
    signed char rc = kOk;
    if (g_terminal.open.count(ctn))
        rc = kErrInvalid;
    else if (s.initFails.count(pn) || (s.port != 0 && s.port != pn))
        rc = kErrTrans;
    if (rc == kOk) {
        g_terminal.open[ctn] = pn;
        InsertCard();
    }
    Log("init ctn=" + std::to_string(ctn) + " pn=" + std::to_string(pn) + " -> " + std::to_string(rc));
    return rc;
}

extern "C" __declspec(dllexport) signed char WINAPI
    CT_data(unsigned short ctn, unsigned char* dad, unsigned char* sad, unsigned short lenc,
            unsigned char* command, unsigned short* lenr, unsigned char* response) {
    std::string call = "data ctn=" + std::to_string(ctn);
    if (!dad || !sad || !lenr || !command || !response) {
        Log(call + " null argument -> -1");
        return kErrInvalid;
    }
    call += " dad=" + std::to_string(*dad) + " sad=" + std::to_string(*sad) +
            " lenr=" + std::to_string(*lenr) + " cmd=" + Hex(command, lenc);
    signed char rc = kOk;
    Answer answer;
    if (!g_terminal.open.count(ctn) || *sad != 2 || *dad > 1) {
        rc = kErrInvalid;
    } else {
        std::vector<unsigned char> c(command, command + lenc);
        answer = *dad == 1 ? TerminalCommand(c, rc) : CardCommand(c);
        if (rc == kOk && answer.size() > *lenr) rc = kErrMemory;
    }
    if (rc != kOk) {
        Log(call + " -> " + std::to_string(rc));
        return rc;
    }
    std::copy(answer.begin(), answer.end(), response);
    *lenr = static_cast<unsigned short>(answer.size());
    // The answer comes from where the command went, to the host.
    *sad = *dad;
    *dad = 2;
    Log(call + " -> 0 len=" + std::to_string(answer.size()) +
        " sw=" + Hex(reinterpret_cast<const unsigned char*>(answer.data()) + answer.size() - 2, 2));
    return kOk;
}

namespace ctapidouble {

signed char Close(unsigned short ctn) {
    signed char rc = g_terminal.open.erase(ctn) ? kOk : kErrInvalid;
    Log("close ctn=" + std::to_string(ctn) + " -> " + std::to_string(rc));
    return rc;
}

} // namespace ctapidouble
