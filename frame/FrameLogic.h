#pragma once
// What the main frame and its log-in decide without a window: the M lines they send (every
// value pasted through MQuote), release and configuration texts, list entries, the window
// menu, the default child rectangle, tooltip texts and the names of traced messages. The form
// frames' are FormFrameLogic.h's.

#include "app/AppLogic.h"

#include <string>
#include <string_view>

namespace vorlan {

// ---- log-in

// "major.minor..." of ^QSYS("QREL") (kQRelLine, app/AppLogic.h): supported from 4.8 on (5.0 too).
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

// A local database: named, its volume mounted, its namespace entered.
// (UnmountLine is the session's: it unmounts at close too.)
std::string DatabaseNameLine(std::string_view dbName);
inline constexpr char kMountLine[] = "W $$MOUNT^%kvv(.IN,\"\")";
std::string ChangeNamespaceLine(std::string_view ns, std::string_view volume);

std::string LoginLine(std::string_view user, std::string_view password, bool defaultGroup);
std::string WorkstationLine(std::string_view computerName);
// "client§year" that the server proposes, "" for none.
inline constexpr char kInitLine[] = "W $$INIT^QCC()";
inline constexpr char kCurrentYearLine[] = "S %H=$H,%EG=\"\" D ^QDT W $P(%DT,\".\",3)";

inline constexpr char kModulesExistLine[] = "W $D(^MV(\"MP\"))";
// Without modules the system's name is the only entry.
inline constexpr char kSystemNameLine[] = "S %DL=$C(167),X=$G(^Z(2)) S:X?1N.N X=$$T^QFET(\"Q\",X) W X";
// Whether a module's namespace has a menu for the user's group (sent silently).
std::string ModuleMenuCheckLine(std::string_view ns);
inline constexpr char kModuleIndexLine[] = "W $G(^MV(%USER,\"MP\"))";
std::string SaveModuleIndexLine(int index);

// The lists walk the server's entries with %QCC (%AP for workplaces): the start line resets
// it, each next line writes one entry, "" after the last.
inline constexpr char kListStartLine[] = "S %QCC=\"\"";
inline constexpr char kNextModuleLine[] = "S %QCC=$O(^MV(\"MP\",%QCC)) W:%QCC'=\"\" ^MV(\"MP\",%QCC)";
inline constexpr char kNextClientLine[] =
    "S %QCC=$O(^QTEMP(%JOB,\"MI\",%QCC)) W:%QCC'=\"\" ^QTEMP(%JOB,\"MI\",%QCC)";
// The number of the client that kNextClientLine wrote.
inline constexpr char kListKeyLine[] = "W %QCC";
std::string YearListLine(std::string_view client);
inline constexpr char kWorkplaceStartLine[] = "S %AP=\"\"";
inline constexpr char kNextWorkplaceLine[] = "S %AP=$O(^Z(\"BDR\",%AP)) W %AP";

// OnOK: the workplace, created on the server when new.
std::string WorkplaceLine(std::string_view workplace);
std::string ClientAndYearLine(std::string_view client, std::string_view year, std::string_view address,
                              std::string_view port);
inline constexpr char kAppTimerLine[] = "W $G(^Z(\"TIMER\"))";
inline constexpr char kSystemTimerLine[] = "W:$G(%SYS)'=\"\" $G(^[%SYS]Z(\"SYSTIMER\"))";
// Cancelling logs out where the server's application has a log-out.
inline constexpr char kCancelLogoutLine[] = "I $T(LOGOUT^QCC)'=\"\" D LOGOUT^QCC";
// The message references of the frame timer, without their closing parenthesis.
std::string WorkplaceMessageReference(std::string_view ns);
std::string UserMessageReference(std::string_view ns);

struct ServerTimer {
    int interval = 0;
    std::string line;
};
// "interval§M line" of ^Z("TIMER") and ^[%SYS]Z("SYSTIMER"); the line is never cut.
ServerTimer ParseServerTimer(std::string_view answer);

// ---- main frame: after the log-in, log-out

inline constexpr char kDeveloperCheckLine[] = "W:$G(%BG)=999 1";
inline constexpr char kAdminCheckLine[] = "W:$G(%BG)>997 1";
// The "-var" switch's text: M set arguments, run as given.
std::string AfterLoginLine(std::string_view setArguments);
// What the frame timer sends to show that the job is alive.
inline constexpr char kHeartbeatLine[] = "S ^%CONTROL($JOB)=$H";

// The database's space: "1" when the server wants it checked, then "0" enough, "1" low,
// "2" none left. A local volume is expanded by a tenth of its free blocks.
inline constexpr char kSpaceTestLine[] = "W $$SPACETST^QCC()";
inline constexpr char kSpaceLine[] = "W $$SPACE^QCC()";
inline constexpr char kVolumeLine[] = "W $P($ZU(0),\",\",2)";
std::string FreeBlocksLine(std::string_view volume);
std::string ExpandVolumeLine(std::string_view volume, long long blocks);
// What the free space the server reports makes: the blocks to add and the megabytes the
// failure message names. Volumes are larger than 32 bits can count.
struct VolumeGrowth {
    long long blocks = 0;
    int megabytes = 0;
};
VolumeGrowth GrowthOf(std::string_view freeSpace);

// Client and year: the chosen ones, else the server's defaults, else this year.
std::string ChangeYearLine(std::string_view year);
std::string ChangeClientLine(std::string_view number);
inline constexpr char kClientDefaultsLine[] =
    "X ^Z(\"MP\",5) S:$G(%MI)=\"\" %MI=101,%HDD=\"Standardmandant\" "
    "S:$G(%HDD)=\"\" %HDD=$G(^QTEMP(%JOB,\"MI\",%MI))";
std::string DefaultYearLine(int year);
inline constexpr char kEuroLine[] = "W $$EURO^QCC()";
// The parts of the log-in text in the status bar.
inline constexpr char kUserInfoLine[] =
    "W:$G(%USER)'=\"\" $G(^Z(\"PC\",%USER,2)),\"(\",%USER,\") auf \" W:$G(%BG)=999 $ZV";
inline constexpr char kYearInfoLine[] = "W $G(%WJ)_\" - \"_$G(%MI)_\" - \"_$G(%HOME)";
inline constexpr char kJobAddressLine[] = "W $G(^[%SYS]Z(\"IP\",%JOB))";
inline constexpr char kJobPortLine[] = "W $G(^[%SYS]Z(\"PORT\",%JOB))";

// The program's version and the workstation's folders (node "WORD", "EXCEL", "BILDER"), for
// the job and for the workstation; a workstation's entry names the user after a "§".
inline constexpr char kSystemJobLine[] = "W:$D(%SYS)&$D(%JOB) 1";
std::string ProgramVersionLine(std::string_view version);
std::string JobPathLine(std::string_view node, std::string_view path);
std::string WorkstationPathLine(std::string_view node, std::string_view path);
inline constexpr char kForgetJobPathsLine[] = "K:$D(%SYS)&$D(%JOB) ^[%SYS]Z(\"PATH\",%JOB)";
inline constexpr char kLogoutLine[] = "D LOGOUT^QCC";

// The memo box's history: entry n of the user's list.
std::string MemoHistoryLine(int n);
std::string SaveMemoHistoryLine(int n, std::string_view item);

// The help topic's namespace.
inline constexpr char kHelpNamespaceLine[] = "W $$UCI1^QUCI()";
// The add-on message (a log-in started with "POCKET"): the pocket device's kind and install.
inline constexpr char kPocketKindLine[] = "W $G(^Z(\"POCKET\",\"ART\"))";
inline constexpr char kPocketInstallLine[] = "W $G(^Z(\"POCKET\",\"INSTALL\"))";

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
// The parameter holds for the one entry it was set for.
inline constexpr char kWebParameterEndLine[] = "K %WIN(\"WEB\")";

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

// Tooltip source: cut at the first "[" or ";", trimmed. A result starting with "*" is M code.
std::string ToolTipSource(std::string_view text);
// The shown tip: after the first line feed when there is one, at most 79 characters.
std::string ToolTipShown(std::string_view text);
// WM_SETFKEY's table entry: the first "§"-piece, at most 71 characters.
std::string FunctionKeyEntry(std::string_view text);

// The frames' name of a window message for the protocol log, or null for messages not
// traced.
const char* WindowMessageName(unsigned msg);

} // namespace vorlan
