#pragma once
// What a server-described form decides without a window: the M lines it sends (every value
// through MQuote), the text escaping between form and server, the field record and its
// geometry, the answers of $$PR^QCC, function-key lines, colours, text boxes and events.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vorlan {

// Decimal text as the server writes it: anything that is not a number reads as 0, and a
// number too long for an int is clamped rather than wrapped.
int NumberOf(std::string_view text);

// ---- escaping between the form's windows and the server

// TAB, "<", ">" and the double quote as $C(250), $C(254), $C(253), $C(255).
std::string EscapeForServer(std::string_view text);
// $C(250), $C(253), $C(254), $C(255) back to TAB, "<", ">" and the double quote.
std::string UnescapeFromServer(std::string_view text);
// Single field values travel with only the double quote as $C(255).
std::string QuotesAs255(std::string_view text);

// ---- opening and creation

struct OpeningNames {
    std::string formName;
    std::string description; // the screen description's name, unquoted
    std::string title;       // only for a form id of 0xC000 and above
};
OpeningNames SplitOpening(std::string_view opening, unsigned formId);

std::string DialogRoutineProbeLine();
std::string DialogAllowedLine(std::string_view description, bool haveDialogRoutine);
std::string SaveOpenFormLine();
std::string DestroyLine(std::string_view formName);
// The kill line of step 6 of the creation, or "" when nothing is killed. killText is the
// server's "W %KILL" answer (only read when a keep list is given).
bool KillNeedsKillText(std::string_view keepList);
std::string CreationKillLine(bool killFlag, std::string_view keepList, std::string_view killText);
// The server's kill command with more names kept: its last character dropped, then
// ",names)"; empty when the command does not end in ")".
std::string KillKeeping(std::string_view killText, std::string_view names);
// dialogName is already an M string literal (the opening form's name, quoted).
std::string DialogNamesLine(std::string_view dialogName, std::string_view memo, std::string_view formName);
std::string DescriptionRecordLine(std::string_view description);
std::string FetTitleLine(std::string_view p2, std::string_view p3, bool standardLanguage);
std::string FrameCaptionLine(std::string_view description);
std::string InitScreenLine(std::string_view description, std::string_view formName);
// The form's title from the answer of line::kTitle (%TITLE): a form of id 0 takes the answer
// as it is, also an empty one; any other keeps its base title when the answer is empty, else
// shows the answer after the base title and a blank, or the answer alone for an id of 0x8000
// and above (16-bit ids: the pages and the forms of their own windows).
std::string FormTitle(unsigned formId, std::string_view baseTitle, std::string_view answer);
std::string SetStartFieldLine(std::string_view value);
std::string MaxLine(std::string_view description);
std::string EditLine(std::string_view description, int field);
std::string KeysLine(std::string_view description);
std::string ModuLine(std::string_view serverKey, int field);

// $$MAX^QCC: the form record.
struct FormRecord {
    int fields = 0;
    int pictures = 0;
    int gridFirst = 0, gridLast = 0;
    bool freeOrder = false;
    int gridColumn = 0, gridWidth = 0;
    int gridResize = 0;
    bool noClientEdge = false;
    std::string background;
};
FormRecord ParseFormRecord(std::string_view answer);

enum class FieldKind {
    Button = 0,
    Edit = 1,
    TabEdit = 2,
    Check3 = 3,
    Check = 4,
    Explorer = 5,
    RichText = 6,
    Chart = 7,
    ListField = 8,
    Radio = 9,
    EditOpen = 10,
    DataExplorer = 11,
    EditSave = 12,
    EditFolder = 13,
    RadioRight = 14,
    Check3Right = 15,
    LabelOnly = -1
};
FieldKind KindOf(int number);
// Buttons whose own text is the label: push buttons, check boxes and radio buttons.
bool IsOwnLabelKind(FieldKind kind);
// The id of the browse button beside kinds 10, 12 and 13, else 0.
unsigned BrowseButtonId(FieldKind kind, int field);

// $$EDIT^QCC: one field's record.
struct FieldRecord {
    int column = 0, row = 0, width = 0;
    std::string label;
    std::string value;
    int kindNumber = -1;
    FieldKind kind = FieldKind::LabelOnly;
    int height = 1;
    bool password = false;
    std::string tooltip;
    std::string extras;
    int maxChars = 0;
    int buttonHeight = 1;
};
FieldRecord ParseFieldRecord(std::string_view answer);

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
};
// The field's rectangle in pixels for the cell W by H; width 0 stays 0 (no control).
Rect FieldRect(const FieldRecord& field, int cellWidth, int rowHeight);

