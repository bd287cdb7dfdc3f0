#pragma once
// What a form frame (CBaseMDI) sends to the server and reads from it without a window: its
// M lines (every value pasted through MQuote) and the init answer of a screen.

#include "forms/DeviceLogic.h"
#include "forms/FormLogic.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace vorlan {

// ---- tabs

std::string TabHiddenLine(std::string_view screen, std::string_view tab);
std::string TabHiddenByJobLine(std::string_view screen, std::string_view tab);
// Once the tabs are made, the job's hidden tabs are forgotten: they hold for one frame.
inline constexpr char kTabsHiddenByJobEndLine[] = "K %WIN(\"KARTEI\")";
// "J" when the pages get apply and cancel buttons.
std::string TabButtonsLine(std::string_view screen);

// ---- a page's init and state

// Runs a screen's init code (ScreenInitLine, forms/FormLogic.h): "!" when it accepts.
std::string PrgInitLine(std::string_view initCode);

struct InitAnswer {
    bool accepted = false;
    // For the status bar when accepted, for a message box when refused.
    std::string text;
};
// "!" accepts and the rest is a status text; anything else refuses and is the message.
InitAnswer ReadInitAnswer(std::string_view answer);

// %TIMER is the frame timer's period in seconds, set by the init code; it is 1 before an init
// that the timer itself asks for.
inline constexpr char kTimerResetLine[] = "K %TIMER S %TIMER=0";
inline constexpr char kTimerInitLine[] = "S %TIMER=1";
inline constexpr char kTimerListLine[] = "W $$TIMER^QCC()";

// Requests the server leaves for the frame once; reading takes them.
inline constexpr char kTakeFocusFieldLine[] = "W $G(%NE) K %NE";
inline constexpr char kTakeFullScreenLine[] = "W:$D(%WIN(\"FULLSCREEN\")) 1 K %WIN(\"FULLSCREEN\")";

// Not "0" when the record explorer has entries of the server's own ("X").
inline constexpr char kExplorerEntriesLine[] = "W $D(^QTEMP(%JOB,\"EXPLORER\",%DN,\"X\"))";

// The modal window's own requests (the customer display) are the forms' device lines:
// forms/DeviceLogic.h.

} // namespace vorlan
