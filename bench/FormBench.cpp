// Opening a form beside its own server conversation, in one run:
//   form_bench DBSERVER_PORT [ROUNDS]
// Opens the address screen ADR in a frame of the real main frame and destroys it again,
// ROUNDS times; then replays the M lines of one opening (as the session sent them) ROUNDS
// times through the session alone. The ratio is what building the windows costs on top of
// the form's own conversation with the server (target: at most 1.5). Beside it, the
// window-system calls of one opening by kind, counted in openings of their own after the
// timed ones (WindowCallTally).
#include "bench/BenchFrame.h"
#include "bench/WindowCallTally.h"

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
    DestroyFrames(frame);

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

    std::printf("form opening (ADR, %zu M lines): %.2f ms, of which waiting for the server %.2f ms; "
                "its M lines alone: %.2f ms; ratio %.2f (target <= 1.5); destroying it: %.2f ms\n",
                lines.size(), open, server / rounds, replay, replay > 0 ? open / replay : 0.0, destroy);

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
