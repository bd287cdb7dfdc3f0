// Starts a program, lets it run for the given time, then closes its main window politely
// (WM_CLOSE) and returns its exit code. For screenshots of a running program.
//   RunAndClose SECONDS WINDOW-CLASS program [args...]
#include "tests/harness/Harness.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: RunAndClose SECONDS WINDOW-CLASS program [args...]\n");
        return 2;
    }
    std::string cmd = harness::JoinArguments(argv + 3, argv + argc);
    harness::Process program;
    if (!program.Start(cmd)) return 3;
    if (program.EndedWhilePumping(static_cast<DWORD>(std::atoi(argv[1]) * 1000))) return program.Wait(0);
    if (HWND main = harness::WaitForWindow(program.Id(), argv[2], 0)) PostMessageA(main, WM_CLOSE, 0, 0);
    return program.Wait(10000);
}
