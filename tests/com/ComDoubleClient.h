#pragma once
// What a test needs of a double built on the skeleton (ComDouble.h): where it is registered,
// its call log, scripted failures, its registration under more or fewer ProgIDs, and ending
// a server that stays (a visible application) once the test has looked at it.

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <fstream>
#include <string>
#include <vector>

namespace comdouble {

// The program registered for the ProgID, empty when none is.
inline std::string ServerPath(const std::string& progId) {
    char clsid[64] = "";
    LONG size = sizeof clsid;
    if (::RegQueryValueA(HKEY_CLASSES_ROOT, (progId + "\\CLSID").c_str(), clsid, &size)) return std::string();
    char command[MAX_PATH + 8] = "";
    size = sizeof command;
    if (::RegQueryValueA(HKEY_CLASSES_ROOT, (std::string("CLSID\\") + clsid + "\\LocalServer32").c_str(),
                         command, &size))
        return std::string();
    std::string path = command;
    if (!path.empty() && path.front() == '"') path = path.substr(1, path.find('"', 1) - 1);
    return path;
}

inline std::string Beside(const std::string& program, const char* extension) {
    return program.substr(0, program.find_last_of('.')) + extension;
}

inline std::vector<std::string> ReadLog(const std::string& program) {
    std::vector<std::string> lines;
    std::ifstream in(Beside(program, ".log"), std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

inline void ClearLog(const std::string& program) {
    ::DeleteFileA(Beside(program, ".log").c_str());
}

// "Class.Member=description" lines; empty: no failures.
inline void ScriptFailures(const std::string& program, const std::string& lines) {
    std::string path = Beside(program, ".fail");
    if (lines.empty()) {
        ::DeleteFileA(path.c_str());
        return;
    }
    std::ofstream(path, std::ios::binary | std::ios::trunc) << lines;
}

// Runs the program with /RegServer or /UnregServer and the ProgIDs; true when it succeeded.
inline bool RunRegistration(const std::string& program, const char* verb, const std::string& progIds) {
    std::string command = "\"" + program + "\" " + verb + (progIds.empty() ? "" : " " + progIds);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    ::WaitForSingleObject(pi.hProcess, 30000);
    DWORD code = 1;
    ::GetExitCodeProcess(pi.hProcess, &code);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return code == 0;
}

// Whether the log saw a server start that has not ended.
inline bool ServerRunning(const std::string& program) {
    int running = 0;
    for (const std::string& line : ReadLog(program)) {
        if (line.rfind("start pid ", 0) == 0) ++running;
        if (line == "end" && running > 0) --running;
    }
    return running > 0;
}

// Ends a server that stays (a visible application) the way its user would: through the
// member named "Quit" of the object the ProgID makes, which a running server hands out.
// True when none is left running.
inline bool QuitServer(const std::string& program, const wchar_t* progId) {
    if (ServerRunning(program)) {
        HRESULT com = ::CoInitialize(nullptr);
        CLSID clsid;
        IDispatch* app = nullptr;
        if (SUCCEEDED(::CLSIDFromProgID(progId, &clsid)) &&
            SUCCEEDED(::CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                         reinterpret_cast<void**>(&app)))) {
            LPOLESTR name = const_cast<LPOLESTR>(L"Quit");
            DISPID quit = DISPID_UNKNOWN;
            DISPPARAMS none{};
            if (SUCCEEDED(app->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &quit)))
                app->Invoke(quit, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr,
                            nullptr);
            app->Release();
        }
        if (SUCCEEDED(com)) ::CoUninitialize();
    }
    for (int i = 0; i < 100 && ServerRunning(program); ++i)
        ::Sleep(100);
    return !ServerRunning(program);
}

} // namespace comdouble
