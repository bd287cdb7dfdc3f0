#pragma once
// What the main frame's timer, message check, memo group menus, module and language change
// decide without a window, and the M lines they send (every value pasted through MQuote).

#include <string>
#include <string_view>

namespace vorlan {

// ---- timer

// One second of a server timer: counts down while the interval is not 0; true when the
// countdown reached 0 (the line is due), and it then starts over from the interval.
bool TimerStep(int& countdown, int interval);
// The message check runs every this many seconds, with the heartbeat.
inline constexpr int kMessageCheckSeconds = 5;

// ---- messages between users, under a reference such as ^["VOR"]ZINFO(0,%USER (without ")")

std::string MessagesExistLine(std::string_view ref);
// Sets %QCC to the first key and writes it.
std::string FirstMessageKeyLine(std::string_view ref);
// Sets %QCC to the key after the one given and writes it: a dialog message the server has
// not yet removed is served once, and the walk goes on behind it.
std::string NextMessageKeyLine(std::string_view ref, std::string_view key);
std::string MessageSenderLine(std::string_view ref);
std::string MessageTextLine(std::string_view ref);
inline constexpr char kMessageTextStartLine[] = "S %QC=\"\"";
std::string NextMessageTextKeyLine(std::string_view ref);
std::string MessageTextPartLine(std::string_view ref);
std::string MessageHasDialogLine(std::string_view ref);
std::string MessageDialogLine(std::string_view ref);
std::string KillMessageLine(std::string_view ref);
// "sender - time am date" of the SENDER node (name§date§time), each piece at most 127.
std::string MessageTitle(std::string_view sender);

// ---- memo groups: ^Z("MEMO",g) = name, ^Z("MEMO",g,key) = entry text

inline constexpr int kMemoGroups = 9;
inline constexpr int kMemoGroupEntries = 9;
// The only item of a group's popup before it is opened: 32900 + 10 (g - 1).
unsigned MemoGroupPlaceholderId(int group);
// The group of a placeholder id, 0 when the id is none.
int MemoGroupOfPlaceholder(unsigned id);
// Entry n (1-9) of group g: an id range of its own, apart from the X-key commands.
inline constexpr unsigned kMemoEntryFirst = 33201;
inline constexpr unsigned kMemoEntryLast = 33289;
unsigned MemoEntryId(int group, int n);
std::string MemoGroupNameLine(int group);
inline constexpr char kMemoWalkStartLine[] = "S %QCC=\"\"";
std::string NextMemoKeyLine(int group);
std::string MemoEntryTextLine(int group);
// "&g name" of the group's popup.
std::string MemoGroupItemText(int group, std::string_view name);
// "&n text\t[key]" of an entry.
std::string MemoEntryItemText(int n, std::string_view text, std::string_view key);
// The entry name between "[" and "]" of an item text (at most 127 characters looked at).
std::string MemoEntryOfItemText(std::string_view text);

// ---- module

inline constexpr char kCurrentYearOfJobLine[] = "W $G(%WJ)";

// ---- language

inline constexpr unsigned kLanguageFirst = 32835; // 32835 + n is language n
inline constexpr int kMaxLanguages = 6;
// The language number of a command: 32836-32841 give 1-6, anything else 1.
int LanguageOfCommand(unsigned id);
std::string SetLanguageLine(int number);
std::string LanguageNameLine(int number);
inline constexpr char kLanguageKeepLine[] = "S %QCC=$G(%LAN)";
inline constexpr char kLanguageNumberLine[] = "S %LAN=%QCC K %QCC W $$GETLANNU^QCC()";
inline constexpr char kLanguageLine[] = "W $G(%LAN)";
// The current number of a $$GETLANNU^QCC answer (0 and nothing count as 1).
int CurrentLanguageNumber(std::string_view answer);

// ---- menu edit mode

inline constexpr char kUserGroupLine[] = "W $G(%BG)";

// ---- user group dialog: ^QME("ME",group) = description

inline constexpr char kGroupWalkStartLine[] = "S %QCC=\"\"";
inline constexpr char kNextGroupLine[] = "S %QCC=$O(^QME(\"ME\",%QCC)) W %QCC";
std::string GroupDescriptionLine(std::string_view group);
std::string SetGroupDescriptionLine(std::string_view description);
std::string SetTemplateGroupLine(std::string_view group);
// Whether a group of the server's list is offered to a user of the current group: never the
// administrators' and developers' own, the others to the developers and to every numbered
// group.
bool GroupOffered(std::string_view group, std::string_view currentGroup);
// The description may be edited for a group below the administrators'.
bool GroupDescriptionEditable(std::string_view group);
// An entry as drawn: "group (description)", the group alone without one.
std::string GroupEntryText(std::string_view group, std::string_view description);
// A key typed into the group's edit: letters upper case for developers, refused (0) for
// everyone else; anything else as it is.
char GroupKeyFilter(char key, bool developer);

enum class GroupButton { Ok, NewGroup, Cancel };
struct GroupTyping {
    int select = -1; // the list entry to select, -1 none
    bool ok = false, newGroup = false, templates = false;
    GroupButton defaultButton = GroupButton::Ok;
};
// What the dialog shows for the text typed, given the index of the entry that matches it
// exactly (-1 none) and the number of entries.
GroupTyping TypeGroup(std::string_view text, int exactMatch, int entries);

// ---- lock

std::string UnlockLoginLine(std::string_view user, std::string_view password);
std::string RestoreUserLine(std::string_view user);
std::string RestoreGroupLine(std::string_view group);
std::string RestoreActiveUserLine(std::string_view user);
enum class UnlockResult { Unlocked, Refused, OtherUser };
// The log-in's answer (the user name, empty when refused) and the group after it.
UnlockResult JudgeUnlock(std::string_view answer, std::string_view groupAfter, std::string_view groupAtLock,
                         std::string_view lockedUser);

} // namespace vorlan
