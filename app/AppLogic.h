#pragma once
// What the application core's windows send to the server (the about box, the error dialog,
// the online debugger, the wait dialog), and the lines that windows of every layer share.
// Every value is pasted through MQuote.

#include <string>
#include <string_view>

namespace vorlan {

// ---- every window

// "W $G(name)": the value of a variable that the server job keeps (%DN, %USER, ...), "" when
// it is not set. The name is M code, never a value.
std::string VariableLine(std::string_view name);
// The application's release on the server, and the M system's version.
inline constexpr char kQRelLine[] = "W $G(^QSYS(\"QREL\"))";
inline constexpr char kSystemVersionLine[] = "W $ZV";
// The client the user works in (the frame's status, the desktop's look per client).
inline constexpr char kCurrentClientLine[] = "W $G(%MI)";

// ---- about box

inline constexpr char kRelLine[] = "W $G(^QSYS(\"REL\"))";
// An application without the routine has no namespace to show.
inline constexpr char kAboutNamespaceLine[] = "I $T(UCI1^QUCI)'=\"\" W $$UCI1^QUCI()";

// ---- error dialog

// Where the support mail's copy goes.
inline constexpr char kSupportCopyLine[] = "W $G(^Z(\"FP\",\"TOOLS\",48))";
inline constexpr char kHorologLine[] = "W $H";

// ---- online debugger

// Where the debugger stands, "place (version)": each M system names its namespace its own way;
// `version` is what kSystemVersionLine wrote.
std::string DebuggerPlaceLine(std::string_view version);

// ---- the session's own lines

// The job number of a new connection.
inline constexpr char kJobLine[] = "W $JOB";
// Offers a failed line's error text to the server, which answers non-zero when it handled it.
std::string ServerErrorLine(std::string_view errorText);
// A local database: its volume group unmounted (at a new log-in and at close).
std::string UnmountLine(std::string_view volume);
// The local engine's principal device takes long lines.
inline constexpr char kLocalDeviceLine[] = "U $P:(::::4096)";

// ---- wait dialog

// The progress of the job whose call is waited for, asked over the second connection.
std::string WaitingLine(std::string_view job);

} // namespace vorlan
