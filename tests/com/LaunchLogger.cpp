// The program the shell starts for a document in the tests: registered (/Register) as the
// "open" and "print" command of .rtf and .pdf files, it logs one line beside itself (".log")
// for each start: "<verb>\t<file>\tshow=<window state>\tprinter=<default printer>\tdir=<working
// folder>", and ends. /Unregister puts the types' earlier programs back.
#include "tests/com/DocumentOutput.h"

#include <windows.h>

#include <string>

namespace {

const char* const kProgId = "VORLAN.TestLaunchLogger";
const char* const kTypes[] = {".rtf", ".pdf"};
const char* const kVerbs[] = {"open", "print"};

std::string ProgramPath() {
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, path, sizeof path);
    return path;
}

bool ReadDefault(const std::string& key, std::string& value) {
    char data[512] = "";
    LONG size = sizeof data;
    if (::RegQueryValueA(HKEY_CLASSES_ROOT, key.c_str(), data, &size) != ERROR_SUCCESS) return false;
    value = data;
    return true;
}

bool WriteValue(const std::string& key, const char* name, const std::string& value) {
    HKEY k;
    if (::RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr))
        return false;
    bool ok = ::RegSetValueExA(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                               static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
    ::RegCloseKey(k);
    return ok;
}

// The types' earlier programs are kept in our own key as "previous<type>".
int Register() {
    for (const char* type : kTypes) {
        std::string previous;
        if (ReadDefault(type, previous) && previous != kProgId &&
            !WriteValue(kProgId, ("previous" + std::string(type)).c_str(), previous))
            return 1;
        if (!WriteValue(type, nullptr, kProgId)) return 1;
    }
    for (const char* verb : kVerbs)
        if (!WriteValue(std::string(kProgId) + "\\shell\\" + verb + "\\command", nullptr,
                        "\"" + ProgramPath() + "\" " + verb + " \"%1\""))
            return 1;
    return 0;
}

int Unregister() {
    for (const char* type : kTypes) {
        HKEY k;
        if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, kProgId, 0, KEY_READ, &k) == ERROR_SUCCESS) {
            char data[512] = "";
            DWORD size = sizeof data, kind = 0;
            bool had = ::RegQueryValueExA(k, ("previous" + std::string(type)).c_str(), nullptr, &kind,
                                          reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS;
            ::RegCloseKey(k);
            if (had) {
                WriteValue(type, nullptr, data);
                continue;
            }
        }
        std::string current;
        if (ReadDefault(type, current) && current == kProgId) ::RegDeleteTreeA(HKEY_CLASSES_ROOT, type);
    }
    ::RegDeleteTreeA(HKEY_CLASSES_ROOT, kProgId);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && ::lstrcmpiA(argv[1], "/Register") == 0) return Register();
    if (argc > 1 && ::lstrcmpiA(argv[1], "/Unregister") == 0) return Unregister();
    STARTUPINFOA si{};
    si.cb = sizeof si;
    ::GetStartupInfoA(&si);
    int show = (si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : SW_SHOWDEFAULT;
    char folder[MAX_PATH] = "";
    ::GetCurrentDirectoryA(sizeof folder, folder);
    docdouble::LogLine(std::string(argc > 1 ? argv[1] : "") + "\t" + (argc > 2 ? argv[2] : "") + "\tshow=" +
                       std::to_string(show) + "\tprinter=" + docdouble::DefaultPrinter() + "\tdir=" + folder);
    return 0;
}
