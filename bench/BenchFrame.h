#pragma once
// The real main frame under Wine, logged in to the dbserver at a port, for the form
// benchmarks: a session whose lines are recorded and whose waiting for the server is timed.
#include "app/SessionTransport.h"
#include "app/VORLANApp.h"
#include "bench/WindowCallTally.h"
#include "frame/BaseMDI.h"
#include "frame/MainFrame.h"
#include "resources/MainFrameIds.h"
#include "resources/resource.h"
#include "tests/app/AppSetup.h"
#include "tests/app/RecordingTransport.h"
#include "tests/harness/Harness.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace benchframe {

using Clock = std::chrono::steady_clock;

// The recording transport that also tells how long the server's answers took.
class TimedTransport : public RecordingTransport {
  public:
    using RecordingTransport::RecordingTransport;
    double serverMs = 0;
    // When the first line beginning with firstMark was sent and the last line beginning with
    // lastMark came back (empty marks: not watched).
    std::string firstMark, lastMark;
    Clock::time_point firstSent{}, lastReturned{};
    int Xecute(int handle, const char* code, char* out, int capacity) override {
        auto start = Clock::now();
        int rc;
        {
            vorlan::bench::WindowCallTally::Outside server(vorlan::bench::WindowCallTally::Server);
            rc = RecordingTransport::Xecute(handle, code, out, capacity);
        }
        auto end = Clock::now();
        serverMs += std::chrono::duration<double, std::milli>(end - start).count();
        std::string_view line(code ? code : "");
        if (!firstMark.empty() && firstSent == Clock::time_point{} &&
            line.substr(0, firstMark.size()) == firstMark)
            firstSent = start;
        if (!lastMark.empty() && line.substr(0, lastMark.size()) == lastMark) lastReturned = end;
        return rc;
    }
};

inline double Milliseconds(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Milliseconds per round of sending the recorded lines through the session alone: what the
// server conversation costs without any window.
inline double ReplayMilliseconds(const std::vector<std::string>& lines, int rounds) {
    auto start = Clock::now();
    for (int i = 0; i < rounds; ++i)
        for (const std::string& line : lines)
            theApp.Execute(line.c_str());
    return Milliseconds(start) / rounds;
}

// Settings of a scratch key and answered boxes: nothing here may wait for a person. Returns
// the logged-in main frame, or null with the exit code in rc.
inline CMainFrame* StartLoggedIn(const char* name, const char* port, TimedTransport*& recorder, int& rc) {
    auto transport = std::make_unique<TimedTransport>(MakeClientLibraryTransport());
    recorder = transport.get();
    rc = 3;
    if (!apptest::SetUpApp(name, std::move(transport))) return nullptr;
    vorlan::SettingsBlock& s = theApp.Settings();
    vorlan::SetField(s.address, "127.0.0.1");
    vorlan::SetField(s.apiPort, port);
    vorlan::SetField(s.user, "demo");
    vorlan::SetField(s.password, "demo");
    theApp.SetAppTitle("");
    theApp.WriteProfileInt("Settings", "DisableWaitDialog", 1);
    rc = 4;
    if (!theApp.Connect()) return nullptr;
    theApp.RegisterClasses();
    rc = 5;
    if (!CreateVorlanMainFrame(theApp)) return nullptr;
    CMainFrame* frame = CMainFrame::Get();
    frame->ShowWindow(SW_SHOW);
    harness::Pump();
    frame->SendMessage(WM_COMMAND, ID_LOGIN);
    harness::Pump();
    rc = 6;
    if (!frame->IsLoggedIn()) {
        std::fprintf(stderr, "%s: the log-in failed\n", name);
        return nullptr;
    }
    rc = 0;
    return frame;
}

// The arguments "DBSERVER_PORT [ROUNDS]" (50 rounds without the second), then the main frame
// logged in at that port; null with the exit code in rc (2 for wrong arguments).
inline CMainFrame* StartFromArguments(int argc, char** argv, const char* name, int& rounds,
                                      TimedTransport*& recorder, int& rc) {
    rounds = argc > 2 ? std::atoi(argv[2]) : 50;
    if (argc < 2 || rounds < 1) {
        std::fprintf(stderr, "usage: %s DBSERVER_PORT [ROUNDS]\n", argc > 0 ? argv[0] : name);
        rc = 2;
        return nullptr;
    }
    return StartLoggedIn(name, argv[1], recorder, rc);
}

inline void Stop(CMainFrame* frame) {
    frame->DestroyWindow();
    harness::Pump();
    apptest::ReleaseApp();
}

} // namespace benchframe
