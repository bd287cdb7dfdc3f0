// Opening a form beside its own server conversation, in one run:
//   form_bench DBSERVER_PORT [ROUNDS]
// Opens the address screen ADR in a frame of the real main frame and destroys it again,
// ROUNDS times; then replays the M lines of one opening (as the session sent them) ROUNDS
// times through the session alone. The ratio is what building the windows costs on top of
// the form's own conversation with the server (target: at most 1.5).
#include "app/SessionTransport.h"
#include "app/VORLANApp.h"
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
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The recording transport that also tells how long the server's answers took.
class TimedTransport : public RecordingTransport {
  public:
    using RecordingTransport::RecordingTransport;
    double serverMs = 0;
    int Xecute(int handle, const char* code, char* out, int capacity) override {
        auto start = Clock::now();
        int rc = RecordingTransport::Xecute(handle, code, out, capacity);
        serverMs += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        return rc;
    }
};

// Opens ADR by its memo name; true when its frame stands.
bool OpenAddress(CMainFrame* frame) {
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

double Milliseconds(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: form_bench DBSERVER_PORT [ROUNDS]\n");
        return 2;
    }
    int rounds = argc > 2 ? std::atoi(argv[2]) : 50;
    // Settings of a scratch key and answered boxes: nothing here may wait for a person.
    auto transport = std::make_unique<TimedTransport>(MakeClientLibraryTransport());
    TimedTransport* recorder = transport.get();
    if (!apptest::SetUpApp("FormBench", std::move(transport))) return 3;
    vorlan::SettingsBlock& s = theApp.Settings();
    vorlan::SetField(s.address, "127.0.0.1");
    vorlan::SetField(s.apiPort, argv[1]);
    vorlan::SetField(s.user, "demo");
    vorlan::SetField(s.password, "demo");
    theApp.SetAppTitle("");
    theApp.WriteProfileInt("Settings", "DisableWaitDialog", 1);
    if (!theApp.Connect()) return 4;
    theApp.RegisterClasses();
    if (!CreateVorlanMainFrame(theApp)) return 5;
    CMainFrame* frame = CMainFrame::Get();
    frame->ShowWindow(SW_SHOW);
    harness::Pump();
    frame->SendMessage(WM_COMMAND, ID_LOGIN);
    harness::Pump();
    if (!frame->IsLoggedIn()) {
        std::fprintf(stderr, "form_bench: the log-in failed\n");
        return 6;
    }

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
    auto start = Clock::now();

    for (int i = 0; i < rounds; ++i)
        for (const std::string& line : lines)
            theApp.Execute(line.c_str());
    double replay = Milliseconds(start) / rounds;

    std::printf("form opening (ADR, %zu M lines): %.2f ms, of which waiting for the server %.2f ms; "
                "its M lines alone: %.2f ms; ratio %.2f (target <= 1.5); destroying it: %.2f ms\n",
                lines.size(), open, server / rounds, replay, replay > 0 ? open / replay : 0.0, destroy);
    frame->DestroyWindow();
    harness::Pump();
    apptest::ReleaseApp();
    return 0;
}
