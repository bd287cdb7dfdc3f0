#pragma once
// Test mode's settle probe. A test that types into the program from another process cannot
// see the program's queue; it posts this hidden window a numbered request instead, and the
// window answers once everything queued before it (the test's keys and clicks among it) and
// everything that caused has been handled and painted. The probe sits in the queue behind the
// input, so whichever loop runs (the main loop, a dialog's, a menu's) serves it.

#include <windows.h>

namespace fw {

// The probe's window class; its title is the program's process id in decimal. It is a
// message-only window (FindWindowEx with HWND_MESSAGE finds it).
constexpr char kTestProbeClass[] = "FwTest.Probe";
// The registered request: wParam = a number the asker chose.
constexpr char kTestProbeRequest[] = "FwTest.Settle";
// The window property that holds the number of the last request answered.
constexpr char kTestProbeDone[] = "FwTest.Done";

// Creates the probe for the calling thread (once); nothing outside test mode.
void StartTestProbe();

} // namespace fw
