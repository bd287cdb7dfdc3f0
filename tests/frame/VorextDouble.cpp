// VOREXT.DLL for the tests, never installed: StartTerminal makes a window in the given parent
// that shows the command line, tells the parent a title ("Terminal " and the command line),
// records the command line (a line appended to the file that VOREXT_RECORD names) and returns
// once its window is closed. The parent learns of the window's creation and end as every
// parent does.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr char kClass[] = "VorextDoubleTerminal";
HINSTANCE g_module = nullptr;

LRESULT CALLBACK TerminalProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) ::PostQuitMessage(0);
    return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

void Record(const char* commandLine) {
    const char* file = std::getenv("VOREXT_RECORD");
    if (!file || !*file) return;
    if (FILE* f = std::fopen(file, "ab")) {
        std::fprintf(f, "%s\n", commandLine);
        std::fclose(f);
    }
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_module = module;
    return TRUE;
}

extern "C" __declspec(dllexport) int WINAPI StartTerminal(HINSTANCE, HWND parent, const char* commandLine) {
    Record(commandLine ? commandLine : "");
    WNDCLASSA wc{};
    wc.lpfnWndProc = TerminalProc;
    wc.hInstance = g_module;
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kClass;
    ::RegisterClassA(&wc);
    HWND window = ::CreateWindowExA(0, kClass, commandLine, WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parent,
                                    reinterpret_cast<HMENU>(1), g_module, nullptr);
    if (!window) return 1;
    std::string title = std::string("Terminal ") + (commandLine ? commandLine : "");
    ::SendMessageA(parent, WM_PARENTNOTIFY, MAKEWPARAM(WM_SETTEXT, 1),
                   reinterpret_cast<LPARAM>(title.c_str()));
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    ::UnregisterClassA(kClass, g_module);
    return 0;
}
