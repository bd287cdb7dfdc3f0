// Opening a form beside its own server conversation, in one run:
//   form_bench DBSERVER_PORT [ROUNDS]
// Opens the address screen ADR in a frame of the real main frame and destroys it again,
// ROUNDS times; then replays the M lines of one opening (as the session sent them) ROUNDS
// times through the session alone. The ratio is what building the windows costs on top of
// the form's own conversation with the server (target: at most 1.5). Beside it, the
// window-system calls of one opening by kind, counted in openings of their own after the
// timed ones (WindowCallTally).
// Before and after the timed openings it runs form_floor (beside it, on the same desktop): the
// same windows made by a plain Win32 program. The opening less its waiting for the server is
// the form's own window work, set against that floor. With FORM_BENCH_WINDOWS set it lists
// the windows of one opening (class, style, place, text, font), to hold the floor to them.
#include "bench/BenchFrame.h"
#include "bench/WindowCallTally.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using benchframe::Clock;
using benchframe::Milliseconds;

// Opens ADR by its memo name; true when its frame stands.
bool OpenAddress(CMainFrame* frame) {
    vorlan::bench::WindowCallTally::Outside driver(vorlan::bench::WindowCallTally::Driver);
    frame->SendMessage(WM_STARTMEMO, reinterpret_cast<WPARAM>("ADR"));
    harness::Pump();
    return frame->MDIGetActive() != nullptr;
}

void DestroyFrames(CMainFrame* frame) {
    while (HWND active = frame->MDIGetActive()) {
        ::SendMessageA(frame->m_hWndMDIClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(active), 0);
        harness::Pump();
    }
}

// Runs form_floor beside this program and returns its milliseconds per opening (0 when it
// could not run).
double FloorMilliseconds(int rounds) {
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, path, sizeof path);
    std::string command(path);
    command = "\"" + command.substr(0, command.find_last_of("\\/") + 1) + "form_floor.exe\" " +
              std::to_string(rounds);
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &sa, 0)) return 0;
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi{};
    BOOL started = ::CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    ::CloseHandle(writeEnd);
    std::string out;
    if (started) {
        char buffer[256];
        DWORD got = 0;
        while (::ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) out.append(buffer, got);
        ::WaitForSingleObject(pi.hProcess, INFINITE);
        ::CloseHandle(pi.hProcess);
        ::CloseHandle(pi.hThread);
    }
    ::CloseHandle(readEnd);
    std::printf("  %s", out.c_str());
    size_t at = out.find("floor: ");
    return at == std::string::npos ? 0 : std::atof(out.c_str() + at + 7);
}

void ListWindow(HWND window, int depth) {
    char cls[64] = "", text[40] = "";
    ::GetClassNameA(window, cls, sizeof cls);
    ::GetWindowTextA(window, text, sizeof text);
    RECT r;
    ::GetWindowRect(window, &r);
    ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    LOGFONTA font{};
    if (HFONT f = reinterpret_cast<HFONT>(::SendMessageA(window, WM_GETFONT, 0, 0)))
        ::GetObjectA(f, sizeof font, &font);
    std::printf("  %*s%s style %08lx ex %08lx id %d at %ld,%ld %ldx%ld \"%s\" font %s %ld%s\n", depth * 2, "",
                cls, static_cast<unsigned long>(::GetWindowLongA(window, GWL_STYLE)),
                static_cast<unsigned long>(::GetWindowLongA(window, GWL_EXSTYLE)), ::GetDlgCtrlID(window),
                r.left, r.top, r.right - r.left, r.bottom - r.top, text, font.lfFaceName, font.lfHeight,
                ::IsWindowVisible(window) ? "" : " hidden");
    for (HWND c = ::GetWindow(window, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) ListWindow(c, depth + 1);
}

// The tooltip windows the opening made, owned by the process's threads.
BOOL CALLBACK ListToolTip(HWND window, LPARAM) {
    char cls[64] = "";
    ::GetClassNameA(window, cls, sizeof cls);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    if (pid == ::GetCurrentProcessId() && std::string(cls) == TOOLTIPS_CLASSA)
        std::printf("  tooltip %p owner %p tools %ld\n", static_cast<void*>(window),
                    static_cast<void*>(::GetWindow(window, GW_OWNER)),
                    static_cast<long>(::SendMessageA(window, TTM_GETTOOLCOUNT, 0, 0)));
    return TRUE;
}

} // namespace

int main(int argc, char** argv) {
    int rounds = 0, rc = 0;
    benchframe::TimedTransport* recorder = nullptr;
    CMainFrame* frame = benchframe::StartFromArguments(argc, argv, "FormBench", rounds, recorder, rc);
    if (!frame) return rc;

    // One opening to warm up, one to record.
    if (!OpenAddress(frame)) return 7;
    DestroyFrames(frame);
    recorder->Take();
    OpenAddress(frame);
    std::vector<std::string> lines = recorder->Take();
    if (std::getenv("FORM_BENCH_WINDOWS")) {
        std::printf("windows of one opening:\n");
        ListWindow(frame->MDIGetActive(), 0);
        ::EnumWindows(ListToolTip, 0);
    }
    DestroyFrames(frame);

    double floorBefore = FloorMilliseconds(rounds);
    double open = 0, destroy = 0, server = 0;
    for (int i = 0; i < rounds; ++i) {
        auto start = Clock::now();
        recorder->serverMs = 0;
        OpenAddress(frame);
        open += Milliseconds(start);
        server += recorder->serverMs;
        start = Clock::now();
        DestroyFrames(frame);
        destroy += Milliseconds(start);
    }
    open /= rounds;
    destroy /= rounds;
    double replay = benchframe::ReplayMilliseconds(lines, rounds);
    double floorAfter = FloorMilliseconds(rounds);

    std::printf("form opening (ADR, %zu M lines): %.2f ms, of which waiting for the server %.2f ms; "
                "its M lines alone: %.2f ms; ratio %.2f (target <= 1.5); destroying it: %.2f ms\n",
                lines.size(), open, server / rounds, replay, replay > 0 ? open / replay : 0.0, destroy);
    double own = open - server / rounds, floor = (floorBefore + floorAfter) / 2;
    std::printf("own window work (opening less the server wait): %.2f ms; floor (plain Win32, before %.2f, "
                "after %.2f): %.2f ms; ratio %.2f (target <= 1.25)\n",
                own, floorBefore, floorAfter, floor, floor > 0 ? own / floor : 0.0);

    constexpr int kCounted = 5;
    {
        vorlan::bench::WindowCallTally tally;
        for (int i = 0; i < kCounted; ++i) {
            OpenAddress(frame);
            tally.Suspend();
            DestroyFrames(frame);
            tally.Resume();
        }
        std::printf("window-system calls of one opening (calls, own time):\n%s",
                    tally.Table(kCounted).c_str());
        std::printf("  longest entry points:\n%s", tally.Entries(kCounted, 20).c_str());
        std::printf("  other calls:%s\n", tally.Uncounted(kCounted).c_str());
    }
    benchframe::Stop(frame);
    return 0;
}
