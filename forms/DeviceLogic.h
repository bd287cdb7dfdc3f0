#pragma once
// The workstation devices that the server addresses through ^QTEMP when a form moves between
// fields or asks for its serial port: the ring, the customer display and cash drawer, raw
// text to LPT1. Their M lines and the bytes the devices get, without a window.

#include "framework/PortName.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace vorlan {

// ---- GotoControl's requests of the screen in %DN

// Not "0" when the screen asks for a ring (with the ring switch).
inline constexpr char kRingLine[] = "W $D(^QTEMP(%JOB,%DN,\"RING\"))";
// Not "0" when the screen has lines for the customer display (with the display switch).
inline constexpr char kCustomerDisplayLine[] = "W $D(^QTEMP(%JOB,%DN,\"COMPORT\"))";
// Display line "A" or "B": "text§port".
std::string DisplayLineLine(char line);
// The cash drawer's "text§port"; served once, then killed.
inline constexpr char kCashDrawerLine[] = "W $G(^QTEMP(%JOB,%DN,\"COMPORT\",\"CASHDRAWER\"))";
inline constexpr char kKillCashDrawerLine[] = "K ^QTEMP(%JOB,%DN,\"COMPORT\",\"CASHDRAWER\")";
// Not "0" when the screen left text for the printer on LPT1; served once, then killed.
inline constexpr char kPrinterTextLine[] = "W $D(^QTEMP(%JOB,%DN,\"LPT1\"))";
inline constexpr char kKillPrinterTextLine[] = "K ^QTEMP(%JOB,%DN,\"LPT1\")";

struct DisplayLine {
    std::string text, port; // at most 25 characters each
};
DisplayLine ReadDisplayLine(std::string_view answer);

// What the customer display gets for one line: escape, "F", the line letter, the text and a
// carriage return in 25 bytes (fw::TextPortFrame).
constexpr size_t kDisplayFrameSize = fw::kPortFrameSize;
std::array<char, kDisplayFrameSize> CustomerDisplayFrame(char line, std::string_view text);
// The cash drawer's: escape, "F", the text and a carriage return.
fw::PortFrame CashDrawerFrame(std::string_view text);

// ---- walking the subnodes of a node in subscript order, through %QCC

struct NodeWalk {
    std::string start; // "S %QCC=\"\""
    std::string next;  // writes the next subscript, empty after the last
    std::string value; // writes the value at the current subscript
};
// node: an M reference of constant subscripts, such as ^QTEMP(%JOB,%DN,"LPT1").
NodeWalk WalkOf(std::string_view node);
extern const NodeWalk kPrinterTextWalk;
extern const NodeWalk kDisplayMessageWalk;

// The printer takes at most this much of the text at once; the rest is dropped.
constexpr size_t kPrinterTextLimit = 32568;
// Adds one value to the text to print; false once the text is full.
bool AppendPrinterText(std::string& text, std::string_view value);

// ---- ComPort: the job's serial-port request

// "port§baud§stop bits§byte size§parity" of the display, and its messages (kDisplayMessageWalk).
inline constexpr char kComPortDisplayLine[] = "W $G(^QTEMP(%JOB,\"COMPORT\",\"DISPLAY\",\"PORT\"))";
// The cash drawer's port and its message, written as one 25-byte frame.
inline constexpr char kComPortDrawerLine[] = "W $G(^QTEMP(%JOB,\"COMPORT\",\"CASHDRAWER\",\"PORT\"))";
inline constexpr char kComPortDrawerMessageLine[] = "W $G(^QTEMP(%JOB,\"COMPORT\",\"CASHDRAWER\",\"MSG\"))";

// A server that never ends a walk is not followed further than this.
constexpr int kMaxWalkSteps = 10000;

} // namespace vorlan
