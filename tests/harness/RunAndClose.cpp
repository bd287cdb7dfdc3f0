// Starts a program, lets it run for the given time, then closes its main window politely
// (WM_CLOSE) and returns its exit code. For screenshots of a running program.
//   RunAndClose SECONDS WINDOW-CLASS program [args...]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
struct Find {
    DWORD pid;
    const char* cls;
    HWND found;
};
BOOL CALLBACK Match(HWND hwnd, LPARAM param) {
    auto* f = reinterpret_cast<Find*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char cls[128] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (pid == f->pid && lstrcmpA(cls, f->cls) == 0) f->found = hwnd;
    return f->found == nullptr;
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: RunAndClose SECONDS WINDOW-CLASS program [args...]\n");
        return 2;
    }
    std::string cmd;
    for (int i = 3; i < argc; ++i)
        cmd += std::string(i > 3 ? " \"" : "\"") + argv[i] + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return 3;
    if (WaitForSingleObject(pi.hProcess, static_cast<DWORD>(std::atoi(argv[1]) * 1000)) == WAIT_TIMEOUT) {
        Find f{pi.dwProcessId, argv[2], nullptr};
        EnumWindows(Match, reinterpret_cast<LPARAM>(&f));
        if (f.found) PostMessageA(f.found, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(pi.hProcess, 10000) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 1);
    }
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    return static_cast<int>(code);
}
