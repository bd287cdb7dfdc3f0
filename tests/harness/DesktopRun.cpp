// Runs a program on a Wine virtual desktop of its own and returns its exit code.
//   DesktopRun NAME program [args...]
// Without a window manager Wine waits for X events that never come when top-level windows
// are shown or activated; on a virtual desktop Wine draws frames itself and activation is
// immediate. Every process the program starts shares the desktop, so helpers see its windows.
#include "tests/harness/Harness.h"

#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: DesktopRun NAME program [args...]\n");
        return 2;
    }
    const char* name = argv[1];
    // The size of a named desktop makes Wine's explorer show it as a virtual desktop.
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\Explorer\\Desktops", 0, nullptr, 0, KEY_WRITE,
                        nullptr, &key, nullptr) == ERROR_SUCCESS) {
        const char size[] = "1024x768";
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(size), sizeof size);
        RegCloseKey(key);
    }
    HDESK desk = CreateDesktopA(name, nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    if (!desk) {
        std::fprintf(stderr, "DesktopRun: no desktop (%lu)\n", GetLastError());
        return 3;
    }
    std::string cmd = harness::JoinArguments(argv + 2, argv + argc);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.lpDesktop = const_cast<char*>(name);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        std::fprintf(stderr, "DesktopRun: cannot start %s (%lu)\n", argv[2], GetLastError());
        return 4;
    }
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    CloseDesktop(desk);
    return static_cast<int>(code);
}
