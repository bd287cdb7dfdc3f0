// The refresh of a form after a step beside its own server conversation, in one run:
//   form_refresh DBSERVER_PORT [ROUNDS]
// Opens the screen VIEL (100 fields with computed labels) and refreshes it (field contents,
// labels and pictures, enabling) ROUNDS times; then replays the M lines of one refresh (as
// the session sent them) ROUNDS times through the session alone. The ratio is what the
// client's own work adds to the round trips (target: at most 1.3). Beside it, the
// window-system calls of one refresh by kind, counted in refreshes of their own after the timed
// ones (WindowCallTally).
#include "bench/BenchFrame.h"
#include "bench/WindowCallTally.h"
#include "forms/ChildDialog.h"

#include <string>
#include <vector>

using benchframe::Clock;
using benchframe::Milliseconds;

int main(int argc, char** argv) {
    int rounds = 0, rc = 0;
    benchframe::TimedTransport* recorder = nullptr;
    CMainFrame* frame = benchframe::StartFromArguments(argc, argv, "FormRefreshBench", rounds, recorder, rc);
    if (!frame) return rc;

    frame->SendMessage(WM_STARTMEMO, reinterpret_cast<WPARAM>("VIEL"));
    harness::Pump();
    auto* mdi = dynamic_cast<CBaseMDI*>(frame->MDIGetActiveFrame());
    CChildDialog* form = mdi ? mdi->GetTopForm() : nullptr;
    if (!form || form->GetFieldCount() != 100) {
        std::fprintf(stderr, "form_refresh: VIEL did not open\n");
        return 7;
    }
    // One refresh to warm up, one to record.
    form->UpdateContents();
    harness::Pump();
    recorder->Take();
    form->UpdateContents();
    harness::Pump();
    std::vector<std::string> lines = recorder->Take();

    recorder->serverMs = 0;
    auto start = Clock::now();
    for (int i = 0; i < rounds; ++i) {
        form->UpdateContents();
        harness::Pump();
    }
    double refresh = Milliseconds(start) / rounds;
    double server = recorder->serverMs / rounds;

    double replay = benchframe::ReplayMilliseconds(lines, rounds);

    std::printf("form refresh (VIEL, %zu M lines): %.2f ms, of which waiting for the server %.2f ms; "
                "its M lines alone: %.2f ms; ratio %.2f (target <= 1.3)\n",
                lines.size(), refresh, server, replay, replay > 0 ? refresh / replay : 0.0);

    constexpr int kCounted = 5;
    {
        vorlan::bench::WindowCallTally tally;
        for (int i = 0; i < kCounted; ++i) {
            vorlan::bench::WindowCallTally::Outside driver(vorlan::bench::WindowCallTally::Driver);
            form->UpdateContents();
            harness::Pump();
        }
        std::printf("window-system calls of one refresh (calls, own time):\n%s",
                    tally.Table(kCounted).c_str());
        std::printf("  longest entry points:\n%s", tally.Entries(kCounted, 20).c_str());
        std::printf("  other calls:%s\n", tally.Uncounted(kCounted).c_str());
    }
    benchframe::Stop(frame);
    return 0;
}
