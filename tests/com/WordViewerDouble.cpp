// Word's viewer as the print forms see it, for the tests: started with a document's path, it
// shows a top-level window of class "WrdVwrApp"; command 88 prints the document through GDI on
// the default printer. It logs (beside itself, ".log") its start, command 88 with the
// BackgroundPrint value and what the printer and the fax software see, and WM_CLOSE. Nobody
// left to close it: it ends by itself after two minutes.
#include "tests/com/DocumentOutput.h"

#include <windows.h>

#include <string>

namespace {

constexpr UINT kPrintCommand = 88;
constexpr UINT_PTR kGiveUpTimer = 1;

std::string g_document;

void Log(const std::string& line) {
    docdouble::LogLine(line);
}

void PrintDocument() {
    Log("command 88 " + docdouble::BackgroundPrintSeen() + " " + docdouble::PrintContext());
    std::string bytes, printer;
    if (!docdouble::ReadFile(g_document, bytes)) {
        Log("  cannot read " + g_document);
        return;
    }
    size_t slash = g_document.find_last_of("\\/");
    std::string title = slash == std::string::npos ? g_document : g_document.substr(slash + 1);
    Log(docdouble::PrintLines(title, docdouble::DocumentLines(bytes), printer) ? "  printed on " + printer
                                                                               : "  not printed");
}

LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_COMMAND:
        if (LOWORD(wParam) == kPrintCommand) PrintDocument();
        return 0;
    case WM_TIMER:
        Log("gave up waiting");
        ::DestroyWindow(window);
        return 0;
    case WM_CLOSE:
        Log("close");
        ::DestroyWindow(window);
        return 0;
    case WM_DESTROY: ::PostQuitMessage(0); return 0;
    default: return ::DefWindowProcA(window, msg, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    g_document = __argc > 1 ? __argv[1] : "";
    Log("start " + g_document + " show=" + std::to_string(show));
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "WrdVwrApp";
    ::RegisterClassA(&wc);
    HWND window =
        ::CreateWindowA("WrdVwrApp", ("Word-Viewer - " + g_document).c_str(), WS_OVERLAPPEDWINDOW,
                        CW_USEDEFAULT, CW_USEDEFAULT, 400, 300, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    ::ShowWindow(window, show);
    ::SetTimer(window, kGiveUpTimer, 120000, nullptr);
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    Log("end");
    return 0;
}
