// GRX (one header row, 100,000 rows of five columns) opened in a form as the program opens
// it, timed from the set-up's $$SCR^QCC to the last row's answer, beside as many bare calls
// of the same $$GETROW^QCC lines on a connection of their own (whose job made its own rows
// first). The ratio is what the form adds to the round trips (target: at most 1.25); the
// server's trace tells how many row calls the opening made for how many rows (1.00).
#include "bench/GridLoadBench.h"

#include "bench/BenchFrame.h"
#include "controls/GridCtrl.h"
#include "forms/ChildDialog.h"

#include <string>
#include <vector>

using benchframe::Clock;
using benchframe::Milliseconds;

namespace {

std::string Once(const std::string& line) {
    std::vector<char> out(0x10000);
    if (!theApp.ExecuteOnce(line.c_str(), out.data(), static_cast<int>(out.size()))) return "";
    return out.data();
}

} // namespace

int RunGridLoadBench(const char* dbserverPort) {
    int rc = 0;
    benchframe::TimedTransport* recorder = nullptr;
    CMainFrame* frame = benchframe::StartLoggedIn("GridLoadBench", dbserverPort, recorder, rc);
    if (!frame) return rc;

    long long traceBefore = std::atoll(Once("W +$O(^ZTRACE(\"\"),-1)").c_str());
    recorder->firstMark = "W $$SCR^QCC(";
    recorder->lastMark = "W $$GETROW^QCC(";
    recorder->Take();
    frame->SendMessage(WM_STARTMEMO, reinterpret_cast<WPARAM>("GRX"));
    harness::Pump();
    auto* mdi = dynamic_cast<CBaseMDI*>(frame->MDIGetActiveFrame());
    CChildDialog* form = mdi ? mdi->GetTopForm() : nullptr;
    CGridCtrl* grid = form ? form->Grid() : nullptr;
    if (!grid || grid->GetRowCount() != 100001) {
        std::fprintf(stderr, "grid load: GRX did not open with its rows\n");
        benchframe::Stop(frame);
        return 7;
    }
    double load =
        std::chrono::duration<double, std::milli>(recorder->lastReturned - recorder->firstSent).count();
    std::vector<std::string> rows;
    for (std::string& line : recorder->Take())
        if (line.rfind("W $$GETROW^QCC(", 0) == 0) rows.push_back(std::move(line));
    long long traceAfter = std::atoll(Once("W +$O(^ZTRACE(\"\"),-1)").c_str());
    // Counted in the server: the trace of a large load is more than one answer carries.
    std::string counted =
        Once("N i,n S n=0 F i=" + std::to_string(traceBefore + 1) + ":1:" + std::to_string(traceAfter) +
             " S n=n+($G(^ZTRACE(i))[\"GETROW^QCC(\"\"GRX\"\"\") W:i=" + std::to_string(traceAfter) + " n");

    // The bare calls: a connection of its own, whose job makes its own rows first.
    int handle = recorder->Login("127.0.0.1", std::atoi(dbserverPort), "", "", "");
    if (!IsConnectionHandle(handle)) {
        std::fprintf(stderr, "grid load: no second connection (%d)\n", handle);
        benchframe::Stop(frame);
        return 8;
    }
    std::vector<char> out(0x10000);
    recorder->Xecute(handle, "S %DN=\"GRX\" D INIT^WQMD", out.data(), static_cast<int>(out.size()));
    auto start = Clock::now();
    for (const std::string& line : rows)
        recorder->Xecute(handle, line.c_str(), out.data(), static_cast<int>(out.size()));
    double bare = Milliseconds(start);
    recorder->Logout(handle);

    const double rowCount = static_cast<double>(grid->GetRowCount());
    std::printf("grid load (GRX, %zu rows requested): %.0f ms in the form, %.0f ms for the bare calls\n",
                rows.size(), load, bare);
    std::printf("load ratio %.2f\n", bare > 0 ? load / bare : 0.0);
    std::printf("getrow per row %.2f\n", std::atof(counted.c_str()) / rowCount);
    benchframe::Stop(frame);
    return 0;
}