// The function-key table of a screen: F5-F12, X1-X32, M1-M32, in this order.
constexpr int kKeyCount = 72;
// $$GETKEYS^QCC: the table's texts at $C(255).
std::vector<std::string> SplitKeys(std::string_view answer);

// ---- function keys and commands

// The table index of a function-key command, or -1.
int KeyIndexOfCommand(unsigned id);
// The command of a table index, or 0 outside the table.
unsigned CommandOfKeyIndex(int index);
// "S (%FKEY,%SC)="F9"" for the command, "" for other ids.
std::string FunctionKeyLine(unsigned id);
// The command of a label's hyperlink ("f5", "m1", "x12"), or 0 when it names none.
unsigned HyperlinkCommand(const char* text);

// ---- $$PR^QCC

std::string FieldSaveLine(int keepFocus, int forward, int field, std::string_view value);
std::string FieldSaveAgainLine(int field, std::string_view value);
struct SaveAnswer {
    std::string value;     // 1
    bool refused = false;  // 2
    std::string message;   // 3
    int nextForward = 0;   // 4
    int nextBackward = 0;  // 6
    std::string popup;     // 7
    bool refresh = false;  // 8
    std::string subDialog; // 9
    std::string info;      // 10
};
SaveAnswer ParseSaveAnswer(std::string_view answer);
// The frame command of %SC's second character ("0" 0x800E, "1" 0x800F, "2" 0x800D,
// "3" 0x800C), else 0.
unsigned CommandOfClosingKey(std::string_view sc);

// ---- text boxes

// The lines of a text box as the server stores them: CR LF and LF CR are one break, any
// other CR or LF a break of its own (blank lines stay); lines cut at 32000; escaped for the
// server; a blank after lines from the third on.
std::vector<std::string> TextBoxLines(std::string_view text);
std::string TextBoxKillLine(std::string_view name);
std::string TextBoxStoreLine(std::string_view name, int k, std::string_view escapedLine);
std::string TextBoxFirstKeyLine();
std::string TextBoxNextKeyLine(std::string_view name);
std::string TextBoxReadLine(std::string_view name);
std::string CaretLine(int line, int column);
// Caret line and column (from 1) of a character position in a text, both counted as the
// control counts them: lines end in CR LF, CR or LF, each one break.
void CaretOf(std::string_view text, size_t position, int& line, int& column);
// The character position of a caret line and column (from 1) in such a text: a column beyond
// its line stops at the line's end, a line beyond the text at its end.
size_t PositionOf(std::string_view text, int line, int column);

// ---- field extras

struct FieldExtras {
    int textColour = 0, background = 0;
    bool readOnly = false;
};
FieldExtras ParseFieldExtras(std::string_view text);
// The colour of a table index (1-19; 20 and above black); COLORREF layout, low byte red.
uint32_t ExtraColour(int index);

// ---- events of %WIN("EV")

struct EventEntry {
    std::string name;
    std::string value;
    std::string rowCol;
    std::string vars;
    bool hasTimer = false;
    bool timerHasValue = false;
    bool hasEvent = false;
    int close = 0;
    int stick = 0;
};
struct EventRecord {
    std::string list, answer, value;
    int create = 0, run = 0, command = 0, stick = 0;
};
EventRecord MakeEventRecord(const EventEntry& entry);
constexpr int kMaxEvents = 128;

// ---- sub-dialog calls "dialog[namespace]code"

struct SubDialogCall {
    std::string dialog, ns, code;
};
SubDialogCall ParseSubDialog(std::string_view text);
// After an accepted sub-dialog its variables are laid over the form's own (the form's set
// loaded, then the hand-over set "TEMP" on top).
std::string SubDialogTakeOverLine(std::string_view formName);

// ---- the window's own lines

std::string SaveWindowSizeLine(std::string_view serverKey, int width, int height, bool maximised);
// A screen's stored window position: the user's node, or (perUser false) the one every user
// of the workstation shares; the lines that read or write one first set an empty workstation
// to "ALL".
std::string WindowPositionNode(std::string_view screen, bool perUser);
inline constexpr char kWorkstationDefaultLine[] =
    "S:$G(%WIN(\"WORKSTATION\"))=\"\" %WIN(\"WORKSTATION\")=\"ALL\" ";
} // namespace vorlan

