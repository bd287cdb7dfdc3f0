// Keeps the test prefix's Wine session alive for a whole test run.
//   WineKeeper READYFILE
// Wine starts its server, its system processes and the default desktop's explorer from the
// first program that needs them, and they inherit that program's output. Started by a test,
// they would hold the test's output pipe open, and ctest would count the test as running
// until every other Wine test had ended. Started from here (by scripts/wine-run
// --start-session, with its output in a log), they belong to no test. The window ties the
// default desktop to this process, so its explorer never closes and restarts under a test.
// Ends when the session is stopped (wineserver -k).
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: WineKeeper READYFILE\n");
        return 2;
    }
    HWND window = CreateWindowExA(0, "STATIC", "WineKeeper", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    if (!window) {
        std::fprintf(stderr, "WineKeeper: no window (%lu)\n", GetLastError());
        return 3;
    }
    FILE* ready = std::fopen(argv[1], "w");
    if (!ready) {
        std::fprintf(stderr, "WineKeeper: cannot write %s\n", argv[1]);
        return 4;
    }
    std::fprintf(ready, "%lu\n", GetCurrentProcessId());
    std::fclose(ready);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
