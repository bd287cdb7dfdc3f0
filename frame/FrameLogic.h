#pragma once
// What the main frame and its log-in decide without a window: the M lines they send (every
// value pasted through MQuote), release and configuration texts, list entries, the window
// menu, the default child rectangle, tooltip texts and the names of traced messages. The form
// frames' are FormFrameLogic.h's.

#include <string>
#include <string_view>

namespace vorlan {

// ---- log-in

// "major.minor..." of ^QSYS("QREL"): supported from 4.8 on (5.0 too).
bool ReleaseIsSupported(std::string_view release);

struct NamespaceAndVolume {
    std::string ns;
    std::string volume;
};
// The configuration text (UCIandVG, or a module's namespace text), trimmed and split at its
// first comma; without a comma the whole text is the namespace.
NamespaceAndVolume SplitConfiguration(std::string_view text);

// A client in the log-in list: "<number> (<name>)", so that the number comes first.
std::string ClientEntry(std::string_view number, std::string_view name);
// The client number of a list entry: the text up to its first blank, "" without a blank.
std::string ClientNumberOf(std::string_view entry);
// The prefix that finds a client's entry and no other client whose number begins alike.
std::string ClientEntryPrefix(std::string_view number);

std::string LoginLine(std::string_view user, std::string_view password, bool defaultGroup);
std::string WorkstationLine(std::string_view computerName);
// Whether a module's namespace has a menu for the user's group (sent silently).
std::string ModuleMenuCheckLine(std::string_view ns);
std::string SaveModuleIndexLine(int index);
std::string YearListLine(std::string_view client);
// OnOK: the workplace, created on the server when new.
std::string WorkplaceLine(std::string_view workplace);
std::string ClientAndYearLine(std::string_view client, std::string_view year, std::string_view address,
                              std::string_view port);
// The message references of the frame timer, without their closing parenthesis.
std::string WorkplaceMessageReference(std::string_view ns);
std::string UserMessageReference(std::string_view ns);

struct ServerTimer {
    int interval = 0;
    std::string line;
};
// "interval§M line" of ^Z("TIMER") and ^[%SYS]Z("SYSTIMER"); the line is never cut.
ServerTimer ParseServerTimer(std::string_view answer);

// ---- opening forms

std::string SelectByNumberLine(unsigned number);
// The name goes upper-cased into the line.
std::string SelectByNameLine(std::string_view name);
// The dialog of a $$SELECTM^QCC answer to a menu number: piece 4 (at most 255 characters);
// empty when there is none or it begins with "^".
std::string DialogOfMenuAnswer(std::string_view answer);
// What an unknown entry name is, when $$SELECTM^QCC knows no screen for it.
enum class EntryFallback { None, Debugger, Telnet, Ssh, WebAddress, Help, Unknown };
EntryFallback ClassifyEntryName(std::string_view name);
std::string WebEntryLine(std::string_view key);
std::string WebParameterLine(std::string_view parameter);

// ---- main frame: windows, keys, tips

// Item n (0-based) of the window menu: "&1 title" ... "&9 title", "1&0 title"; the title is
// cut at 160 characters.
std::string WindowMenuItemText(int n, std::string_view title);

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
};
// Where a new child frame goes: 18 pixels right of and below the active one (none, or one
// minimised or maximised, gives 0, 0), two thirds of the client each way, kept inside.
Box MdiDefaultRect(const Box* active, int clientWidth, int clientHeight);

// The function-key table index of a command id (F5-F12, X1-X32, M1-M32), or -1.
int FunctionKeyIndex(unsigned id);
// Tooltip source: cut at the first "[" or ";", trimmed. A result starting with "*" is M code.
std::string ToolTipSource(std::string_view text);
// The shown tip: after the first line feed when there is one, at most 79 characters.
std::string ToolTipShown(std::string_view text);
// WM_SETFKEY's table entry: the first "§"-piece, at most 71 characters.
std::string FunctionKeyEntry(std::string_view text);

// The name of a window message for the protocol log, or null for messages not traced.
const char* WindowMessageName(unsigned msg);
// With the function trace on, writes "<className>::WindowProc - <message name>" for a
// message that has a name.
void TraceWindowMessage(const char* className, unsigned msg);

} // namespace vorlan