namespace vorlan {

// The constant lines of a form, named where the form sends them.
namespace line {
constexpr const char* kCurrentDialog = "W $G(%DN)";
constexpr const char* kSaveCurrentVars = "D VARSAVE^QCC(%DN)";
constexpr const char* kKillCommand = "W %KILL";
constexpr const char* kExecuteKill = "X %KILL";
constexpr const char* kKillNew = "K @%NEW";
constexpr const char* kStartField = "W $G(%NE)";
constexpr const char* kTitle = "W $G(%TITLE)";
constexpr const char* kFrameTitle = "W $G(%TITLE(\"FRAME\"))";
constexpr const char* kDialogTitle = "W $G(%TITLE(\"DIALOG\"))";
constexpr const char* kNoFatalError = "W:'$D(%FF) 1";
constexpr const char* kTakeFatalError = "W %FF K %FF,%F";
constexpr const char* kFatalErrorExists = "W:$D(%FF) 1";
constexpr const char* kTakeFatalErrorOnly = "W %FF K %FF";
constexpr const char* kTakeSubDialog = "W $G(%DDN) K %DDN";
constexpr const char* kKillSubDialog = "K %DDN";
constexpr const char* kF3Action = "W $G(%ABL(\"F3\"))";
constexpr const char* kAction = "W $G(%ABL)";
constexpr const char* kTakeAction = "W $G(%ABL) K %ABL";
constexpr const char* kRunAction = "D @%ABL K %ABL";
constexpr const char* kKillAction = "K %ABL";
constexpr const char* kErrorExists = "W:$D(%F) 1";
constexpr const char* kNoError = "W:'$D(%F) 1";
constexpr const char* kTakeError = "W %F K %F";
constexpr const char* kError = "W $G(%F)";
constexpr const char* kErrorPlain = "W %F";
constexpr const char* kTakeErrorFlag = "W:$D(%F) 1 K %F";
constexpr const char* kTakeRebuild = "W:$D(%QZ) 1 K %QZ";
constexpr const char* kTakeRebuildOnFocus = "W:$D(%QZ(\"FOCUS\")) 1 K %QZ(\"FOCUS\")";
constexpr const char* kTakeGridRebuild = "W:$D(%SCRB(\"UPDATE\")) 1 K %SCRB(\"UPDATE\")";
constexpr const char* kTakeLeave = "W:$D(%VL) 1 K %VL";
constexpr const char* kClosingKey = "W $G(%SC)";
constexpr const char* kTakeCaretRequest = "W $G(%WIN(\"CURPOS\")) K %WIN(\"CURPOS\")";
constexpr const char* kReadOnlyRequest = "W:$D(%WIN(\"READONLY\")) 1";
constexpr const char* kProtocolStamp = "W $H_\" - \"_$JOB";
constexpr const char* kTakeFocusAction = "W $G(%DDN(\"FOCUS\")) K %DDN(\"FOCUS\")";
constexpr const char* kTakeRefreshList = "W $G(%MAK1) K %MAK1";
constexpr const char* kTakeNoRefresh = "W:$D(%WIN(\"NOREFRESH\")) 1 K %WIN(\"NOREFRESH\")";
constexpr const char* kTakeRefresh = "W:$D(%WIN(\"REFRESH\")) 1 K %WIN(\"REFRESH\")";
constexpr const char* kKillNewHandBack = "K @%NEW S:$D(%VL1) %VL=%VL1 K %VL1";
constexpr const char* kSaveScratchVars = "D VARSAVE^QCC(\"TEMP\")";
constexpr const char* kLoadScratchVars = "D LOADVARS^QCC(\"TEMP\")";
constexpr const char* kUnsetCurrent = "K %DN D VARSAVE^QCC(\"TEMP\")";
constexpr const char* kKillRepeatState = "K %ZELN,%ZEINN,%ZLOEN";
constexpr const char* kCurrentNamespace = "W $$UCI1^QUCI()";
constexpr const char* kTakeLeaveHandBack = "S:$D(%VL1) %VL=%VL1 K %VL1";
constexpr const char* kParkListHeader =
    "Q:$G(%GBL)=\"\"  K ^QTEMP(%JOB,\"GBLHEAD\",%DN) M ^QTEMP(%JOB,\"GBLHEAD\",%DN)=@%GBL@(0)";
constexpr const char* kRestoreListHeader =
    "Q:$G(%GBL)=\"\"  M @%GBL@(0)=^QTEMP(%JOB,\"GBLHEAD\",%DN) K ^QTEMP(%JOB,\"GBLHEAD\",%DN)";
constexpr const char* kStartChecks = "S %PRUEFS=\"\"";
constexpr const char* kCheck = "K %PRUEFS W $$PRUEF^QCC";
constexpr const char* kKillStepState = "K %DDN,%FF,%F,%INF";
constexpr const char* kKillExcel = "K ^QTEMP(%JOB,\"EXCEL\")";
constexpr const char* kCardLines = "W $G(%WIN(\"READCARD\"))";
constexpr const char* kCardKind = "W $G(%WIN(\"READCARD\",\"ART\"))";
constexpr const char* kCardRoutine =
    "S %QCC=$G(%WIN(\"READCARD\",\"RTN\")) D:%QCC'=\"\" @%QCC K %WIN(\"READCARD\")";
constexpr const char* kProgramPath = "W $G(%WIN(\"PRGEXEC\",\"PATH\"))";
constexpr const char* kProgramParameters = "W $G(%WIN(\"PRGEXEC\",\"PARAM\"))";
constexpr const char* kProgramRoutine = "W $G(%WIN(\"PRGEXEC\",\"ROUT\"))";
constexpr const char* kKillProgram = "K %WIN(\"PRGEXEC\")";
constexpr const char* kWebAddress = "W $G(%WIN(\"INET\",\"ADR\"))";
constexpr const char* kKillWeb = "K %WIN(\"INET\")";
constexpr const char* kTakeAutoClose = "W:$D(%WIN(\"AUTOCLOSE\")) 1 K %WIN(\"AUTOCLOSE\")";
constexpr const char* kTakeClose = "W:$D(%WIN(\"CLOSE\")) 1 K %WIN(\"CLOSE\")";
constexpr const char* kEventsExist = "W:$D(%WIN(\"EV\")) 1";
constexpr const char* kKillEvents = "K %WIN(\"EV\")";
constexpr const char* kReplaceRoutine = "W $G(%WIN(\"REPLACERTN\"))";
constexpr const char* kSearchRoutine = "W $G(%WIN(\"SEARCHRTN\"))";
constexpr const char* kGridColumn = "W $G(%PP)";
constexpr const char* kGridRow = "W $G(%ZZ)";
constexpr const char* kTakeSubDialogAndError = "W $G(%DDN) K %DDN,%F";
constexpr const char* kTakeStartField = "W $G(%NE) K %NE";
constexpr const char* kFontDisabled = "W:$D(%WIN(\"FONTDISABLE\")) 1";
} // namespace line

// %INF and %F, both whole also when they hold "§" (their lengths travel first).
std::string MessagesLine(bool take);
struct StepMessages {
    std::string info;
    bool hasError = false; // %F exists
    std::string error;
};
StepMessages ParseMessages(std::string_view answer);

// Line builders that take a value.
std::string ProgramExitLine(std::string_view exitCode, std::string_view routine);
std::string CardResultLine(int i, std::string_view text);
std::string LoadVarsLine(std::string_view setName);
std::string KillVarsLine(std::string_view setName);
std::string TabTextLine(std::string_view description);
// Node n of the screen's "KARTEI" list: "tab screen§init code§repeat setting".
std::string TabNodeLine(std::string_view description, int n);
// A node of the screen description: a flag ("FSAVE", "FDRUCK", not empty when set), a
// routine or code ("F1", "INIT").
std::string ScreenNodeLine(std::string_view description, std::string_view node);
std::string ScreenNodeLine(std::string_view description, int node);
// The init code of a screen (also of a function key's dialog).
std::string ScreenInitLine(std::string_view description);
std::string SwitchNamespaceLine(std::string_view ns);
std::string DialogNodeExistsLine(std::string_view action, int node);
std::string FocusEntryLine(int field);
std::string FocusAgainLine(int field);
std::string SelectAllRequestLine(int field);
std::string ClosingKeyLine(std::string_view sc);
std::string LockListLine(int fields);
std::string CheckRunLine(std::string_view routine);
std::string SearchLine(std::string_view text, std::string_view routine);
std::string EventNextLine(std::string_view name);
std::string EventValueLine(std::string_view name, std::string_view node, bool data);
std::string EventValueLine(std::string_view name);
std::string EventCloseLine(std::string_view name);
std::string EventEventExistsLine(std::string_view name);

std::string PrintRoutineLine(std::string_view description);
// A local variable's name as M writes it ("%" or a letter, then letters and digits): text
// box arrays are named by the server and pasted as names, never as code.
bool IsMName(std::string_view name);

// The form's name for a window message it handles, or null.
const char* FormMessageName(unsigned msg);

} // namespace vorlan
